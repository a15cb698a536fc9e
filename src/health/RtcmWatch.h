#pragma once
// RtcmWatch: reads a copy of the correction stream and finds its RTCM 3
// frames (preamble 0xD3, six zero bits, a 10-bit length, the message, a
// CRC-24Q). Frames split across blocks are joined. A frame that passes the
// CRC is counted by its message type; one that fails is counted as bad
// and the search goes on one byte after its preamble, so a damaged frame
// never hides the frame after it.
//
// A stream that never yields a good frame is not RTCM 3 (RTCM 2, text):
// its false preambles are not errors, so bad frames count only once the
// stream showed itself as RTCM 3 (the failures before the first good frame
// are added then).
//
// Cost per block: a copy into a fixed frame buffer and a table CRC; no
// allocation, no lock. Used by one thread at a time.
#include <array>
#include <cstddef>
#include <cstdint>

#include "health/Geodesy.h"

class RtcmWatch {
 public:
  static constexpr std::size_t kMaxFrame = 3 + 1023 + 3;
  // Distinct message types counted; more are counted as "other" only.
  static constexpr std::size_t kMaxTypes = 64;
  static constexpr int kRateSeconds = 60;

  struct TypeCount {
    int type = 0;
    std::uint64_t count = 0;
    // Frames per one-second slot of the last minute, by second modulo 60.
    std::array<std::uint32_t, kRateSeconds> perSecond{};
    std::int64_t lastSecond = 0;  // the second perSecond was last advanced to
  };

  struct Station {
    bool known = false;
    int id = 0;
    int messageType = 0;  // 1005 or 1006
    Ecef ecef;            // the antenna reference point
    double antennaHeightM = 0;  // above the marker (1006 only)
  };

  // `nowMs`: monotonic milliseconds, for the rates and the age.
  void Feed(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs);

  std::uint64_t Bytes() const { return m_bytes; }
  std::uint64_t GoodFrames() const { return m_good; }
  std::uint64_t BadFrames() const { return m_good > 0 ? m_bad + m_badBeforeFirstGood : 0; }
  std::uint64_t OtherTypeFrames() const { return m_otherTypes; }
  // Milliseconds of the last good frame; -1 before the first.
  std::int64_t LastGoodMs() const { return m_lastGoodMs; }
  const Station& StationInfo() const { return m_station; }
  std::size_t TypeCountSize() const { return m_typeCount; }
  const TypeCount& TypeAt(std::size_t i) const { return m_types[i]; }
  // Frames of type slot `i` within the last minute before `nowMs`.
  std::uint32_t FramesLastMinute(std::size_t i, std::int64_t nowMs) const;
  // Whether the stream so far shows itself as something other than RTCM 3:
  // enough bytes without a good frame.
  bool NotRtcm3() const { return m_good == 0 && m_bytes >= kNotRtcm3AfterBytes; }
  // What such a stream looks like: RTCM 2 sends six data bits a byte
  // (0x40 to 0x7F) without line ends; a text stream sends lines.
  enum class Foreign { Unknown, Rtcm2, Text };
  Foreign ForeignKind() const;

 private:
  static constexpr std::uint64_t kNotRtcm3AfterBytes = 2 * kMaxFrame;

  void Drain(std::int64_t nowMs);
  void Shift(std::size_t by);
  void OnGoodFrame(const std::uint8_t* message, std::size_t length, std::int64_t nowMs);
  void CountType(int type, std::int64_t nowMs);

  std::array<std::uint8_t, kMaxFrame> m_frame{};
  std::size_t m_have = 0;
  std::uint64_t m_bytes = 0;
  std::uint64_t m_printable = 0;
  std::uint64_t m_sixBit = 0;
  std::uint64_t m_lineEnds = 0;
  std::uint64_t m_good = 0;
  std::uint64_t m_bad = 0;
  std::uint64_t m_badBeforeFirstGood = 0;
  std::uint64_t m_otherTypes = 0;
  std::int64_t m_lastGoodMs = -1;
  Station m_station;
  std::array<TypeCount, kMaxTypes> m_types{};
  std::size_t m_typeCount = 0;
};
