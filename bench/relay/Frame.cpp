#include "Frame.h"

#include <array>
#include <cstring>
#include <ctime>

namespace relay {
namespace {

// Bytes a cooked terminal would rewrite, swallow or act on: CR, LF, NUL,
// ^C, ^D, BS, XON, XOFF, ^U, ^W, ^Z, ^\, DEL, and the high bytes.
constexpr std::uint8_t kBait[] = {'\r', '\n', 0x00, 0x03, 0x04, 0x08, 0x11, 0x13,
                                  0x15, 0x17, 0x1A, 0x1C, 0x7F, 0x80, 0xFF, '\n'};

std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

void Put32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put64(std::uint8_t* at, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get32(const std::uint8_t* at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | at[i];
  return v;
}
std::uint64_t Get64(const std::uint8_t* at) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | at[i];
  return v;
}

// The payload byte at `offset` of frame `seq`: the bait first, then a cheap
// pattern that differs between neighbouring frames, so a swap or a
// duplicate never passes as the expected frame.
std::uint8_t PayloadByte(std::uint32_t seq, std::size_t offset) {
  if (offset < sizeof kBait) return kBait[offset];
  std::uint32_t x = seq * 2654435761u + static_cast<std::uint32_t>(offset) * 40503u;
  x ^= x >> 15;
  x *= 2246822519u;
  x ^= x >> 13;
  return static_cast<std::uint8_t>(x);
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  static const auto table = MakeTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(ts.tv_nsec);
}

void BuildFrame(std::vector<std::uint8_t>& out, std::uint32_t seq, std::uint32_t length, std::uint32_t flags) {
  out.resize(length);
  std::uint8_t* p = out.data();
  std::memcpy(p, kMagic, 4);
  Put32(p + 4, flags);
  Put32(p + 8, seq);
  Put32(p + 12, length);
  for (std::size_t i = kHeaderSize; i + 4 < length; ++i) p[i] = PayloadByte(seq, i - kHeaderSize);
  StampFrame(out, 0);
}

void StampFrame(std::span<std::uint8_t> frame, std::uint64_t sendNs) {
  std::uint8_t* p = frame.data();
  Put64(p + 16, sendNs);
  Put32(p + 24, Crc32(frame.first(24)));
  Put32(p + frame.size() - 4, Crc32(frame.first(frame.size() - 4)));
}

bool ParseHeader(std::span<const std::uint8_t> bytes, FrameHeader& header) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, 4) != 0) return false;
  if (Get32(bytes.data() + 24) != Crc32(bytes.first(24))) return false;
  header.flags = Get32(bytes.data() + 4);
  header.seq = Get32(bytes.data() + 8);
  header.length = Get32(bytes.data() + 12);
  header.sendNs = Get64(bytes.data() + 16);
  return header.length >= kMinFrameSize && header.length <= kMaxFrameSize;
}

bool FrameIntact(std::span<const std::uint8_t> frame, const FrameHeader& header) {
  if (frame.size() != header.length) return false;
  const std::size_t end = frame.size() - 4;
  if (Get32(frame.data() + end) != Crc32(frame.first(end))) return false;
  // The CRC already catches corruption; the pattern check also catches a
  // frame rebuilt with the right CRC but the wrong contents.
  for (std::size_t i = kHeaderSize; i < end; ++i)
    if (frame[i] != PayloadByte(header.seq, i - kHeaderSize)) return false;
  return true;
}

}  // namespace relay
