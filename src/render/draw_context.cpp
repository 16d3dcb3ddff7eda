#include "render/draw_context.h"

#include <cmath>

namespace qzarn::render {

DrawContext::DrawContext(Canvas& canvas, const ViewParams& params, const RenderOptions& options,
                         const PrintSetup& print)
    : canvas_(&canvas), params_(&params), options_(&options), view_(params.view) {
  printing_ = print.printing;
  view_.print_scale = print.printing && print.print_scale > 0 ? print.print_scale : 1.0;
  target_ = print.printing ? print.page : Size{view_.surface_width, view_.surface_height};
  canvas.SaveState();
  open_ = true;
  Font font = canvas.font();
  font.family = options.window_font;
  canvas.SetFont(font);
  canvas.SetAntialiasing(options.antialiasing);
  visible_ = view_.VisibleRect();
  width_ = view_.DeviceWidth();
  height_ = view_.DeviceHeight();
}

DrawContext::~DrawContext() {
  End();
}

void DrawContext::End() {
  if (!open_) return;
  open_ = false;
  canvas_->RestoreState();
}

int DrawContext::PenWidth(int width) const {
  if (printing_ && options_->print_line_width)
    return static_cast<int>(RoundHalfEven(width * view_.print_scale));
  return width;
}

Colour DrawContext::InkColour(Colour c) const {
  return printing_ && options_->print_black ? kBlack : c;
}

LinePainter DrawContext::Lines() const {
  LineSurface s;
  s.canvas = canvas_;
  s.width = width_;
  s.height = height_;
  s.kept = canvas_->KeptPixels();
  s.printing = printing_;
  s.pattern_scale = DashPatternScale(printing_, view_.print_scale, options_->print_line_width);
  s.styles = options_->line_styles;
  const ViewTransform v = view_;
  s.to_device = [v](double x, double y) { return PointF{v.PlaneToPixelX(x), v.PlaneToPixelY(y)}; };
  return LinePainter(std::move(s));
}

}  // namespace qzarn::render
