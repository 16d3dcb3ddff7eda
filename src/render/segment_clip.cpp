#include "render/segment_clip.h"

#include <cmath>

namespace qzarn::render {

std::optional<ClippedSegment> ClipSegment(PointF from, PointF to, const RectF& box) {
  if (!std::isfinite(from.x) || !std::isfinite(from.y) || !std::isfinite(to.x) ||
      !std::isfinite(to.y))
    return std::nullopt;
  // Parametric form from + t·d, t in [0, 1]; each edge narrows [t0, t1].
  const double dx = to.x - from.x, dy = to.y - from.y;
  double t0 = 0, t1 = 1;
  auto narrow = [&](double p, double q) {  // keep p·t <= q
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
    return true;
  };
  if (!narrow(-dx, from.x - box.left) || !narrow(dx, box.right - from.x) ||
      !narrow(-dy, from.y - box.top) || !narrow(dy, box.bottom - from.y))
    return std::nullopt;
  ClippedSegment out{from, to};
  if (t0 > 0) {
    out.from = {from.x + t0 * dx, from.y + t0 * dy};
    out.from_cut = true;
  }
  if (t1 < 1) {
    out.to = {from.x + t1 * dx, from.y + t1 * dy};
    out.to_cut = true;
  }
  return out;
}

}  // namespace qzarn::render
