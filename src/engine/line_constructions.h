#pragma once
// Reduction of the straight line's equation forms to two points on the line.

#include "engine/geometry_values.h"

namespace qzarn {

// a x + b y + c = 0: two points at x = 1 and x = 2, or at y = 1 and y = 2 for a
// vertical line; undefined when a coefficient is undefined or a and b are both 0.
LinePoints LineFromGeneralForm(double a, double b, double c);

// y = m (x - p) + q: the points at x = 0 and x = 1.
LinePoints LineFromStandardForm(double m, double p, double q);

}  // namespace qzarn
