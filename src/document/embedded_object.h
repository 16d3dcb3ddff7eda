#pragma once
// What can be learnt from the stored bytes of an embedded object without the
// application that made it: the object's class name and, when the object kept
// a bitmap picture of itself, that picture. The bytes come from documents and
// are never trusted: every size, sector number and chain is checked, and a
// damaged object simply yields less (an empty name, no picture), never a crash.
// Nothing here changes the bytes; the document keeps them as they were.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "document/figure_table.h"
#include "platform/rgb_image.h"

namespace qzarn {

// Clipboard formats a stored presentation may have.
inline constexpr std::uint32_t kPresentationMetafile = 3;
inline constexpr std::uint32_t kPresentationBitmap = 8;
inline constexpr std::uint32_t kPresentationEnhancedMetafile = 14;

struct ObjectSummary {
  // The object's kind as its container named it ("Formula Editor 2.0", or the
  // programmatic identifier when no readable name is stored), UTF-8; empty when unknown.
  std::string class_name;
  // Clipboard format of the first stored presentation, 0 when there is none.
  std::uint32_t presentation_format = 0;
  // The presentation decoded, when it is a bitmap this program can read.
  std::optional<RgbImage> picture;
};

// Objects larger than this are not examined (they are still kept and saved).
inline constexpr std::size_t kMaxExaminedObjectBytes = std::size_t{64} << 20;

// Reads the compound file inside `bytes` (it may follow a short container header), or
// an object stream of the older layout that starts with a version word and the class name.
ObjectSummary DescribeObject(std::span<const std::uint8_t> bytes);

// A summary together with the bytes it was made from (their count and checksum).
struct CachedObjectSummary {
  std::size_t size = 0;
  std::uint64_t checksum = 0;
  ObjectSummary summary;
};

// DescribeObject of a figure's object bytes, made once and kept beside them; made again
// when the bytes no longer match.
const ObjectSummary& ObjectSummaryOf(const FigureOwned& owned);

}  // namespace qzarn
