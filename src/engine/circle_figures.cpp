// Circles on their records: the texts are evaluated into the value fields,
// referenced points override them, and the form is reduced to centre (X0, Y0)
// and RadiusValue.

#include "engine/circle_constructions.h"
#include "engine/figure_computations.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

enum CircleMode { kCentreForm = 0, kGeneralForm = 1, kStandardForm = 2, kThreePointForm = 3 };

void MarkEveryValueUndefined(CircleRecord& r) {
  for (F64* f : {&r.X0, &r.Y0, &r.X1, &r.Y1, &r.X2, &r.Y2, &r.RadiusValue})
    *f = UndefinedValue;
}

// Evaluates the texts of the form into their value fields and reads the
// referenced points; returns whether the references were computed.
bool EvaluateCircleInputs(FigureEngine& engine, CircleRecord& r) {
  r.X0 = engine.Evaluate(r.FX0);
  r.Y0 = engine.Evaluate(r.FY0);
  r.RadiusValue = engine.Evaluate(r.FX1);
  ReferenceWalk refs(engine);
  switch (r.Mode) {
    case kCentreForm:
      refs.PointInto(r.Ref0, r.X0, r.Y0);
      refs.PointInto(r.Ref1, r.X1, r.Y1);
      break;
    case kGeneralForm:
      // D and E of A x^2 + B y^2 + C x + D y + E = 0; C sits in RadiusValue.
      r.X1 = engine.Evaluate(r.FY1);
      r.Y1 = engine.Evaluate(r.FX2);
      break;
    case kThreePointForm:
      r.X1 = engine.Evaluate(r.FX1);
      r.Y1 = engine.Evaluate(r.FY1);
      r.X2 = engine.Evaluate(r.FX2);
      r.Y2 = engine.Evaluate(r.FY2);
      refs.PointInto(r.Ref0, r.X0, r.Y0);
      refs.PointInto(r.Ref1, r.X1, r.Y1);
      refs.PointInto(r.Ref2, r.X2, r.Y2);
      break;
    default:
      break;
  }
  return refs.ok();
}

CircleValues ReduceCircle(const CircleRecord& r) {
  const PlanePoint first{r.X0, r.Y0};
  switch (r.Mode) {
    case kCentreForm:
      if (r.Ref1 != kNoReference) return CircleFromCentreAndPoint(first, {r.X1, r.Y1});
      return CircleFromCentreAndRadius(first, r.RadiusValue);
    case kGeneralForm:
      return CircleFromGeneralForm(r.X0, r.Y0, r.RadiusValue, r.X1, r.Y1);
    case kStandardForm:
      return CircleFromCentreAndRadius(first, r.RadiusValue);
    case kThreePointForm:
      return CircleThroughThreePoints(first, {r.X1, r.Y1}, {r.X2, r.Y2});
    default:
      return CircleFromCentreAndRadius(first, r.RadiusValue);
  }
}

}  // namespace

bool ComputeCircleFigure(FigureEngine& engine, int index) {
  CircleRecord& r = RecordAt<CircleRecord>(engine.screen(), index);
  const bool ok = EvaluateCircleInputs(engine, r);
  const CircleValues circle = ReduceCircle(r);
  if (circle.undefined) {
    MarkEveryValueUndefined(r);
    return ok;
  }
  r.X0 = circle.centre.x;
  r.Y0 = circle.centre.y;
  r.RadiusValue = circle.radius;
  if (RadiusIsInvalid(circle.radius)) {
    r.X0 = UndefinedValue;
    r.Y0 = UndefinedValue;
    r.RadiusValue = UndefinedValue;
  }
  return ok;
}

}  // namespace qzarn
