// Signals a service or a terminal session meets: SIGHUP when the session that
// started the program ends, SIGPIPE when the reader of its status lines went
// away. Neither may end the program without its settings saved.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "support/ListeningSocket.h"
#include "support/Process.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using testing_support::ProgramPath;
using testing_support::ShellQuote;
using testing_support::TempDir;
using testing_support::WaitFor;

namespace {

constexpr char kTable[] = "STR;MP1;Town;RTCM 3.0;x;2;GPS;Net;DEU;1;2;0;0;g;none;N;N;1;m\r\nENDSOURCETABLE\r\n";

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The program headless with its standard output on a pipe the test holds;
// killed and reaped at the end whatever happened.
class PipedProgram {
 public:
  explicit PipedProgram(const std::vector<std::string>& arguments) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(ends[1], STDOUT_FILENO);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, STDERR_FILENO);
      std::vector<char*> argv;
      const std::string program = ProgramPath();
      argv.push_back(const_cast<char*>(program.c_str()));
      for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    close(ends[1]);
    m_read = ends[0];
  }
  ~PipedProgram() {
    CloseReader();
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
  }
  // Reads status lines until one holds `text`.
  bool ReadUntil(const std::string& text) {
    return WaitFor([&] {
      pollfd entry{m_read, POLLIN, 0};
      char chunk[4096];
      if (poll(&entry, 1, 20) == 1) {
        const ssize_t n = read(m_read, chunk, sizeof chunk);
        if (n > 0) m_out.append(chunk, static_cast<size_t>(n));
      }
      return m_out.find(text) != std::string::npos;
    });
  }
  void CloseReader() {
    if (m_read >= 0) close(m_read);
    m_read = -1;
  }
  void Signal(int signal) { kill(m_pid, signal); }
  // The exit status, 128+signal for a signal, -1 while it runs.
  int WaitExit() {
    int status = 0;
    if (!WaitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; })) return -1;
    m_reaped = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  const std::string& Out() const { return m_out; }

 private:
  pid_t m_pid = -1;
  int m_read = -1;
  bool m_reaped = false;
  std::string m_out;
};

}  // namespace

TEST(Signals, HangUpActsAsExitAsAServiceAndInATerminal) {
  {
    SCOPED_TRACE("headless");
    TempDir dir;
    dir.Write("sourcetable.dat", kTable);
    testing_support::Process program({ProgramPath(), "--headless", "--dir", dir.path()}, {}, dir.File("out.log"));
    ASSERT_TRUE(WaitFor([&] { return dir.Read("out.log").find("Adjust Settings or press START") != std::string::npos; }))
        << dir.Read("out.log");
    program.Signal(SIGHUP);
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(Lines(dir.Read("GNSS.ini")), 18);
  }
  {
    SCOPED_TRACE("terminal");
    TempDir dir;
    dir.Write("sourcetable.dat", kTable);
    // The shell's process becomes the program, so its number is the program's.
    testing_support::Tmux tmux("echo $$ > " + ShellQuote(dir.File("pid")) + "; exec " + ShellQuote(ProgramPath()) +
                               " --dir " + ShellQuote(dir.path()));
    ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
    const pid_t pid = std::stoi(dir.Read("pid"));
    ASSERT_EQ(kill(pid, SIGHUP), 0);
    ASSERT_TRUE(tmux.WaitForExit()) << tmux.Capture();
    EXPECT_EQ(Lines(dir.Read("GNSS.ini")), 18);
  }
}

// `fieldcast --headless --start | head -n 3`: once the reader has gone, the
// status lines have nowhere to go, but the stream runs on and Exit saves.
TEST(Signals, AClosedStatusPipeDoesNotEndTheService) {
  testing_support::ListeningSocket caster;
  TempDir dir;
  dir.Write("GNSS.ini", "[NtripCaster]\nIP Port=127.0.0.1:" + std::to_string(caster.port()) +
                            "\nPassword=\nAttemps=1\nTime=1\n[Settings]\nOutput=1\n[COM-Port]\nCOM-Port=COM1\n"
                            "Baudrate=115200\nDatabits=8 data bits\nParity=no parity\nStop Bits=1 stop bit\n"
                            "[GNSS]\nMount Point=MP1\nNetwork=All\n[Design]\nColour=\n");
  dir.Write("sourcetable.dat", kTable);
  PipedProgram program({"--headless", "--start", "--dir", dir.path()});
  ASSERT_TRUE(caster.Accept());
  ASSERT_NE(caster.ReceiveUntil("\r\n\r\n").find("GET /MP1 "), std::string::npos);
  ASSERT_TRUE(caster.Send("ICY 200 OK\r\nrtcm"));
  ASSERT_TRUE(program.ReadUntil("Reading data stream...")) << program.Out();
  program.CloseReader();
  // Exit stops the stream first, which prints the idle status into the
  // closed pipe, then saves.
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0);
  EXPECT_EQ(Lines(dir.Read("GNSS.ini")), 18);
}
