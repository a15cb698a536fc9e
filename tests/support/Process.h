#pragma once
// A child process that never outlives its test: killed (whole process group)
// and reaped in the destructor.
#include <string>
#include <vector>

namespace testing_support {

class Process {
 public:
  // Starts argv[0] (searched in PATH) with the given environment additions
  // ("NAME=value"). Standard output and error go to `logPath` when given.
  Process(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
          const std::string& logPath = {});
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  int pid() const { return m_pid; }
  bool Running();
  // Sends the signal to the process group.
  void Signal(int signal);
  // Waits up to the deadline for the exit; answers the exit status
  // (WEXITSTATUS, or 128+signal), or -1 when it is still running.
  int WaitExit(int deadlineMilliseconds = 30000);
  void Kill();

 private:
  int m_pid = -1;
  int m_status = -1;
  bool m_reaped = false;
};

// A TCP port on 127.0.0.1 that was free a moment ago (for programs such as
// str2str that cannot bind port 0 and report it).
int PickFreePort();

}  // namespace testing_support
