#include "Program.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace relay {
namespace {

std::uint64_t FirstNumber(const std::string& path) {
  std::ifstream in(path);
  std::uint64_t value = 0;
  in >> value;
  return value;
}

long StatusField(pid_t pid, const std::string& field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
  }
  return -1;
}

}  // namespace

bool Pty::Open() {
  master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return false;
  const char* name = ptsname(master);
  if (name == nullptr) return false;
  slavePath = name;
  slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  if (slave < 0) return false;
  termios t{};
  if (tcgetattr(slave, &t) != 0) return false;
  cfmakeraw(&t);
  return tcsetattr(slave, TCSANOW, &t) == 0;
}

void Pty::Close() {
  for (int* fd : {&slave, &master}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool SlaveIsRaw(int slaveFd) {
  termios t{};
  if (tcgetattr(slaveFd, &t) != 0) return false;
  const bool input = (t.c_iflag & (IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON)) == 0;
  const bool output = (t.c_oflag & OPOST) == 0;
  const bool local = (t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN)) == 0;
  return input && output && local && (t.c_cflag & CSIZE) == CS8;
}

std::string MakeConfigDir(const std::string& casterAddress, const std::string& mountpoint, const std::string& strRest) {
  std::string pattern = (std::filesystem::temp_directory_path() / "bench_relay.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return {};
  const std::filesystem::path dir(pattern);
  std::ofstream ini(dir / "GNSS.ini", std::ios::binary);
  ini << "[NtripCaster]\nIP Port=" << casterAddress
      << "\nPassword=\nAttemps=10\nTime=1\n[Settings]\nOutput=0\n[COM-Port]\nCOM-Port=COM1\n"
         "Baudrate=115200\nDatabits=8 data bits\nParity=no parity\nStop Bits=1 stop bit\n"
         "[GNSS]\nMount Point="
      << mountpoint << "\nNetwork=All\n[Design]\nColour=\n";
  std::ofstream table(dir / "sourcetable.dat", std::ios::binary);
  table << "STR;" << mountpoint << ";" << strRest << "\r\nENDSOURCETABLE\r\n";
  return ini && table ? pattern : std::string();
}

void RemoveConfigDir(const std::string& dir) {
  std::error_code ignored;
  if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
}

bool Program::Start(const std::string& path, const std::string& dir, const std::string& device, const std::string& log,
                    const std::vector<std::string>& extra) {
  // The argument list is made before the fork: the child only execs.
  std::vector<std::string> args = {path, "--headless", "--start", "--dir", dir};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  m_pid = fork();
  if (m_pid < 0) return false;
  if (m_pid == 0) {
    // Dies with us even if we crash: never leave it running.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    // Its own process group, so that Stop also ends whatever a wrapper
    // (a profiler, say) started.
    setpgid(0, 0);
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    if (in >= 0) dup2(in, 0);
    setenv("FIELDCAST_COM1", device.c_str(), 1);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  setpgid(m_pid, m_pid);
  m_group = m_pid;
  return true;
}

bool Program::Alive() {
  if (m_pid <= 0) return false;
  int status = 0;
  const pid_t r = waitpid(m_pid, &status, WNOHANG);
  if (r == 0) return true;
  if (r == m_pid) {
    m_status = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status)) : "signal " + std::to_string(WTERMSIG(status));
    m_pid = -1;
  }
  return false;
}

std::string Program::Stop() {
  if (Alive()) {
    kill(-m_group, SIGTERM);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (Alive() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (Alive()) {
      kill(-m_group, SIGKILL);
      int status = 0;
      waitpid(m_pid, &status, 0);
      m_pid = -1;
      m_status = "killed after SIGTERM time-out";
    }
  }
  // Anything left in the group we made is ours too.
  if (m_group > 0) kill(-m_group, SIGKILL);
  m_group = -1;
  return m_status;
}

CpuSample Program::Sample() const {
  CpuSample sample;
  if (m_pid <= 0) return sample;
  const std::string base = "/proc/" + std::to_string(m_pid);
  if (DIR* tasks = opendir((base + "/task").c_str())) {
    while (const dirent* entry = readdir(tasks)) {
      if (entry->d_name[0] == '.') continue;
      const std::string task = base + "/task/" + entry->d_name;
      sample.cpuNs += FirstNumber(task + "/schedstat");
      std::ifstream status(task + "/status");
      std::string line;
      while (std::getline(status, line)) {
        if (line.find("ctxt_switches:") != std::string::npos)
          sample.switches += std::strtoull(line.c_str() + line.find(':') + 1, nullptr, 10);
      }
      ++sample.threads;
    }
    closedir(tasks);
  }
  // utime and stime are fields 14 and 15, counted after the ")" of the name.
  std::ifstream stat(base + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close != std::string::npos) {
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    std::uint64_t utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
      if (i == 14) utime = std::stoull(field);
      if (i == 15) stime = std::stoull(field);
    }
    sample.tickNs = (utime + stime) * (1'000'000'000ull / static_cast<std::uint64_t>(sysconf(_SC_CLK_TCK)));
  }
  return sample;
}

long Program::PeakRssKb() const { return m_pid > 0 ? StatusField(m_pid, "VmHWM") : -1; }
long Program::RssKb() const { return m_pid > 0 ? StatusField(m_pid, "VmRSS") : -1; }

}  // namespace relay
