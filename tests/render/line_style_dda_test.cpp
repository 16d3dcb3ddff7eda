#include "render/line_style_dda.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace qzarn::render {
namespace {

TEST(StepLine, ExactSequences) {
  // At a tie (x = 2, y = 0.5) the minor axis waits one more step.
  EXPECT_EQ(LinePoints({0, 0}, {4, 1}), (std::vector<Point>{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
  EXPECT_EQ(LinePoints({0, 0}, {1, 4}), (std::vector<Point>{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));
  EXPECT_EQ(LinePoints({0, 0}, {5, 2}),
            (std::vector<Point>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
  EXPECT_EQ(LinePoints({3, 3}, {0, 0}), (std::vector<Point>{{3, 3}, {2, 2}, {1, 1}}));
  EXPECT_EQ(LinePoints({5, -2}, {5, 1}), (std::vector<Point>{{5, -2}, {5, -1}, {5, 0}}));
  EXPECT_TRUE(LinePoints({7, 7}, {7, 7}).empty());
}

// Every octant and both diagonals: the start comes first, the end never
// appears, the count is the longer extent, every step is a unit move along the
// longer axis, and no point strays more than half a pixel from the true line.
TEST(StepLine, AllOctants) {
  const Point from{10, -20};
  const std::vector<Point> deltas = {{13, 5},   {5, 13},  {-5, 13}, {-13, 5}, {-13, -5},
                                     {-5, -13}, {5, -13}, {13, -5}, {9, 9},   {-9, 9},
                                     {-9, -9},  {9, -9},  {17, 0},  {0, -17}, {1, 1}};
  for (Point d : deltas) {
    SCOPED_TRACE(testing::Message() << "delta " << d.x << "," << d.y);
    const Point to{from.x + d.x, from.y + d.y};
    std::vector<Point> pts = LinePoints(from, to);
    const int major = std::max(std::abs(d.x), std::abs(d.y));
    ASSERT_EQ(static_cast<int>(pts.size()), major);
    EXPECT_EQ(pts.front(), from);
    const bool x_major = std::abs(d.x) > std::abs(d.y);
    for (std::size_t i = 0; i < pts.size(); ++i) {
      EXPECT_NE(pts[i], to);
      const double t = static_cast<double>(i) / major;
      EXPECT_LE(std::fabs(pts[i].x - (from.x + t * d.x)), 0.5 + 1e-9) << i;
      EXPECT_LE(std::fabs(pts[i].y - (from.y + t * d.y)), 0.5 + 1e-9) << i;
      if (i == 0) continue;
      const int sx = pts[i].x - pts[i - 1].x;
      const int sy = pts[i].y - pts[i - 1].y;
      EXPECT_EQ(std::abs(x_major ? sx : sy), 1);
      EXPECT_LE(std::abs(x_major ? sy : sx), 1);
    }
    // The next step after the last point lands on the end.
    EXPECT_LE(std::abs(to.x - pts.back().x), 1);
    EXPECT_LE(std::abs(to.y - pts.back().y), 1);
  }
}

TEST(StepLine, FarEndsDoNotOverflow) {
  long count = 0;
  Point last;
  StepLine({-9'999'999, 0}, {9'999'999, 3}, [&](Point p) {
    ++count;
    last = p;
  });
  EXPECT_EQ(count, 19'999'998);
  EXPECT_EQ(last, (Point{9'999'998, 3}));
}

// A walk started anywhere along a segment visits exactly the points the
// whole walk visits from there on, in every octant, on diagonals, and for
// ends far apart; At() names the same points.
TEST(LineWalk, StartsAnywhereOnTheSameWalk) {
  const std::pair<Point, Point> segments[] = {
      {{0, 0}, {17, 5}},    {{0, 0}, {5, 17}},     {{3, 9}, {-14, 2}},
      {{-2, 7}, {-9, -30}}, {{6, 6}, {-6, -6}},    {{-40, 3}, {40, 4}},
      {{1, 1}, {1, -25}},   {{0, 0}, {1000, 999}}, {{-3000, -2900}, {4160, 3220}},
      {{12, -4}, {13, -4}},
  };
  for (const auto& [from, to] : segments) {
    SCOPED_TRACE(testing::Message() << from.x << "," << from.y << " to " << to.x << "," << to.y);
    const std::vector<Point> whole = LinePoints(from, to);
    const LineWalk walk(from, to);
    ASSERT_EQ(walk.steps(), static_cast<long long>(whole.size()));
    const long long n = walk.steps();
    for (long long first : {0LL, 1LL, n / 3, n / 2, n - 1}) {
      if (first < 0 || first >= n) continue;
      const long long last = std::min(n, first + 40);
      std::vector<Point> part;
      walk.Walk(first, last, [&](Point p) { part.push_back(p); });
      const std::vector<Point> expected(whole.begin() + first, whole.begin() + last);
      EXPECT_EQ(part, expected) << "from step " << first;
      EXPECT_EQ(walk.At(first), whole[static_cast<std::size_t>(first)]);
    }
  }
}

}  // namespace
}  // namespace qzarn::render
