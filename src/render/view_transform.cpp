#include "render/view_transform.h"

#include <numbers>

namespace qzarn::render {

namespace {

double Saturate(double v) {
  return std::fabs(v) >= kHugeCoordinate ? kHugeCoordinate : v;
}

// Rounds v to a multiple of step; a zero or non-finite step leaves v alone.
double RoundToMultiple(double v, double step) {
  if (!(std::fabs(step) > 0) || !std::isfinite(step)) return v;
  return RoundHalfEven(v / step) * step;
}

}  // namespace

double ViewTransform::PlaneToPixelX(double x) const {
  return Saturate((stretch_x * x * zoom * scale + centre_x + pan_x) * print_scale);
}

double ViewTransform::PlaneToPixelY(double y) const {
  return Saturate((stretch_y * (-y) * zoom * scale + centre_y + pan_y) * print_scale);
}

double ViewTransform::PixelToPlaneX(double px) const {
  return Saturate((px / print_scale - (centre_x + pan_x)) / (scale * zoom) / stretch_x);
}

double ViewTransform::PixelToPlaneY(double py) const {
  return Saturate(-(py / print_scale - (centre_y + pan_y)) / (scale * zoom) / stretch_y);
}

PlaneRect ViewTransform::VisibleRect() const {
  // Whole logical pixels first: the label and grid loops count from these.
  double left = RoundHalfEven(-(centre_x + pan_x) / stretch_x);
  double right = RoundHalfEven(surface_width / stretch_x + left);
  double bottom = RoundHalfEven((pan_y - centre_y) / stretch_y);
  double top = RoundHalfEven(surface_height / stretch_y + bottom);
  double unit = scale * zoom;
  return {left / unit, bottom / unit, right / unit, top / unit};
}

SnappedPoint SnapMouse(const ViewTransform& view, const SnapSettings& snap, double px, double py) {
  const double percent = view.zoom * 100.0;
  const double x =
      (px - view.pan_x - view.centre_x) / percent / view.scale * 100.0 / view.stretch_x;
  const double y =
      -(py - view.pan_y - view.centre_y) / percent / view.scale * 100.0 / view.stretch_y;
  const bool x_off = !(std::fabs(x) < kOffPlane);
  const bool y_off = !(std::fabs(y) < kOffPlane);
  const double h = snap.free_positioning ? 0.0001 : snap.sensitivity;
  const double y_step = snap.auto_y ? h : h * snap.y_interval;
  double x_step = snap.auto_x ? h : h * snap.x_interval;
  switch (snap.kind) {
    case CoordinateKind::kPolar: {
      if (x_off || y_off) return {x_off ? kOffPlane : x, y_off ? kOffPlane : y};
      const double o = snap.auto_y ? 15.0 : 180.0 / snap.y_interval;
      const double angle = RoundToMultiple(std::atan2(y, x) * 180.0 / std::numbers::pi, h * o);
      const double r = RoundToMultiple(std::hypot(x, y), x_step);
      const double rad = angle * std::numbers::pi / 180.0;
      return {r * std::cos(rad), r * std::sin(rad)};
    }
    case CoordinateKind::kDegrees:
    case CoordinateKind::kRadians:
      // The x axis counts in quarter turns (automatic) or 30 degree steps.
      x_step = snap.auto_x ? h * std::numbers::pi / 2 : h * snap.x_interval * std::numbers::pi / 6;
      break;
    default:
      break;
  }
  return {x_off ? kOffPlane : RoundToMultiple(x, x_step),
          y_off ? kOffPlane : RoundToMultiple(y, y_step)};
}

double SnapMouseX(const ViewTransform& view, const SnapSettings& snap, double px, double py) {
  return SnapMouse(view, snap, px, py).x;
}

double SnapMouseY(const ViewTransform& view, const SnapSettings& snap, double px, double py) {
  return SnapMouse(view, snap, px, py).y;
}

}  // namespace qzarn::render
