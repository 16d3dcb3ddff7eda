// Lines, segments with arrow heads, tangents, angle division lines and
// parabolas, with their loci and defining-point marks.

#include <cmath>

#include "platform/text_encoding.h"
#include "render/figure_drawing_kinds.h"
#include "render/figure_drawing_labels.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

// Marker of a general-form parabola that reduced to a straight line.
constexpr double kStraightParabolaMarker = 9999999;
// A loop over chords never runs longer than this (a guard for damaged records).
constexpr int kMaxChords = 200000;

struct LineShape {
  double x0, y0, x1, y1;
  bool segment;  // DispB: the segment between the points, else the whole line
  int arrows;    // YaTyp: 0 none, 1 at the first point, 2 at the second, 3 both
  double arrow_length;
  double arrow_angle;
  int width;
};

// How long a whole line is drawn: e relates the two points' distance to twice
// the visible width plus height. Degenerate when it vanishes.
double LineScale(const DrawContext& ctx, const LineShape& s) {
  const PlaneRect& r = ctx.visible();
  const double d = std::hypot(s.x1 - s.x0, s.y1 - s.y0);
  return d / (std::fabs(r.right - r.left) + std::fabs(r.top - r.bottom)) / 2;
}

void DrawWholeLine(LinePainter& lines, const LineShape& s, double e) {
  const double u = (s.x1 - s.x0) / e, v = (s.y1 - s.y0) / e;
  // Centred on the origin's abscissa (ordinate), long enough to cross any view.
  if (std::fabs(u) >= std::fabs(v)) {
    const double slope = (s.y1 - s.y0) / (s.x1 - s.x0);
    lines.DrawSegment(-u, s.y0 + (-u - s.x0) * slope, u, s.y0 + (u - s.x0) * slope);
  } else {
    const double slope = (s.x1 - s.x0) / (s.y1 - s.y0);
    lines.DrawSegment(s.x0 + (-v - s.y0) * slope, -v, s.x0 + (v - s.y0) * slope, v);
  }
}

// The shape of a line figure in the pen already set. dashed: the pen style is
// dashed (the painter has expanded its pattern).
void DrawLineShape(FigureInk& ink, LinePainter& lines, const LineShape& s, bool dashed) {
  DrawContext& ctx = ink.ctx();
  const double e = LineScale(ctx, s);
  if (!(std::fabs(e) > 1e-10) || !std::isfinite(e)) return;
  if (!s.segment) {
    DrawWholeLine(lines, s, e);
    return;
  }
  const PlanePoint a{s.x0, s.y0}, b{s.x1, s.y1};
  if (dashed || s.arrows <= 0 || s.arrows > 3) {
    lines.DrawSegment(s.x0, s.y0, s.x1, s.y1);
    if (s.arrows == 1 || s.arrows == 3)
      DrawArrowHead(ctx, a, b, s.arrow_length, s.arrow_angle, s.width);
    if (s.arrows == 2 || s.arrows == 3)
      DrawArrowHead(ctx, b, a, s.arrow_length, s.arrow_angle, s.width);
    return;
  }
  if (s.arrows == 1) DrawArrowSegment(ctx, b, a, s.arrow_length, s.arrow_angle, s.width, false);
  if (s.arrows == 2) DrawArrowSegment(ctx, a, b, s.arrow_length, s.arrow_angle, s.width, false);
  if (s.arrows == 3) DrawArrowSegment(ctx, a, b, s.arrow_length, s.arrow_angle, s.width, true);
}

LineShape ShapeOf(const LineRecord& l, double x0, double y0, double x1, double y1) {
  return {x0,
          y0,
          x1,
          y1,
          static_cast<bool>(l.DispB),
          l.YaTyp,
          l.YaLng,
          static_cast<double>(l.YaAng),
          l.SizeL};
}

}  // namespace

void DrawParabolaShape(FigureInk& ink, LinePainter& lines, const ParabolaShape& p, double factor,
                       bool dashed, int point_size) {
  DrawContext& ctx = ink.ctx();
  const PlaneRect& r = ctx.visible();
  const double h = p.straight ? 0.0 : p.h, k = p.k;
  if (!Defined(h) && !p.straight) return;
  if (!Defined(k) || !Defined(p.x1) || !Defined(p.y1)) return;
  if (std::hypot(p.x1 - h, p.y1 - k) < 1e-10) {
    DrawDot(ctx, ink.MarkRadius(point_size), h, k);
    return;
  }
  if (p.y1 == k) {
    lines.DrawSegment(-r.right, k, r.right, k);
    return;
  }
  if (p.x1 == h) {
    lines.DrawSegment(h, k, h, p.y1 > k ? r.top : -r.top);
    return;
  }
  if (p.straight) {
    const double slope = (p.y1 - p.k) / p.x1;
    lines.DrawSegment(-r.right, p.k - r.right * slope, r.right, p.k + r.right * slope);
    return;
  }
  const double b = (p.y1 - k) / ((p.x1 - h) * (p.x1 - h));
  const double z = ctx.z();
  auto below_or_above = [&](double ya, double yb) {
    return (ya < r.bottom && yb < r.bottom) || (ya > r.top && yb > r.top);
  };
  if (dashed) {
    // One sweep so that the dash phase runs on along the whole curve. The sweep
    // reaches the top of the view from the origin and both view edges from the
    // vertex, so a vertex far below (or above) the view still shows its arms.
    double step = std::fabs(2 * (ctx.printing() ? 0.01 : 0.02) / b / z);
    if (step < 0.01) step = 0.01;
    const double reach = std::max({std::fabs(2 * r.top / b), std::fabs(2 * (r.top - k) / b),
                                   std::fabs(2 * (r.bottom - k) / b)});
    const double limit = std::sqrt(reach);
    const int count = static_cast<int>(std::min(2 * limit / step + 1, double{kMaxChords}));
    lines.BeginRun();
    for (int i = 0; i < count; ++i) {
      const double t = -limit + i * step, u = t + step;
      const double ya = k + b * t * t, yb = k + b * u * u;
      if (below_or_above(ya, yb)) continue;
      lines.DrawSegment(h + t, ya, h + u, yb);
    }
    lines.EndRun();
    return;
  }
  double step = ctx.printing() ? 0.005 / b / z : factor * 0.02 / b / z;
  if (std::fabs(step) < 0.01) step = step < 0 ? -0.01 : 0.01;
  double t = 0;
  for (int i = 0; i < kMaxChords; ++i) {
    const double e = i < 9 ? step : (i < 17 ? 2 * step : 8 * step);
    const double ya = k + b * t * t;
    if (std::fabs(t + h) > r.right && std::fabs(ya) > r.top) break;
    const double u = t + e, yb = k + b * u * u;
    if (!below_or_above(ya, yb)) {
      lines.DrawPlainSegment(h + t, ya, h + u, yb);
      lines.DrawPlainSegment(h - t, ya, h - u, yb);
    }
    t = u;
  }
}

namespace {

// Marks at the defining points: solid, 1 pixel, in the point colour.
void DrawDefiningMarks(FigureInk& ink, const LineRecord& l, bool first, bool second) {
  ink.Fill(l.PointColor.get(), 1);
  ink.SolidPen(l.PointColor.get(), 1);
  const int r = ink.MarkRadius(l.SizeP);
  if (first) DrawDot(ink.ctx(), r, l.X0, l.Y0);
  if (second) DrawDot(ink.ctx(), r, l.X1, l.Y1);
}

void DrawCoordinateLabels(FigureInk& ink, const LineRecord& l, bool second) {
  if (!l.DispZ) return;
  const LabelFontSpec font = FontOf(l.Font);
  DrawPointLabel(ink, cp932_to_utf8(l.PointName1.view()), l.Dir, true, font, l.SizeP, 1, l.X0,
                 l.Y0);
  if (second)
    DrawPointLabel(ink, cp932_to_utf8(l.PointName2.view()), l.Dir, true, font, l.SizeP, 1, l.X1,
                   l.Y1);
}

int ValueFontSize(const DrawContext& ctx, const LabelFontSpec& font) {
  return RoundToInt(std::sqrt(ctx.z()) * font.size * 0.8);
}

void DrawLineLocus(FigureInk& ink, const LineRecord& l, bool parabola, bool straight_marker) {
  const int n = LocusEntries(l.TrackCount);
  if (!l.PaintFlag || n == 0) return;
  ink.Pen(l.PaintColor.get(), l.TrackRadius, 0);
  LinePainter lines = ink.ctx().Lines();
  lines.BeginDash();
  for (int i = 0; i < n; ++i) {
    const double x0 = l.TrackX0[i].get(), y0 = l.TrackY0[i].get();
    const double x1 = l.TrackX1[i].get(), y1 = l.TrackY1[i].get();
    if (parabola) {
      DrawParabolaShape(ink, lines, {x0, y0, x1, y1, straight_marker}, 4, false, l.SizeP);
    } else {
      LineShape s = ShapeOf(l, x0, y0, x1, y1);
      s.width = l.TrackRadius;
      DrawLineShape(ink, lines, s, false);
    }
  }
}

}  // namespace

void DrawLineFigure(FigureInk& ink, const FigureRecord& record) {
  const LineRecord* l = record.line();
  if (l == nullptr || !ConditionAllows(l->Boolean, l->ConditionValue)) return;
  DrawContext& ctx = ink.ctx();
  const bool sessen = record.type() == kSessenFigure;
  DrawLineLocus(ink, *l, false, false);
  const double x0 = l->X0, y0 = l->Y0, x1 = l->X1, y1 = l->Y1;
  if (!Defined(x0) || !Defined(y0) || !Defined(x1) || !Defined(y1)) return;
  const LineShape shape = ShapeOf(*l, x0, y0, x1, y1);
  const double e = LineScale(ctx, shape);
  const bool degenerate = !(std::fabs(e) > 1e-10);

  ink.Pen(l->LineColor.get(), l->SizeL, l->StyleL);
  const bool dashed = LineStyleEntryOf(ink.canvas().pen().style) >= 0;
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  if (!degenerate && l->DispL) DrawLineShape(ink, lines, shape, dashed);

  if (degenerate || l->DispP || ink.selected())
    DrawDefiningMarks(ink, *l, true, !sessen && !degenerate);

  const LabelFontSpec font = FontOf(l->Font);
  if (!sessen && l->DispN && l->DispB) {
    DrawValueLabel(ink, FormatDecimals(std::hypot(x1 - x0, y1 - y0), l->LimitS), font,
                   ValueFontSize(ctx, font), (x0 + x1) / 2, (y0 + y1) / 2, true);
  }
  if (sessen && l->DispN && x1 != x0) {
    DrawValueLabel(ink, FormatDecimals((y1 - y0) / (x1 - x0), l->LimitS), font,
                   ValueFontSize(ctx, font), (x0 + x1) / 2, (y0 + y1) / 2, true);
  }
  DrawCoordinateLabels(ink, *l, !sessen);
}

void DrawAngleFigure(FigureInk& ink, const FigureRecord& record) {
  const LineRecord* l = record.line();
  if (l == nullptr || !ConditionAllows(l->Boolean, l->ConditionValue)) return;
  DrawLineLocus(ink, *l, false, false);
  const double x0 = l->X0, y0 = l->Y0, x1 = l->X1, y1 = l->Y1;
  if (!Defined(x0) || !Defined(y0) || !Defined(x1) || !Defined(y1)) return;
  ink.Pen(l->LineColor.get(), l->SizeL, l->StyleL);
  LinePainter lines = ink.ctx().Lines();
  lines.BeginDash();
  if (l->DispL) lines.DrawSegment(x0, y0, x1, y1);
  if (l->DispP || ink.selected()) DrawDefiningMarks(ink, *l, false, true);
  if (l->DispZ)
    DrawPointLabel(ink, cp932_to_utf8(l->PointName2.view()), l->Dir, true, FontOf(l->Font),
                   l->SizeP, 1, x1, y1);
}

void DrawParabolaFigure(FigureInk& ink, const FigureRecord& record) {
  const LineRecord* l = record.line();
  if (l == nullptr || !ConditionAllows(l->Boolean, l->ConditionValue)) return;
  const bool straight = l->Mode == 1 && l->X0 == kStraightParabolaMarker;
  DrawLineLocus(ink, *l, true, straight);
  ink.Pen(l->LineColor.get(), l->SizeL, l->StyleL);
  const bool dashed = LineStyleEntryOf(ink.canvas().pen().style) >= 0;
  LinePainter lines = ink.ctx().Lines();
  lines.BeginDash();
  if (l->DispL) {
    ink.Fill(l->PointColor.get(), 1);
    DrawParabolaShape(ink, lines, {l->X0, l->Y0, l->X1, l->Y1, straight}, 2, dashed, l->SizeP);
  }
  if (l->DispP || ink.selected()) DrawDefiningMarks(ink, *l, !straight, ink.selected());
  DrawCoordinateLabels(ink, *l, true);
}

}  // namespace qzarn::render
