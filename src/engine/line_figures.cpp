// Lines and parabolas on their records: the texts are evaluated into the value
// fields, the two-point form takes referenced points, and the equation forms
// are reduced to two points in place.

#include "engine/figure_computations.h"
#include "engine/line_constructions.h"
#include "engine/parabola_constructions.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

// Evaluates the texts of a line-like record into X0, Y0, X1 (and Y1 in the
// two-point form), then overrides the two-point form's points by references.
bool EvaluateTwoPointRecord(FigureEngine& engine, LineRecord& r) {
  r.X0 = engine.Evaluate(r.FX0);
  r.Y0 = engine.Evaluate(r.FY0);
  r.X1 = engine.Evaluate(r.FX1);
  if (r.Mode != 0) return true;
  r.Y1 = engine.Evaluate(r.FY1);
  ReferenceWalk refs(engine);
  refs.PointInto(r.Ref0, r.X0, r.Y0);
  refs.PointInto(r.Ref1, r.X1, r.Y1);
  return refs.ok();
}

void Store(LineRecord& r, const LinePoints& points) {
  r.X0 = points.p0.x;
  r.Y0 = points.p0.y;
  r.X1 = points.p1.x;
  r.Y1 = points.p1.y;
}

}  // namespace

bool ComputeLineFigure(FigureEngine& engine, int index) {
  LineRecord& r = RecordAt<LineRecord>(engine.screen(), index);
  const bool ok = EvaluateTwoPointRecord(engine, r);
  if (r.Mode == 1)
    Store(r, LineFromGeneralForm(r.X0, r.Y0, r.X1));
  else if (r.Mode == 2)
    Store(r, LineFromStandardForm(r.X0, r.Y0, r.X1));
  return ok;
}

bool ComputeParabolaFigure(FigureEngine& engine, int index) {
  LineRecord& r = RecordAt<LineRecord>(engine.screen(), index);
  const bool ok = EvaluateTwoPointRecord(engine, r);
  if (r.Mode == 1)
    Store(r, ParabolaFromGeneralForm(r.X0, r.Y0, r.X1));
  else if (r.Mode == 2)
    Store(r, ParabolaFromStandardForm(r.X0, r.Y0, r.X1));
  return ok;
}

}  // namespace qzarn
