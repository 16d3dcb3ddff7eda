// The point-like figures and the two angle figures on their records.

#include "engine/figure_computations.h"
#include "engine/point_constructions.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

PointRecord& PointAt(FigureEngine& engine, int index) {
  return RecordAt<PointRecord>(engine.screen(), index);
}

// The angle measure keeps "measure the smaller angle" where other points keep
// "show the coordinates".
bool SmallerAngle(const PointRecord& r) {
  return r.Coordinates;
}

}  // namespace

bool ComputePointFigure(FigureEngine& engine, int index) {
  PointRecord& r = PointAt(engine, index);
  r.X = engine.Evaluate(r.FX);
  r.Y = engine.Evaluate(r.FY);
  ReferenceWalk refs(engine);
  refs.PointInto(r.Ref0, r.X, r.Y);
  return refs.ok();
}

bool ComputeBuntenFigure(FigureEngine& engine, int index) {
  PointRecord& r = PointAt(engine, index);
  const double m = engine.Evaluate(r.FX);
  const double n = engine.Evaluate(r.FY);
  ReferenceWalk refs(engine);
  const PlanePoint p1 = refs.Point(r.Ref0);
  const PlanePoint p2 = refs.Point(r.Ref1);
  const DividingPointResult d = DividingPoint(p1, p2, m, n);
  r.X = d.point.x;
  r.Y = d.point.y;
  r.RatioDegenerate = d.ratio_degenerate ? 1 : 0;
  return refs.ok();
}

bool ComputeCrossFigure(FigureEngine& engine, int index) {
  PointRecord& r = PointAt(engine, index);
  ReferenceWalk refs(engine);
  const LinePoints a = refs.Line(r.Ref0);
  const LinePoints b = refs.Line(r.Ref1);
  const PlanePoint p = IntersectLines(a, b);
  r.X = p.x;
  r.Y = p.y;
  return refs.ok();
}

bool ComputeSuisenFigure(FigureEngine& engine, int index) {
  PointRecord& r = PointAt(engine, index);
  ReferenceWalk refs(engine);
  const PlanePoint p = refs.Point(r.Ref0);
  LinePoints line;
  if (r.Ref1 == kXAxisReference)
    line = kXAxisLine;
  else if (r.Ref1 == kYAxisReference)
    line = kYAxisLine;
  else
    line = refs.Line(r.Ref1);
  if (!refs.ok()) return false;
  const PlanePoint foot = PerpendicularFoot(p, line);
  r.X = foot.x;
  r.Y = foot.y;
  return true;
}

bool ComputeAngleFigure(FigureEngine& engine, int index) {
  LineRecord& r = RecordAt<LineRecord>(engine.screen(), index);
  const double m = engine.Evaluate(r.FX0);
  const double n = engine.Evaluate(r.FY0);
  ReferenceWalk refs(engine);
  const PlanePoint a = refs.Point(r.Ref0);
  const PlanePoint o = refs.Point(r.Ref1);
  const PlanePoint b = refs.Point(r.Ref2);
  if (!refs.ok()) return false;
  const LinePoints line = AngleDivisionLine(a, o, b, m, n, r.Lng, r.DispC);
  r.X0 = line.p0.x;
  r.Y0 = line.p0.y;
  r.X1 = line.p1.x;
  r.Y1 = line.p1.y;
  return true;
}

bool ComputeAngle2Figure(FigureEngine& engine, int index) {
  PointRecord& r = PointAt(engine, index);
  ReferenceWalk refs(engine);
  const PlanePoint a = refs.Point(r.Ref0);
  const PlanePoint o = refs.Point(r.Ref1);
  const PlanePoint b = refs.Point(r.Ref2);
  if (!refs.ok()) return false;
  const AngleMeasureResult angle = MeasureAngle(a, o, b, SmallerAngle(r));
  r.X = angle.vertex.x;
  r.Y = angle.vertex.y;
  r.EndAngle() = angle.end_angle;
  // An undefined angle keeps its start, as drawing skips it by the end.
  if (!angle.undefined) r.StartAngle() = angle.start_angle;
  return true;
}

}  // namespace qzarn
