// The demo as a newcomer runs it: fetch the table, stream the plain mount
// point, then the one that wants a position, Exit, and read what the
// simulated receiver counted. Nothing the demo started may outlive it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/ScreenText.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

namespace {

std::string SourceDir() {
  const char* dir = getenv("FIELDCAST_SOURCE_DIR");
  return dir != nullptr ? dir : FIELDCAST_DEFAULT_SOURCE_DIR;
}

// Steps the focused spinner right until the screen shows `text`.
bool StepTo(Tmux& tmux, const std::string& text) {
  for (int i = 0; i < 6; ++i) {
    if (WaitFor([&] { return tmux.Capture().find(text) != std::string::npos; }, std::chrono::milliseconds(1500)))
      return true;
    tmux.SendKeys({"Right"});
  }
  return false;
}

// Starts the stream the list shows and waits for the counter to grow.
void StreamAWhile(Tmux& tmux) {
  tmux.SendKeys({"Up", "Up", "Up", "Up", "Enter"});
  ASSERT_TRUE(tmux.WaitForText("Writing data to COM1...")) << tmux.Capture();
  long long first = -1;
  ASSERT_TRUE(WaitFor([&] { return (first = ShownBytes(tmux.Capture())) > 0; })) << tmux.Capture();
  ASSERT_TRUE(WaitFor([&] { return ShownBytes(tmux.Capture()) > first; })) << tmux.Capture();
  tmux.SendKeys({"Enter"});  // Stop has the focus while running
  ASSERT_TRUE(tmux.WaitForText("Adjust Settings or press START")) << tmux.Capture();
}

// A demo folder in `tmp` that names its owner process as the demo does.
std::string DemoFolder(const std::string& tmp, const std::string& name, pid_t pid, const std::string& start) {
  const std::string path = tmp + "/fieldcast-demo-" + name;
  EXPECT_EQ(mkdir(path.c_str(), 0700), 0);
  std::ofstream(path + "/demo.owner") << pid << " " << start << "\n";
  return path;
}

std::string StartTimeOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 1));
  std::string field;
  for (int i = 0; i < 20; ++i) fields >> field;
  return field;
}

}  // namespace

// Also: folders of demos that were killed are removed by the next demo,
// those of demos that still run are kept, and the demo removes its own.
TEST(Demo, StreamsBothMountPointsIntactAndLeavesNothingRunning) {
  TempDir dir;
  const std::string summary = dir.File("summary.txt");
  const std::string tmp = dir.File("tmp");
  ASSERT_EQ(mkdir(tmp.c_str(), 0700), 0);
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
  const std::string killed = DemoFolder(tmp, "killed", gone, "1");
  const std::string reused = DemoFolder(tmp, "reused", getpid(), "1");  // the id now names another process
  const std::string running = DemoFolder(tmp, "running", getpid(), StartTimeOf(getpid()));
  Tmux tmux("TMPDIR=" + ShellQuote(tmp) + " python3 " + ShellQuote(SourceDir() + "/demo/fieldcast_demo.py") + " --program " +
            ShellQuote(ProgramPath()) + " --summary " + ShellQuote(summary));
  ASSERT_TRUE(tmux.WaitForText("Update source table")) << tmux.Capture();
  tmux.SendKeys({"Enter"});
  ASSERT_TRUE(tmux.WaitForText("Updated source table.")) << tmux.Capture();

  tmux.SendKeys({"Down", "Down", "Down", "Down"});
  ASSERT_TRUE(StepTo(tmux, "Demo/RTK/GPS")) << tmux.Capture();
  StreamAWhile(tmux);

  tmux.SendKeys({"Down", "Down", "Down", "Down"});
  ASSERT_TRUE(StepTo(tmux, "Demo-VRS/RTK/GPS")) << tmux.Capture();
  StreamAWhile(tmux);

  tmux.SendKeys({"F1"});
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(summary).find("str2str pid") != std::string::npos; }))
      << tmux.Capture();
  const std::string text = ReadFileBytes(summary);
  EXPECT_NE(text.find(", 0 damaged"), std::string::npos) << text;
  EXPECT_EQ(text.find("Receiver: 0 RTCM"), std::string::npos) << text;
  EXPECT_EQ(text.find("Caster: 0 position"), std::string::npos) << text;
  const int pid = std::atoi(text.substr(text.find("str2str pid ") + 12).c_str());
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(WaitFor([&] { return kill(pid, 0) != 0 && errno == ESRCH; })) << "str2str " << pid << " still runs";
  ASSERT_TRUE(tmux.WaitForExit());
  struct stat info {};
  EXPECT_NE(stat(killed.c_str(), &info), 0) << "left behind: " << killed;
  EXPECT_NE(stat(reused.c_str(), &info), 0) << "left behind: " << reused;
  EXPECT_EQ(stat(running.c_str(), &info), 0) << "removed while its demo runs: " << running;
  size_t folders = 0;
  for (const auto& entry : std::filesystem::directory_iterator(tmp)) folders += entry.is_directory() ? 1 : 0;
  EXPECT_EQ(folders, 1u) << "the demo's own folder stays behind";
}
