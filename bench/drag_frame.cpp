// Mouse move to finished picture while a point of a 500-figure lesson screen
// (bench/teacher_screen.h) is dragged in the desktop program's document
// window (offscreen): the move event, the recompute, the picture and the
// surface painted, per move. Arguments: whether the whole picture is redrawn
// while dragging (1, a new screen's setting) or the dragged figure is erased
// and drawn again (0); antialiasing.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "../tests/engine/engine_fixture.h"
#include "document/figure_defaults.h"
#include "document/undo_session.h"
#include "teacher_screen.h"
#include "ui/document_window.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "qt/qt_fonts.h"

namespace {

using namespace qzarn;

class NoQuestions final : public ui::DocumentQuestions {
 public:
  ui::SaveChoice AskSaveChanges(QWidget*, const QString&) override { return ui::SaveChoice::kNo; }
  std::optional<QString> AskSavePath(QWidget*, const QString&) override { return std::nullopt; }
  void ShowError(QWidget*, const QString&) override {}
  bool AskYesNo(QWidget*, const QString&) override { return true; }
};

QPoint Pixel(double x, double y) {
  return {static_cast<int>(bench::kFrameWidth / 2 + 25 * x),
          static_cast<int>(bench::kFrameHeight / 2 - 25 * y)};
}

void BM_DragPoint(benchmark::State& state) {
  QTemporaryDir temp;
  std::string error;
  std::optional<UndoSession> session =
      UndoSession::Start((temp.path() + "/undo").toStdString(), error);
  if (!session) {
    state.SkipWithError(error.c_str());
    return;
  }
  testing::EngineFixture fx;
  render::RenderOptions render;
  render.antialiasing = state.range(1) != 0;
  FigureDefaults defaults;
  int tool = interact::kNoTool;
  NoQuestions questions;
  ui::DocumentEnvironment env{fx.engine, fx.expressions, fx.ui, *session,
                              render,    defaults,       tool,  questions};
  std::unique_ptr<Screen> screen = bench::TeacherScreen(500);
  ViewSettings& v = screen->View();
  v.CentreX = bench::kFrameWidth / 2;
  v.CentreY = bench::kFrameHeight / 2;
  v.Scale = 25;
  v.Zoom = 100;
  v.PanX = v.PanY = 0;
  v.FullRedraw = state.range(0) != 0;
  ui::DocumentWindow window(env, std::move(screen));
  window.resize(bench::kFrameWidth + 60, bench::kFrameHeight + 60);
  window.show();
  QWidget* surface = &window.surface();
  QApplication::processEvents();
  const QPoint grab = Pixel(bench::kDragX, bench::kDragY);
  QTest::mousePress(surface, Qt::LeftButton, {}, grab);
  QApplication::processEvents();
  QImage shown(surface->size(), QImage::Format_RGB32);
  int step = 0;
  for (auto _ : state) {
    // Back and forth over a few snap steps, so that every move changes the point.
    const QPoint to = grab + QPoint(13 * (1 + step % 4), -13 * (step % 3));
    ++step;
    QTest::mouseMove(surface, to);
    // The finished picture painted as the surface paints it on the screen
    // (the offscreen platform has no screen to wait for).
    surface->render(&shown);
  }
  QTest::mouseRelease(surface, Qt::LeftButton, {}, grab);
  if (window.screen()->SelectedIndex < 0) state.SkipWithError("the point was not grabbed");
  if (!window.screen()->Modified) state.SkipWithError("the point did not move");
}
BENCHMARK(BM_DragPoint)
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->ArgNames({"full_redraw", "aa"})
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
