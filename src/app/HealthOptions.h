#pragma once
// Where stream health goes and where the stream is recorded: options given
// on the command line, set before the worker threads start.
#include <string>

struct HealthOptions {
  std::string statusFile;      // --status-file: replaced once a second; empty: none
  int intervalSeconds = 0;     // --health-interval: a service's summary line; 0: none
  std::string recordFile;      // --record: the relayed bytes appended; empty: none
};
