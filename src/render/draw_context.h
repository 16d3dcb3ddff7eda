#pragma once
// The state of one drawing pass: the canvas, the view of the screen being
// drawn, the print factor and the values derived from them once per pass
// (visible rectangle, device extents). A DrawContext is created by BeginDraw
// for every picture and passed by reference to everything that draws; there
// is no global drawing state, so several screens can be drawn side by side.

#include <string>

#include "expr/variable_table.h"
#include "platform/rgb_image.h"
#include "render/axes_grid.h"
#include "render/canvas.h"
#include "render/line_style.h"
#include "render/line_style_dash.h"
#include "render/view_transform.h"

namespace qzarn::render {

// Application options read by drawing (settings sections "Axis" and "Option").
struct RenderOptions {
  AxisLayout layout;
  bool selection_colour_reversed = true;  // SelColorRev
  bool print_line_width = true;           // PrintLineWidth: widths grow with the print factor
  bool print_black = false;               // PrintBlackColor
  double tangent = 100;                   // Tangent: jump threshold of explicit curves
  int axis_precision = 2;                 // AxisPrecision: decimals of coordinate labels
  bool antialiasing = true;
  std::string window_font = "ＭＳ Ｐゴシック";
  const LineStyleTable* line_styles = nullptr;  // null = the built-in patterns
};

// Background picture placement (the stored value modulo 100).
enum class PictureMode : int { kNone = 0, kCentre = 1, kTile = 2, kEnlarge = 3 };

// What drawing reads from a screen's view settings, in convenient types.
struct ViewParams {
  ViewTransform view;            // print_scale is set by the pass
  int coordinate_kind_code = 0;  // as stored (109 hatches the background)
  AxesSettings axes;
  std::string axis_font_family = "ＭＳ Ｐゴシック";
  Colour background = kWhite;
  int picture_mode = 1;                      // BackgroundMode plus 100 when the outer frame is off
  const RgbImage* picture = nullptr;         // background picture or none
  bool full_redraw = true;                   // FullRedraw
  int selected_index = -1;                   // SelectedIndex
  const VariableTable* variables = nullptr;  // live values shown in text boxes

  bool FrameOn() const { return picture_mode < 100; }
};

struct PrintSetup {
  bool printing = false;
  double print_scale = 1.0;
  Size page;  // target size when printing
};

class DrawContext {
 public:
  // BeginDraw: saves the canvas state (restored by EndDraw), sets the window
  // font, and computes the visible rectangle and the device extents.
  DrawContext(Canvas& canvas, const ViewParams& params, const RenderOptions& options,
              const PrintSetup& print = {});
  ~DrawContext();
  DrawContext(const DrawContext&) = delete;
  DrawContext& operator=(const DrawContext&) = delete;

  // EndDraw: restores the canvas state saved by BeginDraw (once).
  void End();

  Canvas& canvas() const { return *canvas_; }
  const ViewParams& params() const { return *params_; }
  const RenderOptions& options() const { return *options_; }
  const ViewTransform& view() const { return view_; }
  const PlaneRect& visible() const { return visible_; }
  double z() const { return view_.zoom; }
  double scale() const { return view_.scale; }
  double print_scale() const { return view_.print_scale; }
  bool printing() const { return printing_; }
  double W() const { return width_; }  // device extent
  double H() const { return height_; }
  Size target() const { return target_; }

  double PX(double x) const { return view_.PlaneToPixelX(x); }
  double PY(double y) const { return view_.PlaneToPixelY(y); }
  PointF ToDevice(double x, double y) const { return {PX(x), PY(y)}; }

  // A pen width in surface pixels as drawn on this device.
  int PenWidth(int width) const;
  // A colour as pens and texts use it: black on paper with the black option.
  Colour InkColour(Colour c) const;
  // A line painter bound to this pass (dash patterns, extents, transform).
  LinePainter Lines() const;

  // Position of the last text drawn by DrawLabelText (device pixels, top-left).
  PointF last_text_position;

 private:
  Canvas* canvas_;
  const ViewParams* params_;
  const RenderOptions* options_;
  ViewTransform view_;
  PlaneRect visible_;
  bool printing_ = false;
  double width_ = 0, height_ = 0;
  Size target_;
  bool open_ = false;
};

}  // namespace qzarn::render
