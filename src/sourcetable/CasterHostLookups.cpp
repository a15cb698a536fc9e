#include "sourcetable/CasterHostLookups.h"

#include <algorithm>
#include <thread>

#include "platform/HostLookup.h"

namespace {

// A table may list a hundred casters; a few look-ups at a time keep the
// thread count small while one slow name does not hold up the others.
constexpr int kMaxConcurrentLookups = 4;
// The longest name the resolver accepts.
constexpr size_t kMaxHostNameLength = 253;

// Caster texts never go to the resolver unchecked: only what a host name
// or a dotted address can hold.
bool IsHostName(const std::string& host) {
  if (host.empty() || host.size() > kMaxHostNameLength) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
  });
}

}  // namespace

CasterHostLookups::CasterHostLookups() : m_resolver(platform::LookupHostIPv4) {}

CasterHostLookups& CasterHostLookups::Instance() {
  // Never destroyed: detached look-up threads may outlive every other object.
  static CasterHostLookups* instance = new CasterHostLookups;
  return *instance;
}

CasterHostLookups::Answer CasterHostLookups::Request(const std::string& host) {
  std::lock_guard lock(m_mutex);
  const auto known = m_answers.find(host);
  if (known != m_answers.end()) return known->second;
  Answer& answer = m_answers[host];
  if (!IsHostName(host)) {
    answer.state = State::Failed;
    ++m_nAnswerCount;
    return answer;
  }
  m_queue.push_back(host);
  if (m_nRunning < kMaxConcurrentLookups) {
    ++m_nRunning;
    std::thread([this, generation = m_nGeneration] { RunLookups(generation); }).detach();
  }
  return answer;
}

void CasterHostLookups::RunLookups(unsigned generation) {
  std::unique_lock lock(m_mutex);
  while (!m_queue.empty() && generation == m_nGeneration) {
    const std::string host = m_queue.front();
    m_queue.erase(m_queue.begin());
    const Resolver resolver = m_resolver;
    lock.unlock();
    std::string dotted;
    const bool resolved = resolver(host, dotted);
    lock.lock();
    if (generation != m_nGeneration) break;
    Answer& answer = m_answers[host];
    answer.state = resolved ? State::Resolved : State::Failed;
    answer.dotted = resolved ? dotted : std::string();
    ++m_nAnswerCount;
    m_answered.notify_all();
  }
  if (generation == m_nGeneration) --m_nRunning;
}

bool CasterHostLookups::WaitForAnswers(const std::vector<std::string>& hosts, std::chrono::milliseconds wait) {
  std::unique_lock lock(m_mutex);
  return m_answered.wait_for(lock, wait, [&] {
    return std::none_of(hosts.begin(), hosts.end(), [&](const std::string& host) {
      const auto known = m_answers.find(host);
      return known != m_answers.end() && known->second.state == State::Pending;
    });
  });
}

unsigned CasterHostLookups::AnswerCount() const {
  std::lock_guard lock(m_mutex);
  return m_nAnswerCount;
}

void CasterHostLookups::ResetForTests(Resolver resolver) {
  std::lock_guard lock(m_mutex);
  m_resolver = resolver ? std::move(resolver) : Resolver(platform::LookupHostIPv4);
  m_answers.clear();
  m_queue.clear();
  ++m_nGeneration;
  m_nRunning = 0;
}
