#include "health/Crc24q.h"

#include <array>

namespace {

constexpr std::uint32_t kPolynomial = 0x1864CFB;

constexpr std::array<std::uint32_t, 256> MakeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t crc = i << 16;
    for (int bit = 0; bit < 8; ++bit) {
      crc <<= 1;
      if (crc & 0x1000000) crc ^= kPolynomial;
    }
    table[i] = crc & 0xFFFFFF;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = MakeTable();

}  // namespace

std::uint32_t Crc24q(const std::uint8_t* bytes, std::size_t count) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < count; ++i) crc = ((crc << 8) & 0xFFFFFF) ^ kTable[((crc >> 16) ^ bytes[i]) & 0xFF];
  return crc;
}
