#include <gtest/gtest.h>

#include <random>

#include "platform/binary_io.h"
#include "platform/image_codec.h"

namespace qzarn {
namespace {

// Builds a DIB file by hand: header, optional palette/masks, then rows as given.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, std::uint32_t compression,
                                  const std::vector<std::uint32_t>& palette_or_masks,
                                  const std::vector<std::vector<std::uint8_t>>& rows) {
  ByteWriter body;
  for (std::uint32_t v : palette_or_masks)
    body.WriteU32(v);
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + 40 + body.size());
  for (const auto& row : rows) {
    body.WriteBytes(row.data(), row.size());
    body.WriteZeros((4 - row.size() % 4) % 4);
  }
  ByteWriter w;
  w.WriteU16(0x4D42);
  w.WriteU32(static_cast<std::uint32_t>(14 + 40 + body.size()));
  w.WriteU32(0);
  w.WriteU32(offset);
  w.WriteU32(40);
  w.WriteI32(width);
  w.WriteI32(height);
  w.WriteU16(1);
  w.WriteU16(static_cast<std::uint16_t>(bits));
  w.WriteU32(compression);
  w.WriteZeros(20);
  w.WriteBytes(body.bytes());
  return w.Take();
}

std::vector<std::uint8_t> Pixel(const RgbImage& img, int x, int y) {
  const std::uint8_t* p = img.row(y) + x * 3;
  return {p[0], p[1], p[2]};
}

using Rgb = std::vector<std::uint8_t>;

struct BmpCase {
  const char* name;
  int bits;
  std::uint32_t compression;
  std::vector<std::uint32_t> extra;
  std::vector<std::vector<std::uint8_t>> rows;  // file order
  int height;                                   // negative = top-down
  Rgb top_left, top_right, bottom_left;
};

TEST(BmpDecode, BitDepthsAndRowOrders) {
  const std::vector<std::uint32_t> two_colours = {0x00FF0000, 0x000000FF};  // red, blue
  const std::vector<BmpCase> cases = {
      {"1-bit bottom-up",
       1,
       0,
       two_colours,
       {{0x40}, {0x80}},
       2,
       {0, 0, 255},
       {255, 0, 0},
       {255, 0, 0}},
      {"1-bit top-down",
       1,
       0,
       two_colours,
       {{0x80}, {0x40}},
       -2,
       {0, 0, 255},
       {255, 0, 0},
       {255, 0, 0}},
      {"4-bit, short palette",
       4,
       0,
       two_colours,
       {{0x01}, {0x10}},
       2,
       {0, 0, 255},
       {255, 0, 0},
       {255, 0, 0}},
      {"8-bit",
       8,
       0,
       {0x00112233, 0x00445566},
       {{1, 0}, {0, 1}},
       2,
       {0x11, 0x22, 0x33},
       {0x44, 0x55, 0x66},
       {0x44, 0x55, 0x66}},
      {"24-bit",
       24,
       0,
       {},
       {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}},
       2,
       {9, 8, 7},
       {12, 11, 10},
       {3, 2, 1}},
      {"32-bit",
       32,
       0,
       {},
       {{1, 2, 3, 0, 4, 5, 6, 0}, {7, 8, 9, 0, 10, 11, 12, 0}},
       -2,
       {3, 2, 1},
       {6, 5, 4},
       {9, 8, 7}},
      {"32-bit bit fields (RGBX)",
       32,
       3,
       {0x000000FF, 0x0000FF00, 0x00FF0000},
       {{1, 2, 3, 0, 4, 5, 6, 0}, {1, 2, 3, 0, 4, 5, 6, 0}},
       2,
       {1, 2, 3},
       {4, 5, 6},
       {1, 2, 3}},
      {"16-bit 5-5-5",
       16,
       0,
       {},
       {{0x00, 0x7C, 0x1F, 0x00}, {0xE0, 0x03, 0x00, 0x00}},
       2,
       {0, 255, 0},
       {0, 0, 0},
       {255, 0, 0}},
  };
  for (const BmpCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto bytes = MakeBmp(2, c.height, c.bits, c.compression, c.extra, c.rows);
    RgbImage img;
    std::string error;
    ASSERT_TRUE(DecodeBmp(bytes, img, error)) << error;
    EXPECT_EQ(img.width, 2);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(Pixel(img, 0, 0), c.top_left);
    EXPECT_EQ(Pixel(img, 1, 0), c.top_right);
    EXPECT_EQ(Pixel(img, 0, 1), c.bottom_left);
  }
}

TEST(BmpDecode, RefusesBadFiles) {
  auto good = MakeBmp(2, 2, 24, 0, {}, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  struct Bad {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  std::vector<Bad> bad;
  bad.push_back({"empty", {}});
  bad.push_back({"truncated rows", {good.begin(), good.end() - 8}});
  bad.push_back({"truncated header", {good.begin(), good.begin() + 30}});
  auto huge = good;
  StoreI32(huge.data() + 18, 1 << 30);
  bad.push_back({"hostile width", huge});
  auto zero = good;
  StoreI32(zero.data() + 22, 0);
  bad.push_back({"zero height", zero});
  auto min_height = good;
  StoreI32(min_height.data() + 22, INT32_MIN);
  bad.push_back({"INT_MIN height", min_height});
  auto rle = good;
  StoreU32(rle.data() + 30, 1);
  bad.push_back({"RLE", rle});
  auto depth = good;
  StoreU16(depth.data() + 28, 2);
  bad.push_back({"2-bit", depth});
  auto offset = good;
  StoreU32(offset.data() + 10, 0xFFFFFFF0u);
  bad.push_back({"pixel offset past end", offset});
  for (const Bad& b : bad) {
    RgbImage img;
    std::string error;
    EXPECT_FALSE(DecodeBmp(b.bytes, img, error)) << b.name;
    EXPECT_FALSE(error.empty()) << b.name;
  }
}

TEST(BmpDecode, LastRowWithoutPaddingIsAccepted) {
  auto bytes = MakeBmp(1, 2, 24, 0, {}, {{1, 2, 3}, {4, 5, 6}});
  bytes.pop_back();  // the final row's padding byte
  RgbImage img;
  std::string error;
  ASSERT_TRUE(DecodeBmp(bytes, img, error)) << error;
  EXPECT_EQ(Pixel(img, 0, 0), (Rgb{6, 5, 4}));
}

RgbImage Gradient(int w, int h) {
  RgbImage img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = img.row(y) + x * 3;
      p[0] = static_cast<std::uint8_t>(x * 255 / (w - 1));
      p[1] = static_cast<std::uint8_t>(y * 255 / (h - 1));
      p[2] = 128;
    }
  return img;
}

TEST(BmpEncode, RoundTripsOddWidths) {
  for (int w : {1, 2, 3, 5, 33}) {
    RgbImage img = Gradient(w + 1, 7);
    auto bytes = EncodeBmp(img);
    EXPECT_EQ(bytes.size() % 4, 2u);  // 14 + 40 + padded rows
    RgbImage back;
    std::string error;
    ASSERT_TRUE(DecodeImage(bytes, back, error)) << error;
    EXPECT_EQ(back, img);
  }
}

int MaxDifference(const RgbImage& a, const RgbImage& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    worst = std::max(worst, std::abs(int{a.pixels[i]} - int{b.pixels[i]}));
  return worst;
}

TEST(Jpeg, RoundTripKeepsSizeAndColoursAtHighQuality) {
  RgbImage img = Gradient(64, 48);
  std::vector<std::uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(img, 95, bytes, error)) << error;
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
  RgbImage back;
  ASSERT_TRUE(DecodeImage(bytes, back, error)) << error;
  ASSERT_EQ(back.width, 64);
  ASSERT_EQ(back.height, 48);
  EXPECT_LT(MaxDifference(img, back), 24);
}

TEST(Jpeg, QualityIsClampedAndChangesSize) {
  RgbImage img = Gradient(64, 64);
  std::vector<std::uint8_t> low, lowest, high, highest;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(img, 1, low, error));
  ASSERT_TRUE(EncodeJpeg(img, -50, lowest, error));
  ASSERT_TRUE(EncodeJpeg(img, 100, high, error));
  ASSERT_TRUE(EncodeJpeg(img, 500, highest, error));
  EXPECT_EQ(low, lowest);
  EXPECT_EQ(high, highest);
  EXPECT_LT(low.size(), high.size());
}

TEST(Jpeg, EmptyPictureIsRefused) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  EXPECT_FALSE(EncodeJpeg(RgbImage{}, 80, bytes, error));
}

TEST(Jpeg, CorruptDataFailsOrDecodesButNeverAborts) {
  RgbImage img = Gradient(40, 30);
  std::vector<std::uint8_t> good;
  std::string error;
  ASSERT_TRUE(EncodeJpeg(img, 80, good, error));
  std::mt19937 rng(7);
  int failures = 0;
  for (int i = 0; i < 300; ++i) {
    auto bytes = good;
    if (i % 3 == 0) {
      bytes.resize(rng() % bytes.size());
    } else {
      for (int k = 0; k < 1 + i % 5; ++k)
        bytes[rng() % bytes.size()] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
    }
    RgbImage out;
    if (!DecodeJpeg(bytes, out, error))
      ++failures;
    else
      EXPECT_EQ(out.pixels.size(), out.stride() * static_cast<std::size_t>(out.height));
  }
  EXPECT_GT(failures, 0);
}

TEST(DecodeImage, UnknownFormatIsRefused) {
  const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
  RgbImage img;
  std::string error;
  EXPECT_FALSE(DecodeImage(text, img, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace qzarn
