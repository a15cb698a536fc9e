#include "Scenario.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "Caster.h"
#include "Frame.h"
#include "Program.h"
#include "Reader.h"
#include "support/TempDir.h"
#include "support/TlsFront.h"

namespace relay {
namespace {

using namespace std::chrono_literals;

constexpr auto kStreamWait = 15s;        // program start to its stream request
constexpr auto kWarmupMax = 15s;
constexpr auto kWarmupInterval = 50ms;
constexpr auto kSettle = 700ms;          // after the first warm-up byte: an empty pipeline
constexpr auto kDrainQuiet = 1s;
constexpr auto kDrainMax = 10s;
constexpr auto kInflightTimeout = 200ms; // closed loop: write off what does not come

bool SendAll(int fd, const std::uint8_t* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = send(fd, data + done, size - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

double Percentile(const std::vector<double>& sorted, double p) {
  if (sorted.empty()) return 0;
  const double at = p * static_cast<double>(sorted.size() - 1);
  const std::size_t low = static_cast<std::size_t>(at);
  const std::size_t high = std::min(low + 1, sorted.size() - 1);
  return sorted[low] + (sorted[high] - sorted[low]) * (at - static_cast<double>(low));
}

std::string Tail(const std::string& path, std::size_t lines) {
  std::ifstream in(path);
  std::vector<std::string> all;
  for (std::string line; std::getline(in, line);) all.push_back(line);
  std::string text;
  for (std::size_t i = all.size() > lines ? all.size() - lines : 0; i < all.size(); ++i) text += "  | " + all[i] + "\n";
  return text;
}

// Sends frames on the stream socket and keeps count of what went out.
class Feeder {
 public:
  Feeder(int fd, std::uint32_t blockSize) : m_fd(fd), m_blockSize(blockSize) {}
  bool Send(std::uint32_t flags) {
    BuildFrame(m_frame, m_seq, m_blockSize, flags);
    StampFrame(m_frame, MonotonicNs());
    if (!SendAll(m_fd, m_frame.data(), m_frame.size())) return false;
    ++m_seq;
    m_bytes += m_frame.size();
    return true;
  }
  // Builds the next frame ahead of its deadline; SendBuilt stamps and sends it.
  void Build(std::uint32_t flags) { BuildFrame(m_frame, m_seq, m_blockSize, flags); }
  bool SendBuilt() {
    StampFrame(m_frame, MonotonicNs());
    if (!SendAll(m_fd, m_frame.data(), m_frame.size())) return false;
    ++m_seq;
    m_bytes += m_frame.size();
    return true;
  }
  std::uint32_t Seq() const { return m_seq; }
  std::uint64_t Bytes() const { return m_bytes; }

 private:
  int m_fd;
  std::uint32_t m_blockSize;
  std::vector<std::uint8_t> m_frame;
  std::uint32_t m_seq = 0;
  std::uint64_t m_bytes = 0;
};

struct Window {
  std::uint64_t writtenOff = 0;
  std::uint64_t resets = 0;
};

// Measures: paced, as fast as possible, or in a closed loop. Returns false
// when a send failed (the program went away).
bool Measure(const ScenarioPlan& plan, Feeder& feeder, Reader& reader, Window& window) {
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(plan.seconds));
  std::uint64_t measured = 0;
  for (;;) {
    if (plan.maxBytes != 0 && measured + plan.blockSize > plan.maxBytes) return true;
    if (plan.rateBytesPerSecond > 0) {
      const auto due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(static_cast<double>(measured) / plan.rateBytesPerSecond));
      if (due >= end) return true;
      feeder.Build(0);
      std::this_thread::sleep_until(due);
    } else {
      if (std::chrono::steady_clock::now() >= end) return true;
      feeder.Build(0);
    }
    if (plan.window != 0) {
      // Keep at most `window` bytes between our newest frame and the pty.
      for (;;) {
        const std::uint64_t seen = reader.Bytes() + window.writtenOff;
        if (feeder.Bytes() + plan.blockSize <= seen + plan.window) break;
        if (reader.WaitBeyond(reader.Bytes(), kInflightTimeout) + window.writtenOff == seen) {
          window.writtenOff = feeder.Bytes() - reader.Bytes();
          ++window.resets;
        }
        if (std::chrono::steady_clock::now() >= end) return true;
      }
    }
    if (!feeder.SendBuilt()) return false;
    measured += plan.blockSize;
  }
}

void Drain(Reader& reader, std::uint64_t expected) {
  const auto hardEnd = std::chrono::steady_clock::now() + kDrainMax;
  std::uint64_t seen = reader.Bytes();
  while (seen < expected && std::chrono::steady_clock::now() < hardEnd) {
    const std::uint64_t now = reader.WaitBeyond(seen, kDrainQuiet);
    if (now == seen) break;  // quiet: the rest is not coming
    seen = now;
  }
}

void Analyse(ScenarioResult& r, Reader& reader, std::uint32_t firstSeq, std::uint32_t endSeq, std::uint64_t firstSendNs) {
  const Verifier& v = reader.TheVerifier();
  std::vector<double> latencies;
  std::vector<bool> arrived(endSeq, false);
  std::uint64_t lastArrival = 0;
  for (const Arrival& a : v.Arrivals()) {
    if (a.seq >= endSeq) {
      ++r.unexpected;
      continue;
    }
    arrived[a.seq] = true;
    if (a.warmup || a.seq < firstSeq) continue;
    ++r.framesIntact;
    r.bytesIntact += a.length;
    latencies.push_back(static_cast<double>(a.arriveNs - a.sendNs) / 1e6);
    lastArrival = std::max(lastArrival, a.arriveNs);
  }
  r.missing = static_cast<std::uint64_t>(std::count(arrived.begin(), arrived.end(), false));
  const StreamFaults& f = v.Faults();
  r.badBytes = f.badBytes;
  r.presyncBytes = f.presyncBytes;
  r.duplicates = f.duplicates;
  r.reordered = f.reordered;
  r.trailingBytes = f.trailingBytes;
  std::sort(latencies.begin(), latencies.end());
  r.latency = {Percentile(latencies, 0.5), Percentile(latencies, 0.99), latencies.empty() ? 0 : latencies.back()};
  if (lastArrival > firstSendNs) {
    r.seconds = static_cast<double>(lastArrival - firstSendNs) / 1e9;
    r.throughputMBps = static_cast<double>(r.bytesIntact) / 1e6 / r.seconds;
  }
}

}  // namespace

bool ScenarioResult::IntegrityOk() const {
  return ran && missing == 0 && unexpected == 0 && badBytes == 0 && duplicates == 0 && reordered == 0 &&
         trailingBytes == 0 && presyncBytes == 0;
}

std::string ScenarioResult::IntegrityText() const {
  if (!ran) return "FAIL(" + problem + ")";
  if (IntegrityOk()) return "ok";
  std::ostringstream out;
  out << "FAIL(";
  const char* sep = "";
  auto add = [&](const char* what, std::uint64_t n) {
    if (n != 0) {
      out << sep << what << "=" << n;
      sep = ",";
    }
  };
  add("missing", missing);
  add("unexpected", unexpected);
  add("dup", duplicates);
  add("reorder", reordered);
  add("bad_bytes", badBytes);
  add("presync_bytes", presyncBytes);
  add("trailing_bytes", trailingBytes);
  out << ")";
  return out.str();
}

ScenarioResult RunScenario(const RunSetup& setup, const ScenarioPlan& plan) {
  ScenarioResult r;
  Pty pty;
  Caster caster;
  const std::string table = "STR;" + setup.mountpoint + ";" + setup.strRest + "\r\nENDSOURCETABLE\r\n";
  if (!pty.Open() || !caster.Start(setup.mountpoint, table)) {
    r.problem = "set-up of pty or caster failed";
    return r;
  }
  r.slaveRawBefore = SlaveIsRaw(pty.slave);
  // With --tls the program talks https:// to a stunnel front of the caster;
  // the figures are the program's own (stunnel's CPU is not counted), but the
  // front adds its hop to the latency.
  std::string address = "127.0.0.1:" + std::to_string(caster.Port());
  std::vector<std::string> extra;
  std::unique_ptr<testing_support::TempDir> tlsDir;
  std::unique_ptr<testing_support::TestCertificates> ca;
  std::unique_ptr<testing_support::TlsFront> front;
  if (setup.tls) {
    tlsDir = std::make_unique<testing_support::TempDir>();
    ca = std::make_unique<testing_support::TestCertificates>(*tlsDir);
    const std::string server = ca->ok() ? ca->Server("IP:127.0.0.1") : std::string();
    if (!server.empty()) front = std::make_unique<testing_support::TlsFront>(*tlsDir, server, caster.Port());
    if (front == nullptr || !front->ok()) {
      r.problem = "set-up of the TLS front failed (openssl or stunnel4)";
      return r;
    }
    address = "https://127.0.0.1:" + std::to_string(front->port());
    extra = {"--ca-file", ca->caFile()};
  }
  const std::string dir = MakeConfigDir(address, setup.mountpoint, setup.strRest);
  if (dir.empty()) {
    r.problem = "cannot write the configuration directory";
    return r;
  }
  const std::string log = dir + "/program.log";
  // The watch is fed every block anyway; these add what a service that
  // watches the stream does once a second.
  // The file's directory decides much of its cost: on a disk each second's
  // replacement allocates and frees an inode, on a tmpfs (/run) it does not.
  const std::string statusFile = (setup.statusDir.empty() ? dir : setup.statusDir) + "/health-" +
                                 std::to_string(getpid()) + ".txt";
  if (setup.health) extra.insert(extra.end(), {"--status-file", statusFile, "--health-interval", "1"});
  Reader reader(pty.master);
  reader.Start();
  Program program;
  if (!program.Start(setup.program, dir, pty.slavePath, log, extra)) {
    r.problem = "fork failed";
    return r;
  }
  const int stream = caster.WaitForStream(kStreamWait);
  Window window;
  std::uint32_t firstSeq = 0;
  std::uint64_t firstSendNs = 0;
  CpuSample before, after;
  std::unique_ptr<Feeder> feeder;
  auto fail = [&](const std::string& why) { r.problem = why; };
  if (stream < 0) {
    fail("the program asked for no stream within 15 s");
  } else {
    feeder = std::make_unique<Feeder>(stream, plan.blockSize);
    const auto warmEnd = std::chrono::steady_clock::now() + kWarmupMax;
    while (reader.Bytes() == 0 && std::chrono::steady_clock::now() < warmEnd && feeder->Send(kFlagWarmup))
      reader.WaitBeyond(0, kWarmupInterval);
    if (reader.Bytes() == 0) {
      fail("no warm-up byte reached the pty");
    } else {
      std::this_thread::sleep_for(kSettle);
      Drain(reader, feeder->Bytes());
      r.slaveRawDuring = SlaveIsRaw(pty.slave);
      firstSeq = feeder->Seq();
      before = program.Sample();
      firstSendNs = MonotonicNs();
      if (plan.idle) {
        std::this_thread::sleep_for(std::chrono::duration<double>(plan.seconds));
        after = program.Sample();
        r.ran = true;
      } else {
        const bool sent = Measure(plan, *feeder, reader, window);
        const double sendSeconds = static_cast<double>(MonotonicNs() - firstSendNs) / 1e9;
        Drain(reader, feeder->Bytes());
        after = program.Sample();
        r.ran = true;
        if (!sent) r.problem = "a send to the program failed";
        r.bytesSent = feeder->Bytes();
        r.offeredMBps = static_cast<double>(r.bytesSent) / 1e6 / sendSeconds;
      }
      r.framesSent = feeder->Seq() - firstSeq;
    }
  }
  r.peakRssKb = program.PeakRssKb();
  r.rssKb = program.RssKb();
  if (!program.Alive()) r.problem += (r.problem.empty() ? "" : "; ") + std::string("the program ended by itself");
  r.exitStatus = program.Stop();
  reader.Stop();
  caster.Stop();
  reader.TheVerifier().Finish();
  r.windowResets = window.resets;
  if (r.ran) {
    const double cpuNs = static_cast<double>(after.cpuNs - before.cpuNs);
    r.cpuSeconds = cpuNs / 1e9;
    r.tickSeconds = static_cast<double>(after.tickNs - before.tickNs) / 1e9;
    r.threads = after.threads;
    const double wall = plan.idle ? plan.seconds : static_cast<double>(reader.LastReadNs() - firstSendNs) / 1e9;
    r.cpuPercent = wall > 0 ? 100.0 * r.cpuSeconds / wall : 0;
    r.wakeupsPerSecond = wall > 0 ? static_cast<double>(after.switches - before.switches) / wall : 0;
    if (plan.idle) {
      r.seconds = plan.seconds;
      r.unexpected = 0;
    }
    Analyse(r, reader, firstSeq, feeder ? feeder->Seq() : 0, firstSendNs);
    if (plan.idle) r.seconds = plan.seconds;
    if (r.bytesIntact > 0) r.cpuPerMB = r.cpuSeconds / (static_cast<double>(r.bytesIntact) / 1e6);
  }
  if (setup.verbose || !r.problem.empty() || !r.IntegrityOk())
    std::cerr << "[" << plan.name << "] program output (" << log << "):\n" << Tail(log, setup.verbose ? 40 : 12);
  if (!setup.keepDir) RemoveConfigDir(dir);
  else std::cerr << "[" << plan.name << "] kept " << dir << "\n";
  // A status file outside the run's directory goes with the run.
  if (setup.health && !setup.statusDir.empty()) (void)unlink(statusFile.c_str());
  return r;
}

}  // namespace relay
