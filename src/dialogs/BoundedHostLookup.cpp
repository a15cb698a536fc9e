#include "dialogs/BoundedHostLookup.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Shared with the look-up threads, which may outlive the caller's wait.
struct LookupState {
  std::mutex mutex;
  std::condition_variable done;
  std::vector<std::string> answers;
  size_t pending = 0;
};

}  // namespace

std::vector<std::string> LookupHostsWithin(const std::vector<std::string>& hosts, std::chrono::milliseconds deadline,
                                           const HostLookupFunction& lookup) {
  auto state = std::make_shared<LookupState>();
  state->answers.resize(hosts.size());
  state->pending = hosts.size();
  for (size_t i = 0; i < hosts.size(); ++i) {
    try {
      std::thread([state, lookup, host = hosts[i], i] {
        std::string dotted;
        const bool found = lookup(host, dotted);
        const std::lock_guard lock(state->mutex);
        if (found) state->answers[i] = dotted;
        if (--state->pending == 0) state->done.notify_all();
      }).detach();
    } catch (const std::system_error&) {
      // No thread to be had: this name stays unresolved.
      const std::lock_guard lock(state->mutex);
      --state->pending;
    }
  }
  std::unique_lock lock(state->mutex);
  state->done.wait_for(lock, deadline, [&] { return state->pending == 0; });
  // Late answers go to the state the threads keep, not to the caller.
  return state->answers;
}
