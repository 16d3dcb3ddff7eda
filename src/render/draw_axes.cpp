#include "render/draw_axes.h"

#include <span>

#include "render/axes_grid.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

void DrawGrid(DrawContext& ctx, const GridPlan& grid) {
  const AxesSettings& axes = ctx.params().axes;
  Canvas& canvas = ctx.canvas();
  const Colour colour = ctx.InkColour(axes.grid_colour);
  if (grid.as_dots) {
    canvas.SetPen(Pen{colour, 1, PenStyle::kSolid});
    canvas.SetBrush(Brush{BrushStyle::kSolid, colour});
    for (const PlanePoint& p : grid.dots)
      DrawDot(ctx, grid.dot_radius, p.x, p.y);
    canvas.SetBrush(Brush{BrushStyle::kClear, colour});
    return;
  }
  const PenStyle style = PenStyleFromStyleCode(axes.grid_style);
  if (style == PenStyle::kClear) return;
  canvas.SetPen(Pen{colour, ctx.PenWidth(axes.grid_width), style});
  canvas.SetBrush(Brush{BrushStyle::kClear, colour});
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  for (double r : grid.circles)
    DrawCircle(ctx, lines, r * ctx.scale() * ctx.z(), 0, 0);
  // A device that dashes strokes itself takes the dashed grid lines in one
  // call, so that it can write them as one path per phase.
  const bool whole_strokes = lines.dash().active() && canvas.DrawsDashPatterns();
  if (whole_strokes) lines.BeginRun();
  for (const PlaneSegment& s : grid.lines)
    lines.DrawSegment(s.a.x, s.a.y, s.b.x, s.b.y);
  if (whole_strokes) lines.EndRun();
}

void DrawArrow(DrawContext& ctx, const ArrowPolygon& polygon, Colour colour) {
  Canvas& canvas = ctx.canvas();
  canvas.SetPen(Pen{colour, 1, PenStyle::kSolid});
  canvas.SetBrush(Brush{BrushStyle::kSolid, colour});
  std::array<Point, 7> corners;
  for (std::size_t i = 0; i < polygon.size(); ++i)
    corners[i] = {polygon[i].x, polygon[i].y};
  canvas.DrawPolygon(std::span<const Point>(corners));
  canvas.SetBrush(Brush{BrushStyle::kClear, colour});
}

void DrawTicks(DrawContext& ctx, const std::vector<PlaneSegment>& ticks, Colour colour) {
  ctx.canvas().SetPen(Pen{colour, ctx.PenWidth(2), PenStyle::kSolid});
  LinePainter lines = ctx.Lines();
  lines.BeginDash(true);
  for (const PlaneSegment& s : ticks)
    lines.DrawPlainSegment(s.a.x, s.a.y, s.b.x, s.b.y);
}

// The X axis's tick labels, walked outwards from the origin on each side: a
// label is left out when its text would reach past the surface's left or
// right edge, or come closer than a third of its height to the last label
// drawn on the same side. Long labels (the degree kind's "-630ﾟ" at 90ﾟ
// spacing) then alternate instead of running into each other.
class XLabelSpacing {
 public:
  explicit XLabelSpacing(DrawContext& ctx) : ctx_(ctx) {}

  bool Fits(const AxisLabel& l) {
    // Tick labels hang centred below the X axis; "O" and the name do not.
    if (l.axis != AxisId::kX || l.h != HAnchor::kCentre || l.v != VAnchor::kTop) return true;
    const PointF at = ctx_.ToDevice(l.x, l.y);
    const TextExtent extent = ctx_.canvas().MeasureText(l.text);
    const PointF origin = AnchoredTextOrigin(
        at, extent,
        TextAnchor{static_cast<HorizontalAnchor>(l.h), static_cast<VerticalAnchor>(l.v)});
    const double left = origin.x, right = origin.x + extent.width;
    if (left < 0 || right > ctx_.W()) return false;
    const double gap = extent.height / 3.0;
    const bool positive = l.x > 0;
    Side& side = positive ? positive_ : negative_;
    if (side.any && (positive ? left < side.edge + gap : right > side.edge - gap)) return false;
    side.any = true;
    side.edge = positive ? right : left;
    return true;
  }

 private:
  struct Side {
    bool any = false;
    double edge = 0;  // the outer edge of the last label drawn
  };
  DrawContext& ctx_;
  Side positive_, negative_;
};

}  // namespace

void DrawAxes(DrawContext& ctx) {
  const AxesSettings& axes = ctx.params().axes;
  DrawGrid(ctx, PlanGrid(ctx.view(), axes));
  const AxisArrowsPlan arrows = PlanAxisArrows(ctx.view(), axes, ctx.options().layout,
                                               ctx.printing() && ctx.options().print_line_width);
  if (arrows.shown) {
    DrawArrow(ctx, arrows.y_axis, ctx.InkColour(axes.y.colour));
    DrawArrow(ctx, arrows.x_axis, ctx.InkColour(axes.x.colour));
  }
  ctx.canvas().SetPen(Pen{ctx.canvas().pen().colour, 1, PenStyle::kSolid});
}

void DrawAxisLabels(DrawContext& ctx) {
  const AxesSettings& axes = ctx.params().axes;
  const AxisLabelsPlan plan = PlanAxisLabels(ctx.view(), axes, ctx.options().layout);
  if (!plan.shown) return;
  Canvas& canvas = ctx.canvas();
  const Colour x_colour = ctx.InkColour(axes.x.colour);
  const Colour y_colour = ctx.InkColour(axes.y.colour);
  canvas.SetBackground(BackgroundMode::kTransparent, ctx.params().background);
  DrawTicks(ctx, plan.x_ticks, x_colour);
  DrawTicks(ctx, plan.y_ticks, y_colour);
  const int charset = axes.japanese_font ? 128 : 0;
  XLabelSpacing spacing(ctx);
  for (const AxisLabel& l : plan.labels) {
    const int style = l.italic ? (axes.font_style | kFontItalic) : axes.font_style;
    SetLabelFont(ctx, ctx.params().axis_font_family, plan.font_size, style, charset,
                 l.axis == AxisId::kX ? x_colour : y_colour);
    if (!spacing.Fits(l)) continue;
    DrawLabelText(ctx, l.text, l.x, l.y, l.h, l.v);
  }
  canvas.SetPen(Pen{canvas.pen().colour, 1, PenStyle::kSolid});
}

}  // namespace qzarn::render
