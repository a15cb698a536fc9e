// Fieldcast's entry point: options, the display, then the application.
#include <csignal>
#include <iostream>
#include <memory>

#include "app/CommandLine.h"
#include "app/FailureReason.h"
#include "app/FieldcastApp.h"
#include "framework/EventLoop.h"
#include "framework/headless/HeadlessDisplay.h"
#include "framework/tui/TerminalDisplay.h"
#include "net/TlsSession.h"
#include "platform/ModuleDir.h"
#include "platform/SerialDevices.h"
#include "platform/Text.h"
#include "platform/Trace.h"
#include "res/ResourceIds.h"

int main(int argc, char** argv) {
  CommandLine options;
  if (const int error = ParseCommandLine(argc, argv, options, std::cerr)) return error;
  if (options.help) {
    PrintUsage(std::cout);
    return 0;
  }
  if (options.version) {
    std::cout << "fieldcast " << FIELDCAST_VERSION << "\n";
    return 0;
  }
  if (options.listPorts) {
    platform::PrintSerialPortMapping();
    return 0;
  }
  if (!options.directory.empty()) platform::SetModuleDirectory(platform::WidenLocal(options.directory));
  tls::SetExtraCaFile(options.caFile);

  const bool headless = options.headless || !TerminalAvailable();
  if (!options.headless && headless)
    std::cerr << "fieldcast: no terminal here; running headless (status changes follow)\n";
  if (!options.debugLog.empty()) {
    if (!platform::SetTraceTarget(platform::TraceTarget::File, options.debugLog)) {
      std::cerr << "fieldcast: cannot open the debug log '" << options.debugLog << "'\n";
      return 2;
    }
  } else {
    platform::SetTraceTarget(headless ? platform::TraceTarget::StandardError : platform::TraceTarget::None);
  }
  // A service's log shows why a run failed even when the trace goes to a file.
  SetFailureReasonsToStandardError(headless && !options.debugLog.empty());

  // A status line written to a reader that went away (a closed pipe) is a
  // failed write, not the end of the program.
  std::signal(SIGPIPE, SIG_IGN);
  RegisterFieldcastResources();
  // The display is made before any thread starts: the headless one blocks
  // its exit signals for every thread so only its signalfd sees them.
  std::unique_ptr<Display> display;
  if (headless) display = std::make_unique<HeadlessDisplay>();
  else display = std::make_unique<TerminalDisplay>();
  EventLoop::Instance().SetDisplay(display.get());

  CFieldcastApp app;
  app.m_bStartOnInit = options.start;
  app.m_ggaOptions = options.gga;
  app.m_bPrintStartLine = headless;
  app.m_bCounterShown = !headless;
  app.m_strBrandingOption = options.branding;
  // Health lines are a service's; on a terminal the page (F3) shows the same.
  if (!headless) options.health.intervalSeconds = 0;
  app.m_healthOptions = options.health;
  app.m_bExitOnRunError = headless && options.start;
  app.InitInstance();

  EventLoop::Instance().SetDisplay(nullptr);
  display->Shutdown();
  if (!app.m_strSaveProblem.empty()) {
    std::cerr << "fieldcast: " << platform::NarrowLocal(app.m_strSaveProblem) << "\n";
    return 1;
  }
  return app.m_nExitCode;
}
