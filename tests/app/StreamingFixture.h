#pragma once
// A streaming run end to end inside the test process: the real main window
// on the in-memory display, str2str as the caster, a pseudo-terminal as the
// receiver's port, and a reader that collects what reaches the receiver.
#include <atomic>
#include <mutex>
#include <thread>

#include "app/MainWindowFixture.h"
#include "platform/Clock.h"
#include "support/PtyPair.h"
#include "support/Str2StrCaster.h"

class ReceiverReader {
 public:
  explicit ReceiverReader(testing_support::PtyPair& pty) : m_pty(pty), m_thread([this] { Run(); }) {}
  ~ReceiverReader() {
    m_stop = true;
    m_thread.join();
  }
  std::string Bytes() const {
    std::lock_guard lock(m_mutex);
    return m_bytes;
  }
  size_t Size() const {
    std::lock_guard lock(m_mutex);
    return m_bytes.size();
  }

 private:
  void Run() {
    while (!m_stop) {
      std::string chunk = m_pty.ReadMaster(1 << 16, std::chrono::milliseconds(20));
      std::lock_guard lock(m_mutex);
      m_bytes += chunk;
    }
  }
  testing_support::PtyPair& m_pty;
  mutable std::mutex m_mutex;
  std::string m_bytes;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

class StreamingTest : public MainWindowTest {
 protected:
  static constexpr const char* kEntry = testing_support::kRelayEntry;

  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_TRUE(pty.ok());
    setenv("FIELDCAST_COM1", pty.SlavePath().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("FIELDCAST_COM1");
    MainWindowTest::TearDown();
  }
  // GNSS.ini for a caster on this machine; the stream MP1 chosen.
  void Configure(int casterPort, const std::string& credentials, int output, int attempts = 10, int interval = 1) {
    dir.Write("GNSS.ini", testing_support::SettingsIni{.caster = testing_support::LocalCaster(casterPort),
                                                       .credentials = credentials, .attempts = attempts,
                                                       .time = interval, .output = output, .mountPoint = "MP1"}
                              .Text());
    dir.Write("sourcetable.dat", testing_support::OneStreamTable());
  }
  // Feeds warm-up bytes until the first one reaches the receiver: from then
  // on the caster relays everything fed to this client.
  std::function<bool()> StreamFlowing(testing_support::Str2StrCaster& caster, ReceiverReader& reader) {
    return [&caster, &reader, last = std::chrono::steady_clock::time_point()]() mutable {
      if (reader.Size() > 0) return true;
      if (std::chrono::steady_clock::now() - last > std::chrono::milliseconds(50)) {
        (void)caster.Feed("W");
        last = std::chrono::steady_clock::now();
      }
      return false;
    };
  }
  // `condition`, moving the program's clock a second on at every look, so
  // that a 20-second silence or a reconnection wait passes in moments.
  static std::function<bool()> ClockRunningUntil(std::function<bool()> condition) {
    return [condition] {
      platform::AdvanceMonotonicClock(1000);
      return condition();
    };
  }
  static testing_support::Str2StrOptions Options(const std::string& user = {}, const std::string& password = {}) {
    return testing_support::RelayOptions(user, password);
  }
  std::wstring Status(CFieldcastDlg& dlg) { return dlg.GetDlgItemText(IDC_STATUS); }

  testing_support::PtyPair pty;
};
