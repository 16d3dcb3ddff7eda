#include "engine/parabola_constructions.h"

#include <cmath>

namespace qzarn {

LinePoints ParabolaFromGeneralForm(double a, double b, double c) {
  if (std::fabs(a) < 1e-10) return {{kStraightParabolaMarker, c}, {1.0, b + c}};
  const double x0 = -b / (2.0 * a);
  const double y0 = -(b * b - 4.0 * a * c) / (4.0 * a);
  const double x1 = x0 + 1.0;
  return {{x0, y0}, {x1, a * x1 * x1 + b * x1 + c}};
}

LinePoints ParabolaFromStandardForm(double a, double p, double q) {
  if (IsUndefinedInput(a) || IsUndefinedInput(p) || IsUndefinedInput(q)) return kUndefinedLine;
  return {{p, q}, {p + 1.0, q + a}};
}

}  // namespace qzarn
