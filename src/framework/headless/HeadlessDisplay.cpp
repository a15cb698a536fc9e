#include "framework/headless/HeadlessDisplay.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <chrono>
#include <ctime>

#include "platform/Text.h"

HeadlessDisplay::HeadlessDisplay(std::FILE* out) : m_out(out) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);  // the session that started the service ended
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  m_signalFd = signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC);
}

HeadlessDisplay::~HeadlessDisplay() {
  if (m_signalFd >= 0) close(m_signalFd);
}

void HeadlessDisplay::ReadInput(std::vector<InputEvent>& events) {
  signalfd_siginfo info{};
  while (m_signalFd >= 0 && read(m_signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    InputEvent exit;
    exit.kind = InputEvent::Kind::Exit;
    events.push_back(exit);
  }
}

void HeadlessDisplay::CanvasSize(int& width, int& height) const {
  width = 40;
  height = 16;
}

void HeadlessDisplay::Show(const Canvas& canvas, const ScreenInfo& info) {
  (void)canvas;
  if (m_bShownOnce && info.statusLine == m_lastStatus) return;
  m_bShownOnce = true;
  m_lastStatus = info.statusLine;
  PrintLine(info.statusLine);
}

void HeadlessDisplay::Message(const std::wstring& text) { PrintLine(text); }

// ISO 8601 local time with milliseconds; outside texts are printed with
// their control characters made visible, one line per change.
void HeadlessDisplay::PrintLine(const std::wstring& text) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &local);
  std::fprintf(m_out, "%s.%03lld %s\n", stamp, static_cast<long long>(millis),
               platform::NarrowLocal(MakeVisible(text)).c_str());
  std::fflush(m_out);
}
