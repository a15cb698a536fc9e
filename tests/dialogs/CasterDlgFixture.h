#pragma once
// Runs a caster dialog on the in-memory display with a scripted person in
// front of it, in a fresh directory for its list file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/MemoryDisplay.h"
#include "platform/Text.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"

// Message boxes of a display without a person go to Messages() and answer
// at once, so a test can count them.
class CasterTestDisplay : public MemoryDisplay {
 public:
  bool Interactive() const override { return false; }
};

class CasterDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFieldcastResources();
    EventLoop::Instance().Reset();
    EventLoop::Instance().SetDisplay(&display);
  }
  void TearDown() override {
    EXPECT_EQ(display.TimedOutWaits(), 0);
    EventLoop::Instance().SetDisplay(nullptr);
    EventLoop::Instance().Reset();
  }
  std::wstring ListPath(const std::string& name, const std::string& content) {
    dir.Write(name, content);
    return platform::WidenLocal(dir.File(name));
  }
  // Runs the dialog; a script that leaves it open fails the test.
  int Run(CDialog& dialog) {
    auto done = std::make_shared<bool>(false);
    display.Do([&dialog, done] {
      if (*done || !dialog.IsRunning() || dialog.IsEnding()) return;
      ADD_FAILURE() << "the script left the dialog open";
      dialog.EndDialog(-2);
    });
    const int result = dialog.DoModal();
    *done = true;
    return result;
  }

  testing_support::TempDir dir;
  CasterTestDisplay display;
};
