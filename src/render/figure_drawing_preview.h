#pragma once
// Rubber bands of the pointer tools: erasable (NOT-XOR) outlines drawn while
// the mouse moves; drawing the same band twice removes it again.

#include <optional>

#include "render/axes_grid.h"
#include "render/draw_context.h"

namespace qzarn::render {

// The screen's remembered line attributes (last used colour, style, width).
struct PreviewPen {
  Colour colour = kBlack;
  int style = 0;
  int width = 2;
};

// A segment, or with `whole` the line through both points extended by the
// visible size each way; a dot of radius 3 when the points coincide.
void PreviewLine(DrawContext& ctx, PlanePoint a, PlanePoint b, bool whole,
                 const std::optional<PreviewPen>& pen);
// Black, solid, 1 pixel, no fill.
void PreviewRectangle(DrawContext& ctx, PlanePoint a, PlanePoint b);
void PreviewCircle(DrawContext& ctx, PlanePoint centre, double radius,
                   const std::optional<PreviewPen>& pen);
void PreviewParabola(DrawContext& ctx, PlanePoint vertex, PlanePoint point,
                     const std::optional<PreviewPen>& pen);

}  // namespace qzarn::render
