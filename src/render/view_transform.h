#pragma once
// Mapping between plane coordinates and surface (or printer) pixels, the
// visible plane rectangle of a drawing pass and the snapping of mouse
// positions to the screen's snap step. Pure arithmetic: no canvas, no Qt.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace qzarn::render {

// Plane and pixel values at or beyond this magnitude stand for "no position";
// they are never handed to a device.
inline constexpr double kHugeCoordinate = 1e15;
// Mouse conversions report this value when the position is off the plane.
inline constexpr double kOffPlane = 20000.0;

// Nearest integer, halves to even (the rounding every pixel position uses).
inline double RoundHalfEven(double v) {
  return std::nearbyint(v);
}
// Pixel values derived from plane values are held at the int range: a value beyond it (or a
// NaN, which no range holds) saturates instead of overflowing.
inline int ClampToInt(double r) {
  if (r > 2147483647.0) return 2147483647;
  if (!(r >= -2147483648.0)) return -2147483647 - 1;
  return static_cast<int>(r);
}
inline int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}
inline int RoundToInt(double v) {
  return ClampToInt(std::nearbyint(v));
}
// std::lround (halves away from zero) and truncation, saturating.
inline int RoundAwayToInt(double v) {
  return ClampToInt(std::round(v));
}
inline int TruncateToInt(double v) {
  return ClampToInt(std::trunc(v));
}
// Sums of pixel values, saturating.
inline int SaturatingAdd(std::int64_t a, std::int64_t b) {
  return ClampToInt(a + b);
}

enum class CoordinateKind : int {
  kStandard = 0,
  kDegrees = 1,
  kRadians = 2,
  kPolar = 3,
  kComplex = 4
};

// Visible plane rectangle, in plane units.
struct PlaneRect {
  double left = 0, bottom = 0, right = 0, top = 0;
};

struct ViewTransform {
  double scale = 25;    // pixels per plane unit at zoom 100 %
  double zoom = 1;      // zoom factor z = percent / 100
  double centre_x = 0;  // origin pixel before panning
  double centre_y = 0;
  double pan_x = 0;  // pan offsets in surface pixels
  double pan_y = 0;
  double print_scale = 1;  // device pixels per surface pixel
  double stretch_x = 1;    // per-direction stretch of the scale
  double stretch_y = 1;
  int surface_width = 0;
  int surface_height = 0;

  // Plane units to device pixels; results of magnitude 1e15 or more become +1e15.
  double PlaneToPixelX(double x) const;
  double PlaneToPixelY(double y) const;
  // Device pixels back to plane units (same saturation).
  double PixelToPlaneX(double px) const;
  double PixelToPlaneY(double py) const;

  // Pixels per plane unit at the current zoom (without the print factor).
  double UnitPixels() const { return scale * zoom; }

  // The visible rectangle as whole logical pixels divided by scale and zoom.
  PlaneRect VisibleRect() const;
  // Device extents W and H (surface size times print factor over stretch).
  double DeviceWidth() const { return surface_width * print_scale / stretch_x; }
  double DeviceHeight() const { return surface_height * print_scale / stretch_y; }
};

// The origin's pixel before panning for a surface extent (division toward zero).
inline int SurfaceCentre(int extent) {
  return extent / 2;
}

// Everything the mouse snapping reads from a screen.
struct SnapSettings {
  CoordinateKind kind = CoordinateKind::kStandard;
  double sensitivity = 0.1;       // snap step h
  bool free_positioning = false;  // use the fine step 0.0001 instead
  bool auto_x = true;
  bool auto_y = true;
  double x_interval = 1.0;
  double y_interval = 1.0;
};

// A mouse pixel on the surface to a snapped plane coordinate. Both axes are
// needed for either result because polar snapping rounds angle and radius.
double SnapMouseX(const ViewTransform& view, const SnapSettings& snap, double px, double py);
double SnapMouseY(const ViewTransform& view, const SnapSettings& snap, double px, double py);

struct SnappedPoint {
  double x = 0, y = 0;
};
SnappedPoint SnapMouse(const ViewTransform& view, const SnapSettings& snap, double px, double py);

}  // namespace qzarn::render
