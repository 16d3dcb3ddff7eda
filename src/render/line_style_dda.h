#pragma once
// The pixel stepping of dashed lines: every pixel of a segment from its first
// end up to, but not including, its second end, in Bresenham order. The first
// point is the start itself; each step moves one pixel along the longer axis
// and at most one along the shorter. A segment whose ends coincide yields no
// point.

#include <cstdlib>
#include <vector>

#include "render/canvas.h"

namespace qzarn::render {

template <typename Visit>
void StepLine(Point from, Point to, Visit&& visit) {
  // 64-bit error terms: ends may lie up to 10^7 pixels apart.
  long long pos[2] = {from.x, from.y};
  long long delta[2] = {static_cast<long long>(to.x) - from.x,
                        static_cast<long long>(to.y) - from.y};
  const int step[2] = {delta[0] < 0 ? -1 : 1, delta[1] < 0 ? -1 : 1};
  delta[0] = std::llabs(delta[0]);
  delta[1] = std::llabs(delta[1]);
  // The longer axis steps every time; diagonals count as steep.
  const int major = delta[0] > delta[1] ? 0 : 1;
  const int minor = 1 - major;
  long long err = 2 * delta[minor] - delta[major];
  for (long long i = 0; i < delta[major]; ++i) {
    visit(Point{static_cast<int>(pos[0]), static_cast<int>(pos[1])});
    if (err > 0) {
      pos[minor] += step[minor];
      err += 2 * (delta[minor] - delta[major]);
    } else {
      err += 2 * delta[minor];
    }
    pos[major] += step[major];
  }
}

// The stepped points as a list (tests and previews).
std::vector<Point> LinePoints(Point from, Point to);

}  // namespace qzarn::render
