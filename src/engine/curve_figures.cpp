// Function curves and the figures built on curves or on many points. The
// references of these figures are computed here, so that cycles and the
// Computed flags hold for them already; the constructions not built yet
// (intersections of functions, areas, tangents, polygon areas) keep the
// values stored in their records.

#include "engine/cross3_figure.h"
#include "engine/figure_computations.h"
#include "engine/figure_expressions.h"
#include "engine/function_sampling.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

// Resamples an invalid curve against the screen's variables (the samplers
// write x, y and the parameters into the table as they go). Returns whether
// the curve was resampled.
bool SampleFunctionCurve(FigureEngine& engine, int index) {
  return ResampleFunction(engine.screen(), engine.expressions().expr(), index);
}

// Constructions from curves not built yet (function intersections, areas,
// tangents, polygon areas): the record keeps its stored values.
void ConstructFunctionIntersection(FigureEngine&, PointRecord&) {}
void ConstructArea(FigureEngine&, PointRecord&) {}
void ConstructTangent(FigureEngine&, LineRecord&) {}
void ConstructPolygonArea(FigureEngine&, PolygonRecord&) {}
void ConstructIntersectionSet(FigureEngine& engine, MultiPointRecord& r) {
  ComputeCross3(engine.screen().Figures, r);
}

// Functions are not computed as references: the figures built on them read
// the function's texts themselves.
void RequireUnlessFunction(FigureEngine& engine, ReferenceWalk& refs, std::int32_t ref) {
  if (ref >= 0 && FigureTypeAt(engine.screen(), ReferenceSlot(ref)) == kFunctionFigure) return;
  refs.Require(ref);
}

// Polygon and spline vertices: every reference is computed and its point
// copied into the vertex lists.
bool GatherVertices(FigureEngine& engine, PolygonRecord& r) {
  ReferenceWalk refs(engine);
  for (int i = 0; i < kPolygonVertices; ++i)
    refs.PointInto(r.Refs[i], r.VX[i], r.VY[i]);
  return refs.ok();
}

}  // namespace

void ComputeFunctionFigure(FigureEngine& engine, int index) {
  FunctionRecord& r = RecordAt<FunctionRecord>(engine.screen(), index);
  if (r.CurveValid) return;
  if (!SampleFunctionCurve(engine, index)) return;
  r.CurveValid = 1;
  engine.RecordLocus(index);
  MarkModified(engine.screen());
}

bool ComputeCross2Figure(FigureEngine& engine, int index) {
  PointRecord& r = RecordAt<PointRecord>(engine.screen(), index);
  ReferenceWalk refs(engine);
  RequireUnlessFunction(engine, refs, r.Ref0);
  RequireUnlessFunction(engine, refs, r.Ref1);
  if (refs.ok()) ConstructFunctionIntersection(engine, r);
  return refs.ok();
}

bool ComputeMensekiFigure(FigureEngine& engine, int index) {
  PointRecord& r = RecordAt<PointRecord>(engine.screen(), index);
  ReferenceWalk refs(engine);
  RequireUnlessFunction(engine, refs, r.Ref0);
  RequireUnlessFunction(engine, refs, r.Ref1);
  refs.Require(r.Ref2);
  refs.Require(r.Ref3);
  if (refs.ok()) ConstructArea(engine, r);
  return refs.ok();
}

bool ComputeSessenFigure(FigureEngine& engine, int index) {
  LineRecord& r = RecordAt<LineRecord>(engine.screen(), index);
  ReferenceWalk refs(engine);
  RequireUnlessFunction(engine, refs, r.Ref0);
  refs.Require(r.Ref1);
  if (refs.ok()) ConstructTangent(engine, r);
  return refs.ok();
}

bool ComputePolyFigure(FigureEngine& engine, int index) {
  PolygonRecord& r = RecordAt<PolygonRecord>(engine.screen(), index);
  const bool ok = GatherVertices(engine, r);
  if (ok) ConstructPolygonArea(engine, r);
  return ok;
}

bool ComputeSplineFigure(FigureEngine& engine, int index) {
  // A spline only gathers its points; the curve is interpolated when drawn.
  return GatherVertices(engine, RecordAt<PolygonRecord>(engine.screen(), index));
}

bool ComputeCross3Figure(FigureEngine& engine, int index) {
  MultiPointRecord& r = RecordAt<MultiPointRecord>(engine.screen(), index);
  ReferenceWalk refs(engine);
  refs.Require(r.Ref0);
  refs.Require(r.Ref1);
  ConstructIntersectionSet(engine, r);
  return refs.ok();
}

}  // namespace qzarn
