#pragma once
// Checks the byte stream read from the pty master as it arrives: every byte
// must belong to an intact frame, frames must come in the order sent, once.
// A frame's arrival is the read that delivered its last byte.
#include <cstdint>
#include <span>
#include <vector>

#include "Frame.h"

namespace relay {

struct Arrival {
  std::uint32_t seq = 0;
  std::uint32_t length = 0;
  std::uint64_t sendNs = 0;
  std::uint64_t arriveNs = 0;
  bool warmup = false;
};

struct StreamFaults {
  std::uint64_t badBytes = 0;      // after the first intact frame, not part of one
  std::uint64_t presyncBytes = 0;  // before the first intact frame
  std::uint64_t duplicates = 0;
  std::uint64_t reordered = 0;     // came after a higher seq, first time seen
  std::uint64_t trailingBytes = 0; // an incomplete frame left at the end
};

class Verifier {
 public:
  void Feed(std::span<const std::uint8_t> bytes, std::uint64_t arriveNs);
  // Whatever is still buffered can never complete.
  void Finish();

  const std::vector<Arrival>& Arrivals() const { return m_arrivals; }
  const StreamFaults& Faults() const { return m_faults; }
  std::uint64_t BytesSeen() const { return m_bytesSeen; }

 private:
  void Parse(std::uint64_t arriveNs);
  void Discard(std::size_t count);
  void Accept(const FrameHeader& header, std::uint64_t arriveNs);

  std::vector<std::uint8_t> m_buffer;
  std::size_t m_start = 0;  // first unparsed byte of m_buffer
  std::vector<Arrival> m_arrivals;
  std::vector<bool> m_seen;
  StreamFaults m_faults;
  std::uint64_t m_bytesSeen = 0;
  bool m_synced = false;
  bool m_anySeq = false;
  std::uint32_t m_highestSeq = 0;
};

}  // namespace relay
