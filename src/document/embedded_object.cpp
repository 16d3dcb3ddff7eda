#include "document/embedded_object.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/binary_io.h"
#include "platform/image_codec.h"
#include "platform/text_encoding.h"

namespace qzarn {

namespace {

constexpr std::array<std::uint8_t, 8> kCompoundSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                            0xA1, 0xB1, 0x1A, 0xE1};
// A container writes a short header of its own in front of the compound file.
constexpr std::size_t kSignatureSearch = 512;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kDirectoryEntrySize = 128;
constexpr int kStreamEntry = 2;
constexpr int kRootEntry = 5;
// Names and identifiers longer than this are not names.
constexpr std::uint32_t kMaxNameBytes = 256;

// A compound file seen through its sector tables; sector numbers and chains
// come from the file and are checked at every step.
class CompoundFile {
 public:
  bool Open(std::span<const std::uint8_t> bytes) {
    bytes_ = bytes;
    if (bytes_.size() < 512) return false;
    const std::uint16_t shift = LoadU16(bytes_.data() + 0x1E);
    const std::uint16_t mini_shift = LoadU16(bytes_.data() + 0x20);
    if ((shift != 9 && shift != 12) || mini_shift != 6) return false;
    sector_size_ = std::size_t{1} << shift;
    mini_cutoff_ = LoadU32(bytes_.data() + 0x38);
    sector_count_ = (bytes_.size() - std::min(bytes_.size(), sector_size_)) / sector_size_;
    if (!ReadFat()) return false;
    directory_ = ReadChain(LoadU32(bytes_.data() + 0x30));
    if (directory_.size() < kDirectoryEntrySize) return false;
    mini_fat_bytes_ = ReadChain(LoadU32(bytes_.data() + 0x3C));
    const std::uint8_t* root = directory_.data();
    if (root[0x42] != kRootEntry) return false;
    mini_stream_ = ReadChain(LoadU32(root + 0x74), LoadU32(root + 0x78));
    return true;
  }

  // The contents of the first stream whose name starts with `prefix`, or nothing.
  std::optional<std::vector<std::uint8_t>> Stream(std::u16string_view prefix) const {
    for (std::size_t at = 0; at + kDirectoryEntrySize <= directory_.size();
         at += kDirectoryEntrySize) {
      const std::uint8_t* e = directory_.data() + at;
      if (e[0x42] != kStreamEntry) continue;
      const std::size_t name_bytes = std::min<std::size_t>(LoadU16(e + 0x40), 64);
      std::u16string name;
      for (std::size_t i = 0; i + 1 < name_bytes; i += 2) {
        const char16_t c = static_cast<char16_t>(LoadU16(e + i));
        if (c == 0) break;
        name.push_back(c);
      }
      if (!name.starts_with(prefix)) continue;
      const std::uint32_t start = LoadU32(e + 0x74);
      const std::uint32_t size = LoadU32(e + 0x78);
      return size < mini_cutoff_ ? ReadMiniChain(start, size) : ReadChain(start, size);
    }
    return std::nullopt;
  }

 private:
  const std::uint8_t* Sector(std::uint32_t n) const {
    if (n >= sector_count_) return nullptr;
    return bytes_.data() + (std::size_t{n} + 1) * sector_size_;
  }

  bool ReadFat() {
    std::vector<std::uint32_t> fat_sectors;
    const std::uint32_t fat_count = LoadU32(bytes_.data() + 0x2C);
    if (fat_count > sector_count_) return false;
    for (std::size_t i = 0; i < kHeaderDifatEntries && fat_sectors.size() < fat_count; ++i)
      fat_sectors.push_back(LoadU32(bytes_.data() + 0x4C + 4 * i));
    // Further FAT sector numbers sit in a chain of DIFAT sectors, the last word of each
    // naming the next one.
    std::uint32_t difat = LoadU32(bytes_.data() + 0x44);
    for (std::size_t steps = 0; fat_sectors.size() < fat_count; ++steps) {
      const std::uint8_t* s = Sector(difat);
      if (s == nullptr || steps > sector_count_) return false;
      const std::size_t words = sector_size_ / 4 - 1;
      for (std::size_t i = 0; i < words && fat_sectors.size() < fat_count; ++i)
        fat_sectors.push_back(LoadU32(s + 4 * i));
      difat = LoadU32(s + 4 * words);
    }
    fat_.clear();
    fat_.reserve(fat_sectors.size() * (sector_size_ / 4));
    for (std::uint32_t n : fat_sectors) {
      const std::uint8_t* s = Sector(n);
      if (s == nullptr) return false;
      for (std::size_t i = 0; i < sector_size_ / 4; ++i)
        fat_.push_back(LoadU32(s + 4 * i));
    }
    return true;
  }

  // Follows a chain of whole sectors; a chain that loops, leaves the file or ends early
  // gives what was read up to there. `size` cuts the result (none: the whole chain).
  std::vector<std::uint8_t> ReadChain(std::uint32_t start,
                                      std::optional<std::uint32_t> size = std::nullopt) const {
    std::vector<std::uint8_t> out;
    const std::size_t limit = size ? *size : bytes_.size();
    std::uint32_t n = start;
    for (std::size_t steps = 0; n != kEndOfChain && out.size() < limit; ++steps) {
      const std::uint8_t* s = Sector(n);
      if (s == nullptr || steps > sector_count_ || n >= fat_.size()) break;
      out.insert(out.end(), s, s + sector_size_);
      n = fat_[n];
    }
    if (out.size() > limit) out.resize(limit);
    return out;
  }

  std::vector<std::uint8_t> ReadMiniChain(std::uint32_t start, std::uint32_t size) const {
    constexpr std::size_t kMiniSector = 64;
    std::vector<std::uint8_t> out;
    const std::size_t entries = mini_fat_bytes_.size() / 4;
    std::uint32_t n = start;
    for (std::size_t steps = 0; n != kEndOfChain && out.size() < size; ++steps) {
      const std::size_t at = std::size_t{n} * kMiniSector;
      if (n >= entries || steps > entries || at + kMiniSector > mini_stream_.size()) break;
      out.insert(out.end(), mini_stream_.begin() + static_cast<std::ptrdiff_t>(at),
                 mini_stream_.begin() + static_cast<std::ptrdiff_t>(at + kMiniSector));
      n = LoadU32(mini_fat_bytes_.data() + 4 * std::size_t{n});
    }
    if (out.size() > size) out.resize(size);
    return out;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t sector_size_ = 512;
  std::size_t sector_count_ = 0;
  std::uint32_t mini_cutoff_ = 4096;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint8_t> directory_;
  std::vector<std::uint8_t> mini_fat_bytes_;
  std::vector<std::uint8_t> mini_stream_;
};

// A length-prefixed ANSI string (the length counts a closing NUL); false when the
// length is implausible or runs past the data.
bool ReadLengthString(ByteReader& r, std::string& out) {
  std::uint32_t n = 0;
  std::span<const std::uint8_t> chars;
  if (!r.ReadU32(n) || n > kMaxNameBytes || !r.ReadSpan(n, chars)) return false;
  std::string_view text(reinterpret_cast<const char*>(chars.data()), chars.size());
  text = text.substr(0, text.find('\0'));
  out = cp932_to_utf8(text);
  return true;
}

// The user-readable type and the programmatic identifier from the CompObj stream.
std::string ClassNameOf(std::span<const std::uint8_t> comp_obj) {
  ByteReader r(comp_obj);
  std::string user_type;
  if (!r.Skip(28) || !ReadLengthString(r, user_type)) return {};
  if (!user_type.empty()) return user_type;
  // The clipboard format: none, a standard number, or a registered name.
  std::uint32_t marker = 0;
  std::string ignored;
  if (!r.ReadU32(marker)) return {};
  if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE) {
    if (!r.Skip(4)) return {};
  } else if (marker != 0) {
    if (marker > kMaxNameBytes || !r.Skip(marker)) return {};
  }
  std::string prog_id;
  return ReadLengthString(r, prog_id) ? prog_id : std::string();
}

// A device-independent bitmap as a .bmp file: the 14-byte file header in front, whose pixel
// offset follows from the info header and the colour table.
std::optional<std::vector<std::uint8_t>> BitmapFile(std::span<const std::uint8_t> dib) {
  if (dib.size() < 12) return std::nullopt;
  const std::uint32_t info = LoadU32(dib.data());
  std::uint64_t table = 0;
  if (info == 12) {
    const std::uint16_t bits = LoadU16(dib.data() + 10);
    if (bits <= 8) table = 3ull << bits;
  } else if (info >= 40 && dib.size() >= 40) {
    const std::uint16_t bits = LoadU16(dib.data() + 14);
    const std::uint32_t compression = LoadU32(dib.data() + 16);
    const std::uint32_t used = LoadU32(dib.data() + 32);
    if (used != 0) {
      table = 4ull * used;
    } else if (bits <= 8) {
      table = 4ull << bits;
    }
    if (info == 40 && compression == 3) table += 12;
  } else {
    return std::nullopt;
  }
  const std::uint64_t offset = 14 + std::uint64_t{info} + table;
  if (offset > dib.size() + 14) return std::nullopt;
  std::vector<std::uint8_t> file(14);
  file[0] = 'B';
  file[1] = 'M';
  StoreU32(file.data() + 2, static_cast<std::uint32_t>(14 + dib.size()));
  StoreU32(file.data() + 10, static_cast<std::uint32_t>(offset));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

// The first presentation stream: its clipboard format and, for a bitmap, the picture.
void ReadPresentation(std::span<const std::uint8_t> pres, ObjectSummary& out) {
  ByteReader r(pres);
  std::uint32_t marker = 0;
  std::uint32_t format = 0;
  if (!r.ReadU32(marker)) return;
  if (marker == 0xFFFFFFFF || marker == 0xFFFFFFFE) {
    if (!r.ReadU32(format)) return;
  } else {
    return;  // no picture, or a format registered by name that nothing here can read
  }
  std::uint32_t target_device = 0;
  if (!r.ReadU32(target_device) || target_device < 4 || !r.Skip(target_device - 4)) return;
  std::uint32_t aspect = 0, lindex = 0, advf = 0, reserved = 0, width = 0, height = 0, size = 0;
  if (!r.ReadU32(aspect) || !r.ReadU32(lindex) || !r.ReadU32(advf) || !r.ReadU32(reserved) ||
      !r.ReadU32(width) || !r.ReadU32(height) || !r.ReadU32(size))
    return;
  out.presentation_format = format;
  std::span<const std::uint8_t> data;
  if (format != kPresentationBitmap ||
      !r.ReadSpan(std::min<std::size_t>(size, r.remaining()), data))
    return;
  const auto file = BitmapFile(data);
  RgbImage picture;
  std::string error;
  if (file && DecodeBmp(*file, picture, error)) out.picture = std::move(picture);
}

// The older stream layout: a version word, a format word (1 linked, 2 embedded) and the
// class name as a length-prefixed string.
std::string OldStreamClassName(std::span<const std::uint8_t> bytes) {
  ByteReader r(bytes);
  std::uint32_t version = 0, format = 0;
  std::string name;
  if (!r.ReadU32(version) || !r.ReadU32(format) || (format != 1 && format != 2) ||
      (version & 0xFFFF) != 0x0501 || !ReadLengthString(r, name))
    return {};
  return name;
}

}  // namespace

ObjectSummary DescribeObject(std::span<const std::uint8_t> bytes) {
  ObjectSummary out;
  if (bytes.empty() || bytes.size() > kMaxExaminedObjectBytes) return out;
  const std::size_t search = std::min(bytes.size(), kSignatureSearch);
  const auto* found = std::search(bytes.data(), bytes.data() + search, kCompoundSignature.begin(),
                                  kCompoundSignature.end());
  if (found == bytes.data() + search) {
    for (std::size_t at = 0; at + 8 <= search && out.class_name.empty(); at += 4)
      out.class_name = OldStreamClassName(bytes.subspan(at));
    return out;
  }
  CompoundFile file;
  if (!file.Open(bytes.subspan(static_cast<std::size_t>(found - bytes.data())))) return out;
  if (const auto comp_obj = file.Stream(u"\x01"
                                        u"CompObj"))
    out.class_name = ClassNameOf(*comp_obj);
  if (const auto pres = file.Stream(u"\x02"
                                    u"OlePres"))
    ReadPresentation(*pres, out);
  return out;
}

const ObjectSummary& ObjectSummaryOf(const FigureOwned& owned) {
  // FNV-1a: cheap next to decoding, and enough to notice bytes replaced in place.
  std::uint64_t checksum = 1469598103934665603ull;
  for (std::uint8_t b : owned.ObjectBytes)
    checksum = (checksum ^ b) * 1099511628211ull;
  const auto& cache = owned.ObjectSummaryCache;
  if (!cache || cache->size != owned.ObjectBytes.size() || cache->checksum != checksum) {
    auto fresh = std::make_shared<CachedObjectSummary>();
    fresh->size = owned.ObjectBytes.size();
    fresh->checksum = checksum;
    fresh->summary = DescribeObject(owned.ObjectBytes);
    owned.ObjectSummaryCache = std::move(fresh);
  }
  return owned.ObjectSummaryCache->summary;
}

}  // namespace qzarn
