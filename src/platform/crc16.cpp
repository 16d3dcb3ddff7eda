#include "platform/crc16.h"

#include <array>

namespace qzarn {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned value = i;
    for (int bit = 0; bit < 8; ++bit)
      value = (value & 1u) ? (value >> 1) ^ 0xA001u : value >> 1;
    table[i] = static_cast<std::uint16_t>(value);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
  unsigned value = crc;
  for (std::uint8_t byte : bytes)
    value = kTable[(value ^ byte) & 0xFFu] ^ (value >> 8);
  return static_cast<std::uint16_t>(value);
}

}  // namespace qzarn
