#pragma once
// The screen's background: the colour fill, the background picture in its
// placement (centred, tiled, enlarged) and the outer frame.

#include "render/draw_context.h"

namespace qzarn::render {

// Coordinate kind code that asks for a hatched background (a marker screen).
inline constexpr int kHatchedBackgroundKind = 109;

void DrawBackground(DrawContext& ctx);
// The black 1-pixel frame around the surface when the frame is on.
void DrawOuterFrame(DrawContext& ctx);

}  // namespace qzarn::render
