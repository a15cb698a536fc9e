#pragma once
// Host-name look-ups for the caster lines of the stream details view.
//
// Each host is looked up at most once per program run, on worker threads,
// so that opening the view never waits for a name server: a machine
// without one takes seconds per name. The answers (address or failure) are
// kept for the rest of the run.
//
// Threading: every member may be called from any thread. The look-up
// threads are detached and only touch the one instance, which is never
// destroyed, so a look-up still running when the program ends is harmless.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class CasterHostLookups {
 public:
  enum class State { Pending, Resolved, Failed };
  struct Answer {
    State state = State::Pending;
    std::string dotted;  // the first IPv4 address, when resolved
  };
  using Resolver = std::function<bool(const std::string& host, std::string& dotted)>;

  static CasterHostLookups& Instance();

  // Starts the look-up of `host` unless it was asked for before; answers
  // what is known now. A name that is no host name (other characters than
  // letters, digits, '.' and '-', or too long) fails without a look-up.
  Answer Request(const std::string& host);
  // Waits until none of `hosts` is pending or the wait is over; true when
  // all have answered.
  bool WaitForAnswers(const std::vector<std::string>& hosts, std::chrono::milliseconds wait);
  // Counts the answers that came so far: a caller that saw a lower count
  // has something new to show.
  unsigned AnswerCount() const;

  // For tests: replaces the platform's resolver and forgets every answer
  // (look-ups still running are ignored when they end).
  void ResetForTests(Resolver resolver);

 private:
  CasterHostLookups();
  void RunLookups(unsigned generation);

  mutable std::mutex m_mutex;
  std::condition_variable m_answered;
  std::map<std::string, Answer> m_answers;
  std::vector<std::string> m_queue;
  Resolver m_resolver;
  unsigned m_nGeneration = 0;
  unsigned m_nAnswerCount = 0;
  int m_nRunning = 0;
};
