#pragma once
// The 24-bit CRC that closes every RTCM 3 frame (polynomial 0x1864CFB,
// initial value 0, no reflection).
#include <cstddef>
#include <cstdint>

std::uint32_t Crc24q(const std::uint8_t* bytes, std::size_t count);
