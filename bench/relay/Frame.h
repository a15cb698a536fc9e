#pragma once
// The self-describing blocks the feeder sends. Every byte of a frame can be
// recomputed from its sequence number and length, so the reader checks the
// stream byte for byte without keeping a copy of what was sent.
//
// Layout (little endian):
//   0  magic A5 52 42 76        4  u32 flags (bit 0: warm-up, not measured)
//   8  u32 seq                 12  u32 frame length
//  16  u64 send time (CLOCK_MONOTONIC ns, taken just before send)
//  24  u32 CRC-32 of bytes 0..23
//  28  payload: line-discipline bait, then a pattern chosen by seq
// L-4  u32 CRC-32 of bytes 0..L-5
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace relay {

constexpr std::uint8_t kMagic[4] = {0xA5, 0x52, 0x42, 0x76};
constexpr std::size_t kHeaderSize = 28;
constexpr std::size_t kMinFrameSize = 32;
constexpr std::size_t kMaxFrameSize = 1 << 20;
constexpr std::uint32_t kFlagWarmup = 1;

struct FrameHeader {
  std::uint32_t flags = 0;
  std::uint32_t seq = 0;
  std::uint32_t length = 0;
  std::uint64_t sendNs = 0;
};

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
std::uint64_t MonotonicNs();

// Fills `out` (resized to `length`) with frame `seq`; the send time is
// stamped separately, right before the send, by StampFrame.
void BuildFrame(std::vector<std::uint8_t>& out, std::uint32_t seq, std::uint32_t length, std::uint32_t flags);
void StampFrame(std::span<std::uint8_t> frame, std::uint64_t sendNs);

// Parses and checks a header at the start of `bytes` (at least kHeaderSize):
// false for a wrong magic, header CRC or impossible length.
bool ParseHeader(std::span<const std::uint8_t> bytes, FrameHeader& header);
// True when `frame` is exactly what BuildFrame made for its header.
bool FrameIntact(std::span<const std::uint8_t> frame, const FrameHeader& header);

}  // namespace relay
