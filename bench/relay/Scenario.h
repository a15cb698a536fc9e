#pragma once
// One measured run: caster, program, pty and reader set up from scratch,
// warm-up, settle, measure, drain, analyse, and everything torn down.
#include <cstdint>
#include <string>

namespace relay {

struct RunSetup {
  std::string program;     // path of the program under test
  std::string mountpoint = "MP1";
  std::string strRest = "bench;RTCM 3.2;1004(1);2;GPS+GLO;BENCH;XXX;50.00;8.00;0;0;gen;none;N;N;9600;bench";
  bool tls = false;  // https:// through a stunnel front with a CA made for the run
  bool health = false;  // the stream-health watch with its status file and log lines
  std::string statusDir;  // where the status file goes; empty: the run's directory
  bool keepDir = false;
  bool verbose = false;
};

struct ScenarioPlan {
  std::string name;
  double rateBytesPerSecond = 0;  // 0: as fast as send() allows
  std::uint32_t blockSize = 128;
  double seconds = 10;            // measuring time (idle: time with nothing sent)
  std::uint64_t maxBytes = 0;     // 0: no byte bound
  std::uint64_t window = 0;       // closed loop: bytes in flight at most; 0: open loop
  bool idle = false;
};

struct Latency {
  double p50Ms = 0, p99Ms = 0, maxMs = 0;
};

struct ScenarioResult {
  bool ran = false;               // set-up worked and the stream started
  std::string problem;            // why not, or what went wrong
  std::uint64_t framesSent = 0, framesIntact = 0, missing = 0, unexpected = 0;
  std::uint64_t bytesSent = 0, bytesIntact = 0;
  std::uint64_t badBytes = 0, presyncBytes = 0, duplicates = 0, reordered = 0, trailingBytes = 0;
  std::uint64_t windowResets = 0;
  Latency latency;
  double seconds = 0;             // first measured send to last arrival (idle: the idle time)
  double throughputMBps = 0;      // intact measured bytes / seconds, 1e6 B
  double offeredMBps = 0;
  double cpuSeconds = 0, tickSeconds = 0;
  double cpuPerMB = 0, cpuPercent = 0;
  double wakeupsPerSecond = 0;
  int threads = 0;
  long peakRssKb = -1, rssKb = -1;
  bool slaveRawBefore = false, slaveRawDuring = false;
  std::string exitStatus;
  bool IntegrityOk() const;
  std::string IntegrityText() const;
};

ScenarioResult RunScenario(const RunSetup& setup, const ScenarioPlan& plan);

}  // namespace relay
