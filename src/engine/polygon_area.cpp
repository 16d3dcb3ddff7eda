#include "engine/polygon_area.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/point_constructions.h"

namespace qzarn {

namespace {

// Two edge directions closer than this (in degrees) go straight on: a vertex
// placed on an edge by a construction differs from the edge's direction only
// by rounding.
constexpr double kStraightTolerance = 1e-9;

double EdgeAngle(PlanePoint from, PlanePoint to) {
  return DirectionAngle(to.x - from.x, to.y - from.y);
}

// The vertices without repeats: a vertex equal to the one before it adds an
// edge without a direction, which would read as a turn towards angle 0.
std::vector<PlanePoint> WithoutRepeats(std::span<const PlanePoint> v) {
  std::vector<PlanePoint> out;
  for (const PlanePoint& p : v)
    if (out.empty() || !(p == out.back())) out.push_back(p);
  while (out.size() > 1 && out.back() == out.front())
    out.pop_back();
  return out;
}

}  // namespace

bool IsConvexPolygon(std::span<const PlanePoint> vertices) {
  if (vertices.size() <= 3) return true;
  const std::vector<PlanePoint> v = WithoutRepeats(vertices);
  const std::size_t k = v.size();
  if (k <= 3) return true;
  int turned = 0;
  int turn_sum = 0;
  for (std::size_t i = 0; i < k; ++i) {
    const PlanePoint& p0 = v[i];
    const PlanePoint& p1 = v[(i + 1) % k];
    const PlanePoint& p2 = v[(i + 2) % k];
    double e = EdgeAngle(p0, p1) - EdgeAngle(p1, p2);
    if (e < 0.0) e += 360.0;
    if (e < kStraightTolerance || e > 360.0 - kStraightTolerance) continue;
    ++turned;
    // Turning straight back counts as a vertex without a side.
    if (e == 180.0) continue;
    turn_sum += e > 180.0 ? -1 : 1;
  }
  return turned == std::abs(turn_sum);
}

PolygonAreaResult PolygonArea(std::span<const PlanePoint> v) {
  PolygonAreaResult out;
  const std::size_t k = v.size();
  if (k < 3 || !IsConvexPolygon(v)) return out;
  double area = 0.0;
  for (std::size_t j = 1; j + 1 < k; ++j) {
    const double ax = v[j].x - v[0].x, ay = v[j].y - v[0].y;
    const double bx = v[j + 1].x - v[0].x, by = v[j + 1].y - v[0].y;
    area += std::fabs(ax * by - ay * bx) / 2.0;
  }
  double sx = 0.0, sy = 0.0;
  for (const PlanePoint& p : v) {
    sx += p.x;
    sy += p.y;
  }
  out.area = area;
  out.has_label = true;
  out.label = {sx / static_cast<double>(k), sy / static_cast<double>(k)};
  return out;
}

}  // namespace qzarn
