// Windows DIB files as they come from the clipboard, from picture files and from
// documents written by the program: the header sizes, bit depths and row orders
// that occur in practice, with every size checked before it is used.
#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/binary_io.h"
#include "platform/image_codec.h"

namespace qzarn {
namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

// One colour channel given by a bit mask, scaled to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    bits = std::popcount(m >> shift);
    if (bits > 8) {  // keep the 8 highest bits
      shift += bits - 8;
      bits = 8;
    }
  }
  std::uint8_t Get(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    std::uint32_t v = (pixel >> shift) & ((1u << bits) - 1);
    std::uint32_t maxv = (1u << bits) - 1;
    return static_cast<std::uint8_t>((v * 255 + maxv / 2) / maxv);
  }
};

struct BmpHeader {
  std::uint32_t pixel_offset = 0;
  std::uint32_t info_size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bits = 0;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colours_used = 0;
  std::uint32_t masks[3] = {0, 0, 0};
  std::size_t palette_offset = 0;
  int palette_entry_size = 4;
};

bool Fail(std::string& error, const char* text) {
  error = std::string("BMP: ") + text;
  return false;
}

bool ReadHeader(std::span<const std::uint8_t> bytes, BmpHeader& h, std::string& error) {
  ByteReader r(bytes);
  std::uint16_t magic = 0;
  std::uint32_t file_size = 0, reserved = 0;
  if (!r.ReadU16(magic) || magic != 0x4D42) return Fail(error, "not a bitmap file");
  if (!r.ReadU32(file_size) || !r.ReadU32(reserved) || !r.ReadU32(h.pixel_offset) ||
      !r.ReadU32(h.info_size))
    return Fail(error, "truncated header");
  if (h.info_size == 12) {
    std::uint16_t w = 0, hh = 0, planes = 0;
    if (!r.ReadU16(w) || !r.ReadU16(hh) || !r.ReadU16(planes) || !r.ReadU16(h.bits))
      return Fail(error, "truncated header");
    h.width = w;
    h.height = hh;
    h.palette_entry_size = 3;
    h.palette_offset = 14 + 12;
    return true;
  }
  if (h.info_size < 40 || h.info_size > 1024) return Fail(error, "unknown header size");
  std::uint16_t planes = 0;
  std::uint32_t image_size = 0, xppm = 0, yppm = 0, important = 0;
  if (!r.ReadI32(h.width) || !r.ReadI32(h.height) || !r.ReadU16(planes) || !r.ReadU16(h.bits) ||
      !r.ReadU32(h.compression) || !r.ReadU32(image_size) || !r.ReadU32(xppm) || !r.ReadU32(yppm) ||
      !r.ReadU32(h.colours_used) || !r.ReadU32(important))
    return Fail(error, "truncated header");
  h.palette_offset = 14 + h.info_size;
  if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
    // Masks follow a 40-byte header; later headers hold them inside.
    if (!r.Seek(14 + 40)) return Fail(error, "truncated header");
    for (std::uint32_t& m : h.masks)
      if (!r.ReadU32(m)) return Fail(error, "truncated colour masks");
    if (h.info_size == 40) h.palette_offset += h.compression == kBiBitfields ? 12 : 16;
  }
  return true;
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> bytes, RgbImage& out, std::string& error) {
  BmpHeader h;
  if (!ReadHeader(bytes, h, error)) return false;
  if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return Fail(error, "bad size");
  const bool top_down = h.height < 0;
  const std::int64_t height = top_down ? -static_cast<std::int64_t>(h.height) : h.height;
  const std::int64_t width = h.width;
  if (width > kMaxImageSide || height > kMaxImageSide ||
      static_cast<std::uint64_t>(width * height) > kMaxImagePixels)
    return Fail(error, "picture too large");
  switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 24:
      if (h.compression != kBiRgb) return Fail(error, "compressed bitmaps are not supported");
      break;
    case 16:
    case 32:
      if (h.compression != kBiRgb && h.compression != kBiBitfields &&
          h.compression != kBiAlphaBitfields)
        return Fail(error, "compressed bitmaps are not supported");
      break;
    default:
      return Fail(error, "unsupported bit depth");
  }

  // Palette: up to 2^bits entries; indices beyond the stored entries read as black.
  std::uint8_t palette[256][3] = {};
  if (h.bits <= 8) {
    // Without a colour count, writers may still store fewer entries than 2^bits: take what
    // lies between the header and the pixels.
    std::uint32_t count = h.colours_used;
    if (count == 0) {
      count = 1u << h.bits;
      if (h.pixel_offset > h.palette_offset)
        count = std::min<std::uint32_t>(
            count, static_cast<std::uint32_t>((h.pixel_offset - h.palette_offset) /
                                              static_cast<std::uint32_t>(h.palette_entry_size)));
    }
    count = std::min(count, 1u << h.bits);
    ByteReader r(bytes);
    if (!r.Seek(h.palette_offset)) return Fail(error, "truncated palette");
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint8_t bgr[4] = {};
      if (!r.ReadBytes(bgr, static_cast<std::size_t>(h.palette_entry_size)))
        return Fail(error, "truncated palette");
      palette[i][0] = bgr[2];
      palette[i][1] = bgr[1];
      palette[i][2] = bgr[0];
    }
  }

  // Every row must lie inside the file; the last row may lack its padding.
  const std::uint64_t row_bits = static_cast<std::uint64_t>(width) * h.bits;
  const std::uint64_t stride = (row_bits + 31) / 32 * 4;
  const std::uint64_t last_row = (row_bits + 7) / 8;
  if (h.pixel_offset > bytes.size() ||
      (bytes.size() - h.pixel_offset) < stride * static_cast<std::uint64_t>(height - 1) + last_row)
    return Fail(error, "pixel data truncated");

  Channel red, green, blue;
  if (h.compression == kBiRgb) {
    if (h.bits == 16) {
      red = Channel(0x7C00);
      green = Channel(0x03E0);
      blue = Channel(0x001F);
    } else {
      red = Channel(0x00FF0000);
      green = Channel(0x0000FF00);
      blue = Channel(0x000000FF);
    }
  } else {
    red = Channel(h.masks[0]);
    green = Channel(h.masks[1]);
    blue = Channel(h.masks[2]);
  }

  RgbImage img(static_cast<int>(width), static_cast<int>(height));
  for (std::int64_t y = 0; y < height; ++y) {
    const std::uint8_t* src =
        bytes.data() + h.pixel_offset + stride * static_cast<std::uint64_t>(y);
    const std::int64_t dest_y = top_down ? y : height - 1 - y;
    std::uint8_t* dst = img.row(static_cast<int>(dest_y));
    for (std::int64_t x = 0; x < width; ++x, dst += 3) {
      switch (h.bits) {
        case 1:
        case 4:
        case 8: {
          const std::uint64_t bit = static_cast<std::uint64_t>(x) * h.bits;
          const int shift = 8 - h.bits - static_cast<int>(bit % 8);
          const int index = (src[bit / 8] >> shift) & ((1 << h.bits) - 1);
          std::memcpy(dst, palette[index], 3);
          break;
        }
        case 24:
          dst[0] = src[x * 3 + 2];
          dst[1] = src[x * 3 + 1];
          dst[2] = src[x * 3];
          break;
        case 16:
        case 32: {
          std::uint32_t pixel = h.bits == 16 ? LoadU16(src + x * 2) : LoadU32(src + x * 4);
          dst[0] = red.Get(pixel);
          dst[1] = green.Get(pixel);
          dst[2] = blue.Get(pixel);
          break;
        }
      }
    }
  }
  out = std::move(img);
  return true;
}

std::vector<std::uint8_t> EncodeBmp(const RgbImage& image) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * 3 + 3) / 4 * 4;
  const std::uint32_t data_size = stride * static_cast<std::uint32_t>(image.height);
  ByteWriter w;
  w.WriteU16(0x4D42);
  w.WriteU32(14 + 40 + data_size);
  w.WriteU32(0);
  w.WriteU32(14 + 40);
  w.WriteU32(40);
  w.WriteI32(image.width);
  w.WriteI32(image.height);
  w.WriteU16(1);
  w.WriteU16(24);
  w.WriteU32(kBiRgb);
  w.WriteU32(data_size);
  w.WriteI32(3780);  // 96 dpi
  w.WriteI32(3780);
  w.WriteU32(0);
  w.WriteU32(0);
  std::vector<std::uint8_t> row(stride, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    const std::uint8_t* src = image.row(y);
    for (int x = 0; x < image.width; ++x) {
      row[x * 3] = src[x * 3 + 2];
      row[x * 3 + 1] = src[x * 3 + 1];
      row[x * 3 + 2] = src[x * 3];
    }
    w.WriteBytes(row.data(), row.size());
  }
  return w.Take();
}

bool DecodeImage(std::span<const std::uint8_t> bytes, RgbImage& out, std::string& error) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBmp(bytes, out, error);
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    return DecodeJpeg(bytes, out, error);
  error = "unknown picture format";
  return false;
}

}  // namespace qzarn
