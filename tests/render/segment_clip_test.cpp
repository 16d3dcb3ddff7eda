#include "render/segment_clip.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace qzarn::render {
namespace {

struct ClipCase {
  const char* what;
  PointF from, to;
  bool shows;
  PointF want_from, want_to;
  bool from_cut, to_cut;
};

TEST(SegmentClip, KeepsThePartInsideTheBox) {
  const RectF box{0, 0, 100, 50};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<ClipCase> cases = {
      {"inside", {10, 10}, {90, 40}, true, {10, 10}, {90, 40}, false, false},
      {"through horizontally", {-50, 20}, {150, 20}, true, {0, 20}, {100, 20}, true, true},
      {"through backwards", {150, 20}, {-50, 20}, true, {100, 20}, {0, 20}, true, true},
      {"corner to corner beyond", {-100, -50}, {200, 100}, true, {0, 0}, {100, 50}, true, true},
      {"leaves at the bottom", {50, 25}, {50, 500}, true, {50, 25}, {50, 50}, false, true},
      {"enters at the left", {-10, 5}, {10, 5}, true, {0, 5}, {10, 5}, true, false},
      {"on the edge", {0, 0}, {100, 0}, true, {0, 0}, {100, 0}, false, false},
      {"misses above", {-10, -5}, {200, -1}, false, {}, {}, false, false},
      {"misses past a corner", {90, -20}, {130, 20}, false, {}, {}, false, false},
      {"parallel outside", {120, 0}, {120, 50}, false, {}, {}, false, false},
      {"a point inside", {5, 5}, {5, 5}, true, {5, 5}, {5, 5}, false, false},
      {"a point outside", {-5, 5}, {-5, 5}, false, {}, {}, false, false},
      {"not a number", {nan, 5}, {10, 5}, false, {}, {}, false, false},
      {"far beyond both ways",
       {-1e7, -1e7 / 2},
       {1e7, 1e7 / 2},
       true,
       {0, 0},
       {100, 50},
       true,
       true},
  };
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<ClippedSegment> got = ClipSegment(c.from, c.to, box);
    ASSERT_EQ(got.has_value(), c.shows);
    if (!got) continue;
    EXPECT_NEAR(got->from.x, c.want_from.x, 1e-9);
    EXPECT_NEAR(got->from.y, c.want_from.y, 1e-9);
    EXPECT_NEAR(got->to.x, c.want_to.x, 1e-9);
    EXPECT_NEAR(got->to.y, c.want_to.y, 1e-9);
    EXPECT_EQ(got->from_cut, c.from_cut);
    EXPECT_EQ(got->to_cut, c.to_cut);
    // An end that was not cut is the given end to the bit.
    if (!got->from_cut) {
      EXPECT_EQ(got->from, c.from);
    }
    if (!got->to_cut) {
      EXPECT_EQ(got->to, c.to);
    }
  }
}

}  // namespace
}  // namespace qzarn::render
