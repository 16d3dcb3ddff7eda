#pragma once
// Our writer of the "-lh5-" member method: LZSS over an 8 KiB window, the
// matches and literals coded in blocks with static Huffman tables.

#include <cstdint>
#include <span>
#include <vector>

namespace qzarn::lzh {

// Farthest back a match may reach, and the longest and shortest match.
inline constexpr int kLh5MaxDistance = 8191;
inline constexpr int kLh5MaxMatch = 256;
inline constexpr int kLh5MinMatch = 3;

// The compressed stream of `data` as the "-lh5-" method stores it (without
// any header; the member header carries the original size). Empty input
// gives an empty stream.
std::vector<std::uint8_t> EncodeLh5(std::span<const std::uint8_t> data);

}  // namespace qzarn::lzh
