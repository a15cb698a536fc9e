// The receiver's side: GGA sentences of any talker, the real receiver logs,
// the positions and the baseline, and the rules that turn them into warnings.
#include <gtest/gtest.h>

#include <string>

#include "support/TempDir.h"
#include "health/Crc24q.h"
#include "health/Geodesy.h"
#include "health/GgaBuilder.h"
#include "health/GgaFix.h"
#include "health/StreamHealth.h"

using testing_support::ReadFileBytes;
using testing_support::TestDataPath;

namespace {

// "$" body "*hh" with the right checksum.
std::string Sentence(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
  return "$" + body + tail;
}

std::string GgaBody(const std::string& talker, int quality, const std::string& position = "0000.0000,N,00000.0000,E",
                    const std::string& heights = "10.0,M,-10.0,M") {
  return talker + "GGA,120000.00," + position + "," + std::to_string(quality) + ",12,0.8," + heights + ",1.5,0025";
}

std::string FrameOf(int type) {
  std::string frame = {static_cast<char>(0xD3), 0, 2, static_cast<char>(type >> 4), static_cast<char>((type & 0xF) << 4)};
  const std::uint32_t crc = Crc24q(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size());
  return frame + std::string{static_cast<char>(crc >> 16), static_cast<char>(crc >> 8), static_cast<char>(crc)};
}

}  // namespace

TEST(ReceiverHealth, FixQualityNames) {
  const wchar_t* names[] = {L"no fix", L"GPS", L"DGPS", L"PPS", L"RTK fixed", L"RTK float", L"estimated", L"manual", L"simulation"};
  for (int q = 0; q <= 8; ++q) EXPECT_EQ(FixQualityName(q), names[q]);
  EXPECT_EQ(FixQualityName(9), L"unknown");
  EXPECT_EQ(FixQualityName(-1), L"unknown");
}

TEST(ReceiverHealth, GgaFieldsAndTheirAbsence) {
  GgaFix fix;
  ASSERT_TRUE(ParseGga(Sentence(GgaBody("GN", 4, "4807.0380,S,01131.0000,W", "545.4,M,46.9,M")), fix));
  EXPECT_EQ(fix.quality, 4);
  EXPECT_EQ(fix.satellites, 12);
  EXPECT_DOUBLE_EQ(fix.hdop, 0.8);
  EXPECT_DOUBLE_EQ(fix.correctionAgeS, 1.5);
  ASSERT_TRUE(fix.hasPosition);
  EXPECT_NEAR(fix.position.latDeg, -(48 + 7.038 / 60), 1e-9);
  EXPECT_NEAR(fix.position.lonDeg, -(11 + 31.0 / 60), 1e-9);
  EXPECT_NEAR(fix.position.heightM, 545.4 + 46.9, 1e-9);  // altitude + geoid separation

  ASSERT_TRUE(ParseGga(Sentence("GPGGA,,,,,,0,,,,,,,,"), fix));  // a receiver without a fix
  EXPECT_EQ(fix.quality, 0);
  EXPECT_EQ(fix.satellites, -1);
  EXPECT_EQ(fix.hdop, -1);
  EXPECT_EQ(fix.correctionAgeS, -1);
  EXPECT_FALSE(fix.hasPosition);

  std::string wrongSum = Sentence(GgaBody("GP", 4));
  wrongSum[wrongSum.size() - 3] ^= 1;
  for (const std::string& bad : {wrongSum, std::string("$GPGGA,120000,,,,,4,12,0.8,,,,,,"), Sentence(GgaBody("GP", 4)).substr(0, 40),
                                 Sentence("GPRMC,120000.00,A,4807.038,N,01131.000,E,0.0,0.0,010120,,,A"),
                                 Sentence("GPGGA,120000.00,,,,,X,12,0.8,,,,,,")})
    EXPECT_FALSE(ParseGga(bad, fix)) << bad;
}

// The newest sentence of the real logs, whatever the talker, in reads of
// any size: the reader agrees with the log's last GGA line.
TEST(ReceiverHealth, RealLogsGiveTheirNewestGga) {
  for (const char* name : {"nmea/ublox-zed-f9p-gngga-multignss-2019.gpsd.log", "nmea/skytraq-s2525f8-gpgga-dgps-fix2-2016.gpsd.log",
                           "nmea/ch-4711-mixed-gp-gn-gl-talkers-2009.gpsd.log"}) {
    const std::string log = ReadFileBytes(TestDataPath(name));
    const size_t last = log.rfind("GGA,");
    ASSERT_NE(last, std::string::npos);
    const size_t end = log.find('\n', last);
    GgaFix expected;
    ASSERT_TRUE(ParseGga(log.substr(last - 3, end - last + 3), expected)) << name;
    for (size_t block : {size_t{1}, size_t{13}, size_t{500}}) {
      GgaFixReader reader;
      GgaFix fix;
      for (size_t at = 0; at < log.size(); at += block) reader.Feed(log.data() + at, std::min(block, log.size() - at), fix);
      EXPECT_TRUE(fix.seen);
      EXPECT_EQ(fix.quality, expected.quality) << name;
      EXPECT_EQ(fix.satellites, expected.satellites) << name;
      EXPECT_DOUBLE_EQ(fix.position.latDeg, expected.position.latDeg) << name;
    }
  }
}

TEST(ReceiverHealth, GeodesyKnownPoints) {
  struct Case {
    Geodetic g;
    Ecef e;
  };
  for (const Case& c : {Case{{0, 0, 0}, {6378137.0, 0, 0}}, Case{{90, 0, 0}, {0, 0, 6356752.314245}},
                        Case{{0, 90, 100}, {0, 6378237.0, 0}}, Case{{0, -180, 0}, {-6378137.0, 0, 0}}}) {
    const Ecef e = ToEcef(c.g);
    EXPECT_NEAR(e.x, c.e.x, 1e-3);
    EXPECT_NEAR(e.y, c.e.y, 1e-3);
    EXPECT_NEAR(e.z, c.e.z, 1e-3);
  }
  const Ecef base{3811965.6701, -175800.0708, 5093615.5606};  // base 25 of the msm7 capture
  const Ecef back = ToEcef(ToGeodetic(base));
  EXPECT_LT(DistanceM(base, back), 1e-3);
}

// Receiver at latitude 0, longitude 0, height 10 - 10 = 0; base 1.5 km
// straight up along the x axis.
TEST(ReceiverHealth, BaselineFromReceiverToBase) {
  StreamHealth health;
  const std::string gga = Sentence(GgaBody("GN", 4));
  health.OnReceiverText(gga.data(), gga.size(), 1000);
  std::string base1005 = {static_cast<char>(0xD3), 0, 19};
  // Type 1005, station 25, ITRF 0, flags 0, x = (6378137 + 1500) m in 0.1 mm, y = z = 0.
  std::uint8_t message[19] = {};
  auto put = [&message](int from, int bits, std::uint64_t value) {
    for (int i = 0; i < bits; ++i)
      if ((value >> (bits - 1 - i)) & 1) message[(from + i) / 8] |= static_cast<std::uint8_t>(0x80 >> ((from + i) % 8));
  };
  put(0, 12, 1005);
  put(12, 12, 25);
  put(34, 38, static_cast<std::uint64_t>((6378137.0 + 1500.0) * 10000));
  base1005.append(reinterpret_cast<const char*>(message), sizeof message);
  const std::uint32_t crc = Crc24q(reinterpret_cast<const std::uint8_t*>(base1005.data()), base1005.size());
  base1005 += {static_cast<char>(crc >> 16), static_cast<char>(crc >> 8), static_cast<char>(crc)};
  health.OnBlockWritten(base1005.data(), base1005.size(), 1000);
  const HealthSnapshot s = health.Take(2000);
  ASSERT_TRUE(s.station.known);
  EXPECT_EQ(s.station.id, 25);
  ASSERT_TRUE(s.baselineKm);
  EXPECT_NEAR(*s.baselineKm, 1.5, 1e-6);
  EXPECT_EQ(s.receiver.quality, 4);
}

// "Does not use them": a minute of no fix or plain GPS while the
// corrections are fresh; not a second earlier, not with an RTK fix, not
// with stale corrections.
TEST(ReceiverHealth, ReceiverThatIgnoresCorrectionsAfterAMinute) {
  struct Case {
    int quality;
    std::int64_t correctionsEveryMs;
    std::int64_t forMs;
    bool warned;
  };
  for (const Case& c : {Case{1, 1000, 60'000, true}, Case{0, 1000, 60'000, true}, Case{1, 1000, 59'000, false},
                        Case{4, 1000, 120'000, false}, Case{5, 1000, 120'000, false}, Case{2, 1000, 120'000, false},
                        Case{1, 12'000, 120'000, false}}) {
    StreamHealth health;
    const std::string frame = FrameOf(1077);
    const std::string gga = Sentence(GgaBody("GP", c.quality));
    std::int64_t lastFrame = -1'000'000;
    for (std::int64_t t = 0; t <= c.forMs; t += 1000) {
      if (t - lastFrame >= c.correctionsEveryMs) {
        health.OnBlockWritten(frame.data(), frame.size(), t);
        lastFrame = t;
      }
      health.OnReceiverText(gga.data(), gga.size(), t);
    }
    const HealthSnapshot s = health.Take(c.forMs);
    EXPECT_EQ(s.unusedCorrectionsS >= StreamHealth::kUnusedAfterS, c.warned)
        << "quality " << c.quality << " every " << c.correctionsEveryMs << " for " << c.forMs;
  }
}

// --gga-position: what is given is what the caster reads back, with the
// sentence's own checksum right; out-of-range and malformed values refused.
TEST(ReceiverHealth, FixedPositionGga) {
  FixedPosition p;
  ASSERT_TRUE(ParseFixedPosition("-33.8568,151.2153,58.5", p));
  const std::string gga = BuildGga(p, 1'700'000'000);  // 2023-11-14 22:13:20 UTC
  EXPECT_EQ(gga, "$GPGGA,221320.00,3351.40800,S,15112.91800,E,1,12,1.0,58.500,M,0.000,M,,*" + gga.substr(gga.size() - 4));
  GgaFix fix;
  ASSERT_TRUE(ParseGga(gga, fix));  // checks the checksum
  EXPECT_EQ(fix.quality, 1);
  EXPECT_NEAR(fix.position.latDeg, -33.8568, 1e-6);
  EXPECT_NEAR(fix.position.lonDeg, 151.2153, 1e-6);
  EXPECT_NEAR(fix.position.heightM, 58.5, 1e-9);
  // Minutes that round up carry into the degrees.
  ASSERT_TRUE(ParseFixedPosition("47.9999999999,8,0", p));
  EXPECT_NE(BuildGga(p, 0).find(",4800.00000,N,00800.00000,E,"), std::string::npos) << BuildGga(p, 0);
  for (const char* good : {"90,180,0", "-90,-180,-1000", "0,0,100000"}) EXPECT_TRUE(ParseFixedPosition(good, p)) << good;
  for (const char* bad : {"90.0001,0,0", "0,180.0001,0", "0,0,-1000.1", "0,0", "0,0,0,0", "a,0,0", "0,,0", "", "1e3,0,0", "nan,0,0"})
    EXPECT_FALSE(ParseFixedPosition(bad, p)) << bad;
}
