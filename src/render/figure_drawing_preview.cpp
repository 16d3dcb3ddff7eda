#include "render/figure_drawing_preview.h"

#include <cmath>

#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

bool Usable(PlanePoint p) {
  return OnPlane(p.x) && OnPlane(p.y);
}

// Sets the erasable pen for the band and restores copy mode afterwards.
class Band {
 public:
  Band(DrawContext& ctx, const std::optional<PreviewPen>& pen) : ctx_(ctx) {
    const PreviewPen p = pen.value_or(PreviewPen{});
    Canvas& c = ctx.canvas();
    c.SetRasterMode(RasterMode::kNotXor);
    c.SetPen(Pen{ctx.InkColour(p.colour), ctx.PenWidth(p.width), PenStyleFromStyleCode(p.style)});
    c.SetBrush(Brush{BrushStyle::kClear, p.colour});
  }
  ~Band() { ctx_.canvas().SetRasterMode(RasterMode::kCopy); }
  Band(const Band&) = delete;
  Band& operator=(const Band&) = delete;

 private:
  DrawContext& ctx_;
};

}  // namespace

void PreviewLine(DrawContext& ctx, PlanePoint a, PlanePoint b, bool whole,
                 const std::optional<PreviewPen>& pen) {
  if (!Usable(a) || !Usable(b)) return;
  Band band(ctx, pen);
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  const double d = std::hypot(b.x - a.x, b.y - a.y);
  if (d == 0) {
    DrawDot(ctx, 3, a.x, a.y);
    return;
  }
  if (!whole) {
    lines.DrawSegment(a.x, a.y, b.x, b.y);
    return;
  }
  const PlaneRect& r = ctx.visible();
  const double size = std::fabs(r.right - r.left) + std::fabs(r.top - r.bottom);
  const double ux = (b.x - a.x) / d * size, uy = (b.y - a.y) / d * size;
  lines.DrawSegment(a.x - ux, a.y - uy, b.x + ux, b.y + uy);
}

void PreviewRectangle(DrawContext& ctx, PlanePoint a, PlanePoint b) {
  if (!Usable(a) || !Usable(b)) return;
  Band band(ctx, PreviewPen{kBlack, 0, 1});
  const PointF p = ctx.ToDevice(a.x, a.y), q = ctx.ToDevice(b.x, b.y);
  const int left = RoundToInt(std::min(p.x, q.x)), right = RoundToInt(std::max(p.x, q.x));
  const int top = RoundToInt(std::min(p.y, q.y)), bottom = RoundToInt(std::max(p.y, q.y));
  ctx.canvas().DrawRectangle(Rect{left, top, right + 1, bottom + 1});
}

void PreviewCircle(DrawContext& ctx, PlanePoint centre, double radius,
                   const std::optional<PreviewPen>& pen) {
  if (!Usable(centre) || !OnPlane(radius)) return;
  Band band(ctx, pen);
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  DrawCircle(ctx, lines, ctx.scale() * radius * ctx.z(), centre.x, centre.y);
}

void PreviewParabola(DrawContext& ctx, PlanePoint vertex, PlanePoint point,
                     const std::optional<PreviewPen>& pen) {
  if (!Usable(vertex) || !Usable(point)) return;
  Band band(ctx, pen);
  const bool dashed = LineStyleEntryOf(ctx.canvas().pen().style) >= 0;
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  // The band is never a selected figure: an ink without selection keeps the pen.
  FigureInk ink(ctx, false);
  ctx.canvas().SetRasterMode(RasterMode::kNotXor);
  DrawParabolaShape(ink, lines, {vertex.x, vertex.y, point.x, point.y, false}, 2, dashed, 3);
}

}  // namespace qzarn::render
