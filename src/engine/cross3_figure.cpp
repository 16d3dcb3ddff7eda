#include "engine/cross3_figure.h"

#include "document/figure_table.h"

namespace qzarn {

Cross3Curve Cross3CurveOf(const FigureTable& table, std::int32_t ref) {
  if (ref == kXAxisReference) return Cross3Line({{0.0, 0.0}, {1.0, 0.0}}, false);
  if (ref == kYAxisReference) return Cross3Line({{0.0, 0.0}, {0.0, 1.0}}, false);
  const int slot = ReferenceSlot(ref);
  if (slot < 0 || slot > kLastSlot) return {};
  const FigureRecord* figure = table.record(slot);
  if (figure == nullptr || figure->empty()) return {};
  switch (figure->type()) {
    case kLineFigure:
    case kAngleFigure:
    case kSessenFigure: {
      const LineRecord* l = figure->line();
      if (l == nullptr) return {};
      return Cross3Line({{l->X0, l->Y0}, {l->X1, l->Y1}}, l->DispB);
    }
    case kParabolaFigure: {
      const LineRecord* l = figure->line();
      if (l == nullptr) return {};
      return Cross3Parabola({{l->X0, l->Y0}, {l->X1, l->Y1}});
    }
    case kCircleFigure: {
      const CircleRecord* c = figure->circle();
      if (c == nullptr) return {};
      return Cross3Circle({c->X0, c->Y0}, c->RadiusValue);
    }
    default:
      return {};
  }
}

void ComputeCross3(const FigureTable& table, MultiPointRecord& record) {
  const Cross3Points points =
      IntersectCurves(Cross3CurveOf(table, record.Ref0), Cross3CurveOf(table, record.Ref1));
  for (int i = 0; i < kCross3Points; ++i) {
    record.PX[i] = points[static_cast<std::size_t>(i)].x;
    record.PY[i] = points[static_cast<std::size_t>(i)].y;
  }
}

}  // namespace qzarn
