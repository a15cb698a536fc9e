#include "Verifier.h"

#include <algorithm>
#include <cstring>

namespace relay {

void Verifier::Feed(std::span<const std::uint8_t> bytes, std::uint64_t arriveNs) {
  m_bytesSeen += bytes.size();
  m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
  Parse(arriveNs);
  // Keep the buffer from growing with the run: drop what is parsed.
  if (m_start > 0 && m_start * 2 >= m_buffer.size()) {
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(m_start));
    m_start = 0;
  }
}

void Verifier::Finish() {
  m_faults.trailingBytes += m_buffer.size() - m_start;
  m_buffer.clear();
  m_start = 0;
}

void Verifier::Discard(std::size_t count) {
  (m_synced ? m_faults.badBytes : m_faults.presyncBytes) += count;
  m_start += count;
}

void Verifier::Parse(std::uint64_t arriveNs) {
  for (;;) {
    const std::span<const std::uint8_t> rest(m_buffer.data() + m_start, m_buffer.size() - m_start);
    if (rest.size() < 4) return;
    if (std::memcmp(rest.data(), kMagic, 4) != 0) {
      // Skip to the next possible magic; keep a tail that could start one.
      const auto hit = std::search(rest.begin() + 1, rest.end(), std::begin(kMagic), std::end(kMagic));
      const std::size_t skip = hit == rest.end() ? rest.size() - 3 : static_cast<std::size_t>(hit - rest.begin());
      Discard(skip);
      continue;
    }
    if (rest.size() < kHeaderSize) return;
    FrameHeader header;
    if (!ParseHeader(rest, header)) {
      Discard(1);
      continue;
    }
    if (rest.size() < header.length) return;
    if (!FrameIntact(rest.first(header.length), header)) {
      // Lost or changed bytes inside: the next magic may still start a good frame.
      Discard(1);
      continue;
    }
    Accept(header, arriveNs);
    m_start += header.length;
  }
}

void Verifier::Accept(const FrameHeader& header, std::uint64_t arriveNs) {
  m_synced = true;
  if (header.seq >= m_seen.size()) m_seen.resize(std::max<std::size_t>(header.seq + 1, m_seen.size() * 2), false);
  if (m_seen[header.seq]) {
    ++m_faults.duplicates;
    return;
  }
  m_seen[header.seq] = true;
  if (m_anySeq && header.seq < m_highestSeq) ++m_faults.reordered;
  if (!m_anySeq || header.seq > m_highestSeq) m_highestSeq = header.seq;
  m_anySeq = true;
  m_arrivals.push_back({header.seq, header.length, header.sendNs, arriveNs, (header.flags & kFlagWarmup) != 0});
}

}  // namespace relay
