#include "render/curve_drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "document/screen.h"
#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "expr/engine.h"
#include "render/draw_screen.h"
#include "render/recording_canvas.h"

namespace qzarn::render {
namespace {

constexpr float B = kSampleBreak;

TEST(CurveJoins, BreaksJumpsAndSteepJoinsAreLeftOut) {
  struct Case {
    const char* what;
    std::vector<float> xs, ys;
    std::vector<bool> full, snapshot;
  };
  const Case cases[] = {
      {"plain", {0, 1, 2}, {0, 1, 0}, {false, true, true}, {false, true, true}},
      {"break in the middle",
       {0, 1, B, 3, 4},
       {0, 1, B, 3, 4},
       {false, true, false, false, true},
       {false, true, false, false, true}},
      {"y off the plane only",
       {0, 1, 2, 3},
       {0, 1, 25000, 3},
       {false, true, false, false},
       {false, true, false, false}},
      // tan x: a steep climb, then the jump down is not joined.
      {"jump",
       {0, 1, 2, 3},
       {0, 200, 400, -400},
       {false, true, true, false},
       {false, true, true, false}},
      // Nearly vertical join: left out by live curves only.
      {"steep", {0, 1, 1.00001f}, {0, 0.1f, 0.3f}, {false, true, false}, {false, true, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CurveJoins(c.xs, c.ys, 100, true), c.full);
    EXPECT_EQ(CurveJoins(c.xs, c.ys, 100, false), c.snapshot);
  }
}

class CurveDrawingTest : public ::testing::Test {
 protected:
  CurveDrawingTest() {
    NewScreenDefaults d;
    d.InitScreenX = 640;
    d.InitScreenY = 480;
    d.InitGrid = false;
    d.InitAxis = false;
    ScreenTitleCounter titles;
    screen = Screen::Create(d, titles);
    options.antialiasing = false;
  }

  FunctionRecord& Add(int kind, const char* fx) {
    EXPECT_TRUE(PlaceFigure(screen->Figures, 0, FigureRecord::Blank(kFunctionFigure)));
    FunctionRecord& f = *screen->Figures.record(0)->function();
    f.FuncKind = kind;
    f.FuncX = fx;
    f.AreaSx1 = "-10";
    f.AreaEx1 = "10";
    f.AreaWd1 = "0.1";
    f.DispL = true;
    f.SizeL = 2;
    f.SizeP = 2;
    f.ColorL = 0x0000FFu;
    f.ColorP = 0x00FF00u;
    f.Font.FontSize = 16;
    f.Font.FontSet = 128;
    return f;
  }

  RecordingCanvas Draw() {
    ResampleFunction(*screen, expr, 0);
    RecordingCanvas canvas({640, 480});
    DrawScreen(canvas, screen.get(), options);
    return canvas;
  }

  std::unique_ptr<Screen> screen;
  RenderOptions options;
  ExprEngine expr;
};

TEST_F(CurveDrawingTest, ExplicitCurveJoinsSamplesButNotAcrossBreaks) {
  FunctionRecord& f = Add(kExplicitCurve, "1/x");
  f.AreaSx1 = "-2";
  f.AreaEx1 = "2";
  f.AreaWd1 = "1";
  const RecordingCanvas c = Draw();
  const auto lines = c.CallsOf(CallKind::kLine);
  // Samples -2, -1, (break at 0), 1, 2: two joins.
  ASSERT_EQ(lines.size(), 2u);
  for (const CanvasCall& l : lines)
    EXPECT_EQ(l.state.pen, (Pen{0x0000FF, 2, PenStyle::kSolid}));
  EXPECT_TRUE(c.CallsOf(CallKind::kEllipse).empty());

  f.DispP = true;
  f.CurveValid = 0;
  EXPECT_EQ(Draw().CallsOf(CallKind::kEllipse).size(), 4u);
}

TEST_F(CurveDrawingTest, ImplicitCurveDrawsLoosePairs) {
  FunctionRecord& f = Add(kImplicitCurve, "x^2+y^2-4");
  f.AreaSx1 = "-3";
  f.AreaEx1 = "3";
  f.AreaSx2 = "-3";
  f.AreaEx2 = "3";
  f.AreaWd2 = "0.5";
  f.Seido = 1e-4;
  const RecordingCanvas c = Draw();
  const auto& owned = screen->Figures.record(0)->owned;
  // One line per pair at most (pairs that shrink to a pixel may be dropped).
  const std::size_t lines = c.CallsOf(CallKind::kLine).size();
  EXPECT_LE(lines, owned.SampleX.size() / 2);
  EXPECT_GT(lines, 20u);
}

TEST_F(CurveDrawingTest, StrictRegionClearsAlongItsBoundaryAndWritesItsArea) {
  FunctionRecord& f = Add(kImplicitCurve, "x^2+y^2-4");
  f.Mode = kRelationLess;
  f.FamilyVar = kHatchHorizontal;
  f.AreaSx1 = "-3";
  f.AreaEx1 = "3";
  f.AreaSx2 = "-3";
  f.AreaEx2 = "3";
  f.AreaWd2 = "0.1";
  f.Seido = 1e-4;
  f.pType = true;
  const RecordingCanvas c = Draw();
  int hatch = 0, cleared = 0, boundary = 0;
  for (const CanvasCall& l : c.CallsOf(CallKind::kLine)) {
    if (l.state.pen == Pen{0x00FF00, 1, PenStyle::kSolid}) ++hatch;
    if (l.state.pen == Pen{kWhite, 8, PenStyle::kSolid}) ++cleared;
    if (l.state.pen == Pen{0x0000FF, 2, PenStyle::kSolid}) ++boundary;
  }
  EXPECT_GT(hatch, 30);  // about 40 horizontal runs across the disc
  EXPECT_GT(boundary, 20);
  EXPECT_EQ(cleared, boundary);
  const auto texts = c.CallsOf(CallKind::kText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text.size(), 5u);  // the area, about 4 pi, with 2 decimals
  EXPECT_EQ(texts[0].text.substr(0, 4), "12.5");

  // Without the region display only the boundary and the text remain; the
  // inclusive relation does not clear.
  f.Recursive = true;
  f.Mode = kRelationLessEqual;
  f.CurveValid = 0;
  const RecordingCanvas d = Draw();
  for (const CanvasCall& l : d.CallsOf(CallKind::kLine))
    EXPECT_EQ(l.state.pen, (Pen{0x0000FF, 2, PenStyle::kSolid}));
  EXPECT_EQ(d.CallsOf(CallKind::kText).size(), 1u);
}

TEST_F(CurveDrawingTest, SampleCountBeyondTheStoredArraysIsNotRead) {
  FunctionRecord& f = Add(kExplicitCurve, "x");
  Draw();
  f.SampleLast = 50000;  // a stale count must not read past the arrays
  RecordingCanvas canvas({640, 480});
  DrawScreen(canvas, screen.get(), options);
  EXPECT_GT(canvas.CallsOf(CallKind::kLine).size(), 10u);
}

}  // namespace
}  // namespace qzarn::render
