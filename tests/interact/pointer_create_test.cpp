#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/screen_access.h"
#include "pointer_tools_fixture.h"

namespace qzarn::interact {
namespace {

class ToolTest : public PointerToolsTest {
 protected:
  void Down(double x, double y) { ToolMouseDown(ctx, state, screen(), {Px(x), Py(y)}); }
  void Move(double x, double y, bool held = true) {
    ToolMouseMove(ctx, state, screen(), {Px(x), Py(y), false, held});
  }
  bool Up(double x, double y) { return ToolMouseUp(ctx, state, screen(), {Px(x), Py(y)}); }
  // A press at (x0, y0) and a release at (x1, y1) with the tool.
  bool Click(int with_tool, double x0, double y0, double x1, double y1) {
    tool = with_tool;
    Down(x0, y0);
    Move(x1, y1);
    return Up(x1, y1);
  }
  int LastCreated() { return ui.dialogs.empty() ? -1 : ui.dialogs.back(); }
};

TEST_F(ToolTest, PointToolCreatesAtTheSnappedPressAndRecordsIt) {
  tool = kPointTool;
  ToolMouseDown(ctx, state, screen(), {Px(1.23), Py(-0.47)});
  ASSERT_EQ(ui.dialogs.size(), 1u);
  const int p = ui.dialogs[0];
  EXPECT_EQ(FigureTypeAt(screen(), p), kPointFigure);
  EXPECT_EQ(Text(PointAt(p).FX), "1.2");
  EXPECT_EQ(Text(PointAt(p).FY), "-0.5");
  EXPECT_DOUBLE_EQ(PointAt(p).X, 1.2);
  EXPECT_EQ(PointAt(p).Radius, 3);  // the default record
  EXPECT_TRUE(screen().Modified);
  EXPECT_EQ(screen().SelectedIndex, p);
  EXPECT_EQ(ui.snapshots, 1);
  EXPECT_EQ(tool, kNoTool);
}

TEST_F(ToolTest, CancelledDialogLeavesNothing) {
  ui.confirm = false;
  tool = kPointTool;
  Down(1, 1);
  EXPECT_EQ(screen().Figures.record(ui.dialogs.at(0)), nullptr);
  EXPECT_FALSE(screen().Modified);
  EXPECT_EQ(ui.snapshots, 0);
  EXPECT_EQ(screen().SelectedIndex, -1);
  EXPECT_EQ(tool, kNoTool);

  EXPECT_FALSE(Click(kLineTool, 0, 0, 1, 1));
  EXPECT_EQ(screen().Figures.record(ui.dialogs.at(1)), nullptr);
  EXPECT_EQ(tool, kNoTool);
  EXPECT_EQ(screen().MouseMode, 0);
}

TEST_F(ToolTest, ReleaseAtThePressOfAFrameStillCreatesAndOtherButtonsDoNothing) {
  tool = kTextTool;
  ToolMouseDown(ctx, state, screen(), {Px(1), Py(1), false, false});
  EXPECT_EQ(screen().MouseMode, 0);
  EXPECT_TRUE(Click(kTextTool, 1, 1, 1, 1));
  EXPECT_EQ(Text(FrameAt(LastCreated()).FX1), "1");
  EXPECT_EQ(screen().GrabbedHandle, -1);
}

// Press and release on A, then on B: the figure runs from A to B, with the
// band following the pointer between the clicks; a drag still works as before.
TEST_F(ToolTest, TwoClicksGiveTheTwoPointsOfLinesCirclesAndParabolas) {
  for (const int with : {kLineTool, kCircleTool, kParabolaTool}) {
    SCOPED_TRACE(with);
    tool = with;
    ui.canvas.ClearCalls();
    Down(1, 1);
    EXPECT_FALSE(Up(1, 1));                                     // a click: nothing made yet
    ToolMouseUp(ctx, state, screen(), {Px(1) + 3, Py(1) - 3});  // a double click's second release
    EXPECT_EQ(ui.dialogs.size(), 0u);
    EXPECT_EQ(tool, with);
    Move(3, 2, false);  // no button held: the band follows
    EXPECT_EQ(ui.status[kPromptPanel], "第２点を指定");
    EXPECT_FALSE(ui.canvas.DrawingCalls().empty());
    Down(3, 2);
    EXPECT_TRUE(Up(3, 2));
    ASSERT_EQ(ui.dialogs.size(), 1u);
    const FigureRecord& made = *screen().Figures.record(ui.dialogs[0]);
    if (with == kCircleTool) {
      EXPECT_EQ(Text(made.circle()->FX0), "1");
      EXPECT_NEAR(made.circle()->RadiusValue, std::hypot(2.0, 1.0), 1e-9);
    } else {
      EXPECT_EQ(Text(made.line()->FX0), "1");
      EXPECT_EQ(Text(made.line()->FY0), "1");
      EXPECT_EQ(Text(made.line()->FX1), "3");
      EXPECT_EQ(Text(made.line()->FY1), "2");
    }
    EXPECT_EQ(tool, kNoTool);
    EXPECT_EQ(screen().MouseMode, 0);
    FreeFigure(screen().Figures, ui.dialogs[0]);
    ui.dialogs.clear();
  }
  // Five pixels is a drag, however short.
  tool = kLineTool;
  Down(1, 1);
  EXPECT_TRUE(ToolMouseUp(ctx, state, screen(), {Px(1) + 5, Py(1)}));
}

TEST_F(ToolTest, ArmingAnotherToolDropsTheWaitingFirstPoint) {
  tool = kLineTool;
  Down(1, 1);
  Up(1, 1);
  EXPECT_TRUE(DropPendingPoint(state, screen()));
  EXPECT_FALSE(DropPendingPoint(state, screen()));
  tool = kCircleTool;  // its press starts afresh at (2, 2)
  Down(2, 2);
  Move(4, 2);
  EXPECT_TRUE(Up(4, 2));
  EXPECT_EQ(Text(CircleAt(LastCreated()).FX0), "2");
}

TEST_F(ToolTest, NotSelectedWhenEditAttrIsOff) {
  ctx.edit_attr = false;
  EXPECT_TRUE(Click(kCircleTool, 0, 0, 1, 1));
  EXPECT_EQ(screen().SelectedIndex, -1);
  EXPECT_TRUE(screen().Modified);
}

TEST_F(ToolTest, LineToolOnTwoPointsReferencesThemAndFollows) {
  const int a = AddPoint("-1", "0");
  const int b = AddPoint("2", "1");
  Recompute();
  EXPECT_TRUE(Click(kLineTool, -1, 0, 2, 1));
  const int line = LastCreated();
  const LineRecord& r = LineAt(line);
  EXPECT_EQ(r.Mode, 0);
  EXPECT_EQ(r.Ref0, a);
  EXPECT_EQ(r.Ref1, b);
  EXPECT_EQ(Text(r.FX0), "-1");
  EXPECT_EQ(Text(r.FY1), "1");

  PointAt(b).FX = "3";
  PointAt(a).FY = "-2";
  Recompute();
  EXPECT_DOUBLE_EQ(LineAt(line).X1, 3);
  EXPECT_DOUBLE_EQ(LineAt(line).Y0, -2);
}

TEST_F(ToolTest, FreeEndsAndLocusHitsGiveNoReference) {
  const int a = AddPoint("0", "0");
  PointAt(a).Track = true;
  PointAt(a).TrackRadius = 2;
  PointAt(a).TrackThick = 1;
  PointAt(a).TrackCount = 1;
  PointAt(a).TrackX[0] = 3;
  PointAt(a).TrackY[0] = 3;
  Recompute();
  EXPECT_TRUE(Click(kParabolaTool, 3, 3, 1, 2));  // on the locus entry, then nowhere
  const LineRecord& r = LineAt(LastCreated());
  EXPECT_EQ(r.Ref0, kNoReference);
  EXPECT_EQ(r.Ref1, kNoReference);
  EXPECT_EQ(Text(r.FX0), "3");
  EXPECT_EQ(Text(r.FY1), "2");
}

TEST_F(ToolTest, PointOfAnIntersectionSetIsReferencedWithItsIndex) {
  FigureRecord rec = FigureRecord::Blank(kCross3Figure);
  MultiPointRecord& m = *rec.multi_point();
  m.Radius = 3;
  m.DispMark = true;
  const double xs[4] = {-3, -1, 1, 3};
  for (int i = 0; i < 4; ++i) {
    m.PX[i] = xs[i];
    m.PY[i] = 2;
  }
  const int set = build.AddRecord(std::move(rec));
  EXPECT_TRUE(Click(kCircleTool, 1, 2, -3, 2));
  const CircleRecord& c = CircleAt(LastCreated());
  EXPECT_EQ(c.Ref0, set + 20000);
  EXPECT_EQ(c.Ref1, set);
  EXPECT_EQ(c.Mode, 0);
  EXPECT_EQ(Text(c.FX1), "4");  // the radius
  EXPECT_DOUBLE_EQ(c.RadiusValue, 4);
}

struct FrameCase {
  int tool;
  double x0, y0, x1, y1;
  const char* corners[4];
};

class FrameToolTest : public ToolTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameToolTest, CornersAreSortedForTheKind) {
  const FrameCase& c = GetParam();
  Click(c.tool, c.x0, c.y0, c.x1, c.y1);
  const int f = c.tool == kTextTool ? LastCreated() : ui.objects.at(0).first;
  const FrameRecord& r = FrameAt(f);
  EXPECT_EQ(Text(r.FX0), c.corners[0]);
  EXPECT_EQ(Text(r.FY0), c.corners[1]);
  EXPECT_EQ(Text(r.FX1), c.corners[2]);
  EXPECT_EQ(Text(r.FY1), c.corners[3]);
  EXPECT_DOUBLE_EQ(r.X0, std::stod(c.corners[0]));
  EXPECT_DOUBLE_EQ(r.Y1, std::stod(c.corners[3]));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, FrameToolTest,
    ::testing::Values(FrameCase{kTextTool, 2, -1, -1, 3, {"-1", "3", "2", "-1"}},
                      FrameCase{kTextTool, -1, 3, 2, -1, {"-1", "3", "2", "-1"}},
                      FrameCase{kObjectTool, 2, 3, -1, -1, {"-1", "-1", "2", "3"}},
                      FrameCase{kFormulaObjectTool, -1, 3, 2, -1, {"-1", "-1", "2", "3"}}));

TEST_F(ToolTest, ObjectFramesGoToTheObjectService) {
  EXPECT_FALSE(Click(kFormulaObjectTool2, 0, 0, 2, 2));
  ASSERT_EQ(ui.objects.size(), 1u);
  EXPECT_EQ(ui.objects[0].second, kFormulaObjectTool2);
  EXPECT_EQ(FigureTypeAt(screen(), ui.objects[0].first), kOleFigure);
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(tool, kNoTool);
}

TEST_F(ToolTest, FrameReferencesStayWithTheirCorners) {
  const int a = AddPoint("-1", "-1");
  const int b = AddPoint("2", "3");
  AddPoint("2", "-1");
  Recompute();
  Click(kObjectTool, 2, 3, -1, -1);  // swapped: each point ends on the other corner
  const FrameRecord& swapped = FrameAt(ui.objects.at(0).first);
  EXPECT_EQ(swapped.Ref0, a);
  EXPECT_EQ(swapped.Ref1, b);
  Click(kObjectTool, 2, -1, -1, 3);  // mixed: no corner is a clicked point
  const FrameRecord& mixed = FrameAt(ui.objects.at(1).first);
  EXPECT_EQ(mixed.Ref0, kNoReference);
  EXPECT_EQ(mixed.Ref1, kNoReference);
}

TEST_F(ToolTest, PromptsHintAndRubberBand) {
  tool = kLineTool;
  Move(0, 0, false);
  EXPECT_EQ(ui.status[kPromptPanel], "第１点を指定");
  EXPECT_EQ(ui.cursor, PointerCursor::kHandPoint);
  EXPECT_TRUE(ui.canvas.DrawingCalls().empty());

  Down(0, 0);
  Move(1, 1);
  EXPECT_EQ(ui.status[kPromptPanel], "第２点を指定");
  EXPECT_EQ(ui.status[kHintPanel], " [Shift]キーで直線・線分の切りかえ");
  const std::size_t one_band = ui.canvas.CountOf(CallKind::kLine);
  EXPECT_GT(one_band, 0u);
  Move(2, 1);  // the old band is erased, a new one drawn
  EXPECT_EQ(ui.canvas.CountOf(CallKind::kLine), 3 * one_band);
  for (const CanvasCall& call : ui.canvas.DrawingCalls())
    EXPECT_EQ(call.state.raster_mode, RasterMode::kNotXor);

  ui.canvas.ClearCalls();
  Up(2, 1);  // the band is taken away before the figure is made
  EXPECT_EQ(ui.canvas.CountOf(CallKind::kLine), one_band);
}

TEST_F(ToolTest, NoHintForOtherToolsAndNoBandWithoutButton) {
  tool = kCircleTool;
  Down(0, 0);
  Move(1, 1, false);
  EXPECT_EQ(ui.status.count(kHintPanel), 0u);
  EXPECT_TRUE(ui.canvas.DrawingCalls().empty());
  tool = 52;  // a dialog tool: the mouse means nothing
  ui.status.clear();
  Move(1, 1);
  EXPECT_TRUE(ui.status.empty());
}

TEST_F(ToolTest, ShiftMakesTheNextLineASegment) {
  tool = kLineTool;
  ToggleLineSegment(ctx, state, screen());
  EXPECT_TRUE(state.segment);
  EXPECT_EQ(ui.refreshes, 1);
  Click(kLineTool, 0, 0, 1, 1);
  EXPECT_TRUE(LineAt(LastCreated()).DispB);
  ctx.cont_attrib = false;
  Click(kLineTool, 0, 0, 1, 2);
  EXPECT_FALSE(LineAt(LastCreated()).DispB);  // the default record's flag
}

TEST_F(ToolTest, ConfirmedAttributesPassToTheNextFigureOfTheType) {
  ui.on_dialog = [](Screen& s, int index) { s.Figures.record(index)->point()->Radius = 7; };
  tool = kPointTool;
  Down(0, 0);
  ui.on_dialog = nullptr;
  tool = kPointTool;
  Down(1, 1);
  EXPECT_EQ(PointAt(LastCreated()).Radius, 7);
}

// A dragged text frame keeps its size; a click has no frame and fits the text,
// also after a dragged box passed its attributes on.
TEST_F(ToolTest, OnlyAClickedTextBoxFollowsItsText) {
  const auto fitted = [&] {
    return static_cast<bool>(screen().Figures.record(LastCreated())->frame()->IsIcon);
  };
  Click(kTextTool, -9, -8, -6, -7);
  EXPECT_FALSE(fitted());
  Click(kTextTool, 1, 1, 1, 1);
  EXPECT_TRUE(fitted());
}

TEST_F(ToolTest, FullTableCreatesNothing) {
  for (int i = 0; i < kFigureSlots; ++i)
    build.Point("0", "0");
  EXPECT_FALSE(Click(kLineTool, 0, 0, 1, 1));
  tool = kPointTool;
  Down(0, 0);
  tool = 68;
  EXPECT_FALSE(InsertByDialog(ctx, screen()));
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_FALSE(screen().Modified);
  EXPECT_EQ(tool, kNoTool);
}

struct DialogToolCase {
  int tool;
  std::int32_t type;
  std::int32_t form;
};

class InsertByDialogTest : public ToolTest, public ::testing::WithParamInterface<DialogToolCase> {};

TEST_P(InsertByDialogTest, ToolGivesTypeAndForm) {
  const DialogToolCase& c = GetParam();
  tool = c.tool;
  EXPECT_TRUE(InsertByDialog(ctx, screen()));
  const int index = LastCreated();
  const FigureRecord& r = *screen().Figures.record(index);
  EXPECT_EQ(r.type(), c.type);
  std::int32_t form = -1;
  if (c.type == kLineFigure || c.type == kParabolaFigure) form = r.line()->Mode;
  if (c.type == kCircleFigure) form = r.circle()->Mode;
  if (c.type == kFunctionFigure) form = r.function()->FuncKind;
  EXPECT_EQ(form, c.form);
  EXPECT_EQ(screen().SelectedIndex, index);
  EXPECT_EQ(tool, kNoTool);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, InsertByDialogTest,
    ::testing::Values(
        DialogToolCase{52, kBuntenFigure, -1}, DialogToolCase{53, kCross3Figure, -1},
        DialogToolCase{54, kSuisenFigure, -1}, DialogToolCase{55, kAngleFigure, -1},
        DialogToolCase{56, kAngle2Figure, -1}, DialogToolCase{60, kFunctionFigure, 1},
        DialogToolCase{61, kCross2Figure, -1}, DialogToolCase{62, kSessenFigure, -1},
        DialogToolCase{63, kMensekiFigure, -1}, DialogToolCase{64, kPolyFigure, -1},
        DialogToolCase{68, kLineFigure, 1}, DialogToolCase{69, kLineFigure, 2},
        DialogToolCase{71, kParabolaFigure, 1}, DialogToolCase{72, kParabolaFigure, 2},
        DialogToolCase{74, kCircleFigure, 3}, DialogToolCase{75, kCircleFigure, 1},
        DialogToolCase{76, kCircleFigure, 2}, DialogToolCase{77, kFunctionFigure, 1},
        DialogToolCase{78, kFunctionFigure, 4}, DialogToolCase{79, kFunctionFigure, 2},
        DialogToolCase{80, kFunctionFigure, 3}, DialogToolCase{83, kSplineFigure, -1}));

TEST_F(ToolTest, InsertByDialogLeavesMouseToolsAndUnknownCodes) {
  tool = kLineTool;
  EXPECT_FALSE(InsertByDialog(ctx, screen()));
  EXPECT_EQ(tool, kLineTool);
  tool = 67;
  EXPECT_FALSE(InsertByDialog(ctx, screen()));
  EXPECT_TRUE(ui.dialogs.empty());
  ui.confirm = false;
  tool = 78;
  EXPECT_FALSE(InsertByDialog(ctx, screen()));
  EXPECT_EQ(screen().Figures.record(ui.dialogs.at(0)), nullptr);
}

TEST_F(ToolTest, EditSelectedAndObjectActivation) {
  EXPECT_FALSE(EditSelected(ctx, state, screen()));  // nothing selected
  EXPECT_TRUE(ui.dialogs.empty());

  const int p = AddPoint("0", "0");
  const int object = build.Frame(kOleFigure, "1", "1", "4", "4");
  Recompute();
  screen().SelectedIndex = p;
  EXPECT_TRUE(EditSelected(ctx, state, screen()));
  EXPECT_TRUE(screen().Modified);
  EXPECT_EQ(ui.refreshes, 1);

  screen().SelectedIndex = object;
  BeginPress(ctx, state, screen(), Px(2.5), Py(2.5));  // inside the frame
  EXPECT_FALSE(EditSelected(ctx, state, screen()));
  EXPECT_EQ(ui.dialogs.size(), 1u);
  EXPECT_TRUE(ActivateObjectAt(ctx, screen(), Px(2.5), Py(2.5)));
  EXPECT_EQ(ui.object_edits, std::vector<int>{object});

  BeginPress(ctx, state, screen(), Px(1), Py(1));  // on a grip
  EXPECT_TRUE(EditSelected(ctx, state, screen()));
  EXPECT_FALSE(ActivateObjectAt(ctx, screen(), Px(1), Py(1)));
}

}  // namespace
}  // namespace qzarn::interact
