#include "engine/circle_constructions.h"

#include <cmath>
#include <initializer_list>

namespace qzarn {

namespace {

constexpr CircleValues kNoCircle{kUndefinedPoint, UndefinedValue, true};

}  // namespace

CircleValues CircleFromCentreAndRadius(PlanePoint centre, double radius) {
  if (IsUndefinedInput(centre) || IsUndefinedInput(radius)) return kNoCircle;
  return {centre, radius, false};
}

CircleValues CircleFromCentreAndPoint(PlanePoint centre, PlanePoint on_circle) {
  if (IsUndefinedInput(centre) || IsUndefinedInput(on_circle)) return kNoCircle;
  return {centre, std::hypot(on_circle.x - centre.x, on_circle.y - centre.y), false};
}

CircleValues CircleFromGeneralForm(double a, double b, double c, double d, double e) {
  for (double v : {a, b, c, d, e})
    if (IsUndefinedInput(v)) return kNoCircle;
  if (!(std::fabs(a) > 1e-10) || !(std::fabs(b) > 1e-10) || a != b) return kNoCircle;
  const PlanePoint centre{-c / (2.0 * a), -d / (2.0 * a)};
  const double s = -e / a + centre.x * centre.x + centre.y * centre.y;
  if (!(s > 0.0)) return kNoCircle;
  return {centre, std::sqrt(s), false};
}

CircleValues CircleThroughThreePoints(PlanePoint p1, PlanePoint p2, PlanePoint p3) {
  if (IsUndefinedInput(p1) || IsUndefinedInput(p2) || IsUndefinedInput(p3)) return kNoCircle;
  const double det = (p3.y - p2.y) * (p2.x - p1.x) - (p1.y - p2.y) * (p2.x - p3.x);
  if (!(std::fabs(det) >= 1e-8)) return kNoCircle;
  const double e =
      ((p2.x - p1.x) * (p1.x - p3.x) / 2.0 - (p1.y - p2.y) * (p1.y - p3.y) / 2.0) / det;
  // The point on the perpendicular bisector of p2 p3 that is as far from p1.
  const PlanePoint centre{(p2.x + p3.x) / 2.0 + (p3.y - p2.y) * e,
                          (p2.y + p3.y) / 2.0 - (p3.x - p2.x) * e};
  return {centre, std::hypot(p2.x - centre.x, p2.y - centre.y), false};
}

}  // namespace qzarn
