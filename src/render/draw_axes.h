#pragma once
// The coordinate system drawn into a pass: DrawAxes (grid and axis arrows)
// runs after the back figure layer, DrawAxisLabels (ticks, labels, origin
// label, axis names) after it. Both draw the layouts of axes_grid.h.

#include "render/draw_context.h"

namespace qzarn::render {

void DrawAxes(DrawContext& ctx);
void DrawAxisLabels(DrawContext& ctx);

}  // namespace qzarn::render
