#pragma once
// A screen built from figure texts, the real recompute pass, and a window
// stand-in that records what the pointer tools asked of it.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "engine/screen_builder.h"
#include "interact/pointer_tools.h"
#include "render/recording_canvas.h"

namespace qzarn::interact {

class RecordingPointerUi final : public PointerUi {
 public:
  Canvas& PictureCanvas() override { return canvas; }
  void RefreshScreen() override {
    ++refreshes;
    if (on_refresh) on_refresh();
  }
  void RefreshDraggedFigure() override {
    ++dragged_refreshes;
    RefreshScreen();
  }
  void SetCursor(PointerCursor c) override { cursor = c; }
  void SetStatus(int panel, std::string_view text) override { status[panel] = std::string(text); }
  bool EditFigureDialog(Screen& screen, int index) override {
    dialogs.push_back(index);
    if (on_dialog) on_dialog(screen, index);
    return confirm;
  }
  void TakeUndoSnapshot(Screen&) override { ++snapshots; }
  void CreateObjectFigure(Screen&, int index, int tool) override {
    objects.push_back({index, tool});
  }
  void BeginObjectEdit(Screen&, int index) override { object_edits.push_back(index); }

  RecordingCanvas canvas;
  std::function<void()> on_refresh;
  std::function<void(Screen&, int)> on_dialog;
  int refreshes = 0;
  int dragged_refreshes = 0;  // of them, after a step that moved no variable
  int snapshots = 0;
  bool confirm = true;
  PointerCursor cursor = PointerCursor::kDefault;
  std::map<int, std::string> status;
  std::vector<int> dialogs;
  std::vector<std::pair<int, int>> objects;
  std::vector<int> object_edits;
};

class PointerToolsTest : public ::testing::Test {
 protected:
  PointerToolsTest() {
    Screen& s = screen();
    s.View().ScreenWidth = 640;
    s.View().ScreenHeight = 480;
    s.View().CentreX = 320;
    s.View().CentreY = 240;
    s.View().Scale = 25;
    s.View().Zoom = 100;
    s.View().PanX = 0;
    s.View().PanY = 0;
    s.View().SnapStep = 0.1;
    s.View().FullRedraw = false;
    ui.on_refresh = [this] { fx.engine.RecomputeScreen(screen()); };
  }

  Screen& screen() { return build.screen(); }
  void Recompute() { fx.engine.RecomputeScreen(screen()); }

  // 25 pixels per unit, the origin at (320, 240).
  static double Px(double x) { return 320 + 25 * x; }
  static double Py(double y) { return 240 - 25 * y; }

  // Selects the figure and presses at plane (x, y).
  void Press(int index, double x, double y) {
    screen().SelectedIndex = index;
    screen().GrabbedHandle = -1;
    BeginPress(ctx, state, screen(), Px(x), Py(y));
  }
  void DragTo(double x, double y) { DragSelected(ctx, state, screen(), {Px(x), Py(y)}); }

  std::string Text(const Expression& e) { return std::string(e.view()); }
  double Var(char letter, int row = 0) { return screen().Variables().read(row, letter - 'a' + 1); }
  PointRecord& PointAt(int i) { return *build.Record(i).point(); }
  LineRecord& LineAt(int i) { return *build.Record(i).line(); }
  CircleRecord& CircleAt(int i) { return *build.Record(i).circle(); }
  FrameRecord& FrameAt(int i) { return *build.Record(i).frame(); }

  // Visible marks so that presses on them hit.
  int AddPoint(std::string_view fx_text, std::string_view fy_text) {
    const int i = build.Point(fx_text, fy_text);
    PointAt(i).Radius = 3;
    PointAt(i).RimRadius = 2;
    PointAt(i).DispMark = true;
    return i;
  }
  int AddLine(std::int32_t type, std::string_view fx0, std::string_view fy0, std::string_view fx1,
              std::string_view fy1, std::int32_t ref0 = kNoReference,
              std::int32_t ref1 = kNoReference) {
    const int i = build.LineLike(type, 0, fx0, fy0, fx1, fy1, ref0, ref1);
    LineAt(i).SizeL = 2;
    LineAt(i).SizeP = 3;
    LineAt(i).DispL = true;
    LineAt(i).DispP = true;
    return i;
  }

  testing::EngineFixture fx;
  testing::ScreenBuilder build;
  RecordingPointerUi ui;
  FigureDefaults defaults;
  AttributeMemory attributes;
  int tool = kNoTool;
  RenderOptions render;
  PointerContext ctx{fx.engine, fx.expressions, ui, render, defaults, attributes, tool};
  PointerState state;
};

}  // namespace qzarn::interact
