#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "interact/drag_redraw.h"

#include "pointer_tools_fixture.h"

namespace qzarn::interact {
namespace {

struct CoordinateCase {
  const char* text;
  double value;
  const char* written;  // the text afterwards
  CoordinateWrite result;
};

class DragCoordinateTest : public PointerToolsTest,
                           public ::testing::WithParamInterface<CoordinateCase> {};

TEST_P(DragCoordinateTest, NumbersAreRewrittenVariablesMovedOthersKept) {
  const CoordinateCase& c = GetParam();
  Expression text;
  text = c.text;
  EXPECT_EQ(DragCoordinate(ctx, screen(), text, c.value), c.result);
  EXPECT_EQ(Text(text), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DragCoordinateTest,
    ::testing::Values(CoordinateCase{"2", 2.5, "2.5", CoordinateWrite::kNumber},
                      CoordinateCase{"-1.25", 3, "3", CoordinateWrite::kNumber},
                      CoordinateCase{" 4 ", 1.0 / 3, "0.3333333333", CoordinateWrite::kNumber},
                      CoordinateCase{"0", 1e-12, "0", CoordinateWrite::kNumber},
                      CoordinateCase{"a", 4, "a", CoordinateWrite::kVariable},
                      CoordinateCase{"B3", 4, "B3", CoordinateWrite::kVariable},
                      CoordinateCase{"a + 1", 4, "a + 1", CoordinateWrite::kUnchanged},
                      CoordinateCase{"a0", 4, "a0", CoordinateWrite::kUnchanged},
                      CoordinateCase{"ab", 4, "ab", CoordinateWrite::kUnchanged},
                      CoordinateCase{"", 4, "", CoordinateWrite::kUnchanged},
                      CoordinateCase{"e2", 4, "e2", CoordinateWrite::kVariable}));

TEST_F(PointerToolsTest, VariableCoordinateMovesTheVariableAndRecomputes) {
  const int p = build.Point("c2", "1");
  Recompute();
  Expression text;
  text = "c2";
  EXPECT_EQ(DragCoordinate(ctx, screen(), text, 1.5), CoordinateWrite::kVariable);
  EXPECT_EQ(Var('c', 2), 1.5);
  EXPECT_EQ(PointAt(p).X, 1.5);  // the pass has run
}

TEST_F(PointerToolsTest, PointWithNumbersIsWrittenBackSnapped) {
  const int p = AddPoint("2", "3");
  Recompute();
  Press(p, 2, 3);
  DragSelected(ctx, state, screen(), {Px(2.5) + 0.4, Py(3)});  // snapped to 0.1
  EXPECT_EQ(Text(PointAt(p).FX), "2.5");
  EXPECT_EQ(Text(PointAt(p).FY), "3");
  EXPECT_DOUBLE_EQ(PointAt(p).X, 2.5);
  EXPECT_TRUE(screen().Modified);
  EXPECT_EQ(screen().GrabbedHandle, kMarkHandle);
  EXPECT_EQ(ui.cursor, PointerCursor::kHandPoint);
  EXPECT_DOUBLE_EQ(screen().LastMouse.X, 2.5);
}

TEST_F(PointerToolsTest, PointOnVariablesMovesThemAndDependantsFollow) {
  const int p = AddPoint("a", "b");
  const int q = build.Point("a + 1", "b * 2");
  const int m = build.Bunten(p, q, "1", "1");
  Recompute();
  Press(p, 0, 0);
  DragTo(1, 2);
  EXPECT_DOUBLE_EQ(Var('a'), 1);
  EXPECT_DOUBLE_EQ(Var('b'), 2);
  EXPECT_EQ(Text(PointAt(p).FX), "a");
  EXPECT_DOUBLE_EQ(PointAt(q).X, 2);
  EXPECT_DOUBLE_EQ(PointAt(q).Y, 4);
  EXPECT_DOUBLE_EQ(PointAt(m).X, 1.5);
  EXPECT_DOUBLE_EQ(PointAt(m).Y, 3);
}

TEST_F(PointerToolsTest, ExpressionCoordinateStaysWhileVariableOneFollows) {
  const int p = AddPoint("a + 1", "b");
  Recompute();
  Press(p, 1, 0);
  DragTo(3, 2);
  EXPECT_DOUBLE_EQ(Var('a'), 0);
  EXPECT_DOUBLE_EQ(Var('b'), 2);
  EXPECT_EQ(Text(PointAt(p).FX), "a + 1");
  EXPECT_DOUBLE_EQ(PointAt(p).X, 1);
  EXPECT_DOUBLE_EQ(PointAt(p).Y, 2);
}

TEST_F(PointerToolsTest, ExpressionCoordinateWithNumberKeepsItsValueTooWithoutRecompute) {
  const int p = AddPoint("a + 1", "0");
  Recompute();
  Press(p, 1, 0);
  DragTo(3, 2);
  EXPECT_DOUBLE_EQ(PointAt(p).X, 1);
  EXPECT_DOUBLE_EQ(PointAt(p).Y, 2);
  EXPECT_EQ(Text(PointAt(p).FY), "2");
}

TEST_F(PointerToolsTest, PointOnExpressionsAloneIsLeftUntouched) {
  const int p = AddPoint("a + 1", "2 * b");
  Recompute();
  Press(p, 1, 0);
  DragTo(3, 2);
  EXPECT_DOUBLE_EQ(PointAt(p).X, 1);
  EXPECT_FALSE(screen().Modified);
  EXPECT_TRUE(ui.canvas.DrawingCalls().empty());
}

TEST_F(PointerToolsTest, OffPlanePointIsNotDragged) {
  const int p = AddPoint("2", "3");
  Recompute();
  Press(p, 2, 3);
  PointAt(p).X = 20000;
  screen().GrabbedHandle = kMarkHandle;
  DragTo(1, 1);
  EXPECT_EQ(Text(PointAt(p).FX), "2");
  EXPECT_FALSE(screen().Modified);
  EXPECT_EQ(ui.canvas.calls().size(), 0u);
}

TEST_F(PointerToolsTest, OnlyTheDraggedPartsOfALineMove) {
  const int a = AddPoint("-2", "-1");
  const int line = AddLine(kLineFigure, "", "", "3", "1", a);
  Recompute();

  // The body of a line on a referenced point does not move.
  Press(line, 0.5, 0);
  DragTo(1.5, 1);
  EXPECT_EQ(screen().GrabbedHandle, kCurveHandle);
  EXPECT_EQ(Text(LineAt(line).FX1), "3");
  EXPECT_FALSE(screen().Modified);

  // Its free second point does, alone.
  Press(line, 3, 1);
  DragTo(4, 2);
  EXPECT_EQ(screen().GrabbedHandle, kSecondPointHandle);
  EXPECT_EQ(Text(LineAt(line).FX1), "4");
  EXPECT_EQ(Text(LineAt(line).FY1), "2");
  EXPECT_DOUBLE_EQ(LineAt(line).X0, -2);
  EXPECT_EQ(Text(PointAt(a).FX), "-2");
}

struct TranslateCase {
  std::int32_t type;
  const char* texts[4];
  bool moves;
};

class LineTranslateTest : public PointerToolsTest,
                          public ::testing::WithParamInterface<TranslateCase> {};

TEST_P(LineTranslateTest, BodyMovesOnlyWhenEveryTextIsANumber) {
  const TranslateCase& c = GetParam();
  const int line = AddLine(c.type, c.texts[0], c.texts[1], c.texts[2], c.texts[3]);
  Recompute();
  // Grab the body halfway along and drag by (1, 0.5).
  const double mx = (LineAt(line).X0 + LineAt(line).X1) / 2;
  const double my = c.type == kLineFigure ? (LineAt(line).Y0 + LineAt(line).Y1) / 2 : 0.2;
  Press(line, mx, my);
  screen().GrabbedHandle = kCurveHandle;
  DragTo(mx + 1, my + 0.5);
  if (c.moves) {
    EXPECT_EQ(Text(LineAt(line).FX0), "1");
    EXPECT_EQ(Text(LineAt(line).FY0), "0.5");
    EXPECT_EQ(Text(LineAt(line).FX1), "2");
    EXPECT_DOUBLE_EQ(LineAt(line).X1, 2);
  } else {
    EXPECT_EQ(Text(LineAt(line).FX0), c.texts[0]);
    EXPECT_EQ(Text(LineAt(line).FY1), c.texts[3]);
    EXPECT_FALSE(screen().Modified);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineTranslateTest,
    ::testing::Values(TranslateCase{kLineFigure, {"0", "0", "1", "1"}, true},
                      TranslateCase{kParabolaFigure, {"0", "0", "1", "1"}, true},
                      TranslateCase{kLineFigure, {"0", "0", "1", "a"}, false},
                      TranslateCase{kParabolaFigure, {"0", "0", "b", "1"}, false}));

TEST_F(PointerToolsTest, StandingStillDoesNotTranslate) {
  const int line = AddLine(kLineFigure, "0", "0", "1", "1");
  Recompute();
  Press(line, 0.5, 0.5);
  DragSelected(ctx, state, screen(), {Px(0.5) + 0.3, Py(0.5)});  // same snapped point
  EXPECT_FALSE(screen().Modified);
}

TEST_F(PointerToolsTest, OtherLineFormsIgnoreTheDrag) {
  const int line = build.LineLike(kLineFigure, 1, "1", "-1", "0", "");
  Recompute();
  screen().SelectedIndex = line;
  screen().GrabbedHandle = kCurveHandle;
  DragTo(2, 2);
  EXPECT_FALSE(screen().Modified);
  EXPECT_EQ(Text(LineAt(line).FX0), "1");
}

TEST_F(PointerToolsTest, CircleCentreAndRim) {
  const int c = build.Circle(0, "1", "1", "2");
  CircleAt(c).SizeP = 3;
  CircleAt(c).SizeL = 2;
  Recompute();
  Press(c, 3, 1);  // on the rim
  DragTo(1, 4);
  EXPECT_EQ(screen().GrabbedHandle, kSecondPointHandle);
  EXPECT_EQ(Text(CircleAt(c).FX1), "3");
  EXPECT_DOUBLE_EQ(CircleAt(c).RadiusValue, 3);

  Press(c, 1, 1);  // the centre
  DragTo(0, -1);
  EXPECT_EQ(screen().GrabbedHandle, kMarkHandle);
  EXPECT_EQ(Text(CircleAt(c).FX0), "0");
  EXPECT_EQ(Text(CircleAt(c).FY0), "-1");
  EXPECT_EQ(Text(CircleAt(c).FX1), "3");
}

TEST_F(PointerToolsTest, CircleRimWithExpressionRadiusStays) {
  const int c = build.Circle(0, "0", "0", "r + 1");
  Recompute();
  screen().SelectedIndex = c;
  screen().GrabbedHandle = kSecondPointHandle;
  DragTo(3, 0);
  EXPECT_EQ(Text(CircleAt(c).FX1), "r + 1");
  EXPECT_FALSE(screen().Modified);
}

TEST_F(PointerToolsTest, ErasableDrawingUnlessTheScreenRedrawsFully) {
  const int p = AddPoint("0", "0");
  Recompute();
  Press(p, 0, 0);
  DragTo(1, 1);
  EXPECT_EQ(ui.refreshes, 0);
  const auto marks = ui.canvas.DrawingCalls();
  ASSERT_FALSE(marks.empty());
  for (const CanvasCall& call : marks)
    EXPECT_EQ(call.state.raster_mode, RasterMode::kNotXor);

  ui.canvas.ClearCalls();
  screen().View().FullRedraw = true;
  DragTo(2, 2);
  EXPECT_EQ(ui.refreshes, 1);
  EXPECT_TRUE(ui.canvas.DrawingCalls().empty());
}

// Frames: a text box from (-2, 2) to (2, -1); an object from (-2, -1) to (2, 2).
class FrameDragTest : public PointerToolsTest {
 protected:
  int TextBox() {
    const int i = build.Frame(kCharFigure, "-2", "2", "2", "-1");
    Recompute();
    return i;
  }
  int Object() {
    const int i = build.Frame(kOleFigure, "-2", "-1", "2", "2");
    Recompute();
    return i;
  }
  void Grab(int index, int handle) {
    screen().SelectedIndex = index;
    screen().GrabbedHandle = handle;
  }
};

TEST_F(FrameDragTest, LeftMiddleHandleOfTextBoxStopsTwelvePixelsBeforeRightEdge) {
  screen().SnapFine = true;
  const int box = TextBox();
  Press(box, -2, 0.5);
  EXPECT_EQ(screen().GrabbedHandle, -1);
  DragTo(5, 0.5);
  EXPECT_EQ(screen().GrabbedHandle, 1);
  EXPECT_DOUBLE_EQ(Px(FrameAt(box).X0), Px(2) - 12);
  EXPECT_EQ(Text(FrameAt(box).FX0), "1.52");
  EXPECT_EQ(Text(FrameAt(box).FY0), "2");  // the top edge stays
  EXPECT_EQ(Text(FrameAt(box).FX1), "2");
}

struct GripCase {
  std::int32_t type;
  int handle;
  double to_x, to_y;
  const char* x0;
  const char* y0;
  const char* x1;
  const char* y1;
};

class FrameGripTest : public FrameDragTest, public ::testing::WithParamInterface<GripCase> {};

TEST_P(FrameGripTest, GripMovesTheEdgesItLiesOn) {
  const GripCase& c = GetParam();
  const int f = c.type == kCharFigure ? TextBox() : Object();
  Press(f, 0, 0);
  Grab(f, c.handle);
  DragTo(c.to_x, c.to_y);
  EXPECT_EQ(Text(FrameAt(f).FX0), c.x0);
  EXPECT_EQ(Text(FrameAt(f).FY0), c.y0);
  EXPECT_EQ(Text(FrameAt(f).FX1), c.x1);
  EXPECT_EQ(Text(FrameAt(f).FY1), c.y1);
}

INSTANTIATE_TEST_SUITE_P(
    Grips, FrameGripTest,
    ::testing::Values(
        // object: corner 1 bottom-left, corner 2 top-right
        GripCase{kOleFigure, 0, -3, -2, "-3", "-2", "2", "2"},
        GripCase{kOleFigure, 8, 3, 4, "-2", "-1", "3", "4"},
        GripCase{kOleFigure, 3, 9, -3, "-2", "-3", "2", "2"},
        GripCase{kOleFigure, 5, 9, 9, "-2", "-1", "2", "9"},
        GripCase{kOleFigure, 7, 3, 9, "-2", "-1", "3", "2"},
        // text box: corner 1 top-left, corner 2 bottom-right
        GripCase{kCharFigure, 2, -3, 3, "-3", "3", "2", "-1"},
        GripCase{kCharFigure, 6, 3, -2, "-2", "2", "3", "-2"},
        // an edge pushed past the opposite one stops 12 pixels (0.48) short of it
        GripCase{kCharFigure, 5, 0, -5, "-2", "-0.5", "2", "-1"},
        GripCase{kOleFigure, 6, -9, 5, "-2", "1.5", "-1.5", "2"}));

TEST_F(FrameDragTest, TranslationByBorderAndInside) {
  const int box = TextBox();
  Press(box, 0, 0);
  Grab(box, kFrameInsideHandle);
  DragTo(1, 0.5);
  EXPECT_EQ(Text(FrameAt(box).FX0), "-1");
  EXPECT_EQ(Text(FrameAt(box).FY0), "2.5");
  EXPECT_EQ(Text(FrameAt(box).FX1), "3");
  EXPECT_EQ(Text(FrameAt(box).FY1), "-0.5");

  const int object = Object();
  Press(object, 0, 0);
  Grab(object, kFrameInsideHandle);
  DragTo(1, 1);
  EXPECT_EQ(Text(FrameAt(object).FX0), "-2");  // the inside of an object does not move it
  Press(object, 0, 0);
  Grab(object, kFrameBorderHandle);
  DragTo(1, 1);
  EXPECT_EQ(Text(FrameAt(object).FX0), "-1");
  EXPECT_EQ(Text(FrameAt(object).FY1), "3");
}

TEST_F(FrameDragTest, ReferencedCornerBlocksTheGripsThatMoveIt) {
  const int a = build.Point("-2", "2");
  const int box = build.Frame(kCharFigure, "", "", "2", "-1", a);
  Recompute();
  Press(box, 0, 0);
  Grab(box, 1);  // left edge: corner 1
  DragTo(-3, 0);
  EXPECT_DOUBLE_EQ(FrameAt(box).X0, -2);
  Grab(box, 3);  // bottom edge of a text box: corner 2
  DragTo(0, -3);
  EXPECT_EQ(Text(FrameAt(box).FY1), "-3");
  Grab(box, kFrameInsideHandle);
  DragTo(1, 1);
  EXPECT_EQ(Text(FrameAt(box).FX1), "2");
}

struct PanCase {
  double x, y;
  int grab_x, grab_y;
  bool moves;
  int pan_x, pan_y;
};

class PanTest : public PointerToolsTest, public ::testing::WithParamInterface<PanCase> {};

TEST_P(PanTest, InnerMarginAndClamp) {
  const PanCase& c = GetParam();
  tool = kPanningTool;
  state.grab_x = c.grab_x;
  state.grab_y = c.grab_y;
  DragSelected(ctx, state, screen(), {c.x, c.y});
  EXPECT_EQ(screen().Modified, c.moves);
  EXPECT_EQ(ui.refreshes, c.moves ? 1 : 0);
  EXPECT_EQ(screen().View().PanX, c.pan_x);
  EXPECT_EQ(screen().View().PanY, c.pan_y);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PanTest,
    ::testing::Values(PanCase{100, 200, 50, 50, true, 50, 150}, PanCase{11, 11, 0, 0, true, 11, 11},
                      PanCase{10, 100, 0, 0, false, 0, 0}, PanCase{629, 469, 0, 0, true, 629, 469},
                      PanCase{630, 100, 0, 0, false, 0, 0}, PanCase{100, 470, 0, 0, false, 0, 0},
                      PanCase{100, 100, 6000, -7000, true, -5000, 5000}));

TEST_F(PointerToolsTest, PressRemembersTheGrabOffset) {
  screen().View().PanX = 30;
  screen().View().PanY = -20;
  BeginPress(ctx, state, screen(), 100, 100);
  EXPECT_EQ(state.grab_x, 70);
  EXPECT_EQ(state.grab_y, 120);
  tool = kPanningTool;
  DragSelected(ctx, state, screen(), {110, 90});
  EXPECT_EQ(screen().View().PanX, 40);
  EXPECT_EQ(screen().View().PanY, -30);
}

struct PositionCase {
  CoordinateKind kind;
  double x, y;
  const char* text;
};

class PositionTextTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(PositionTextTest, Kinds) {
  const PositionCase& c = GetParam();
  EXPECT_EQ(PositionText(c.kind, c.x, c.y), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PositionTextTest,
    ::testing::Values(PositionCase{CoordinateKind::kStandard, 1.5, -2, " (1.5, -2)"},
                      PositionCase{CoordinateKind::kStandard, 1.0 / 3, 0, " (0.3333333333, 0)"},
                      PositionCase{CoordinateKind::kDegrees, 3.14159265358979 / 2, 1, " (90ﾟ, 1)"},
                      PositionCase{CoordinateKind::kRadians, 3.14159265358979 * 1.5, 0.25,
                                   " (1.5π, 0.25)"},
                      PositionCase{CoordinateKind::kPolar, 1.2e-16, 2, " (2, 90゜)"},
                      PositionCase{CoordinateKind::kPolar, 0, -1.5, " (1.5, 270゜)"},
                      PositionCase{CoordinateKind::kComplex, 1, 2, " 1+2i"},
                      PositionCase{CoordinateKind::kComplex, 1, -2.5, " 1-2.5i"},
                      PositionCase{CoordinateKind::kComplex, 1, -1e-12, " 1+0i"}));

TEST_F(PointerToolsTest, PolarPositionOfTheMouse) {
  screen().View().CoordinateKind = 3;
  ShowPosition(ctx, screen(), Px(0), Py(2));
  EXPECT_EQ(ui.status[kPositionPanel], " (2, 90゜)");
}

}  // namespace
}  // namespace qzarn::interact

namespace qzarn::interact {
namespace {

// With the whole picture redrawn, a step that rewrote numbers or moved a
// variable is left to the window, which redraws what the step can reach.
TEST_F(PointerToolsTest, NumberAndVariableStepsLetTheWindowRedrawWhatTheyReach) {
  screen().View().FullRedraw = true;
  const int numbers = AddPoint("0", "0");
  const int variables = AddPoint("a", "b");
  Recompute();
  Press(numbers, 0, 0);
  DragTo(1, 1);
  EXPECT_EQ(ui.refreshes, 1);
  EXPECT_EQ(ui.dragged_refreshes, 1);
  Press(variables, 0, 0);
  DragTo(2, 1);
  EXPECT_EQ(ui.refreshes, 2);
  EXPECT_EQ(ui.dragged_refreshes, 2);
}

TEST_F(PointerToolsTest, DragChangesOnlyDependentsUnlessARecomputeCanReachMore) {
  const int a = AddPoint("0", "0");
  const int b = AddPoint("3", "1");
  const int line = AddLine(kLineFigure, "", "", "", "", a, b);
  const int alone = AddPoint("-2", "4");
  Recompute();
  ASSERT_EQ(DragChangingFigures(screen(), a, fx.expressions), (std::vector<int>{a, line}));
  EXPECT_EQ(DragChangingFigures(screen(), alone, fx.expressions), (std::vector<int>{alone}));

  struct Case {
    const char* what;
    std::function<void()> make;
    std::function<void()> undo;
  };
  const Case cases[] = {
      {"an intermediate equation", [&] { screen().Equations.EquationLast = 0; },
       [&] { screen().Equations.EquationLast = -1; }},
      {"RANDOM in another figure", [&] { PointAt(alone).FX = "random*2"; },
       [&] { PointAt(alone).FX = "-2"; }},
      {"a figure left uncomputed", [&] { screen().Figures[alone].Computed = 0; },
       [&] { screen().Figures[alone].Computed = 1; }},
  };
  for (const Case& c : cases) {
    c.make();
    EXPECT_FALSE(DragChangingFigures(screen(), a, fx.expressions)) << c.what;
    c.undo();
  }
}

// What a full pass would change besides the dragged figure's dependents is
// redrawn with them: the readers of a variable the figure's texts name, a
// curve waiting to be resampled, a figure recording its locus.
TEST_F(PointerToolsTest, DragChangesWhatTheFigureVariablesAndPendingWorkReach) {
  const int p = AddPoint("a", " b2 ");
  const int reads_a = AddPoint("a*2", "1");
  const int on_reader = AddLine(kLineFigure, "", "", "", "", reads_a, p);
  const int reads_b2 = build.Circle(0, "1", "b2+1", "2");
  const int named_a = AddPoint("3", "3");
  PointAt(named_a).Name = "a";
  const int other = AddPoint("4", "4");
  Recompute();
  EXPECT_EQ(DragChangingFigures(screen(), p, fx.expressions),
            (std::vector<int>{p, reads_a, on_reader, reads_b2}));
  EXPECT_EQ(DragChangingFigures(screen(), other, fx.expressions), (std::vector<int>{other}));

  const int curve = build.Function("x^2");
  Recompute();
  build.Record(curve).function()->CurveValid = 0;
  EXPECT_EQ(DragChangingFigures(screen(), other, fx.expressions), (std::vector<int>{other, curve}));
}

}  // namespace
}  // namespace qzarn::interact
