#include "dialogs/BoundedHostLookup.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// One caller's names. Shared with the pool, whose threads may still be in a
// look-up of it after the caller stopped waiting.
struct Batch {
  explicit Batch(HostLookupFunction function) : lookup(std::move(function)) {}
  HostLookupFunction lookup;
  std::vector<std::string> answers;  // guarded by the pool's mutex
  size_t pending = 0;                // guarded by the pool's mutex
  std::condition_variable done;
};

struct Job {
  std::shared_ptr<Batch> batch;
  size_t index;
  std::string host;
};

// At most kMaxHostLookupThreads threads for the whole program, started when
// first needed and kept. A resolver that never answers holds them all; the
// names behind them then wait in the queue until their caller gives up and
// takes them out again, so neither threads nor descriptors pile up however
// many names a list has or however often it is opened.
class LookupPool {
 public:
  // Leaked on purpose: a thread stuck in a look-up at exit must never find
  // its pool destroyed.
  static LookupPool& Instance() {
    static LookupPool* pool = new LookupPool;
    return *pool;
  }

  void Add(std::vector<Job> jobs) {
    std::lock_guard lock(m_mutex);
    for (Job& job : jobs) m_jobs.push_back(std::move(job));
    const size_t wanted = std::min(kMaxHostLookupThreads, m_busy + m_jobs.size());
    while (m_threads < wanted) {
      try {
        std::thread([this] { Work(); }).detach();
        ++m_threads;
      } catch (const std::system_error&) {
        break;  // no thread to be had: the names wait for the ones there are
      }
    }
    m_work.notify_all();
  }

  // Waits until every name of the batch has an answer or the deadline has
  // passed; names not begun by then are taken out of the queue.
  std::vector<std::string> Collect(const std::shared_ptr<Batch>& batch, std::chrono::milliseconds deadline) {
    std::unique_lock lock(m_mutex);
    batch->done.wait_for(lock, deadline, [&] { return batch->pending == 0; });
    std::erase_if(m_jobs, [&](const Job& job) { return job.batch == batch; });
    return batch->answers;
  }

  std::mutex& Mutex() { return m_mutex; }

 private:
  void Work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_work.wait(lock, [&] { return !m_jobs.empty(); });
      Job job = std::move(m_jobs.front());
      m_jobs.pop_front();
      ++m_busy;
      lock.unlock();
      std::string dotted;
      const bool found = job.batch->lookup(job.host, dotted);
      lock.lock();
      --m_busy;
      if (found) job.batch->answers[job.index] = dotted;
      if (--job.batch->pending == 0) job.batch->done.notify_all();
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_work;
  std::deque<Job> m_jobs;
  size_t m_threads = 0;
  size_t m_busy = 0;
};

}  // namespace

std::vector<std::string> LookupHostsWithin(const std::vector<std::string>& hosts, std::chrono::milliseconds deadline,
                                           const HostLookupFunction& lookup) {
  // A name that appears many times is looked up once.
  std::map<std::string, size_t> distinct;
  std::vector<Job> jobs;
  auto batch = std::make_shared<Batch>(lookup);
  std::vector<size_t> answerOf(hosts.size());
  for (size_t i = 0; i < hosts.size(); ++i) {
    const auto [it, added] = distinct.emplace(hosts[i], jobs.size());
    if (added) jobs.push_back(Job{batch, jobs.size(), hosts[i]});
    answerOf[i] = it->second;
  }
  if (jobs.empty()) return {};
  LookupPool& pool = LookupPool::Instance();
  {
    std::lock_guard lock(pool.Mutex());
    batch->answers.resize(jobs.size());
    batch->pending = jobs.size();
  }
  pool.Add(std::move(jobs));
  const std::vector<std::string> answers = pool.Collect(batch, deadline);
  std::vector<std::string> result(hosts.size());
  for (size_t i = 0; i < hosts.size(); ++i) result[i] = answers[answerOf[i]];
  return result;
}
