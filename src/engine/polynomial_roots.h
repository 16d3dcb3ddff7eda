#pragma once
// Closed-form real roots of polynomials of degree up to four, as the
// intersection constructions need them. Coefficients are given lowest power
// first; a root slot that holds no root carries UndefinedValue. The slot order
// is fixed (callers number intersection points by it).

#include <array>

#include "engine/geometry_values.h"

namespace qzarn {

// Discriminants of smaller magnitude count as zero (a touching root).
inline constexpr double kDiscriminantTolerance = 1e-6;

// a0 + a1 x + a2 x^2 = 0. Two roots, smaller-sign-of-sqrt first; a double
// root fills both slots; a linear equation fills slot 0 only.
std::array<double, 2> SolveQuadratic(double a0, double a1, double a2);

// a0 + a1 x + a2 x^2 + a3 x^3 = 0 by Cardano: one root in slot 0, or three
// roots from the trigonometric form.
std::array<double, 3> SolveCubic(double a0, double a1, double a2, double a3);

// a0 + a1 x + a2 x^2 + a3 x^3 + a4 x^4 = 0 by Ferrari (biquadratics directly).
std::array<double, 4> SolveQuartic(double a0, double a1, double a2, double a3, double a4);

}  // namespace qzarn
