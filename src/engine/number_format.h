#pragma once
// Numbers written back into expression texts: graph texts of lines and
// parabolas, positions stored into definitions.

#include <string>

#include "engine/geometry_values.h"

namespace qzarn {

// Fixed-point text with `decimals` decimals, trailing zeros after the point
// and a bare point removed; magnitudes below 1e-10 (and values that round to
// zero) are written as "0".
std::string FormatNumber(double value, int decimals);

// The graph y = a x + b of the line through the two points as an expression
// text in x; empty for a vertical line (no graph).
std::string LineGraphText(const LinePoints& line);

// The graph of the vertical-axis parabola with vertex p0 through p1; empty
// when the two points are about vertically aligned.
std::string ParabolaGraphText(const LinePoints& parabola);

}  // namespace qzarn
