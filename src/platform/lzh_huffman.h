#pragma once
// Static Huffman codes as the LZH block format stores them: only the code
// lengths travel in the stream, and both sides derive the canonical codes
// from them (shorter codes first, equal lengths in symbol order).

#include <cstdint>
#include <span>
#include <vector>

namespace qzarn::lzh {

// The longest code any LZH decoder accepts.
inline constexpr int kMaxCodeLength = 16;

// Optimal code lengths for `frequencies`, none longer than `max_length`.
// Unused symbols get length 0. With fewer than two used symbols every length
// is 0: the block format has a separate form for a single-symbol table.
std::vector<std::uint8_t> BuildCodeLengths(std::span<const std::uint32_t> frequencies,
                                           int max_length = kMaxCodeLength);

// Canonical codes for the lengths (value in the low `length` bits).
std::vector<std::uint16_t> BuildCanonicalCodes(std::span<const std::uint8_t> lengths);

}  // namespace qzarn::lzh
