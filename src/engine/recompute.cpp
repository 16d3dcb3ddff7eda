#include "engine/recompute.h"

#include "engine/engine_ui.h"
#include "engine/equations.h"
#include "engine/figure_computations.h"
#include "engine/figure_expressions.h"
#include "engine/locus.h"
#include "engine/references.h"
#include "engine/screen_access.h"

namespace qzarn {

FigureEngine::FigureEngine(FigureExpressions& expressions, EngineUi& ui)
    : expressions_(expressions), ui_(ui) {}

void FigureEngine::RecomputeScreen(Screen& screen) {
  // The cycle message is modal; a redraw it triggers must not start a second
  // pass over the half-computed screen.
  if (in_pass_) return;
  in_pass_ = true;
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i)
    SetComputed(screen, i, false);
  screen_ = &screen;
  const bool reported_before = CycleReportedOf(screen);

  EvaluateEquations(screen, expressions_);

  bool hit_limit = false;
  for (int i = 0; i <= last; ++i) {
    counter_ = 0;
    ComputeFigure(i);
    if (counter_ > kComputationLimit) hit_limit = true;
  }
  screen_ = nullptr;
  counter_ = 0;

  // The flag remembers that the user was told; only a pass without a cycle
  // forgets it, so that a new cycle is reported again.
  CycleReportedOf(screen) = hit_limit;
  if (hit_limit && !reported_before) ui_.ShowMessage(kCycleMessage);
  in_pass_ = false;
}

bool FigureEngine::RecomputeFigures(Screen& screen, std::span<const int> slots) {
  if (in_pass_) return false;
  in_pass_ = true;
  const int last = LastFigureIndex(screen);
  for (int i = 0; i <= last; ++i)
    SetComputed(screen, i, true);
  for (int i : slots)
    if (i >= 0 && i <= last) SetComputed(screen, i, false);
  screen_ = &screen;
  bool hit_limit = false;
  for (int i : slots) {
    counter_ = 0;
    ComputeFigure(i);
    if (counter_ > kComputationLimit) hit_limit = true;
  }
  screen_ = nullptr;
  counter_ = 0;
  in_pass_ = false;
  return !hit_limit;
}

bool FigureEngine::ComputeFigure(std::int32_t ref) {
  if (screen_ == nullptr || ref < 0) return true;
  const int index = ReferenceSlot(ref);
  const std::int32_t type = FigureTypeAt(*screen_, index);
  if (type == kNoFigure || IsComputed(*screen_, index)) return true;
  if (counter_ > kComputationLimit) {
    SetComputed(*screen_, index, false);
    return false;
  }
  ++counter_;
  const bool ok = ComputeSlot(index, type);
  SetComputed(*screen_, index, ok);
  return ok;
}

double FigureEngine::Evaluate(const Expression& text) {
  return expressions_.Evaluate(VariablesOf(*screen_), text.view());
}

void FigureEngine::RecordLocus(int index) {
  // A figure whose locus switch is on adds its new position (or, for a
  // function, a snapshot of its curve) after every successful computation.
  qzarn::RecordLocus(*screen_, index);
}

namespace {

template <class Record>
void EvaluateCondition(FigureEngine& engine, int index) {
  Record& r = RecordAt<Record>(engine.screen(), index);
  if (r.Boolean) r.ConditionValue = engine.Evaluate(r.BooleanFunc);
}

}  // namespace

bool FigureEngine::ComputeSlot(int index, std::int32_t type) {
  switch (FamilyOf(type)) {
    case LayoutFamily::kPoint:
      EvaluateCondition<PointRecord>(*this, index);
      break;
    case LayoutFamily::kLine:
      EvaluateCondition<LineRecord>(*this, index);
      break;
    case LayoutFamily::kCircle:
      EvaluateCondition<CircleRecord>(*this, index);
      break;
    case LayoutFamily::kFunction:
      EvaluateCondition<FunctionRecord>(*this, index);
      break;
    case LayoutFamily::kFrame:
      EvaluateCondition<FrameRecord>(*this, index);
      break;
    case LayoutFamily::kPolygon:
      EvaluateCondition<PolygonRecord>(*this, index);
      break;
    case LayoutFamily::kMultiPoint:
      EvaluateCondition<MultiPointRecord>(*this, index);
      break;
    case LayoutFamily::kNone:
      return true;
  }

  bool ok = true;
  switch (type) {
    case kPointFigure:
      ok = ComputePointFigure(*this, index);
      break;
    case kBuntenFigure:
      ok = ComputeBuntenFigure(*this, index);
      break;
    case kCrossFigure:
      ok = ComputeCrossFigure(*this, index);
      break;
    case kSuisenFigure:
      ok = ComputeSuisenFigure(*this, index);
      break;
    case kAngleFigure:
      ok = ComputeAngleFigure(*this, index);
      break;
    case kAngle2Figure:
      ok = ComputeAngle2Figure(*this, index);
      break;
    case kLineFigure:
      ok = ComputeLineFigure(*this, index);
      break;
    case kParabolaFigure:
      ok = ComputeParabolaFigure(*this, index);
      break;
    case kCircleFigure:
      ok = ComputeCircleFigure(*this, index);
      break;
    case kOleFigure:
    case kCharFigure:
      ok = ComputeFrameFigure(*this, index);
      break;
    case kFunctionFigure:
      // A function is always computed; its curve is resampled only when invalid.
      ComputeFunctionFigure(*this, index);
      return true;
    case kCross2Figure:
      ok = ComputeCross2Figure(*this, index);
      break;
    case kMensekiFigure:
      ok = ComputeMensekiFigure(*this, index);
      break;
    case kSessenFigure:
      ok = ComputeSessenFigure(*this, index);
      break;
    case kPolyFigure:
      ok = ComputePolyFigure(*this, index);
      break;
    case kSplineFigure:
      ok = ComputeSplineFigure(*this, index);
      break;
    case kCross3Figure:
      ok = ComputeCross3Figure(*this, index);
      break;
    default:
      break;
  }
  if (ok) RecordLocus(index);
  return ok;
}

PlanePoint ReferenceWalk::Point(std::int32_t ref) {
  Require(ref);
  return PointOfReference(engine_.screen(), ref);
}

LinePoints ReferenceWalk::Line(std::int32_t ref) {
  Require(ref);
  return LineOfReference(engine_.screen(), ref);
}

void ReferenceWalk::PointInto(std::int32_t ref, F64& x, F64& y) {
  if (ref == kNoReference) return;
  const PlanePoint p = Point(ref);
  x = p.x;
  y = p.y;
}

void ReferenceWalk::Require(std::int32_t ref) {
  if (ok_ && ref != kNoReference) ok_ = engine_.ComputeFigure(ref);
}

}  // namespace qzarn
