#pragma once
// A new 640 x 480 screen without grid and axes, figures placed slot by slot,
// and the whole picture drawn on a recording canvas.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "document/screen.h"
#include "render/draw_screen.h"
#include "render/recording_canvas.h"

namespace qzarn::render {

class FigureDrawingTest : public ::testing::Test {
 protected:
  FigureDrawingTest() {
    NewScreenDefaults d;
    d.InitScreenX = 640;
    d.InitScreenY = 480;
    d.InitGrid = false;
    d.InitAxis = false;
    ScreenTitleCounter titles;
    screen = Screen::Create(d, titles);
    options.antialiasing = false;
  }

  FigureRecord& Add(std::int32_t type) {
    const int slot = next_slot++;
    EXPECT_TRUE(PlaceFigure(screen->Figures, slot, FigureRecord::Blank(type)));
    return *screen->Figures.record(slot);
  }

  LineRecord& AddLine(double x0, double y0, double x1, double y1, std::int32_t type = kLineFigure) {
    LineRecord& l = *Add(type).line();
    l.X0 = x0;
    l.Y0 = y0;
    l.X1 = x1;
    l.Y1 = y1;
    l.DispL = true;
    l.SizeL = 2;
    l.SizeP = 3;
    l.YaLng = 0.5;
    l.YaAng = 30;
    l.LineColor = 0x00FF00u;
    return l;
  }

  PointRecord& AddPoint(double x, double y, std::int32_t type = kPointFigure) {
    PointRecord& p = *Add(type).point();
    p.X = x;
    p.Y = y;
    p.Radius = 3;
    p.RimRadius = 2;
    p.Paint = true;
    p.DispMark = true;
    p.Color = 0x0000FFu;
    p.RimColor = 0x0000FFu;
    p.Font.FontSize = 16;
    p.Font.FontSet = 128;
    return p;
  }

  RecordingCanvas Draw(const PrintSetup& print = {}) {
    RecordingCanvas canvas(print.printing ? print.page : Size{640, 480});
    DrawScreenInputs in;
    in.print = print;
    DrawScreen(canvas, screen.get(), options, in);
    return canvas;
  }

  std::unique_ptr<Screen> screen;
  RenderOptions options;
  int next_slot = 0;
};

inline std::vector<CanvasCall> Lines(const RecordingCanvas& c) {
  return c.CallsOf(CallKind::kLine);
}

}  // namespace qzarn::render
