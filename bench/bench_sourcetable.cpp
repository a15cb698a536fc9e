// Parsing speed of large source tables built from the real tables' STR
// records: MB/s and microseconds per stream for 1,000, 10,000 and 90,000
// streams (time should grow linearly), a plain three-pass read of the same
// file for comparison, the peak memory of a fresh process reading the table
// once, and GetMountpoint for the last stream.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/File.h"
#include "platform/Text.h"
#include "sourcetable/SourceTable.h"

namespace {

const char* const kTables[] = {"auscors-bkgcaster-ntrip2-2017.txt", "bkg-professional-ntripcaster-sample.sourcetable.dat",
                               "geortk-japan-utf8-body-2026.sourcetable", "rgapa-asturias-leica-spider-body-2026.crcrlf.sourcetable",
                               "sapos-advcaster-ntrip1-2017.gpsd.log"};

// Real records: every STR and NET line of the tables above that has at least
// the full field count, so no record swallows its neighbour.
void CollectRecords(std::vector<std::string>& streams, std::vector<std::string>& networks) {
  for (const char* name : kTables) {
    std::ifstream in(std::string(FIELDCAST_TESTDATA_DIR) + "/sourcetables/" + name, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      size_t separators = 0;
      for (char c : line) separators += c == ';';
      if (line.rfind("STR;", 0) == 0 && separators >= 18) streams.push_back(line + "\n");
      if (line.rfind("NET;", 0) == 0 && separators >= 8) networks.push_back(line + "\n");
    }
  }
}

// Writes a table of `count` streams once per size and answers its path.
const std::string& TableFile(size_t count) {
  static std::map<size_t, std::string> files;
  auto found = files.find(count);
  if (found != files.end()) return found->second;
  std::vector<std::string> streams, networks;
  CollectRecords(streams, networks);
  std::string text = "CAS;caster.example;2101;EX;Operator;0;DEU;50.1;8.6;fb;2102;misc\n";
  for (const std::string& n : networks) text += n;
  for (size_t i = 0; i < count; ++i) text += streams[i % streams.size()];
  text += "ENDSOURCETABLE\r\n";
  char path[] = "/tmp/bench_sourcetable.XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
  ::close(fd);
  return files.emplace(count, path).first->second;
}

void RemoveTables() {
  for (size_t count : {1000u, 10000u, 90000u}) std::remove(TableFile(count).c_str());
}

// Reading the table again into the same SourceTable, as after a download:
// the entries are refilled in place.
void BM_ReadSourceTable(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  SourceTable table;
  table.m_strFileName = platform::WidenLocal(TableFile(count));
  std::ifstream in(TableFile(count), std::ios::binary | std::ios::ate);
  const auto bytes = static_cast<int64_t>(in.tellg());
  for (auto _ : state) {
    if (!table.ReadSourceTable() || table.m_cityTable.size() != count) state.SkipWithError("parse failed");
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  // Seconds per stream; the report prints it in microseconds ("u").
  state.counters["per_stream"] = benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The first read of a table into an empty SourceTable, as at start-up:
// nothing can be reused, every text is allocated. The old table is freed
// outside the timing.
void BM_FirstReadSourceTable(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  const std::wstring path = platform::WidenLocal(TableFile(count));
  for (auto _ : state) {
    auto table = std::make_unique<SourceTable>();
    table->m_strFileName = path;
    if (!table->ReadSourceTable() || table->m_cityTable.size() != count) state.SkipWithError("parse failed");
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
  state.counters["per_stream"] = benchmark::Counter(static_cast<double>(count) * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Reads the same file three times in 3999-byte blocks and touches every
// byte: the floor any three-pass parser stands on.
void BM_PlainThreePassRead(benchmark::State& state) {
  const std::wstring path = platform::WidenLocal(TableFile(static_cast<size_t>(state.range(0))));
  char block[3999];  // the parser's block size (bytes)
  int64_t bytes = 0;
  for (auto _ : state) {
    CFile file;
    if (!file.Open(path, CFile::modeRead)) state.SkipWithError("open failed");
    unsigned lineFeeds = 0;
    for (int pass = 0; pass < 3; ++pass) {
      if (!file.SeekToBegin()) state.SkipWithError("seek failed");
      for (long got; (got = file.Read(block, sizeof block)) > 0;) {
        for (long i = 0; i < got; ++i) lineFeeds += block[i] == '\n';
        bytes += got;
      }
    }
    benchmark::DoNotOptimize(lineFeeds);
  }
  state.SetBytesProcessed(bytes / 3);
}

// The peak resident memory of a fresh process that reads the table once, as
// the program does at start-up: the process is this benchmark started again
// with --peak-rss-of, so nothing read before counts.
long PeakRssKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

int ReportPeakRssOf(const char* path) {
  const long before = PeakRssKilobytes();
  SourceTable table;
  table.m_strFileName = platform::WidenLocal(path);
  if (!table.ReadSourceTable()) return 1;
  std::printf("%ld %ld %zu\n", before, PeakRssKilobytes(), table.m_cityTable.size());
  return 0;
}

void BM_PeakRssFirstRead(benchmark::State& state) {
  const size_t count = static_cast<size_t>(state.range(0));
  const std::string command = "/proc/" + std::to_string(::getpid()) + "/exe --peak-rss-of " + TableFile(count);
  long before = -1, peak = -1;
  size_t streams = 0;
  for (auto _ : state) {
    FILE* child = ::popen(command.c_str(), "r");
    if (child == nullptr || std::fscanf(child, "%ld %ld %zu", &before, &peak, &streams) != 3) state.SkipWithError("no figure");
    if (child != nullptr) ::pclose(child);
  }
  if (streams != count) state.SkipWithError("parse failed");
  std::ifstream in(TableFile(count), std::ios::binary | std::ios::ate);
  state.counters["file_MB"] = static_cast<double>(in.tellg()) / 1e6;
  state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
  state.counters["start_rss_MB"] = static_cast<double>(before) / 1024.0;
  state.counters["bytes_per_stream"] = static_cast<double>(peak - before) * 1024.0 / static_cast<double>(count);
}

void BM_GetMountpointLastStream(benchmark::State& state) {
  SourceTable table;
  table.m_strFileName = platform::WidenLocal(TableFile(static_cast<size_t>(state.range(0))));
  if (!table.ReadSourceTable()) state.SkipWithError("parse failed");
  // The label of the last stream; with duplicates, its first occurrence is
  // found earlier, so make the last one unique.
  table.m_cityTable.SetLabel(table.m_cityTable.size() - 1, L"the last stream");
  bool needsNmea = false;
  for (auto _ : state) benchmark::DoNotOptimize(table.GetMountpoint(L"the last stream", needsNmea));
}

}  // namespace

BENCHMARK(BM_ReadSourceTable)->Arg(1000)->Arg(10000)->Arg(90000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstReadSourceTable)->Arg(1000)->Arg(10000)->Arg(90000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainThreePassRead)->Arg(1000)->Arg(10000)->Arg(90000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeakRssFirstRead)->Arg(10000)->Arg(90000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GetMountpointLastStream)->Arg(10000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--peak-rss-of") return ReportPeakRssOf(argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  RemoveTables();
  return 0;
}
