// Mouse move to finished picture while a point of a 500-figure lesson screen
// (bench/teacher_screen.h) is dragged in the desktop program's document
// window (offscreen): the move event, the recompute, the picture and the
// surface painted, per move. Arguments: whether the whole picture is redrawn
// while dragging (1, a new screen's setting) or the dragged figure is erased
// and drawn again (0); antialiasing. A second benchmark times the rest of a
// drag: press, two steps and release.
#include <benchmark/benchmark.h>

#include <algorithm>
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

// The largest difference of one colour channel between two pictures of a size.
int LargestDifference(const QImage& a, const QImage& b) {
  int largest = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
    }
  return largest;
}

// The 500-figure lesson screen at 25 pixels per unit about the surface centre.
std::unique_ptr<Screen> LessonScreen(bool full_redraw) {
  std::unique_ptr<Screen> screen = bench::TeacherScreen(500);
  ViewSettings& v = screen->View();
  v.CentreX = bench::kFrameWidth / 2;
  v.CentreY = bench::kFrameHeight / 2;
  v.Scale = 25;
  v.Zoom = 100;
  v.PanX = v.PanY = 0;
  v.FullRedraw = full_redraw;
  return screen;
}

// A shown document window on the lesson screen with what it works with.
class LessonWindow {
 public:
  LessonWindow(bool full_redraw, bool antialiasing) {
    std::string error;
    session_ = UndoSession::Start((temp_.path() + "/undo").toStdString(), error);
    if (!session_) {
      error_ = error;
      return;
    }
    render_.antialiasing = antialiasing;
    env_.emplace(ui::DocumentEnvironment{fx_.engine, fx_.expressions, fx_.ui, *session_, render_,
                                         defaults_, tool_, questions_});
    window_ = std::make_unique<ui::DocumentWindow>(*env_, LessonScreen(full_redraw));
    window_->resize(bench::kFrameWidth + 60, bench::kFrameHeight + 60);
    window_->show();
    QApplication::processEvents();
  }
  // Empty when the window could not be made.
  const std::string& error() const { return error_; }
  ui::DocumentWindow& window() { return *window_; }
  QWidget* surface() { return &window_->surface(); }

 private:
  QTemporaryDir temp_;
  std::optional<UndoSession> session_;
  std::string error_;
  testing::EngineFixture fx_;
  render::RenderOptions render_;
  FigureDefaults defaults_;
  int tool_ = interact::kNoTool;
  NoQuestions questions_;
  std::optional<ui::DocumentEnvironment> env_;
  std::unique_ptr<ui::DocumentWindow> window_;
};

void BM_DragPoint(benchmark::State& state) {
  LessonWindow lesson(state.range(0) != 0, state.range(1) != 0);
  if (!lesson.error().empty()) {
    state.SkipWithError(lesson.error().c_str());
    return;
  }
  ui::DocumentWindow& window = lesson.window();
  QWidget* surface = lesson.surface();
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
  // A fast step is worth nothing unless its picture is the whole picture
  // drawn afresh (within the rounding of laying layers over each other). The
  // erasable drawing shows the dragged figure inverted until the release.
  const QImage last_step = window.picture().copy();
  window.RefreshScreen();
  if (state.range(0) != 0 && LargestDifference(last_step, window.picture()) > 2)
    state.SkipWithError("the step's picture differs from a full redraw");
  QTest::mouseRelease(surface, Qt::LeftButton, {}, grab);
  if (window.screen()->SelectedIndex < 0) state.SkipWithError("the point was not grabbed");
  if (!window.screen()->Modified) state.SkipWithError("the point did not move");
}
BENCHMARK(BM_DragPoint)
    ->ArgsProduct({{1, 0}, {1, 0}})
    ->ArgNames({"full_redraw", "aa"})
    ->Unit(benchmark::kMillisecond);

// What a drag costs besides its steps, with the whole picture redrawn and
// antialiasing: the press, the first step (where kept layers are drawn), a
// second step and the release, with the surface painted.
void BM_DragStartAndEnd(benchmark::State& state) {
  LessonWindow lesson(true, true);
  if (!lesson.error().empty()) {
    state.SkipWithError(lesson.error().c_str());
    return;
  }
  QWidget* surface = lesson.surface();
  const QPoint grab = Pixel(bench::kDragX, bench::kDragY);
  QImage shown(surface->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    QTest::mousePress(surface, Qt::LeftButton, {}, grab);
    QTest::mouseMove(surface, grab + QPoint(13, 0));
    QTest::mouseMove(surface, grab);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, grab);
    surface->render(&shown);
  }
}
BENCHMARK(BM_DragStartAndEnd)->Unit(benchmark::kMillisecond);

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
