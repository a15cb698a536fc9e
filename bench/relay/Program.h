#pragma once
// The program under test as a child process, the pseudo-terminal it writes
// to, and what /proc says about its cost.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace relay {

// A pty whose slave is raw before the program opens it. We keep a slave
// descriptor open so the master never sees a hang-up between the program's
// opens, and so we can look at the slave's settings during the run.
struct Pty {
  int master = -1;
  int slave = -1;
  std::string slavePath;
  bool Open();
  void Close();
  ~Pty() { Close(); }
};
// True when the slave's line discipline leaves bytes alone both ways.
bool SlaveIsRaw(int slaveFd);

// A fresh directory with GNSS.ini and sourcetable.dat for one run.
std::string MakeConfigDir(const std::string& casterAddress, const std::string& mountpoint, const std::string& strRest);
void RemoveConfigDir(const std::string& dir);

struct CpuSample {
  std::uint64_t cpuNs = 0;       // schedstat run time over the live threads
  std::uint64_t tickNs = 0;      // utime + stime, 10 ms ticks, whole process
  std::uint64_t switches = 0;    // voluntary + involuntary, over the live threads
  int threads = 0;
};

class Program {
 public:
  ~Program() { Stop(); }
  // Starts `path --headless --start --dir dir [extra...]` with FIELDCAST_COM1
  // = device; its output goes to `log`.
  bool Start(const std::string& path, const std::string& dir, const std::string& device, const std::string& log,
             const std::vector<std::string>& extra = {});
  // SIGTERM, then SIGKILL after 3 s; always reaps. Returns the exit status
  // text ("exit 0", "signal 9", ...).
  std::string Stop();
  bool Alive();
  pid_t Pid() const { return m_pid; }
  CpuSample Sample() const;
  long PeakRssKb() const;  // VmHWM
  long RssKb() const;      // VmRSS

 private:
  pid_t m_pid = -1;
  pid_t m_group = -1;
  std::string m_status;
};

}  // namespace relay
