#include "engine/point_constructions.h"

#include <cmath>
#include <numbers>

namespace qzarn {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

// Distance used to decide that a point lies on a line; huge separations are
// reported as huge without squaring them.
double FootDistance(PlanePoint a, PlanePoint b) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  if (std::fabs(dx) > 1e10 || std::fabs(dy) > 1e10) return 1e20;
  return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

double DirectionAngle(double dx, double dy) {
  if (dx == 0.0 && dy == 0.0) return 0.0;
  double angle = std::atan2(dy, dx) * kDegreesPerRadian;
  if (angle < 0.0) angle += 360.0;
  // A tiny negative angle rounds up to exactly 360, which belongs to 0.
  if (angle >= 360.0) angle -= 360.0;
  return angle + 0.0;  // turns -0 into +0
}

DividingPointResult DividingPoint(PlanePoint p1, PlanePoint p2, double m, double n) {
  const double sum = m + n;
  if (std::fabs(sum) < 1e-10) return {{(p1.x + p2.x) / 2.0, (p1.y + p2.y) / 2.0}, true};
  return {{(n * p1.x + m * p2.x) / sum, (n * p1.y + m * p2.y) / sum}, false};
}

PlanePoint IntersectLines(const LinePoints& a, const LinePoints& b) {
  const double dxa = a.p1.x - a.p0.x;
  const double dya = a.p1.y - a.p0.y;
  const double dxb = b.p1.x - b.p0.x;
  const double dyb = b.p1.y - b.p0.y;
  const double det = dxa * dyb - dya * dxb;
  if (!(std::fabs(det) > 1e-10)) return kOffPlanePoint;
  const double fa = dya * a.p0.x - dxa * a.p0.y;
  const double fb = dyb * b.p0.x - dxb * b.p0.y;
  return {(dxa * fb - dxb * fa) / det, (dya * fb - dyb * fa) / det};
}

PlanePoint PerpendicularFoot(PlanePoint p, const LinePoints& line) {
  const double dx = line.p1.x - line.p0.x;
  const double dy = line.p1.y - line.p0.y;
  const double q = dx * dx + dy * dy;
  if (!(q > 1e-10)) return kOffPlanePoint;
  const double t = ((p.x - line.p0.x) * dx + (p.y - line.p0.y) * dy) / q;
  const PlanePoint foot{line.p0.x + t * dx, line.p0.y + t * dy};
  if (FootDistance(p, foot) < 1e-10) {
    const double length = std::sqrt(q);
    return {p.x + dy / length, p.y - dx / length};
  }
  return foot;
}

LinePoints AngleDivisionLine(PlanePoint a, PlanePoint o, PlanePoint b, double m, double n,
                             double length, bool both_sides) {
  if (std::fabs(m * n) < 1e-10 || std::fabs(m + n) < 1e-10) return kOffPlaneLine;
  const double alpha = DirectionAngle(a.x - o.x, a.y - o.y);
  double gamma = DirectionAngle(b.x - o.x, b.y - o.y);
  if (alpha > gamma) gamma += 360.0;
  const double phi = (n * alpha + m * gamma) / (m + n) / kDegreesPerRadian;
  const double ux = length * std::cos(phi);
  const double uy = length * std::sin(phi);
  const PlanePoint start = both_sides ? PlanePoint{o.x - ux, o.y - uy} : o;
  return {start, {o.x + ux, o.y + uy}};
}

AngleMeasureResult MeasureAngle(PlanePoint a, PlanePoint o, PlanePoint b, bool smaller) {
  AngleMeasureResult result;
  if (IsUndefinedInput(a) || IsUndefinedInput(o) || IsUndefinedInput(b)) {
    result.undefined = true;
    result.vertex = kUndefinedPoint;
    result.end_angle = UndefinedValue;
    return result;
  }
  const double alpha = DirectionAngle(a.x - o.x, a.y - o.y);
  double gamma = DirectionAngle(b.x - o.x, b.y - o.y);
  if (alpha > gamma) gamma += 360.0;
  result.vertex = o;
  result.start_angle = alpha;
  result.end_angle = gamma;
  if (smaller && gamma - alpha > 180.0) {
    result.start_angle = gamma - 360.0;
    result.end_angle = alpha;
  }
  return result;
}

}  // namespace qzarn
