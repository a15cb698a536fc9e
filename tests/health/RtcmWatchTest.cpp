// The RTCM 3 frame watch against the real captures, checked with an
// independent decoder, and the damaged, split and foreign streams it meets.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "health/GpsdecodeCounts.h"
#include "support/TempDir.h"
#include "health/Crc24q.h"
#include "health/RtcmWatch.h"

using testing_support::ReadFileBytes;
using testing_support::TestDataPath;

namespace {

void FeedInBlocks(RtcmWatch& watch, const std::string& bytes, size_t block, std::int64_t nowMs = 1000) {
  for (size_t at = 0; at < bytes.size(); at += block) {
    const std::string piece = bytes.substr(at, block);
    watch.Feed(reinterpret_cast<const std::uint8_t*>(piece.data()), piece.size(), nowMs);
  }
}

std::map<int, unsigned long> Counts(const RtcmWatch& watch) {
  std::map<int, unsigned long> counts;
  for (size_t i = 0; i < watch.TypeCountSize(); ++i) counts[watch.TypeAt(i).type] = watch.TypeAt(i).count;
  return counts;
}

// A frame with the given message (type in its first 12 bits) and a good CRC.
std::string Frame(const std::string& message) {
  std::string frame = {static_cast<char>(0xD3), static_cast<char>(message.size() >> 8),
                       static_cast<char>(message.size() & 0xFF)};
  frame += message;
  const std::uint32_t crc = Crc24q(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size());
  frame += {static_cast<char>(crc >> 16), static_cast<char>(crc >> 8), static_cast<char>(crc)};
  return frame;
}

std::string TypeOnly(int type) { return Frame({static_cast<char>(type >> 4), static_cast<char>((type & 0xF) << 4)}); }

}  // namespace

// Every block size, down to one byte, finds what the independent decoder
// finds: frames joined across blocks, no frame counted twice.
TEST(RtcmWatch, CapturesMatchGpsdecodeAtEveryBlockSize) {
  for (const char* name : {"rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin",
                           "rtcm/igs-ip-USCL00CHL0-rtcm3-all-msm.pyrtcm.bin", "rtcm/euref-ip-GRAS0-rtcm3.0-2011.gpsd.log"}) {
    const std::string path = TestDataPath(name);
    const DecodedCapture expected = RunGpsdecode(path);
    ASSERT_FALSE(expected.counts.empty()) << "gpsdecode found nothing in " << name;
    const std::string bytes = ReadFileBytes(path);
    for (size_t block : {size_t{1}, size_t{7}, size_t{500}, bytes.size()}) {
      SCOPED_TRACE(std::string(name) + " in blocks of " + std::to_string(block));
      RtcmWatch watch;
      FeedInBlocks(watch, bytes, block);
      EXPECT_EQ(Counts(watch), expected.counts);
      EXPECT_EQ(watch.BadFrames(), 0u);
      EXPECT_EQ(watch.Bytes(), bytes.size());
      EXPECT_FALSE(watch.NotRtcm3());
      ASSERT_TRUE(watch.StationInfo().known);
      EXPECT_EQ(watch.StationInfo().id, expected.stationId);
      EXPECT_NEAR(watch.StationInfo().ecef.x, expected.x, 1e-4);
      EXPECT_NEAR(watch.StationInfo().ecef.y, expected.y, 1e-4);
      EXPECT_NEAR(watch.StationInfo().ecef.z, expected.z, 1e-4);
    }
  }
}

TEST(RtcmWatch, AntennaHeightComesFrom1006) {
  RtcmWatch watch;
  FeedInBlocks(watch, ReadFileBytes(TestDataPath("rtcm/caster-stream-raw-rtcm3-msm7.pygnssutils.bin")), 500);
  EXPECT_EQ(watch.StationInfo().messageType, 1006);
  EXPECT_NEAR(watch.StationInfo().antennaHeightM, 0.1, 1e-9);  // gpsdecode: "h":0.1000
}

// One flipped bit is one bad frame; the frames before and after it are
// found, and the damaged one is not counted by its type.
TEST(RtcmWatch, DamagedFrameIsBadAndHidesNothing) {
  std::string damaged = TypeOnly(1077) + TypeOnly(1230) + TypeOnly(1087);
  damaged[8 + 4] ^= 0x01;  // the second frame's message (frames are 8 bytes)
  RtcmWatch watch;
  FeedInBlocks(watch, damaged, 3);
  EXPECT_EQ(watch.GoodFrames(), 2u);
  EXPECT_EQ(watch.BadFrames(), 1u);
  EXPECT_EQ(Counts(watch), (std::map<int, unsigned long>{{1077, 1}, {1087, 1}}));
}

// False preambles in a foreign stream are no errors: the stream is
// reported as not RTCM 3, and as text when it reads as text.
TEST(RtcmWatch, ForeignStreamsAreNotRtcm3NotErrors) {
  struct Case {
    std::string bytes;
    RtcmWatch::Foreign kind;
  };
  // The caster's RTCM 2 after its reply, as the port would get it, for a few seconds.
  const std::string capture = ReadFileBytes(TestDataPath("rtcm/sapos-EPS_NI-rtcm2.3-with-ntrip1-handshake-2011.gpsd.log"));
  const std::string payload = capture.substr(capture.find("ICY 200 OK\n\n") + 12);
  const std::string rtcm2 = payload + payload + payload;
  std::string binary;
  for (int i = 0; i < 5000; ++i) binary += static_cast<char>((i * 7919) % 251);
  std::string lines;
  while (lines.size() < 4000) lines += "$GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
  for (const Case& c : {Case{rtcm2, RtcmWatch::Foreign::Rtcm2}, Case{lines, RtcmWatch::Foreign::Text},
                        Case{binary, RtcmWatch::Foreign::Unknown}}) {
    RtcmWatch watch;
    FeedInBlocks(watch, c.bytes, 500);
    EXPECT_TRUE(watch.NotRtcm3());
    EXPECT_EQ(watch.ForeignKind(), c.kind);
    EXPECT_EQ(watch.BadFrames(), 0u);
    EXPECT_EQ(watch.GoodFrames(), 0u);
  }
  // Too few bytes to tell yet: not reported either way.
  RtcmWatch early;
  FeedInBlocks(early, lines.substr(0, 2 * RtcmWatch::kMaxFrame - 1), 500);
  EXPECT_FALSE(early.NotRtcm3());
}

// Failures before the first good frame count once the stream proves RTCM 3.
TEST(RtcmWatch, BadFramesBeforeTheFirstGoodOneCountLater) {
  std::string broken = TypeOnly(1077);
  broken.back() ^= 0x01;
  RtcmWatch watch;
  FeedInBlocks(watch, broken, 500);
  EXPECT_EQ(watch.BadFrames(), 0u);
  FeedInBlocks(watch, TypeOnly(1077), 500);
  EXPECT_EQ(watch.BadFrames(), 1u);
  EXPECT_EQ(watch.GoodFrames(), 1u);
}

TEST(RtcmWatch, LongestAndEmptyFramesAreFrames) {
  std::string longest(1023, '\0');
  longest[0] = static_cast<char>(1230 >> 4);
  longest[1] = static_cast<char>((1230 & 0xF) << 4);
  RtcmWatch watch;
  FeedInBlocks(watch, Frame(longest) + Frame("") + TypeOnly(1019), 100);
  EXPECT_EQ(watch.GoodFrames(), 3u);
  EXPECT_EQ(watch.OtherTypeFrames(), 1u);  // the empty one has no type
  EXPECT_EQ(Counts(watch), (std::map<int, unsigned long>{{1230, 1}, {1019, 1}}));
}

// Rates: a frame counts for the minute after it, not a second longer; the
// age follows the last good frame.
TEST(RtcmWatch, RateWindowIsTheLastMinute) {
  RtcmWatch watch;
  const std::string frame = TypeOnly(1077);
  for (std::int64_t second = 100; second < 110; ++second) FeedInBlocks(watch, frame, 500, second * 1000 + 500);
  EXPECT_EQ(watch.LastGoodMs(), 109'500);
  EXPECT_EQ(watch.FramesLastMinute(0, 109'900), 10u);
  EXPECT_EQ(watch.FramesLastMinute(0, 159'999), 10u);  // second 159: 100..159
  EXPECT_EQ(watch.FramesLastMinute(0, 160'000), 9u);   // second 100 has left
  EXPECT_EQ(watch.FramesLastMinute(0, 168'999), 1u);
  EXPECT_EQ(watch.FramesLastMinute(0, 169'000), 0u);
  // A burst long after: the stale slots start again from zero.
  FeedInBlocks(watch, frame, 500, 500'000);
  EXPECT_EQ(watch.FramesLastMinute(0, 500'000), 1u);
  EXPECT_EQ(watch.TypeAt(0).count, 11u);
}
