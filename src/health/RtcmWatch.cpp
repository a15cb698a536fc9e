#include "health/RtcmWatch.h"

#include <algorithm>
#include <cstring>

#include "health/Crc24q.h"

namespace {

constexpr std::uint8_t kPreamble = 0xD3;

// Reads big-endian bit fields, as RTCM 3 packs them.
class BitReader {
 public:
  BitReader(const std::uint8_t* bytes, std::size_t count) : m_bytes(bytes), m_bits(count * 8) {}
  bool Has(std::size_t bits) const { return m_pos + bits <= m_bits; }
  std::uint64_t Unsigned(int bits) {
    std::uint64_t value = 0;
    for (int i = 0; i < bits; ++i, ++m_pos) value = (value << 1) | ((m_bytes[m_pos / 8] >> (7 - m_pos % 8)) & 1);
    return value;
  }
  std::int64_t Signed(int bits) {
    const std::uint64_t value = Unsigned(bits);
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    return static_cast<std::int64_t>(value ^ sign) - static_cast<std::int64_t>(sign);
  }
  void Skip(std::size_t bits) { m_pos += bits; }

 private:
  const std::uint8_t* m_bytes;
  std::size_t m_bits;
  std::size_t m_pos = 0;
};

}  // namespace

void RtcmWatch::Feed(const std::uint8_t* bytes, std::size_t count, std::int64_t nowMs) {
  m_bytes += count;
  if (m_good == 0) {  // only a stream not (yet) known as RTCM 3 needs a name
    for (std::size_t i = 0; i < count; ++i) {
      const std::uint8_t b = bytes[i];
      if (b == '\r' || b == '\n') ++m_lineEnds;
      if ((b >= 0x20 && b < 0x7F) || b == '\r' || b == '\n' || b == '\t') ++m_printable;
      if (b >= 0x40 && b <= 0x7F) ++m_sixBit;
    }
  }
  while (count > 0) {
    const std::size_t take = std::min(count, m_frame.size() - m_have);
    std::memcpy(m_frame.data() + m_have, bytes, take);
    m_have += take;
    bytes += take;
    count -= take;
    Drain(nowMs);
  }
}

RtcmWatch::Foreign RtcmWatch::ForeignKind() const {
  if (m_bytes == 0) return Foreign::Unknown;
  if (m_sixBit * 10 >= m_bytes * 9 && m_lineEnds * 100 < m_bytes) return Foreign::Rtcm2;
  if (m_printable * 10 >= m_bytes * 9) return Foreign::Text;
  return Foreign::Unknown;
}

void RtcmWatch::Shift(std::size_t by) {
  by = std::min(by, m_have);
  std::memmove(m_frame.data(), m_frame.data() + by, m_have - by);
  m_have -= by;
}

// Takes every whole frame off the front of the buffer; leaves a frame's
// beginning waiting for its end. The buffer holds a whole frame at most,
// so a frame that waits always has room for the rest.
void RtcmWatch::Drain(std::int64_t nowMs) {
  while (m_have > 0) {
    if (m_frame[0] != kPreamble) {
      const auto* next = static_cast<const std::uint8_t*>(std::memchr(m_frame.data() + 1, kPreamble, m_have - 1));
      Shift(next == nullptr ? m_have : static_cast<std::size_t>(next - m_frame.data()));
      continue;
    }
    if (m_have < 2) return;
    if ((m_frame[1] & 0xFC) != 0) {  // the reserved bits: no frame starts here
      Shift(1);
      continue;
    }
    if (m_have < 3) return;
    const std::size_t length = (static_cast<std::size_t>(m_frame[1] & 0x03) << 8) | m_frame[2];
    const std::size_t total = 3 + length + 3;
    if (m_have < total) return;
    const std::uint32_t expected = (std::uint32_t{m_frame[3 + length]} << 16) | (std::uint32_t{m_frame[4 + length]} << 8) |
                                   m_frame[5 + length];
    if (Crc24q(m_frame.data(), 3 + length) == expected) {
      OnGoodFrame(m_frame.data() + 3, length, nowMs);
      Shift(total);
    } else {
      ++(m_good > 0 ? m_bad : m_badBeforeFirstGood);
      Shift(1);
    }
  }
}

void RtcmWatch::OnGoodFrame(const std::uint8_t* message, std::size_t length, std::int64_t nowMs) {
  ++m_good;
  m_lastGoodMs = nowMs;
  if (length < 2) {  // an empty frame (some casters send them to keep the line up): no type
    ++m_otherTypes;
    return;
  }
  BitReader bits(message, length);
  const int type = static_cast<int>(bits.Unsigned(12));
  CountType(type, nowMs);
  if ((type != 1005 && type != 1006) || !bits.Has(140 + (type == 1006 ? 16 : 0))) return;
  Station station;
  station.known = true;
  station.messageType = type;
  station.id = static_cast<int>(bits.Unsigned(12));
  bits.Skip(6 + 4);  // ITRF year; GPS, GLONASS, Galileo, reference-station flags
  station.ecef.x = static_cast<double>(bits.Signed(38)) * 0.0001;
  bits.Skip(2);  // oscillator flag, reserved
  station.ecef.y = static_cast<double>(bits.Signed(38)) * 0.0001;
  bits.Skip(2);  // quarter-cycle indicator
  station.ecef.z = static_cast<double>(bits.Signed(38)) * 0.0001;
  if (type == 1006) station.antennaHeightM = static_cast<double>(bits.Unsigned(16)) * 0.0001;
  m_station = station;
}

void RtcmWatch::CountType(int type, std::int64_t nowMs) {
  std::size_t i = 0;
  while (i < m_typeCount && m_types[i].type != type) ++i;
  if (i == m_typeCount) {
    if (m_typeCount == m_types.size()) {
      ++m_otherTypes;
      return;
    }
    m_types[m_typeCount++] = TypeCount{type, 0, {}, nowMs / 1000};
  }
  TypeCount& slot = m_types[i];
  const std::int64_t second = nowMs / 1000;
  // Slots of the seconds that passed without this type start again from 0.
  for (std::int64_t s = slot.lastSecond + 1; s <= second && s <= slot.lastSecond + kRateSeconds; ++s)
    slot.perSecond[static_cast<std::size_t>(s % kRateSeconds)] = 0;
  slot.lastSecond = std::max(slot.lastSecond, second);
  ++slot.count;
  ++slot.perSecond[static_cast<std::size_t>(second % kRateSeconds)];
}

std::uint32_t RtcmWatch::FramesLastMinute(std::size_t i, std::int64_t nowMs) const {
  const TypeCount& slot = m_types[i];
  const std::int64_t second = nowMs / 1000;
  std::uint32_t sum = 0;
  // Only the slots of seconds within the last minute still count.
  for (std::int64_t s = std::max(second - kRateSeconds + 1, slot.lastSecond - kRateSeconds + 1); s <= slot.lastSecond; ++s)
    if (s >= 0) sum += slot.perSecond[static_cast<std::size_t>(s % kRateSeconds)];
  return sum;
}
