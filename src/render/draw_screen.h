#pragma once
// One complete picture of a screen, in the order every picture is built:
// recompute, background, back layer, grid and axes, axis labels, front
// layers, outer frame. The same entry serves the window, image export and
// (with a print setup) the printer.

#include <functional>

#include "document/screen.h"
#include "platform/rgb_image.h"
#include "render/draw_context.h"

namespace qzarn::render {

// What drawing reads from a screen: its view settings, axis font, selection.
// picture: the decoded background picture, or null.
ViewParams ViewParamsFromScreen(const Screen& screen, const RgbImage* picture);
// The part that comes from the view settings and the axis font alone (stretch 1,
// no selection, no variables): what a preview of edited settings draws with.
ViewParams ViewParamsFromView(const ViewSettings& view, const AxisFont& font,
                              const RgbImage* picture);

struct DrawScreenInputs {
  // Recomputes every figure of the screen before it is drawn (the engine's pass);
  // empty = draw the records as they are.
  std::function<void(Screen&)> recompute;
  const RgbImage* picture = nullptr;  // decoded background picture
  int excluded = -1;                  // a slot left out of the picture, -1 none
  PrintSetup print;
};

// Does nothing without a screen.
void DrawScreen(Canvas& canvas, Screen* screen, const RenderOptions& options,
                const DrawScreenInputs& inputs = {});

// Draws the screen's selected figure alone, erasably when the screen does not
// redraw fully while dragging: a second identical call restores the picture.
void DrawSelectedFigure(Canvas& canvas, const Screen& screen, const RenderOptions& options);

}  // namespace qzarn::render
