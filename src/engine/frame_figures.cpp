// Object and text frames: two anchor corners, each from its texts or from a
// point figure. They have no construction of their own.

#include "engine/figure_computations.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

bool ComputeFrameFigure(FigureEngine& engine, int index) {
  FrameRecord& r = RecordAt<FrameRecord>(engine.screen(), index);
  r.X0 = engine.Evaluate(r.FX0);
  r.Y0 = engine.Evaluate(r.FY0);
  r.X1 = engine.Evaluate(r.FX1);
  r.Y1 = engine.Evaluate(r.FY1);
  ReferenceWalk refs(engine);
  refs.PointInto(r.Ref0, r.X0, r.Y0);
  refs.PointInto(r.Ref1, r.X1, r.Y1);
  return refs.ok();
}

}  // namespace qzarn
