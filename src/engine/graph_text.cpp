#include "engine/graph_text.h"

#include "document/screen.h"
#include "engine/number_format.h"
#include "engine/parabola_constructions.h"
#include "engine/screen_access.h"

namespace qzarn {

namespace {

bool IsLineGraph(std::int32_t type) {
  return type == kLineFigure || type == kAngleFigure || type == kSessenFigure;
}

LinePoints PointsOf(const LineRecord& r) {
  return {{r.X0, r.Y0}, {r.X1, r.Y1}};
}

// A figure left undefined by its own construction has no graph; without this
// its 1e15 markers would be written into the text as coefficients.
bool AnyUndefined(const LinePoints& p) {
  return IsUndefinedInput(p.p0) || IsUndefinedInput(p.p1);
}

std::string ParabolaText(const LineRecord& r) {
  const LinePoints p = PointsOf(r);
  // The general form keeps a vanished squared term as a marker in the vertex x:
  // the curve is then the straight line through (0, c) and (1, b + c).
  if (r.Mode == 1 && p.p0.x == kStraightParabolaMarker) {
    if (AnyUndefined({{0.0, p.p0.y}, p.p1})) return {};
    return LineGraphText({{0.0, p.p0.y}, p.p1});
  }
  if (AnyUndefined(p)) return {};
  return ParabolaGraphText(p);
}

std::string FunctionText(const FunctionRecord& r) {
  // Only y = f(x) is a graph; a recurrence reads its previous y and has no
  // closed value at an arbitrary x.
  if (r.FuncKind != kExplicitCurve || r.Recursive) return {};
  return std::string(r.FuncX.view());
}

}  // namespace

std::string GraphText(const Screen& screen, std::int32_t ref) {
  if (ref == kXAxisReference) return "0";
  if (ref < 0) return {};
  const int index = ReferenceSlot(ref);
  const std::int32_t type = FigureTypeAt(screen, index);
  if (IsLineGraph(type)) {
    const LinePoints p = PointsOf(RecordAt<LineRecord>(screen, index));
    return AnyUndefined(p) ? std::string() : LineGraphText(p);
  }
  if (type == kParabolaFigure) return ParabolaText(RecordAt<LineRecord>(screen, index));
  if (type == kFunctionFigure) return FunctionText(RecordAt<FunctionRecord>(screen, index));
  return {};
}

GraphProgram::GraphProgram(ExprEngine& expr, VariableTable& vars, std::string_view text)
    : vars_(vars), program_(expr, text) {}

GraphValue GraphProgram::operator()(double x) {
  vars_.bind(0, kColumnX, x);
  GraphValue v;
  v.y = program_.Evaluate(vars_);
  v.error = program_.math_error();
  return v;
}

}  // namespace qzarn
