#include "render/view_transform.h"

#include <gtest/gtest.h>

#include <numbers>

namespace qzarn::render {
namespace {

ViewTransform Screen(int w, int h, int zoom_percent = 100, double pan_x = 0, double pan_y = 0) {
  ViewTransform v;
  v.surface_width = w;
  v.surface_height = h;
  v.centre_x = SurfaceCentre(w);
  v.centre_y = SurfaceCentre(h);
  v.zoom = zoom_percent / 100.0;
  v.pan_x = pan_x;
  v.pan_y = pan_y;
  return v;
}

struct MapCase {
  int zoom;
  double pan_x, pan_y, print_scale;
  double x, y;    // plane
  double px, py;  // expected pixels
};

TEST(ViewTransform, PlaneToPixelAndBack) {
  const MapCase cases[] = {
      {100, 0, 0, 1, 0, 0, 320, 240},     // the origin of a new screen
      {100, 0, 0, 1, 1, 1, 345, 215},     // one unit is 25 pixels, y up
      {200, 50, -30, 1, 0, 0, 370, 210},  // zoom and pan
      {200, 50, -30, 1, 1, 1, 420, 160},
      {100, 0, 0, 7.425, 1, -1, 345 * 7.425, 265 * 7.425},  // printing multiplies everything
      {50, -5000, 5000, 1, 2, 2, 320 - 5000 + 25, 240 + 5000 - 25},
  };
  for (const MapCase& c : cases) {
    ViewTransform v = Screen(640, 480, c.zoom, c.pan_x, c.pan_y);
    v.print_scale = c.print_scale;
    SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " plane " << c.x << "," << c.y);
    EXPECT_DOUBLE_EQ(v.PlaneToPixelX(c.x), c.px);
    EXPECT_DOUBLE_EQ(v.PlaneToPixelY(c.y), c.py);
    EXPECT_NEAR(v.PixelToPlaneX(c.px), c.x, 1e-12);
    EXPECT_NEAR(v.PixelToPlaneY(c.py), c.y, 1e-12);
  }
}

TEST(ViewTransform, HugeResultsSaturateToPositive) {
  ViewTransform v = Screen(640, 480);
  EXPECT_EQ(v.PlaneToPixelX(1e15), kHugeCoordinate);
  EXPECT_EQ(v.PlaneToPixelX(-1e15), kHugeCoordinate);  // whatever its sign
  EXPECT_EQ(v.PlaneToPixelY(1e15), kHugeCoordinate);
  EXPECT_EQ(v.PixelToPlaneX(-1e18), kHugeCoordinate);
  EXPECT_LT(v.PlaneToPixelX(-1e12), 0);  // below the limit the sign stays
}

struct RectCase {
  int w, h, zoom;
  double pan_x, pan_y;
  PlaneRect expect;
};

TEST(ViewTransform, VisibleRectangle) {
  const RectCase cases[] = {
      {640, 480, 100, 0, 0, {-12.8, -9.6, 12.8, 9.6}},
      {640, 480, 200, 50, -30, {-370 / 50.0, -270 / 50.0, 270 / 50.0, 210 / 50.0}},
      // 641 wide: centre 320, so the right edge is 321 pixels away.
      {641, 481, 100, 0, 0, {-12.8, -9.6, 321 / 25.0, 241 / 25.0}},
      // Rounding of the logical pixel edges goes to even: -(320 + 0.5) -> -320.
      {640, 480, 100, 0.5, 0.5, {-320 / 25.0, -240 / 25.0, 320 / 25.0, 240 / 25.0}},
      {640, 480, 100, 1.5, 1.5, {-322 / 25.0, -238 / 25.0, 318 / 25.0, 242 / 25.0}},
  };
  for (const RectCase& c : cases) {
    ViewTransform v = Screen(c.w, c.h, c.zoom, c.pan_x, c.pan_y);
    const PlaneRect r = v.VisibleRect();
    SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " zoom " << c.zoom << " pan " << c.pan_x
                                    << "," << c.pan_y);
    EXPECT_DOUBLE_EQ(r.left, c.expect.left);
    EXPECT_DOUBLE_EQ(r.bottom, c.expect.bottom);
    EXPECT_DOUBLE_EQ(r.right, c.expect.right);
    EXPECT_DOUBLE_EQ(r.top, c.expect.top);
  }
  EXPECT_EQ(SurfaceCentre(641), 320);
}

TEST(ViewTransform, DeviceExtentsFollowPrintScale) {
  ViewTransform v = Screen(640, 480);
  v.print_scale = 2.5;
  EXPECT_DOUBLE_EQ(v.DeviceWidth(), 1600);
  EXPECT_DOUBLE_EQ(v.DeviceHeight(), 1200);
}

struct SnapCase {
  const char* what;
  CoordinateKind kind;
  double sensitivity;
  bool auto_x, auto_y;
  double x_interval, y_interval;
  double x, y;  // plane position clicked
  double sx, sy;
};

TEST(SnapMouse, EveryCoordinateKind) {
  const double pi = std::numbers::pi;
  const SnapCase cases[] = {
      {"standard auto", CoordinateKind::kStandard, 0.5, true, true, 1, 1, 1.3, -0.2, 1.5, 0},
      {"standard manual x", CoordinateKind::kStandard, 0.5, false, true, 2, 1, 1.3, -0.2, 1, 0},
      {"manual y", CoordinateKind::kStandard, 0.1, true, false, 1, 3, 0.33, 0.5, 0.3, 0.6},
      {"complex", CoordinateKind::kComplex, 1, true, true, 1, 1, 2.4, -1.6, 2, -2},
      {"degrees auto", CoordinateKind::kDegrees, 1, true, true, 1, 1, 2.0, 0.4, pi / 2, 0},
      {"degrees manual", CoordinateKind::kDegrees, 1, false, true, 1, 1, 1.0, 0, pi / 3, 0},
      {"radians auto", CoordinateKind::kRadians, 0.5, true, true, 1, 1, 1.0, 0, pi / 4, 0},
      {"polar auto", CoordinateKind::kPolar, 1, true, true, 1, 1, 2.1, 0.5,
       2 * std::cos(15 * pi / 180), 2 * std::sin(15 * pi / 180)},
      // 180 / 4 = 45 degree steps; radius 3 (manual x 1.5 at h 1 is a 1.5 step: 2.83 -> 3).
      {"polar manual", CoordinateKind::kPolar, 1, false, false, 1.5, 4, 2, 2, 3 * std::cos(pi / 4),
       3 * std::sin(pi / 4)},
  };
  for (const SnapCase& c : cases) {
    SCOPED_TRACE(c.what);
    ViewTransform v = Screen(640, 480);
    SnapSettings s;
    s.kind = c.kind;
    s.sensitivity = c.sensitivity;
    s.auto_x = c.auto_x;
    s.auto_y = c.auto_y;
    s.x_interval = c.x_interval;
    s.y_interval = c.y_interval;
    const double px = v.PlaneToPixelX(c.x), py = v.PlaneToPixelY(c.y);
    EXPECT_NEAR(SnapMouseX(v, s, px, py), c.sx, 1e-9);
    EXPECT_NEAR(SnapMouseY(v, s, px, py), c.sy, 1e-9);
  }
}

TEST(SnapMouse, FreePositioningAndOffPlane) {
  ViewTransform v = Screen(640, 480, 100, 0, 0);
  SnapSettings s;
  s.sensitivity = 1;
  s.free_positioning = true;
  EXPECT_NEAR(SnapMouseX(v, s, 320 + 25 * 1.23456, 240), 1.2346, 1e-12);
  // A mouse far outside the surface at a tiny zoom is off the plane.
  v.zoom = 0.0001;
  EXPECT_EQ(SnapMouseX(v, s, 320 + 60000, 240), kOffPlane);
  EXPECT_EQ(SnapMouseY(v, s, 320, 240 + 60000), kOffPlane);
  s.kind = CoordinateKind::kPolar;
  EXPECT_EQ(SnapMouseX(v, s, 320 + 60000, 240), kOffPlane);
}

TEST(SnapMouse, DegenerateStoredIntervalsDoNotPoison) {
  ViewTransform v = Screen(640, 480);
  SnapSettings s;
  s.sensitivity = 0.5;
  s.auto_x = false;
  s.x_interval = 0;  // a damaged file: no step, position kept
  const double x = SnapMouseX(v, s, 320 + 25 * 1.3, 240);
  EXPECT_NEAR(x, 1.3, 1e-12);
}

}  // namespace
}  // namespace qzarn::render
