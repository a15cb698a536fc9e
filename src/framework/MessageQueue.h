#pragma once
// One ordered, thread-safe message queue per thread. Any thread may post;
// one thread takes. Posting appends under the lock and wakes the taker,
// which either blocks in Take (worker threads) or polls WakeFd together with
// its other inputs (the user-interface loop).
//
// Messages registered as coalescing (screen refreshes) are posted at most
// once while an identical one waits, so a fast stream cannot flood the
// user-interface thread: the queue stays bounded by the number of distinct
// refresh messages plus the step messages, which the workers post one at a time.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>

#include "framework/Types.h"

class MessageQueue {
 public:
  // Only a queue that is polled together with other inputs (the
  // user-interface loop's) needs the wake descriptor; a worker's queue is
  // waited on in Take, and a post to it costs no system call.
  enum class Waiting { InTake, ByPoll };
  explicit MessageQueue(Waiting waiting = Waiting::InTake);
  ~MessageQueue();
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  void Post(const MSG& msg);
  // Takes the oldest message without waiting; false when none waits.
  bool TryTake(MSG& msg);
  // Waits for the oldest message.
  MSG Take();
  // Readable while a message waits; for poll() in the user-interface loop
  // (-1 for a queue that is waited on in Take).
  int WakeFd() const { return m_wakeFd; }
  // Messages with this number coalesce while one with the same window and
  // parameters waits.
  void SetCoalescing(UINT message);
  size_t Size() const;
  void Clear();

 private:
  void UpdateWakeLocked();

  mutable std::mutex m_mutex;
  std::condition_variable m_ready;
  std::deque<MSG> m_messages;
  std::set<UINT> m_coalescing;
  int m_wakeFd = -1;
  bool m_wakeSignalled = false;
};
