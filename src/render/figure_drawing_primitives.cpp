#include "render/figure_drawing_primitives.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace qzarn::render {

namespace {

bool Near(double v) {
  return std::isfinite(v) && std::fabs(v) < kMaxPixel;
}

// Sine and cosine of every whole degree 0..360, shared by the dashed circles.
const std::array<std::array<double, 361>, 2>& DegreeTables() {
  static const auto tables = [] {
    std::array<std::array<double, 361>, 2> t{};
    for (int d = 0; d <= 360; ++d) {
      const double r = d * std::numbers::pi / 180.0;
      t[0][d] = std::sin(r);
      t[1][d] = std::cos(r);
    }
    return t;
  }();
  return tables;
}

// Corners given as (along, across) pixel offsets from `origin` in direction u.
std::vector<PointF> Place(PointF origin, PointF u, std::initializer_list<PointF> corners) {
  const PointF n{-u.y, u.x};
  std::vector<PointF> out;
  out.reserve(corners.size());
  for (const PointF& c : corners)
    out.push_back({origin.x + c.x * u.x + c.y * n.x, origin.y + c.x * u.y + c.y * n.y});
  return out;
}

// Fills a polygon with the current pen colour, outlined by a solid 1-pixel pen.
void FillWithPenColour(Canvas& canvas, const std::vector<PointF>& corners) {
  for (const PointF& p : corners)
    if (!Near(p.x) || !Near(p.y)) return;
  const Pen saved_pen = canvas.pen();
  const Brush saved_brush = canvas.brush();
  canvas.SetPen(Pen{saved_pen.colour, 1, PenStyle::kSolid});
  canvas.SetBrush(Brush{BrushStyle::kSolid, saved_pen.colour});
  canvas.DrawPolygon(corners);
  canvas.SetBrush(saved_brush);
  canvas.SetPen(saved_pen);
}

struct ArrowFrame {
  PointF start;  // device position of the shaft's start
  PointF u;      // unit direction towards the tip
  double d;      // shaft length in device pixels
  double a, c, w;
};

bool MakeFrame(const DrawContext& ctx, PlanePoint from, PlanePoint tip, double length,
               double half_angle, int line_width, ArrowFrame& f) {
  if (std::hypot(tip.x - from.x, tip.y - from.y) < 1e-5) return false;
  f.start = ctx.ToDevice(from.x, from.y);
  const PointF t = ctx.ToDevice(tip.x, tip.y);
  if (!Near(f.start.x) || !Near(f.start.y) || !Near(t.x) || !Near(t.y)) return false;
  f.d = std::hypot(t.x - f.start.x, t.y - f.start.y);
  if (!(f.d > 0)) return false;
  f.u = {(t.x - f.start.x) / f.d, (t.y - f.start.y) / f.d};
  f.w = ArrowLineWidth(ctx, line_width);
  const double b = length * ctx.scale() * ctx.z() * ctx.print_scale() + f.w;
  const double rad = half_angle * std::numbers::pi / 180.0;
  f.a = b * std::cos(rad);
  f.c = b * std::sin(rad);
  return true;
}

}  // namespace

void DrawDot(DrawContext& ctx, double radius_px, double x, double y) {
  if (radius_px < 0) return;
  const double px = ctx.PX(x), py = ctx.PY(y);
  const double r = RoundHalfEven(radius_px * ctx.print_scale());
  if (!Near(px) || !Near(py) || !Near(r)) return;
  const int cx = RoundToInt(px), cy = RoundToInt(py), ri = static_cast<int>(r);
  ctx.canvas().DrawEllipse(Rect{cx - ri, cy - ri, cx + ri + 1, cy + ri + 1});
}

void DrawCircle(DrawContext& ctx, LinePainter& painter, double radius_px, double x, double y) {
  if (!(radius_px >= 0)) return;
  const double px = ctx.PX(x), py = ctx.PY(y);
  const double r = RoundHalfEven(radius_px * ctx.print_scale());
  if (!Near(px) || !Near(py) || !Near(r) || !Near(px + r) || !Near(py + r)) return;
  Canvas& canvas = ctx.canvas();
  if (painter.dash().active()) {
    const auto& t = DegreeTables();
    const int step = ctx.printing() ? 2 : 3;
    PointF prev{px + r, py};
    painter.BeginRun();
    for (int d = step; d <= 360; d += step) {
      const PointF next{px + r * t[1][d], py - r * t[0][d]};
      painter.DrawDeviceSegment(prev, next);
      prev = next;
    }
    painter.EndRun();
    return;
  }
  // A circle of no pixel radius leaves its centre mark alone on the picture.
  if (canvas.pen().style == PenStyle::kClear || r == 0) return;
  canvas.DrawEllipse(RectF{px - r, py - r, px + r, py + r});
}

void SetLabelFont(DrawContext& ctx, const std::string& family, int size, int style, int charset,
                  Colour colour) {
  Font f = ctx.canvas().font();
  f.family = family;
  f.height = RoundToInt(size * ctx.print_scale());
  f.style = static_cast<std::uint8_t>(style & 0x0F);
  f.charset = charset < 0 ? 128 : charset;
  f.colour = ctx.InkColour(colour);
  ctx.canvas().SetFont(f);
}

bool DrawLabelText(DrawContext& ctx, std::string_view utf8, double x, double y, HAnchor h,
                   VAnchor v) {
  return DrawDeviceText(ctx, utf8, ctx.ToDevice(x, y), h, v);
}

bool DrawDeviceText(DrawContext& ctx, std::string_view utf8, PointF at, HAnchor h, VAnchor v) {
  if (utf8.empty()) return false;
  if (!(std::fabs(at.x) <= kMaxTextPixel) || !(std::fabs(at.y) <= kMaxTextPixel)) return false;
  Canvas& canvas = ctx.canvas();
  const TextAnchor anchor{static_cast<HorizontalAnchor>(h), static_cast<VerticalAnchor>(v)};
  const TextExtent extent = canvas.MeasureText(utf8);
  const PointF origin = AnchoredTextOrigin(at, extent, anchor);
  if (origin.x > ctx.W() || origin.y > ctx.H() || origin.x + extent.width < 0 ||
      origin.y + extent.height < 0)
    return false;
  canvas.SetTextAnchor(anchor);
  canvas.DrawText(at, utf8);
  ctx.last_text_position = origin;
  return true;
}

Colour SelectionColour(const DrawContext& ctx, Colour background, Colour c) {
  if (ctx.printing() || !ctx.options().selection_colour_reversed) return c;
  const std::uint32_t x = background | c;
  const double f = background == (c | 0xFFFFFFu) ? 0.33 : 0.61;
  return static_cast<Colour>(RoundHalfEven(x * f));
}

double ArrowLineWidth(const DrawContext& ctx, int line_width) {
  if (!ctx.printing()) return line_width;
  if (ctx.options().print_line_width) return line_width * ctx.print_scale();
  return std::max(static_cast<double>(line_width), ctx.print_scale());
}

void DrawArrowHead(DrawContext& ctx, PlanePoint tip, PlanePoint other, double length,
                   double half_angle, int line_width) {
  ArrowFrame f;
  if (!MakeFrame(ctx, other, tip, length, half_angle, line_width, f)) return;
  const double d = f.d, a = f.a, c = f.c, w = f.w;
  FillWithPenColour(ctx.canvas(), Place(f.start, f.u,
                                        {{d - 0.6 * a, -w / 2},
                                         {d - a, -c - w / 2},
                                         {d, 0},
                                         {d - a, c + w / 2},
                                         {d - 0.6 * a, w / 2}}));
}

void DrawArrowSegment(DrawContext& ctx, PlanePoint from, PlanePoint tip, double length,
                      double half_angle, int line_width, bool double_headed) {
  ArrowFrame f;
  if (!MakeFrame(ctx, from, tip, length, half_angle, line_width, f)) return;
  const double d = f.d, a = f.a, c = f.c, w = f.w;
  if (!double_headed) {
    FillWithPenColour(ctx.canvas(), Place(f.start, f.u,
                                          {{0, w / 2},
                                           {0, -w / 2},
                                           {d - 0.6 * a, -w / 2},
                                           {d - a, -w / 2 - c},
                                           {d, 0},
                                           {d - a, w / 2 + c},
                                           {d - 0.6 * a, w / 2}}));
    return;
  }
  FillWithPenColour(ctx.canvas(), Place(f.start, f.u,
                                        {{0, 0},
                                         {a, -w / 2 - c},
                                         {0.6 * a, -w / 2},
                                         {d - 0.6 * a, -w / 2},
                                         {d - a, -w / 2 - c},
                                         {d, 0},
                                         {d - a, w / 2 + c},
                                         {d - 0.6 * a, w / 2},
                                         {0.6 * a, w / 2},
                                         {a, w / 2 + c}}));
}

}  // namespace qzarn::render
