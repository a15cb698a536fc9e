// Stream health with real parts: the real RTCM captures through the str2str
// caster to a pseudo-terminal, the real receiver log played back into it,
// the status file read as JSON while the stream runs, the service's health
// line, the recording, and the page in a terminal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include "../health/GpsdecodeCounts.h"
#include "support/Process.h"
#include "support/PtyPair.h"
#include "support/Str2StrCaster.h"
#include "support/TempDir.h"
#include "support/Tmux.h"
#include "support/WaitFor.h"

using namespace testing_support;

namespace {

// The stream's table entry; the tenth field says whether it wants the position.
std::string Entry(bool wantsPosition) {
  return std::string("Test;RTCM 3.3;1006(10),1077(1);2;GPS;NET;GBR;53.40;-2.60;") + (wantsPosition ? "1" : "0") +
         ";0;gen;none;N;N;9600;x";
}

// Evaluates a Python expression on the status file's JSON document `d`;
// "unreadable" when the file is missing or not JSON.
std::string Json(const std::string& file, const std::string& expression) {
  const std::string program =
      "import json,sys\ntry:\n d=json.load(open(sys.argv[1]))\nexcept Exception:\n print('unreadable'); sys.exit()\n"
      "r=eval(sys.argv[2])\nprint(' '.join(map(str,r)) if isinstance(r,tuple) else r)";
  FILE* pipe = popen(("python3 -c " + ShellQuote(program) + " " + ShellQuote(file) + " " + ShellQuote(expression) + " 2>&1").c_str(), "r");
  std::string out;
  char buffer[4096];
  while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  if (pipe != nullptr) pclose(pipe);
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

std::string Settings(int casterPort) {
  return "[NtripCaster]\nIP Port=127.0.0.1:" + std::to_string(casterPort) +
         "\nPassword=\nAttemps=10\nTime=1\n[Settings]\nOutput=0\n[COM-Port]\nCOM-Port=COM1\n"
         "Baudrate=115200\nDatabits=8 data bits\nParity=no parity\nStop Bits=1 stop bit\n"
         "[GNSS]\nMount Point=MP1\nNetwork=All\n[Design]\nColour=\n";
}

// A caster with one stream, a receiver on a pty, and a folder set up for it.
struct HealthRun {
  explicit HealthRun(bool wantsPosition = false) {
    Str2StrOptions options;
    options.entry = Entry(wantsPosition);
    caster = std::make_unique<Str2StrCaster>(options);
    started = caster->Start() && receiver.ok();
    dir.Write("GNSS.ini", Settings(caster->casterPort()));
    dir.Write("sourcetable.dat", "STR;MP1;" + options.entry + "\r\nENDSOURCETABLE\r\n");
  }
  std::unique_ptr<Str2StrCaster> caster;
  PtyPair receiver;
  TempDir dir;
  bool started = false;
};

constexpr char kCapture[] = "rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin";

// The capture with one bit flipped inside a frame's message (the capture
// starts within a frame: the damaged one is the first whole frame after
// byte 1000); answers that frame's message type.
int DamageOneFrame(std::string& bytes) {
  auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  size_t at = 1000;
  while (!(byte(at) == 0xD3 && byte(at + 6 + ((byte(at + 1) & 3) << 8) + byte(at + 2)) == 0xD3)) ++at;
  bytes[at + 5] ^= 0x10;
  return (byte(at + 3) << 4) | (byte(at + 4) >> 4);
}

// WGS 84, computed here apart from the program's own conversion.
void ToEcef(double latDeg, double lonDeg, double h, double& x, double& y, double& z) {
  const double a = 6378137.0, f = 1 / 298.257223563, e2 = f * (2 - f), rad = M_PI / 180;
  const double n = a / std::sqrt(1 - e2 * std::pow(std::sin(latDeg * rad), 2));
  x = (n + h) * std::cos(latDeg * rad) * std::cos(lonDeg * rad);
  y = (n + h) * std::cos(latDeg * rad) * std::sin(lonDeg * rad);
  z = (n * (1 - e2) + h) * std::sin(latDeg * rad);
}

}  // namespace

// Everything a service asks: every byte relayed and recorded exactly, the
// frames counted as the independent decoder counts them, the damaged one
// counted as bad, the receiver's fix and the baseline, the age growing in
// silence, and the health line in the log.
TEST(StreamHealth, ServiceReportsTheRealStream) {
  HealthRun run;
  ASSERT_TRUE(run.started) << run.caster->Log();
  // gpsdecode reports frames whatever their CRC: it decodes the capture as
  // recorded, and the damaged frame is taken off its type's count.
  DecodedCapture expected = RunGpsdecode(TestDataPath(kCapture));
  ASSERT_FALSE(expected.counts.empty());
  std::string stream = ReadFileBytes(TestDataPath(kCapture));
  --expected.counts[DamageOneFrame(stream)];
  const std::string status = run.dir.File("status.json");
  Process program({ProgramPath(), "--headless", "--start", "--dir", run.dir.path(), "--status-file", status,
                   "--health-interval", "1", "--record", run.dir.File("record.bin")},
                  {"FIELDCAST_COM1=" + run.receiver.SlavePath()}, run.dir.File("out.log"));
  ASSERT_TRUE(WaitFor([&] { return Json(status, "d['stream']['connected_s'] is not None") == "True"; }))
      << run.dir.Read("out.log") << Json(status, "d");

  // The receiver reports an RTK fixed position (the real log's sentences,
  // quality changed to 4 and the checksum made right again).
  const std::string log = ReadFileBytes(TestDataPath("nmea/ublox-zed-f9p-gngga-multignss-2019.gpsd.log"));
  const size_t begin = log.rfind("$GNGGA");
  std::string gga = log.substr(begin, log.find('*', begin) - begin);
  size_t comma = 0;
  for (int field = 0; field < 6; ++field) comma = gga.find(',', comma + 1);
  gga[comma + 1] = '4';
  unsigned char sum = 0;
  for (size_t i = 1; i < gga.size(); ++i) sum ^= static_cast<unsigned char>(gga[i]);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  gga += tail;

  std::string received;
  size_t fed = 0;
  ASSERT_TRUE(WaitFor([&] {
    if (fed < stream.size()) {
      const size_t piece = std::min<size_t>(2000, stream.size() - fed);
      if (run.caster->Feed(std::string_view(stream).substr(fed, piece))) fed += piece;
    }
    received += run.receiver.ReadMasterAvailable();
    (void)write(run.receiver.MasterFd(), gga.data(), gga.size());
    return received.size() >= stream.size();
  }, std::chrono::seconds(60))) << received.size() << " of " << stream.size();
  EXPECT_TRUE(received == stream) << "the relayed bytes differ";
  ASSERT_TRUE(WaitFor([&] { return Json(status, "d['rtcm']['frames']") == std::to_string(
      [&] { unsigned long n = 0; for (auto& [t, c] : expected.counts) n += c; return n; }()); }))
      << Json(status, "d");
  EXPECT_TRUE(WaitFor([&] { return Json(status, "d['receiver']['fix']") == "RTK fixed"; })) << Json(status, "d");

  EXPECT_EQ(Json(status, "d['rtcm']['bad_frames']"), "1");
  std::string counts;
  for (auto& [type, count] : expected.counts) counts += (counts.empty() ? "" : ",") + std::to_string(type) + ":" + std::to_string(count);
  EXPECT_EQ(Json(status, "','.join(k+':'+str(v) for k,v in sorted(d['rtcm']['messages'].items(), key=lambda i:int(i[0])))"), counts);
  EXPECT_EQ(Json(status, "d['rtcm']['station_id']"), std::to_string(expected.stationId));
  EXPECT_EQ(Json(status, "all(abs(a-b)<1e-3 for a,b in zip(d['rtcm']['station_ecef_m'],[" + std::to_string(expected.x) + "," +
                             std::to_string(expected.y) + "," + std::to_string(expected.z) + "]))"),
            "True");
  EXPECT_EQ(Json(status, "d['stream']['mount_point'], d['stream']['bytes'], d['receiver']['fix_quality']"),
            "MP1 " + std::to_string(stream.size()) + " 4");

  // The baseline from the receiver's reported position to base 25.
  const double lat = std::stod(Json(status, "d['receiver']['lat']")), lon = std::stod(Json(status, "d['receiver']['lon']")),
               h = std::stod(Json(status, "d['receiver']['height_m']"));
  double x = 0, y = 0, z = 0;
  ToEcef(lat, lon, h, x, y, z);
  const double km = std::sqrt(std::pow(x - expected.x, 2) + std::pow(y - expected.y, 2) + std::pow(z - expected.z, 2)) / 1000;
  EXPECT_NEAR(std::stod(Json(status, "d['receiver']['baseline_km']")), km, 0.002);

  // Silence: the age grows past the stale limit, and the log says so plainly.
  // Both come from one reading: on a busy machine the file may be rewritten
  // (or the silence end the connection) between two readings.
  ASSERT_TRUE(WaitFor([&] {
    return Json(status, "d['rtcm']['age_s'] > 10.5 and 'No corrections for' in d['warnings']") == "True";
  }, std::chrono::seconds(40))) << Json(status, "d");
  ASSERT_TRUE(WaitFor([&] { return run.dir.Read("out.log").find("although the stream is connected") != std::string::npos; }));
  program.Signal(SIGTERM);
  EXPECT_EQ(program.WaitExit(), 0);
  const std::string out = run.dir.Read("out.log");
  EXPECT_NE(out.find("health: RTK fixed, "), std::string::npos) << out;
  EXPECT_NE(out.find(" types, 1 bad, base 25 at "), std::string::npos) << out;
  EXPECT_TRUE(run.dir.Read("record.bin") == stream) << "the recording differs";
  // The last word of the status file is the program's end.
  EXPECT_EQ(Json(status, "d['stream']['connected_s']"), "None");
}

// A recording that cannot be written ends with a reason; the stream goes on.
// A position given on the command line is uploaded instead of a captured one.
TEST(StreamHealth, FullDiskEndsTheRecordingNotTheStreamAndFixedPositionIsUploaded) {
  HealthRun run(true);
  ASSERT_TRUE(run.started) << run.caster->Log();
  Process program({ProgramPath(), "--headless", "--start", "--dir", run.dir.path(), "--record", "/dev/full",
                   "--gga-position", "53.4,-2.6,120",
                   "--status-file", run.dir.File("status.json")},
                  {"FIELDCAST_COM1=" + run.receiver.SlavePath()}, run.dir.File("out.log"));
  std::string received;
  ASSERT_TRUE(WaitFor([&] {
    (void)run.caster->Feed("0123456789");
    received += run.receiver.ReadMasterAvailable();
    return received.size() >= 100;
  })) << run.dir.Read("out.log");
  // The reason follows the write that failed to be recorded, not before it.
  EXPECT_TRUE(WaitFor([&] {
    return run.dir.Read("out.log").find("recording /dev/full cannot be written (No space left on device)") !=
           std::string::npos;
  })) << run.dir.Read("out.log");
  EXPECT_TRUE(WaitFor([&] { return Json(run.dir.File("status.json"), "d['status'], d['gga_uploads']") == "Writing data to COM1... 1"; }))
      << Json(run.dir.File("status.json"), "d");
}

// The page in a terminal: F3 opens it over the running stream, it fits
// 40x16, refreshes, and Back returns to the main window.
TEST(StreamHealth, PageInATerminal) {
  HealthRun run;
  ASSERT_TRUE(run.started) << run.caster->Log();
  Tmux tmux("FIELDCAST_COM1=" + ShellQuote(run.receiver.SlavePath()) + " " + ShellQuote(ProgramPath()) + " --start --dir " +
                ShellQuote(run.dir.path()),
            40, 16);
  const std::string frames = ReadFileBytes(TestDataPath(kCapture));
  // The stream is accepted and flowing before the page is asked for.
  ASSERT_TRUE(tmux.WaitForText("Connected to Server")) << tmux.Capture();
  bool fed = false;
  ASSERT_TRUE(WaitFor([&] {
    if (!fed) fed = run.caster->Feed(frames);
    (void)run.receiver.ReadMasterAvailable();
    return tmux.Capture().find("Writing data to COM1") != std::string::npos;
  })) << tmux.Capture();
  tmux.SendKeys({"F3"});
  ASSERT_TRUE(tmux.WaitForText("Stream health")) << tmux.Capture();
  ASSERT_TRUE(WaitFor([&] {
    (void)run.receiver.ReadMasterAvailable();
    return tmux.Capture().find("Frames: 292 good, 0 bad") != std::string::npos;  // gpsdecode counts 292 too
  })) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("Caster: 127.0.0.1:"), std::string::npos) << tmux.Capture();
  EXPECT_NE(tmux.Capture().find("Back"), std::string::npos) << tmux.Capture();
  // The page is longer than the screen; its end is a page or two down, and
  // the refresh keeps it there.
  tmux.SendKeys({"NPage", "NPage"});
  ASSERT_TRUE(tmux.WaitForText("GGA uploads: 0")) << tmux.Capture();
  EXPECT_EQ(tmux.Capture().find("Caster: "), std::string::npos) << tmux.Capture();
  // The receiver is read from the moment the page was asked for, though
  // nothing wanted it read when the stream was accepted.
  const std::string log = ReadFileBytes(TestDataPath("nmea/ublox-zed-f9p-gngga-multignss-2019.gpsd.log"));
  const size_t begin = log.rfind("$GNGGA");
  const std::string gga = log.substr(begin, log.find('\n', begin) - begin) + "\n";
  ASSERT_TRUE(WaitFor([&] {
    (void)run.receiver.ReadMasterAvailable();
    (void)write(run.receiver.MasterFd(), gga.data(), gga.size());
    return tmux.Capture().find("HDOP") != std::string::npos;
  })) << tmux.Capture();
  tmux.SendKeys({"Escape"});
  ASSERT_TRUE(tmux.WaitForText("Bytes")) << tmux.Capture();
  EXPECT_EQ(tmux.Capture().find("Stream health"), std::string::npos) << tmux.Capture();
}
