#pragma once
#include <iosfwd>
#include <string>

#include "app/GgaOptions.h"
#include "app/HealthOptions.h"

struct CommandLine {
  bool headless = false;
  bool start = false;
  bool help = false;
  bool version = false;
  bool listPorts = false;
  std::string directory;
  std::string debugLog;
  std::string caFile;  // an extra trusted CA for TLS casters
  std::string branding;  // "corvo", "generic" or empty (GNSS.ini decides)
  GgaOptions gga;
  HealthOptions health;
};

// Answers 0 when the options are good; otherwise prints a clear message to
// `errors` and answers the exit code (2).
int ParseCommandLine(int argc, char** argv, CommandLine& options, std::ostream& errors);
void PrintUsage(std::ostream& out);
