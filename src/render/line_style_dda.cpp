#include "render/line_style_dda.h"

namespace qzarn::render {

std::vector<Point> LinePoints(Point from, Point to) {
  std::vector<Point> points;
  StepLine(from, to, [&points](Point p) { points.push_back(p); });
  return points;
}

}  // namespace qzarn::render
