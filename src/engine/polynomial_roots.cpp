#include "engine/polynomial_roots.h"

#include <cmath>
#include <numbers>

namespace qzarn {

std::array<double, 2> SolveQuadratic(double a0, double a1, double a2) {
  std::array<double, 2> roots{UndefinedValue, UndefinedValue};
  if (a2 != 0.0) {
    double d = a1 * a1 - 4.0 * a2 * a0;
    if (std::fabs(d) < kDiscriminantTolerance) d = 0.0;
    if (d > 0.0) {
      const double s = std::sqrt(d);
      roots[0] = (-a1 - s) / (2.0 * a2);
      roots[1] = (s - a1) / (2.0 * a2);
    } else if (d == 0.0) {
      roots[0] = roots[1] = -a1 / (2.0 * a2);
    }
  } else if (a1 != 0.0) {
    roots[0] = -a0 / a1;
  }
  return roots;
}

std::array<double, 3> SolveCubic(double a0, double a1, double a2, double a3) {
  std::array<double, 3> roots{UndefinedValue, UndefinedValue, UndefinedValue};
  if (a3 == 0.0) {
    const auto q = SolveQuadratic(a0, a1, a2);
    roots[0] = q[0];
    roots[1] = q[1];
    return roots;
  }
  const double s = a2 / (3.0 * a3);
  const double q =
      (2.0 * a2 * a2 * a2 / (27.0 * a3 * a3 * a3) - a2 * a1 / (3.0 * a3 * a3) + a0 / a3) / 2.0;
  const double b = a2 / a3;
  const double p = (a1 / a3 - b * b / 3.0) / 3.0;
  const double delta = q * q + p * p * p;
  if (delta >= 0.0) {
    const double r = std::sqrt(delta);
    roots[0] = std::cbrt(-q - r) + std::cbrt(r - q) - s;
  } else {
    // delta < 0 implies p < 0, so both square roots are real.
    double c = -q / std::sqrt(-p * p * p);
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    const double phi = std::acos(c) / 3.0;
    const double m = 2.0 * std::sqrt(-p);
    constexpr double kThird = std::numbers::pi / 3.0;
    roots[0] = m * std::cos(phi) - s;
    roots[1] = -m * std::cos(phi - kThird) - s;
    roots[2] = -m * std::cos(phi + kThird) - s;
  }
  return roots;
}

std::array<double, 4> SolveQuartic(double a0, double a1, double a2, double a3, double a4) {
  std::array<double, 4> roots{UndefinedValue, UndefinedValue, UndefinedValue, UndefinedValue};
  if (a4 == 0.0) {
    const auto c = SolveCubic(a0, a1, a2, a3);
    roots[0] = c[0];
    roots[1] = c[1];
    roots[2] = c[2];
    return roots;
  }
  if (a3 == 0.0 && a1 == 0.0) {
    auto z = SolveQuadratic(a0, a2, a4);
    if (!(std::fabs(z[0]) < UndefinedValue) || !(std::fabs(z[1]) < UndefinedValue)) return roots;
    for (int i = 0; i < 2; ++i) {
      if (std::fabs(z[i]) < kDiscriminantTolerance) z[i] = 0.0;
      if (z[i] >= 0.0) {
        const double r = std::sqrt(z[i]);
        roots[2 * i] = r;
        roots[2 * i + 1] = -r;
      }
    }
    return roots;
  }
  const double a3_2 = a3 * a3;
  const double a4_2 = a4 * a4;
  const double a4_3 = a4_2 * a4;
  const double p = a2 / a4 - 3.0 * a3_2 / (8.0 * a4_2);
  const double q = a3_2 * a3 / (8.0 * a4_3) - a3 * a2 / (2.0 * a4_2) + a1 / a4;
  const double r = -3.0 * a3_2 * a3_2 / (256.0 * a4_3 * a4) + a2 * a3_2 / (16.0 * a4_3) -
                   a3 * a1 / (4.0 * a4_2) + a0 / a4;
  const auto resolvent = SolveCubic(4.0 * p * r - q * q, -4.0 * r, -p, 1.0);
  double z = UndefinedValue;
  for (const double candidate : resolvent) {
    if (std::fabs(candidate) < UndefinedValue && candidate - p > 1e-13) {
      z = candidate;
      break;
    }
  }
  if (z == UndefinedValue) return roots;
  const double w = std::sqrt(z - p);
  const double shift = a3 / (4.0 * a4);
  const auto first = SolveQuadratic(z / 2.0 + q / (2.0 * w), -w, 1.0);
  const auto second = SolveQuadratic(z / 2.0 - q / (2.0 * w), w, 1.0);
  const std::array<double, 4> ys{first[0], first[1], second[0], second[1]};
  for (int i = 0; i < 4; ++i) {
    if (std::fabs(ys[i]) < UndefinedValue) roots[i] = ys[i] - shift;
  }
  return roots;
}

}  // namespace qzarn
