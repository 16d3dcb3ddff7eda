#pragma once
// The per-kind hit rules behind PickFigure and HitSelected. Each returns the
// handle of the first part hit, in the order the parts are tried, or kNoHandle.

#include <span>

#include "document/figure_table.h"
#include "interact/hit_test.h"

namespace qzarn::interact {

// One mouse position seen by one search: the mouse in pixels and in plane
// units, the transform, and the multipliers in force.
struct HitProbe {
  const FigureTable* table = nullptr;
  ViewTransform view;
  PlaneRect visible;
  HitFactors factors;
  PointF mouse;        // surface pixels
  double plane_x = 0;  // the mouse in plane units, unsnapped
  double plane_y = 0;
  SnappedPoint snapped;  // the mouse snapped to the screen's step
  double z = 1;          // zoom factor
  double unit = 25;      // k: pixels per plane unit at this zoom
  double mark_m = 1;     // point multiplier of point marks and circle centres
  double grip_m = 1;     // point multiplier of the parts the selected figure enlarges
  double dot_z = 1;      // zoom of function sample dots and the polygon vertex exclusion
  double tangent = 100;
  bool shown_only = false;  // searches skip figures whose visibility flag is off

  PointF Pixel(double x, double y) const { return {view.PlaneToPixelX(x), view.PlaneToPixelY(y)}; }
  // Squared pixel distance from the mouse.
  double Dist2(PointF p) const {
    const double dx = mouse.x - p.x, dy = mouse.y - p.y;
    return dx * dx + dy * dy;
  }
  // A mark of radius_px at a plane point, scaled by a squared-radius factor.
  // Points off the plane are never hit.
  bool OnMark(double x, double y, double radius_px, double factor) const;
  // The band test on a plane segment; ends off the plane are never hit.
  bool OnSegment(double x0, double y0, double x1, double y1, double half_width,
                 bool restricted) const;
};

int HitPointFigure(const HitProbe& probe, const FigureRecord& record);
int HitCross3Figure(const HitProbe& probe, const FigureRecord& record, int& cross3_point);
// Line, Angle and Sessen.
int HitLineFigure(const HitProbe& probe, const FigureRecord& record);
int HitCircleFigure(const HitProbe& probe, const FigureRecord& record);
int HitParabolaFigure(const HitProbe& probe, const FigureRecord& record);
int HitAngle2Figure(const HitProbe& probe, const FigureRecord& record);
// OLE and Char.
int HitFrameFigure(const HitProbe& probe, const FigureRecord& record);
int HitFunctionFigure(const HitProbe& probe, const FigureRecord& record);
int HitMensekiFigure(const HitProbe& probe, const FigureRecord& record);
int HitPolyFigure(const HitProbe& probe, const FigureRecord& record);
int HitSplineFigure(const HitProbe& probe, const FigureRecord& record);

}  // namespace qzarn::interact
