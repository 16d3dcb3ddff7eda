#pragma once
// The drawing routine of each figure kind (dispatched by figure_drawing.cpp).

#include <vector>

#include "document/figure_table.h"
#include "render/figure_drawing_ink.h"

namespace qzarn::render {

// Point, Bunten, Cross, Suisen, Cross2.
void DrawPointFigure(FigureInk& ink, const FigureTable& table, const FigureRecord& record);
// Up to four intersection points.
void DrawCross3Figure(FigureInk& ink, const FigureRecord& record);
// Line and Sessen.
void DrawLineFigure(FigureInk& ink, const FigureRecord& record);
// Angle division line.
void DrawAngleFigure(FigureInk& ink, const FigureRecord& record);
void DrawParabolaFigure(FigureInk& ink, const FigureRecord& record);
void DrawCircleFigure(FigureInk& ink, const FigureRecord& record);
// Angle measure mark.
void DrawAngle2Figure(FigureInk& ink, const FigureRecord& record);
void DrawPolyFigure(FigureInk& ink, const FigureTable& table, const FigureRecord& record);
// Area between two curves: its hatch shape and its value label.
void DrawMensekiFigure(FigureInk& ink, const FigureRecord& record);
void DrawSplineFigure(FigureInk& ink, const FigureTable& table, const FigureRecord& record);
// The parameter step a spline is drawn with: its own step SS, the default
// 0.01 when SS is not positive, and never finer than 1/10000.
double SplineDrawingStep(double ss);

// The vertices of a polygon or spline as the engine gathered them: the
// entries whose reference is set and names an existing figure, in order.
std::vector<PlanePoint> UsedVertices(const FigureTable& table, const PolygonRecord& p);

struct ParabolaShape {
  double h, k;    // vertex
  double x1, y1;  // a point on the curve
  bool straight;  // general form reduced to a line
};
// The sampled parabola (or the line it degenerates to) in the pen set on the
// canvas. factor: 2 for the figure, 4 for its locus; dashed: one sweep with the
// dash phase running on.
void DrawParabolaShape(FigureInk& ink, LinePainter& lines, const ParabolaShape& p, double factor,
                       bool dashed, int point_size);

// The locus ring: entries 0 .. min(TrackCount, 499).
inline constexpr int kLocusRing = 500;
inline int LocusEntries(int track_count) {
  if (track_count < 0) return 0;
  return std::min(track_count, kLocusRing - 1) + 1;
}

}  // namespace qzarn::render
