#pragma once
// Reduction of the parabola's equation forms (always a vertical axis) to its
// vertex (p0) and one further point on it (p1).

#include "engine/geometry_values.h"

namespace qzarn {

// Marks, in the vertex x of a general-form parabola, a curve whose squared term
// vanished: drawing then draws the straight line through p0 = (0, c) and p1.
inline constexpr double kStraightParabolaMarker = 9999999.0;

// y = a x^2 + b x + c. With a about 0 the vertex x holds kStraightParabolaMarker,
// the vertex y c and the point (1, b + c). This form makes no undefined-input
// test: an undefined coefficient carries through the arithmetic into the results.
LinePoints ParabolaFromGeneralForm(double a, double b, double c);

// y = a (x - p)^2 + q: vertex (p, q) and the point one unit to its right.
LinePoints ParabolaFromStandardForm(double a, double p, double q);

}  // namespace qzarn
