#include "platform/lzh_huffman.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace qzarn::lzh {
namespace {

// Sum of 2^(max - length) over used symbols: 2^max for a complete prefix code.
std::uint64_t KraftSum(const std::vector<std::uint8_t>& lengths, int max) {
  std::uint64_t sum = 0;
  for (std::uint8_t len : lengths)
    if (len != 0) sum += std::uint64_t{1} << (max - len);
  return sum;
}

TEST(LzhHuffman, CodeLengthsForSmallTables) {
  struct Case {
    std::vector<std::uint32_t> frequencies;
    std::vector<std::uint8_t> lengths;
  };
  const Case cases[] = {
      {{}, {}},
      {{0, 0, 0}, {0, 0, 0}},
      {{0, 7, 0}, {0, 0, 0}},  // one symbol: the block format's single-code form
      {{1, 1}, {1, 1}},
      {{1, 2, 4, 8}, {3, 3, 2, 1}},
      {{5, 0, 5, 5, 5}, {2, 0, 2, 2, 2}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(BuildCodeLengths(c.frequencies), c.lengths);
}

TEST(LzhHuffman, LongCodesAreLimitedAndTheCodeStaysComplete) {
  // Fibonacci weights drive an unlimited Huffman tree one level deeper per
  // symbol, far past what decoders accept.
  std::vector<std::uint32_t> fibonacci = {1, 1};
  while (fibonacci.size() < 40)
    fibonacci.push_back(fibonacci[fibonacci.size() - 1] + fibonacci[fibonacci.size() - 2]);
  for (int max : {16, 12, 6}) {
    SCOPED_TRACE(max);
    const std::vector<std::uint8_t> lengths = BuildCodeLengths(fibonacci, max);
    for (std::size_t i = 0; i < lengths.size(); ++i) {
      EXPECT_GE(lengths[i], 1);
      EXPECT_LE(lengths[i], max);
      // A more frequent symbol never gets a longer code.
      if (i > 0) {
        EXPECT_LE(lengths[i], lengths[i - 1]);
      }
    }
    EXPECT_EQ(KraftSum(lengths, max), std::uint64_t{1} << max);
  }
}

TEST(LzhHuffman, CanonicalCodesGoShortestFirstThenBySymbol) {
  const std::vector<std::uint8_t> lengths = {2, 1, 3, 0, 3};
  const std::vector<std::uint16_t> expected = {0b10, 0b0, 0b110, 0, 0b111};
  EXPECT_EQ(BuildCanonicalCodes(lengths), expected);
}

}  // namespace
}  // namespace qzarn::lzh
