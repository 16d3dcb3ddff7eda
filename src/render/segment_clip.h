#pragma once
// Cutting a segment down to the part that can show inside a box. Used where a
// line is handed to a rasteriser whose cost follows the whole length: a whole
// line of a figure is drawn several view widths long.

#include <optional>

#include "render/canvas.h"

namespace qzarn::render {

struct ClippedSegment {
  PointF from, to;
  bool from_cut = false;  // the end lay outside the box and was moved onto its edge
  bool to_cut = false;
};

// The part of from-to inside `box` (edges included), or nothing when the
// segment misses the box. Ends inside the box stay exactly as given.
// Non-finite coordinates miss every box.
std::optional<ClippedSegment> ClipSegment(PointF from, PointF to, const RectF& box);

}  // namespace qzarn::render
