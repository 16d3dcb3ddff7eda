#pragma once
// The computation of one figure of each kind inside a pass (after the display
// condition): its own texts, its references, its construction. Each returns
// whether the references it needed were computed.

namespace qzarn {

class FigureEngine;

// point_figures.cpp
bool ComputePointFigure(FigureEngine& engine, int index);
bool ComputeBuntenFigure(FigureEngine& engine, int index);
bool ComputeCrossFigure(FigureEngine& engine, int index);
bool ComputeSuisenFigure(FigureEngine& engine, int index);
bool ComputeAngleFigure(FigureEngine& engine, int index);
bool ComputeAngle2Figure(FigureEngine& engine, int index);

// line_figures.cpp
bool ComputeLineFigure(FigureEngine& engine, int index);
bool ComputeParabolaFigure(FigureEngine& engine, int index);

// circle_figures.cpp
bool ComputeCircleFigure(FigureEngine& engine, int index);

// frame_figures.cpp: object and text frames have no construction; their two
// anchor points are their result.
bool ComputeFrameFigure(FigureEngine& engine, int index);

// curve_figures.cpp: function curves, the figures built on them, polygons,
// splines and intersection sets.
void ComputeFunctionFigure(FigureEngine& engine, int index);
bool ComputeCross2Figure(FigureEngine& engine, int index);
bool ComputeMensekiFigure(FigureEngine& engine, int index);
bool ComputeSessenFigure(FigureEngine& engine, int index);
bool ComputePolyFigure(FigureEngine& engine, int index);
bool ComputeSplineFigure(FigureEngine& engine, int index);
bool ComputeCross3Figure(FigureEngine& engine, int index);

}  // namespace qzarn
