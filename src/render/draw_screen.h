#pragma once
// One complete picture of a screen, in the order every picture is built:
// recompute, background, back layer, grid and axes, axis labels, front
// layers, outer frame. The same entry serves the window, image export and
// (with a print setup) the printer.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

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

// Draws `canvas`'s part of a picture that is drawn in parts at once (bands of
// one image, each on its own canvas and thread). Only reads the screen.
using DrawPicturePart = std::function<void(Canvas& canvas)>;

// DrawScreen's picture, drawn by `draw_parts`: the recompute and the fitting
// of text boxes (which change the screen) are done first, on `canvas`; then
// `draw_parts` is handed a function that draws the whole picture on the
// canvas it is given, and may call it on several canvases at once. Drawing
// it on `canvas` alone gives DrawScreen's picture.
void DrawScreenInParts(Canvas& canvas, Screen* screen, const RenderOptions& options,
                       const DrawScreenInputs& inputs,
                       const std::function<void(const DrawPicturePart&)>& draw_parts);

// One step of the order a picture is laid down in: a figure, or one of the
// pieces that belong to no figure.
struct PictureStep {
  enum class Kind : std::uint8_t {
    kBackground,  // background colour and picture
    kFigure,      // the figure in `slot`
    kAxes,        // grid, axes and axis labels
    kOuterFrame,  // the frame round the screen picture (not on paper)
  };
  Kind kind = Kind::kFigure;
  int slot = -1;
  friend bool operator==(const PictureStep&, const PictureStep&) = default;
};

// The steps DrawScreen draws after the recompute, in order: background, the
// back layer, axes, the three front passes, the outer frame.
std::vector<PictureStep> PictureOrder(const FigureTable& figures, bool printing = false,
                                      int excluded = -1);

// Draws the given steps of a screen already recomputed (inputs.recompute is
// not run), with the text boxes fitted as DrawScreen fits them. Drawing every
// step of PictureOrder gives DrawScreen's picture; drawing them in pieces on
// layers laid over each other gives it too, within antialiasing rounding.
void DrawPictureSteps(Canvas& canvas, Screen& screen, const RenderOptions& options,
                      const DrawScreenInputs& inputs, std::span<const PictureStep> steps);

// Draws the screen's selected figure alone, erasably when the screen does not
// redraw fully while dragging: a second identical call restores the picture.
void DrawSelectedFigure(Canvas& canvas, const Screen& screen, const RenderOptions& options);

}  // namespace qzarn::render
