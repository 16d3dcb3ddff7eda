// Spline curves: the interpolated curve through the control points, open or
// closed, sampled at the figure's parameter step.

#include <cmath>
#include <vector>

#include "engine/spline.h"
#include "render/figure_drawing_kinds.h"

namespace qzarn::render {

namespace {

// The step new splines get; also taken when a record carries no usable step.
constexpr double kDefaultSplineStep = 0.01;
// The finest step drawn: at most this many segments per curve, as many as a
// sampled function curve holds, so a damaged step cannot stall the picture.
constexpr int kMaxSplineSegments = 10000;

}  // namespace

double SplineDrawingStep(double ss) {
  if (!(ss > 0)) return kDefaultSplineStep;
  return std::max(ss, 1.0 / kMaxSplineSegments);
}

void DrawSplineFigure(FigureInk& ink, const FigureTable& table, const FigureRecord& record) {
  const PolygonRecord* p = record.polygon();
  if (p == nullptr || !ConditionAllows(p->Boolean, p->ConditionValue)) return;
  if (!p->DispL && !ink.selected()) return;
  const std::vector<PlanePoint> points = UsedVertices(table, *p);
  const SplineTable spline(points, p->DispP);
  if (spline.empty()) return;
  DrawContext& ctx = ink.ctx();
  ink.Pen(p->LineColor.get(), p->SizeL, p->StyleL);
  LinePainter lines = ctx.Lines();
  lines.BeginDash();
  // t = i·step rather than a running sum, so that the samples do not drift;
  // the step that reaches or passes 1 is taken at 1 exactly.
  const double step = SplineDrawingStep(p->SS);
  PlanePoint from = SplinePoint(spline, 0.0);
  lines.BeginRun();
  for (int i = 1;; ++i) {
    const double t = std::min(i * step, 1.0);
    const PlanePoint to = SplinePoint(spline, t);
    lines.DrawSegment(from.x, from.y, to.x, to.y);
    if (t >= 1.0) break;
    from = to;
  }
  lines.EndRun();
}

}  // namespace qzarn::render
