#include "engine/line_constructions.h"

#include <cmath>

namespace qzarn {

LinePoints LineFromGeneralForm(double a, double b, double c) {
  if (IsUndefinedInput(a) || IsUndefinedInput(b) || IsUndefinedInput(c)) return kUndefinedLine;
  if (std::fabs(b) > 1e-10) return {{1.0, -(a + c) / b}, {2.0, -(2.0 * a + c) / b}};
  if (std::fabs(a) > 1e-10) {
    const double x = -c / a;
    return {{x, 1.0}, {x, 2.0}};
  }
  return kUndefinedLine;
}

LinePoints LineFromStandardForm(double m, double p, double q) {
  if (IsUndefinedInput(m) || IsUndefinedInput(p) || IsUndefinedInput(q)) return kUndefinedLine;
  return {{0.0, q - m * p}, {1.0, m * (1.0 - p) + q}};
}

}  // namespace qzarn
