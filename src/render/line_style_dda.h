#pragma once
// The pixel stepping of dashed lines: every pixel of a segment from its first
// end up to, but not including, its second end, in Bresenham order. The first
// point is the start itself; each step moves one pixel along the longer axis
// and at most one along the shorter. A segment whose ends coincide yields no
// point.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "render/canvas.h"

namespace qzarn::render {

// How many points StepLine visits from `from` to `to`.
inline long long LineSteps(Point from, Point to) {
  return std::max(std::llabs(static_cast<long long>(to.x) - from.x),
                  std::llabs(static_cast<long long>(to.y) - from.y));
}

// The Bresenham walk from `from` to `to` as a closed form, so that it can
// start anywhere along the segment: after i steps, the shorter axis has
// moved floor((2 i d_minor + d_major - 1) / (2 d_major)) pixels.
class LineWalk {
 public:
  LineWalk(Point from, Point to) : from_{from.x, from.y} {
    delta_[0] = static_cast<long long>(to.x) - from.x;
    delta_[1] = static_cast<long long>(to.y) - from.y;
    step_[0] = delta_[0] < 0 ? -1 : 1;
    step_[1] = delta_[1] < 0 ? -1 : 1;
    delta_[0] = std::llabs(delta_[0]);
    delta_[1] = std::llabs(delta_[1]);
    // The longer axis steps every time; diagonals count as steep.
    major_ = delta_[0] > delta_[1] ? 0 : 1;
  }

  long long steps() const { return delta_[major_]; }

  // The point visited at step i (0 <= i < steps()).
  Point At(long long i) const {
    long long pos[2];
    pos[major_] = from_[major_] + step_[major_] * i;
    pos[1 - major_] = from_[1 - major_] + step_[1 - major_] * MinorMoves(i);
    return {static_cast<int>(pos[0]), static_cast<int>(pos[1])};
  }

  // Visits the points of steps first .. last - 1.
  template <typename Visit>
  void Walk(long long first, long long last, Visit&& visit) const {
    const int major = major_, minor = 1 - major_;
    const long long d_major = delta_[major], d_minor = delta_[minor];
    if (first >= last || d_major == 0) return;
    long long pos[2];
    pos[major] = from_[major] + step_[major] * first;
    const long long moved = MinorMoves(first);
    pos[minor] = from_[minor] + step_[minor] * moved;
    long long err = 2 * (first + 1) * d_minor - d_major - 2 * d_major * moved;
    for (long long i = first; i < last; ++i) {
      visit(Point{static_cast<int>(pos[0]), static_cast<int>(pos[1])});
      if (err > 0) {
        pos[minor] += step_[minor];
        err += 2 * (d_minor - d_major);
      } else {
        err += 2 * d_minor;
      }
      pos[major] += step_[major];
    }
  }

 private:
  long long MinorMoves(long long i) const {
    const long long d_major = delta_[major_], d_minor = delta_[1 - major_];
    return d_major == 0 ? 0 : (2 * i * d_minor + d_major - 1) / (2 * d_major);
  }

  long long from_[2];
  long long delta_[2];
  int step_[2];
  int major_;
};

template <typename Visit>
void StepLine(Point from, Point to, Visit&& visit) {
  // 64-bit error terms: ends may lie up to 10^7 pixels apart.
  const LineWalk walk(from, to);
  walk.Walk(0, walk.steps(), visit);
}

// The stepped points as a list (tests and previews).
std::vector<Point> LinePoints(Point from, Point to);

}  // namespace qzarn::render
