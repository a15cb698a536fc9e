// bench_relay: how fast, how faithfully and how cheaply does the program
// relay a caster's stream to its serial port? See bench/README.md.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Scenario.h"
#include "SelfTest.h"

namespace {

using relay::ScenarioResult;
using relay::ScenarioPlan;

constexpr std::uint64_t kMB = 1'000'000;

// The default set: a real RTCM rate, a fast stream, the maximum rate with
// and without a bound on what is in flight, and a connection with nothing
// to relay. About a minute in all.
std::vector<ScenarioPlan> DefaultScenarios() {
  ScenarioPlan idle{.name = "idle", .seconds = 5, .idle = true};
  ScenarioPlan slow{.name = "1k", .rateBytesPerSecond = 1000, .blockSize = 128, .seconds = 15};
  ScenarioPlan fast{.name = "100k", .rateBytesPerSecond = 100'000, .blockSize = 256, .seconds = 8};
  ScenarioPlan closed{.name = "max-closed", .blockSize = 1024, .seconds = 8, .maxBytes = 20 * kMB, .window = 32 * 1024};
  ScenarioPlan open{.name = "max-open", .blockSize = 4096, .seconds = 8, .maxBytes = 20 * kMB};
  return {idle, slow, fast, closed, open};
}

void Usage(std::ostream& out) {
  out << "usage: bench_relay [options]\n"
         "Starts the program headless against an NTRIP caster of its own on 127.0.0.1,\n"
         "with a pseudo-terminal as COM1, and checks and times every byte it relays.\n\n"
         "  --program PATH     the program under test (default: the one built with this)\n"
         "  --only LIST        scenarios to run, comma separated (default: all):\n"
         "                     idle, 1k, 100k, max-closed, max-open\n"
         "  --scale F          multiply every scenario's time (and byte bound) by F\n"
         "  --window BYTES     in-flight bound of max-closed (default 32768)\n"
         "  --tls              https:// through a stunnel4 front (CA made by openssl)\n"
         "  --health           the program writes a status file and a health line\n"
         "                     every second (--status-file, --health-interval 1)\n"
         "  --status-dir DIR   with --health: the status file goes into DIR (a tmpfs\n"
         "                     such as /dev/shm) instead of the run's directory\n"
         "  --keep-dir         keep each run's directory (GNSS.ini, program.log)\n"
         "  --verbose          show the program's output after each run\n"
         "  --selftest         check the stream analyser on synthetic faults and exit\n"
         "  --help             this text\n\n"
         "Scenarios: idle = connected, nothing sent, 5 s; 1k = 1000 B/s in 128-byte\n"
         "blocks, 15 s; 100k = 100 kB/s in 256-byte blocks, 8 s; max-closed = 1 KiB\n"
         "blocks as fast as a 32 KiB in-flight window allows, 8 s or 20 MB; max-open =\n"
         "4 KiB blocks as fast as send() takes them, 8 s or 20 MB.\n"
         "Exit status 0 only when every run delivered every byte intact.\n";
}

std::string Fixed(double v, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, v);
  return text;
}

void Print(const ScenarioPlan& plan, const ScenarioResult& r) {
  std::ostringstream line;
  line << "scenario=" << plan.name;
  if (plan.idle) {
    line << " seconds=" << Fixed(r.seconds, 1) << " cpu_s=" << Fixed(r.cpuSeconds, 5) << " cpu_pct=" << Fixed(r.cpuPercent, 4)
         << " ticks_s=" << Fixed(r.tickSeconds, 2) << " wakeups_per_s=" << Fixed(r.wakeupsPerSecond, 1);
  } else {
    line << " block=" << plan.blockSize << " frames=" << r.framesIntact << "/" << r.framesSent
         << " latency_p50_ms=" << Fixed(r.latency.p50Ms, 3) << " p99_ms=" << Fixed(r.latency.p99Ms, 3)
         << " max_ms=" << Fixed(r.latency.maxMs, 3) << " throughput_MBps=" << Fixed(r.throughputMBps, 6)
         << " offered_MBps=" << Fixed(r.offeredMBps, 6) << " cpu_s_per_MB=" << Fixed(r.cpuPerMB, 5)
         << " cpu_pct=" << Fixed(r.cpuPercent, 3) << " wakeups_per_s=" << Fixed(r.wakeupsPerSecond, 1);
    if (plan.window != 0) line << " window_resets=" << r.windowResets;
  }
  line << " threads=" << r.threads << " rss_kB=" << r.rssKb << " peak_rss_kB=" << r.peakRssKb
       << " slave_raw=" << (r.slaveRawBefore ? "y" : "n") << "/" << (r.slaveRawDuring ? "y" : "n")
       << " exit=\"" << r.exitStatus << "\" integrity=" << r.IntegrityText();
  if (r.ran && !r.problem.empty()) line << " problem=\"" << r.problem << "\"";
  std::cout << line.str() << std::endl;
}

}  // namespace

int main(int argc, char** argv) {
  relay::RunSetup setup;
  setup.program = FIELDCAST_PROGRAM;
  std::string only;
  double scale = 1;
  std::uint64_t window = 32 * 1024;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "bench_relay: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--help" || a == "-h") {
      Usage(std::cout);
      return 0;
    } else if (a == "--selftest") {
      return relay::RunSelfTest() == 0 ? 0 : 1;
    } else if (a == "--program") {
      setup.program = value();
    } else if (a == "--only") {
      only = value();
      only.insert(only.begin(), 1, ',');
      only.push_back(',');
    } else if (a == "--scale") {
      scale = std::atof(value().c_str());
    } else if (a == "--window") {
      window = std::strtoull(value().c_str(), nullptr, 10);
    } else if (a == "--tls") {
      setup.tls = true;
    } else if (a == "--health") {
      setup.health = true;
    } else if (a == "--status-dir") {
      setup.statusDir = value();
    } else if (a == "--keep-dir") {
      setup.keepDir = true;
    } else if (a == "--verbose") {
      setup.verbose = true;
    } else {
      std::cerr << "bench_relay: unknown option " << a << "\n";
      Usage(std::cerr);
      return 2;
    }
  }
  if (scale <= 0 || scale > 20 || window < 1024) {
    std::cerr << "bench_relay: --scale must lie in (0, 20], --window be at least 1024\n";
    return 2;
  }
  std::cout << "program=" << setup.program << std::endl;
  bool allOk = true;
  for (ScenarioPlan plan : DefaultScenarios()) {
    if (!only.empty() && only.find("," + plan.name + ",") == std::string::npos) continue;
    plan.seconds *= scale;
    plan.maxBytes = static_cast<std::uint64_t>(static_cast<double>(plan.maxBytes) * scale);
    if (plan.window != 0) plan.window = window;
    const ScenarioResult r = relay::RunScenario(setup, plan);
    Print(plan, r);
    allOk = allOk && r.IntegrityOk();
  }
  return allOk ? 0 : 1;
}
