#pragma once
// The 16-bit CRC that LZH archives keep for every member and for level-2
// headers: reflected polynomial 0xA001 (x^16 + x^15 + x^2 + 1), initial value
// 0, no final inversion.

#include <cstdint>
#include <span>

namespace qzarn {

// Continues `crc` over `bytes`; start with 0 for a fresh sum.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0);

}  // namespace qzarn
