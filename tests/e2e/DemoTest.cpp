// The demo as a newcomer runs it: fetch the table, stream the plain mount
// point, then the one that wants a position, Exit, and read what the
// simulated receiver counted. Nothing the demo started may outlive it.
#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <cstdlib>
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

}  // namespace

TEST(Demo, StreamsBothMountPointsIntactAndLeavesNothingRunning) {
  TempDir dir;
  const std::string summary = dir.File("summary.txt");
  Tmux tmux("python3 " + ShellQuote(SourceDir() + "/demo/fieldcast_demo.py") + " --program " +
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
}
