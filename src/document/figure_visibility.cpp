#include "document/figure_visibility.h"

namespace qzarn {

bool FigureShown(const FigureRecord& r) {
  switch (FamilyOf(r.type())) {
    case LayoutFamily::kPoint:
      return r.point()->DispMark;
    case LayoutFamily::kLine:
      return r.line()->DispL;
    case LayoutFamily::kCircle:
      return r.circle()->DispL;
    case LayoutFamily::kFunction:
      return r.function()->DispL || r.function()->DispP;
    case LayoutFamily::kFrame:
      return r.frame()->DispL;
    case LayoutFamily::kPolygon:
      return r.polygon()->DispL;
    case LayoutFamily::kMultiPoint:
      return r.multi_point()->DispMark;
    case LayoutFamily::kNone:
      break;
  }
  return false;
}

}  // namespace qzarn
