#pragma once
// A plain 24-bit picture in memory: rows top to bottom, 3 bytes per pixel in the
// order red, green, blue, no row padding. The image codecs decode into it and
// encode from it; the canvas turns it into whatever its painter draws.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qzarn {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3, 0) {}

  bool empty() const { return width <= 0 || height <= 0; }
  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
  std::uint8_t* row(int y) { return pixels.data() + stride() * static_cast<std::size_t>(y); }
  const std::uint8_t* row(int y) const {
    return pixels.data() + stride() * static_cast<std::size_t>(y);
  }
  bool operator==(const RgbImage&) const = default;
};

// Decoders refuse pictures above this many pixels (a background picture is screen sized; the
// limit keeps a hostile header from asking for gigabytes).
inline constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 24;  // 16 Mpixel
inline constexpr int kMaxImageSide = 16384;

}  // namespace qzarn
