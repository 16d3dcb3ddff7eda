#include "engine/spline.h"

#include <cmath>
#include <cstddef>

namespace qzarn {

namespace {

// The system for z = (second derivative) / 6 at the knots. Row i reads
//   lower[i]·z(i−1) + diag[i]·z(i) + upper[i]·z(i+1) = rhs[i]
// with lower = h(i−1), diag = 2·(h(i−1) + h(i)), upper = h(i) and
// rhs = slope(i) − slope(i−1): the continuity of the first derivative at
// knot i once the cubic on each interval is written through z. Every row is
// strictly diagonally dominant, so elimination needs no pivoting.
struct Tridiagonal {
  std::vector<double> lower, diag, upper;
};

// Plain elimination; lower[0] and upper[m−1] are ignored.
std::vector<double> SolveTridiagonal(const Tridiagonal& s, std::vector<double> rhs) {
  const std::size_t m = rhs.size();
  if (m == 0) return rhs;
  std::vector<double> up(m, 0.0);
  double pivot = s.diag[0];
  up[0] = s.upper[0] / pivot;
  rhs[0] /= pivot;
  for (std::size_t i = 1; i < m; ++i) {
    pivot = s.diag[i] - s.lower[i] * up[i - 1];
    up[i] = s.upper[i] / pivot;
    rhs[i] = (rhs[i] - s.lower[i] * rhs[i - 1]) / pivot;
  }
  for (std::size_t i = m - 1; i-- > 0;)
    rhs[i] -= up[i] * rhs[i + 1];
  return rhs;
}

// The cyclic system: lower[0] multiplies z(m−1) and upper[m−1] multiplies
// z(0) (a closed curve has at least two unknowns). Two points make a 2 × 2 system whose neighbours
// on both sides are the same unknown; from three points on the corners are removed by a rank-one
// correction of the plain elimination.
std::vector<double> SolveCyclic(const Tridiagonal& s, const std::vector<double>& rhs) {
  const std::size_t m = rhs.size();
  if (m == 2) {
    const double off0 = s.lower[0] + s.upper[0], off1 = s.lower[1] + s.upper[1];
    const double det = s.diag[0] * s.diag[1] - off0 * off1;
    return {(rhs[0] * s.diag[1] - off0 * rhs[1]) / det, (s.diag[0] * rhs[1] - off1 * rhs[0]) / det};
  }
  const double corner_top = s.lower[0];         // row 0, column m−1
  const double corner_bottom = s.upper[m - 1];  // row m−1, column 0
  const double gamma = -s.diag[0];
  Tridiagonal t = s;
  t.diag[0] -= gamma;
  t.diag[m - 1] -= corner_bottom * corner_top / gamma;
  std::vector<double> x = SolveTridiagonal(t, rhs);
  std::vector<double> u(m, 0.0);
  u[0] = gamma;
  u[m - 1] = corner_bottom;
  const std::vector<double> w = SolveTridiagonal(t, u);
  const double factor =
      (x[0] + corner_top * x[m - 1] / gamma) / (1.0 + w[0] + corner_top * w[m - 1] / gamma);
  for (std::size_t i = 0; i < m; ++i)
    x[i] -= factor * w[i];
  return x;
}

bool UsablePoints(std::span<const PlanePoint> points) {
  if (points.size() < 2) return false;
  for (const PlanePoint& p : points) {
    if (!(std::fabs(p.x) < OffPlaneValue) || !(std::fabs(p.y) < OffPlaneValue)) return false;
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (std::size_t j = i + 1; j < points.size(); ++j) {
      if (points[i] == points[j]) return false;
    }
  }
  return true;
}

}  // namespace

SplineTable::SplineTable(std::span<const PlanePoint> points, bool closed) : closed_(closed) {
  if (!UsablePoints(points)) return;
  std::vector<PlanePoint> p(points.begin(), points.end());
  if (closed) p.push_back(points.front());
  const std::size_t knots = p.size();

  // Chord-length parameter, normalised; the last knot is 1 exactly so that
  // the curve ends where the parameter does.
  std::vector<double> t(knots, 0.0);
  for (std::size_t i = 1; i < knots; ++i)
    t[i] = t[i - 1] + std::hypot(p[i].x - p[i - 1].x, p[i].y - p[i - 1].y);
  const double total = t.back();
  for (double& v : t)
    v /= total;
  t.back() = 1.0;
  std::vector<double> h(knots - 1);
  for (std::size_t i = 0; i + 1 < knots; ++i) {
    h[i] = t[i + 1] - t[i];
    // A chord so short against the whole that it vanishes in the division
    // would make a zero-width interval.
    if (!(h[i] > 0.0)) return;
  }

  // Unknowns: the interior knots of an open curve (its ends have z = 0); every
  // knot but the repeated last one of a closed curve (z at 1 equals z at 0).
  const std::size_t intervals = h.size();
  const std::size_t first = closed ? 0 : 1;
  const std::size_t count = closed ? intervals : intervals - 1;
  Tridiagonal system;
  std::vector<double> rx, ry;
  auto prev = [&](std::size_t i) { return i == 0 ? intervals - 1 : i - 1; };
  auto slope = [&](std::size_t i, double PlanePoint::*c) { return (p[i + 1].*c - p[i].*c) / h[i]; };
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t i = first + k;
    const std::size_t before = prev(i);
    system.lower.push_back(h[before]);
    system.diag.push_back(2.0 * (h[before] + h[i]));
    system.upper.push_back(h[i]);
    rx.push_back(slope(i, &PlanePoint::x) - slope(before, &PlanePoint::x));
    ry.push_back(slope(i, &PlanePoint::y) - slope(before, &PlanePoint::y));
  }
  const std::vector<double> zx = closed ? SolveCyclic(system, rx) : SolveTridiagonal(system, rx);
  const std::vector<double> zy = closed ? SolveCyclic(system, ry) : SolveTridiagonal(system, ry);

  std::vector<PlanePoint> z(knots, PlanePoint{0.0, 0.0});
  for (std::size_t k = 0; k < count; ++k)
    z[first + k] = {zx[k], zy[k]};
  if (closed) z.back() = z.front();
  for (const PlanePoint& v : z) {
    if (!std::isfinite(v.x) || !std::isfinite(v.y)) return;
  }
  t_ = std::move(t);
  p_ = std::move(p);
  z_ = std::move(z);
}

PlanePoint SplinePoint(const SplineTable& table, double t) {
  if (table.empty()) return kOffPlanePoint;
  const std::vector<double>& knots = table.t_;
  if (!(t > 0.0)) t = 0.0;
  if (t > 1.0) t = 1.0;
  // The interval t(i) <= t <= t(i+1), by bisection.
  std::size_t lo = 0, hi = knots.size() - 1;
  while (hi - lo > 1) {
    const std::size_t mid = (lo + hi) / 2;
    if (knots[mid] <= t)
      lo = mid;
    else
      hi = mid;
  }
  const double H = knots[hi] - knots[lo];
  const double u = (t - knots[lo]) / H;
  const double v = 1.0 - u;
  const double a = u * u * u - u;  // weight of z(i+1)
  const double b = v * v * v - v;  // weight of z(i)
  const PlanePoint& p0 = table.p_[lo];
  const PlanePoint& p1 = table.p_[hi];
  const PlanePoint& z0 = table.z_[lo];
  const PlanePoint& z1 = table.z_[hi];
  const double H2 = H * H;
  return {p0.x + u * (p1.x - p0.x) + H2 * (z1.x * a + z0.x * b),
          p0.y + u * (p1.y - p0.y) + H2 * (z1.y * a + z0.y * b)};
}

}  // namespace qzarn
