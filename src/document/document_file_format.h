#pragma once
// Constants of the stored document layout, shared by its reader and writer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "document/document_file.h"
#include "document/figure_table.h"
#include "document/figure_types.h"

namespace qzarn::docfile {

inline constexpr std::size_t kHeaderSize = 48;
inline constexpr std::size_t kTagFieldSize = 40;  // a length-prefixed tag, zero padded
inline constexpr std::size_t kFileNameFieldSize = 256;
inline constexpr std::size_t kTagLength = 12;

inline constexpr std::string_view kCompressedTag = "Q-ZARN PRESS";
inline constexpr std::array<std::string_view, 6> kPlainTags = {
    "Q-ZARN V1.00", "Q-ZARN V1.01", "Q-ZARN V1.02", "Q-ZARN V1.03", "Q-ZARN V1.04", "Q-ZARN V1.05"};
inline constexpr std::string_view kCurrentTag = kPlainTags[5];

// The highest figure slot and palette entry index the writer could use.
inline constexpr std::int32_t kWrittenLastFigure = 500;
inline constexpr std::int32_t kWrittenLastPaletteEntry = 200;

// Picture tags: no picture, JPEG with a byte count; any other value is the byte count of a BMP.
inline constexpr std::int32_t kNoPicture = -1;
inline constexpr std::int32_t kJpegPicture = -2;

inline constexpr std::int32_t kEndOfList = -1;
inline constexpr std::int32_t kCurveLociMarker = -110;
inline constexpr std::int32_t kEquationsMarker = -100;

inline constexpr std::int32_t kHighestEquation = 99;

// What one document may claim. The program keeps at most 500 curves in a function's curve
// locus, so a document it wrote holds at most 501 × 500 of them.
inline constexpr std::size_t kMaxLocusCurves = std::size_t{kFigureSlots} * 500;
// A plain document, whether a file or the member of a compressed one, is at most this long.
inline constexpr std::size_t kMaxDocumentBytes = std::size_t{256} << 20;
inline constexpr std::size_t kStoredEquationSize = 4 + 4 + 251;

// What a load that ran out of memory reports: an error for that file, never the end of the
// program with every other open document's unsaved work.
inline LoadResult OutOfMemory() {
  LoadResult r;
  r.error = LoadError::kOutOfMemory;
  r.detail = "not enough memory to read the document";
  return r;
}

// The tag of a header as stored (length byte plus characters), or nothing when the length byte
// is not that of a tag.
inline std::optional<std::string_view> StoredTag(std::span<const std::uint8_t> header) {
  if (header.size() < 1 + kTagLength || header[0] != kTagLength) return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(header.data() + 1), kTagLength);
}

inline std::optional<FormatVersion> VersionOfTag(std::string_view tag) {
  for (std::size_t i = 0; i < kPlainTags.size(); ++i)
    if (tag == kPlainTags[i]) return static_cast<FormatVersion>(i);
  return std::nullopt;
}

}  // namespace qzarn::docfile
