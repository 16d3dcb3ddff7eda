#pragma once
// Stored embedded objects made byte by byte: a compound file with a class stream and a
// presentation stream, as an object container saves them, behind the container's header.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/binary_io.h"
#include "platform/rgb_image.h"

namespace qzarn::testing_support {

inline void PutU32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
  if (v.size() < at + 4) v.resize(at + 4);
  StoreU32(v.data() + at, x);
}

// The class stream: a 28-byte header, the user type, a clipboard format of none and the
// programmatic identifier.
inline std::vector<std::uint8_t> CompObjStream(const std::string& user_type,
                                               const std::string& prog_id) {
  ByteWriter w;
  w.WriteZeros(28);
  w.WriteU32(static_cast<std::uint32_t>(user_type.size() + 1));
  w.WriteBytes(user_type.data(), user_type.size());
  w.WriteU8(0);
  w.WriteU32(0);
  w.WriteU32(static_cast<std::uint32_t>(prog_id.size() + 1));
  w.WriteBytes(prog_id.data(), prog_id.size());
  w.WriteU8(0);
  return w.Take();
}

// A presentation stream of a standard clipboard format holding `data`.
inline std::vector<std::uint8_t> PresentationStream(std::uint32_t format,
                                                    const std::vector<std::uint8_t>& data) {
  ByteWriter w;
  w.WriteU32(0xFFFFFFFF);
  w.WriteU32(format);
  w.WriteU32(4);  // no target device
  for (std::uint32_t v : {1u, 0xFFFFFFFFu, 2u, 0u, 1000u, 500u})
    w.WriteU32(v);
  w.WriteU32(static_cast<std::uint32_t>(data.size()));
  w.WriteBytes(data);
  return w.Take();
}

// A 24-bit bottom-up device-independent bitmap (no file header).
inline std::vector<std::uint8_t> Dib24(const RgbImage& image) {
  ByteWriter w;
  const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
  w.WriteU32(40);
  w.WriteI32(image.width);
  w.WriteI32(image.height);
  w.WriteU16(1);
  w.WriteU16(24);
  w.WriteU32(0);
  w.WriteU32(stride * static_cast<std::uint32_t>(image.height));
  w.WriteZeros(16);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.row(y) + 3 * x;
      w.WriteU8(p[2]);
      w.WriteU8(p[1]);
      w.WriteU8(p[0]);
    }
    w.WriteZeros(stride - static_cast<std::uint32_t>(image.width) * 3);
  }
  return w.Take();
}

// A version-3 compound file (512-byte sectors): sector 0 the FAT, 1 the directory,
// 2 the mini FAT, then the mini stream, then every stream of 4,096 bytes or more.
inline std::vector<std::uint8_t> CompoundFile(
    const std::vector<std::pair<std::u16string, std::vector<std::uint8_t>>>& streams) {
  constexpr std::uint32_t kEnd = 0xFFFFFFFE, kFree = 0xFFFFFFFF;
  std::vector<std::uint32_t> fat = {0xFFFFFFFD, kEnd, kEnd};
  std::vector<std::uint8_t> mini;
  std::vector<std::uint32_t> mini_fat;
  std::vector<std::uint8_t> big;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> starts;  // start, size
  std::vector<std::pair<std::size_t, std::vector<std::uint8_t>>> big_streams;
  for (const auto& [name, data] : streams) {
    if (data.size() < 4096) {
      const auto first = static_cast<std::uint32_t>(mini.size() / 64);
      const std::size_t n = (data.size() + 63) / 64;
      for (std::size_t i = 0; i < n; ++i)
        mini_fat.push_back(i + 1 < n ? first + static_cast<std::uint32_t>(i) + 1 : kEnd);
      mini.insert(mini.end(), data.begin(), data.end());
      mini.resize((mini.size() + 63) / 64 * 64);
      starts.emplace_back(n ? first : kEnd, static_cast<std::uint32_t>(data.size()));
    } else {
      starts.emplace_back(0, static_cast<std::uint32_t>(data.size()));
      big_streams.emplace_back(starts.size() - 1, data);
    }
  }
  // Mini stream sectors follow the three fixed ones.
  const std::size_t mini_sectors = (mini.size() + 511) / 512;
  std::uint32_t next = 3;
  const std::uint32_t mini_start = mini_sectors ? next : kEnd;
  for (std::size_t i = 0; i < mini_sectors; ++i, ++next)
    fat.push_back(i + 1 < mini_sectors ? next + 1 : kEnd);
  for (auto& [index, data] : big_streams) {
    starts[index].first = next;
    const std::size_t n = (data.size() + 511) / 512;
    for (std::size_t i = 0; i < n; ++i, ++next)
      fat.push_back(i + 1 < n ? next + 1 : kEnd);
    data.resize(n * 512);
    big.insert(big.end(), data.begin(), data.end());
  }
  fat.resize(128, kFree);
  mini_fat.resize(128, kFree);

  std::vector<std::uint8_t> file(512, 0);
  const std::uint8_t signature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::copy(std::begin(signature), std::end(signature), file.begin());
  file[0x18] = 0x3E;
  file[0x1A] = 3;
  file[0x1C] = 0xFE;
  file[0x1D] = 0xFF;
  file[0x1E] = 9;
  file[0x20] = 6;
  PutU32(file, 0x2C, 1);
  PutU32(file, 0x30, 1);
  PutU32(file, 0x38, 4096);
  PutU32(file, 0x3C, 2);
  PutU32(file, 0x40, 1);
  PutU32(file, 0x44, kEnd);
  for (std::size_t i = 0; i < 109; ++i)
    PutU32(file, 0x4C + 4 * i, i == 0 ? 0 : kFree);
  for (std::uint32_t v : fat)
    PutU32(file, file.size(), v);
  std::vector<std::uint8_t> directory(512, 0);
  const auto entry = [&](std::size_t k, const std::u16string& name, std::uint8_t type,
                         std::uint32_t start, std::uint32_t size) {
    std::uint8_t* e = directory.data() + 128 * k;
    for (std::size_t i = 0; i < name.size() && i < 31; ++i) {
      e[2 * i] = static_cast<std::uint8_t>(name[i] & 0xFF);
      e[2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
    }
    e[0x40] = static_cast<std::uint8_t>(2 * (name.size() + 1));
    e[0x42] = type;
    StoreU32(e + 0x74, start);
    StoreU32(e + 0x78, size);
  };
  entry(0, u"Root Entry", 5, mini_start, static_cast<std::uint32_t>(mini.size()));
  for (std::size_t k = 0; k < streams.size() && k < 3; ++k)
    entry(k + 1, streams[k].first, 2, starts[k].first, starts[k].second);
  file.insert(file.end(), directory.begin(), directory.end());
  for (std::uint32_t v : mini_fat)
    PutU32(file, file.size(), v);
  mini.resize(mini_sectors * 512);
  file.insert(file.end(), mini.begin(), mini.end());
  file.insert(file.end(), big.begin(), big.end());
  return file;
}

// The container's own 12-byte header in front of the compound file.
inline std::vector<std::uint8_t> StoredObject(const std::vector<std::uint8_t>& compound) {
  std::vector<std::uint8_t> out = {'B', 'D', 'O', 'C', 1, 0, 0, 0};
  PutU32(out, 8, static_cast<std::uint32_t>(compound.size()));
  out.insert(out.end(), compound.begin(), compound.end());
  return out;
}

inline RgbImage Gradient(int w, int h) {
  RgbImage image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = image.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(x * 7);
      p[1] = static_cast<std::uint8_t>(y * 11);
      p[2] = static_cast<std::uint8_t>(x + y);
    }
  return image;
}

// An equation object with a bitmap picture of w x h pixels.
inline std::vector<std::uint8_t> EquationWithPicture(int w, int h) {
  return StoredObject(CompoundFile({
      {u"\x01"
       u"CompObj",
       CompObjStream("Formula Editor 2.0", "FormulaEditor.2")},
      {u"\x02"
       u"OlePres000",
       PresentationStream(8, Dib24(Gradient(w, h)))},
  }));
}

}  // namespace qzarn::testing_support
