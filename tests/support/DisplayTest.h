#pragma once
// A fixture for tests that run dialogs on the in-memory display with a
// scripted person in front of it: every test gets a fresh display and loop.
#include <gtest/gtest.h>

#include <memory>

#include "framework/Dialog.h"
#include "framework/EventLoop.h"
#include "framework/MemoryDisplay.h"

namespace testing_support {

// Can also play a display without a person in front of it: message boxes
// then answer at once and go to Messages(), so a test can count them.
class ScriptedDisplay : public MemoryDisplay {
 public:
  bool Interactive() const override { return interactive; }
  bool interactive = true;
};

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EventLoop::Instance().Reset();
    EventLoop::Instance().SetDisplay(&display);
  }
  void TearDown() override {
    EXPECT_EQ(display.TimedOutWaits(), 0) << "a scripted wait never came true";
    EventLoop::Instance().SetDisplay(nullptr);
    EventLoop::Instance().Reset();
  }
  // Runs the dialog with the script queued on the display. A last step ends
  // the dialog if the script did not, so a broken test fails, never hangs;
  // when the dialog ended in time the step stays queued and a later run
  // skips it.
  int Run(CDialog& dialog) {
    auto finished = std::make_shared<bool>(false);
    display.Do([&dialog, finished] {
      CDialog* top = EventLoop::Instance().TopDialog();
      if (*finished || top == nullptr || top->IsEnding()) return;
      ADD_FAILURE() << "the script left a dialog open";
      top->EndDialog(-2);
      dialog.EndDialog(-2);
    });
    const int result = dialog.DoModal();
    *finished = true;
    return result;
  }

  ScriptedDisplay display;
};

}  // namespace testing_support
