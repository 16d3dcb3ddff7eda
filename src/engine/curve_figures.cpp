// Function curves and the figures built on curves or on many points, on
// their records: the intersection of two graphs, the area between two graphs,
// the tangent or normal of a graph, polygons, splines and intersection sets.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/cross3_figure.h"
#include "engine/engine_ui.h"
#include "engine/figure_computations.h"
#include "engine/figure_expressions.h"
#include "engine/function_sampling.h"
#include "engine/graph_constructions.h"
#include "engine/graph_text.h"
#include "engine/polygon_area.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

// Resamples an invalid curve against the screen's variables (the samplers
// write x, y and the parameters into the table as they go). Returns whether
// the curve was resampled.
bool SampleFunctionCurve(FigureEngine& engine, int index) {
  std::string notice;
  const bool resampled =
      ResampleFunction(engine.screen(), engine.expressions().expr(), index, &notice);
  if (!notice.empty()) engine.ui().ShowStatus(notice);
  return resampled;
}

// The graphs one construction reads, each compiled once for it and evaluated
// against the screen's variables.
class ConstructionGraphs {
 public:
  explicit ConstructionGraphs(FigureEngine& engine) : engine_(engine) {}

  // Adds the graph of the figure `ref` names (-1: the x axis); false when that
  // figure has no graph y = F(x).
  bool Add(std::int32_t ref) {
    const std::string text = GraphText(engine_.screen(), ref);
    if (text.empty()) return false;
    programs_.push_back(std::make_unique<GraphProgram>(engine_.expressions().expr(),
                                                       VariablesOf(engine_.screen()), text));
    return true;
  }
  Graph operator[](std::size_t i) { return programs_[i]->graph(); }

 private:
  FigureEngine& engine_;
  std::vector<std::unique_ptr<GraphProgram>> programs_;
};

void ConstructFunctionIntersection(FigureEngine& engine, PointRecord& r, double a, double b) {
  r.X = UndefinedValue;
  r.Y = UndefinedValue;
  ConstructionGraphs graphs(engine);
  if (!graphs.Add(r.Ref0) || !graphs.Add(r.Ref1)) return;
  const PlanePoint p = IntersectGraphs(graphs[0], graphs[1], a, b);
  r.X = p.x;
  r.Y = p.y;
}

void ConstructTangent(FigureEngine& engine, LineRecord& r, double x0) {
  // A graph that cannot be written as y = F(x) (a vertical line, say) has no
  // tangent; the old line must not stay drawn as if it still were one.
  LinePoints line = kUndefinedLine;
  ConstructionGraphs graphs(engine);
  if (graphs.Add(r.Ref0)) line = TangentOfGraph(graphs[0], x0, r.TangentKind());
  r.X0 = line.p0.x;
  r.Y0 = line.p0.y;
  r.X1 = line.p1.x;
  r.Y1 = line.p1.y;
}

void ConstructArea(FigureEngine& engine, FigureRecord& record, double a, double b) {
  PointRecord& r = *record.point();
  FigureOwned& owned = record.owned;
  owned.HatchX.clear();
  owned.HatchY.clear();
  owned.HatchX.shrink_to_fit();
  owned.HatchY.shrink_to_fit();
  r.HatchCount = -1;
  ConstructionGraphs graphs(engine);
  // Without a graph there is no area: an old value would be shown for a
  // figure that no longer has one.
  if (!graphs.Add(r.Ref0) || !graphs.Add(r.Ref1)) {
    r.AreaValue() = UndefinedValue;
    return;
  }
  AreaResult area = AreaBetweenGraphs(graphs[0], graphs[1], a, b, r.RR());
  r.AreaValue() = area.area;
  if (area.has_label) {
    r.LabelX = area.label.x;
    r.LabelY = area.label.y;
  }
  if (area.hatch_x.empty()) return;
  r.HatchCount = static_cast<std::int32_t>(area.hatch_x.size());
  owned.HatchX = std::move(area.hatch_x);
  owned.HatchY = std::move(area.hatch_y);
}

void ConstructPolygonArea(PolygonRecord& r) {
  std::vector<PlanePoint> vertices;
  for (int i = 0; i < kPolygonVertices; ++i)
    if (r.Refs[i] != kNoReference) vertices.push_back({r.VX[i], r.VY[i]});
  const PolygonAreaResult result = PolygonArea(vertices);
  r.PolyArea() = result.area;
  if (result.has_label) {
    r.LabelX = result.label.x;
    r.LabelY = result.label.y;
  }
}

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
  // The interval ends.
  const double a = engine.Evaluate(r.FX);
  const double b = engine.Evaluate(r.FY);
  ReferenceWalk refs(engine);
  RequireUnlessFunction(engine, refs, r.Ref0);
  RequireUnlessFunction(engine, refs, r.Ref1);
  if (refs.ok()) ConstructFunctionIntersection(engine, r, a, b);
  return refs.ok();
}

bool ComputeMensekiFigure(FigureEngine& engine, int index) {
  FigureRecord& record = engine.screen().Figures[index].Record;
  PointRecord& r = *record.point();
  // The interval ends, unless points give them.
  double a = engine.Evaluate(r.FX);
  double b = engine.Evaluate(r.FY);
  ReferenceWalk refs(engine);
  RequireUnlessFunction(engine, refs, r.Ref0);
  RequireUnlessFunction(engine, refs, r.Ref1);
  if (r.Ref2 != kNoReference) a = refs.Point(r.Ref2).x;
  if (r.Ref3 != kNoReference) b = refs.Point(r.Ref3).x;
  if (refs.ok()) ConstructArea(engine, record, a, b);
  return refs.ok();
}

bool ComputeSessenFigure(FigureEngine& engine, int index) {
  LineRecord& r = RecordAt<LineRecord>(engine.screen(), index);
  // The contact x: the figure's own text, unless a point gives it.
  double x0 = r.Ref1 == kNoReference ? engine.Evaluate(r.FX0) : 0.0;
  ReferenceWalk refs(engine);
  RequireUnlessFunction(engine, refs, r.Ref0);
  if (r.Ref1 != kNoReference) x0 = refs.Point(r.Ref1).x;
  if (refs.ok()) ConstructTangent(engine, r, x0);
  return refs.ok();
}

bool ComputePolyFigure(FigureEngine& engine, int index) {
  PolygonRecord& r = RecordAt<PolygonRecord>(engine.screen(), index);
  const bool ok = GatherVertices(engine, r);
  if (ok) ConstructPolygonArea(r);
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
