// Grabbing and dragging a figure in the desktop program's document window
// (offscreen), with the whole picture redrawn while dragging (a new screen's
// setting) and antialiasing, on 1280 x 960 screens of 500 figures:
//
//   press:W  from the press on a point to the first moved picture painted
//            (press, one mouse move, the surface painted), the screen having
//            stood still before it as it does while the user aims;
//   step:W   every later drag step (mouse move to the surface painted).
//
// Against the plainest honest program: on the press the figure is selected
// and the screen recomputed and drawn whole; on every move the point's texts
// (or its variables) take the new place and the screen is recomputed and
// drawn whole again, then shown.
//
// Workloads: lesson = 500 figures with a new figure's attributes (names
// shown), a point near the middle of the list dragged (its line follows);
// teacher = the mixed lesson of bench/teacher_screen.h, dragging a point
// early in the list whose lines come last; variable = the lesson with a point
// at (a, b) and six figures reading a and b made after it, so that each step
// rewrites both variables.
//
// Run with --benchmark_enable_random_interleaving=true
// --benchmark_repetitions=N; the table at the end gives medians with their
// spread and the ratios ours / plain taken repetition by repetition. Every
// step's picture is checked against a full redraw at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "bench_window.h"
#include "document/figure_defaults.h"
#include "draw_screen_workloads.h"
#include "engine/equations.h"
#include "engine/number_format.h"
#include "expr/engine.h"
#include "ratio_report.h"
#include "render/draw_screen.h"
#include "teacher_screen.h"
#include "ui/document_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"

namespace {

using namespace qzarn;

constexpr int kWidth = bench::kFrameWidth, kHeight = bench::kFrameHeight;
constexpr double kPixelsPerUnit = 25;
constexpr int kPressesPerRepetition = 12;

QPoint Pixel(double x, double y) {
  return {static_cast<int>(std::lround(kWidth / 2 + kPixelsPerUnit * x)),
          static_cast<int>(std::lround(kHeight / 2 - kPixelsPerUnit * y))};
}

double PlaneX(int px) {
  return (px - kWidth / 2) / kPixelsPerUnit;
}
double PlaneY(int py) {
  return (kHeight / 2 - py) / kPixelsPerUnit;
}

// How far a picture is from another of its size: the pixels differing by more
// than two levels in a colour channel, and the largest difference.
struct Difference {
  int pixels = 0;
  int largest = 0;
};
Difference DifferenceOf(const QImage& a, const QImage& b) {
  Difference d;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                 std::abs(qBlue(p) - qBlue(q))});
      d.largest = std::max(d.largest, most);
      if (most > 2) ++d.pixels;
    }
  return d;
}

// A screen to drag on and the point to grab.
struct DragWorkload {
  std::string name;
  std::function<std::unique_ptr<Screen>()> make;
  int slot;        // the point grabbed
  bool variables;  // its coordinates are the variables a and b
};

void CentreView(Screen& screen) {
  ViewSettings& v = screen.View();
  v.ScreenWidth = kWidth;
  v.ScreenHeight = kHeight;
  v.CentreX = kWidth / 2;
  v.CentreY = kHeight / 2;
  v.Scale = kPixelsPerUnit;
  v.Zoom = 100;
  v.PanX = v.PanY = 0;
  v.FullRedraw = true;
}

// Group 60 of the lesson: its first point (slot 240) with the line through it.
constexpr int kLessonSlot = 240;
// The teacher screen's free point D.
constexpr int kTeacherSlot = 12;

std::unique_ptr<Screen> Lesson() {
  std::unique_ptr<Screen> screen = bench::NewFigureLesson(500);
  CentreView(*screen);
  return screen;
}

std::unique_ptr<Screen> Teacher() {
  std::unique_ptr<Screen> screen = bench::TeacherScreen(500);
  CentreView(*screen);
  return screen;
}

// The lesson with a point V = (a, b) in the free lower left and, made after
// it, circles about it and points beside it that read a and b.
std::unique_ptr<Screen> VariableLesson(int* slot) {
  std::unique_ptr<Screen> screen = Lesson();
  const FigureDefaults defaults;
  VariableTable& vars = screen->Variables();
  vars.write(0, 1, -20);  // a
  vars.write(0, 2, -16);  // b
  FigureRecord point = defaults.Record(kPointFigure);
  PointRecord& v = *point.point();
  v.Name = "V";
  v.FX = "a";
  v.FY = "b";
  v.Ref0 = -1;
  *slot = *NewFigure(screen->Figures, std::move(point));
  for (int k = 1; k <= 3; ++k) {
    FigureRecord circle = defaults.Record(kCircleFigure);
    CircleRecord& c = *circle.circle();
    c.Mode = 0;
    c.FX0 = "a";
    c.FY0 = "b";
    c.FX1 = std::to_string(k).c_str();
    c.Ref0 = c.Ref1 = c.Ref2 = -1;
    NewFigure(screen->Figures, std::move(circle));
    FigureRecord beside = defaults.Record(kPointFigure);
    beside.point()->FX = ("a+" + std::to_string(k)).c_str();
    beside.point()->FY = "b-1";
    beside.point()->Ref0 = -1;
    NewFigure(screen->Figures, std::move(beside));
  }
  return screen;
}

std::vector<DragWorkload> Workloads() {
  static int variable_slot = -1;
  VariableLesson(&variable_slot);
  return {{"lesson", Lesson, kLessonSlot, false},
          {"teacher", Teacher, kTeacherSlot, false},
          {"variable", [] { return VariableLesson(&variable_slot); }, variable_slot, true}};
}

// Where the grabbed point lies now, in surface pixels.
QPoint PointPixel(const Screen& screen, int slot) {
  const PointRecord& p = *screen.Figures.record(slot)->point();
  return Pixel(p.X, p.Y);
}

// Two snap steps to the right and one up, then back: every move changes the point.
QPoint StepOffset(int step) {
  return {13 * (1 + step % 4), -13 * (step % 3)};
}

// A shown document window on the workload's screen.
class DragWindow {
 public:
  explicit DragWindow(const DragWorkload& w) : window_(w.make(), kWidth, kHeight) {
    if (!window_.ok()) return;
    window_.window().RefreshScreen();
    QApplication::processEvents();
  }
  const std::string& error() const { return window_.error(); }
  ui::DocumentWindow& window() { return window_.window(); }
  QWidget* surface() { return &window_.window().surface(); }
  // Lets the event loop run until the still picture's pieces are made, as
  // they are while the user aims at a figure.
  bool WaitUntilStill() {
    QElapsedTimer waited;
    waited.start();
    while (!window().keptPictureReady() && waited.elapsed() < 5000)
      QTest::qWait(2);
    return window().keptPictureReady();
  }

 private:
  bench::BenchWindow window_;
};

bool CheckGrabbed(benchmark::State& state, DragWindow& d, int slot) {
  if (d.window().screen()->SelectedIndex == slot) return true;
  state.SkipWithError("the press did not grab the point");
  return false;
}

// A fast picture is worth nothing unless it is the whole picture drawn afresh.
// Laying premultiplied layers over each other rounds each channel once per
// layer: a level per layer a pixel lies under, and a drag has at most four
// layers; anything more is a fault. (The teacher screen reaches four levels at
// two or three pixels where antialiased edges stack on different layers.)
constexpr int kMostOffLevels = 4;
void CheckPicture(benchmark::State& state, DragWindow& d) {
  const QImage shown = d.window().picture().copy();
  d.window().RefreshScreen();
  const Difference off = DifferenceOf(shown, d.window().picture());
  state.counters["off_pixels"] = off.pixels;
  state.counters["off_most"] = off.largest;
  if (off.largest > kMostOffLevels)
    state.SkipWithError(
        ("the step's picture differs from a full redraw: " + std::to_string(off.pixels) +
         " pixels, up to " + std::to_string(off.largest) + " levels")
            .c_str());
}

void OursPress(benchmark::State& state, const DragWorkload& w) {
  DragWindow d(w);
  if (!d.error().empty()) return state.SkipWithError(d.error().c_str());
  QWidget* surface = d.surface();
  QImage shown(surface->size(), QImage::Format_RGB32);
  int step = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QPoint at = PointPixel(*d.window().screen(), w.slot);
    const QPoint to = at + (step % 2 == 0 ? StepOffset(1) : -StepOffset(1));
    ++step;
    if (!d.WaitUntilStill()) {
      state.SkipWithError("the still picture was not made");
      break;
    }
    state.ResumeTiming();
    QTest::mousePress(surface, Qt::LeftButton, {}, at);
    QTest::mouseMove(surface, to);
    surface->render(&shown);
    state.PauseTiming();
    const bool grabbed = CheckGrabbed(state, d, w.slot);
    if (grabbed && step == 1) CheckPicture(state, d);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
    if (state.error_occurred()) break;
    state.ResumeTiming();
  }
}

void OursStep(benchmark::State& state, const DragWorkload& w) {
  DragWindow d(w);
  if (!d.error().empty()) return state.SkipWithError(d.error().c_str());
  QWidget* surface = d.surface();
  QImage shown(surface->size(), QImage::Format_RGB32);
  const QPoint grab = PointPixel(*d.window().screen(), w.slot);
  QTest::mousePress(surface, Qt::LeftButton, {}, grab);
  QTest::mouseMove(surface, grab + QPoint(0, 13));
  if (!CheckGrabbed(state, d, w.slot)) return;
  int step = 0;
  for (auto _ : state) {
    QTest::mouseMove(surface, grab + StepOffset(step++));
    surface->render(&shown);
  }
  CheckPicture(state, d);
  QTest::mouseRelease(surface, Qt::LeftButton, {}, grab);
}

// The plain program: the same screen, recomputed and drawn whole on the
// press and after every move, then shown.
class PlainDrag {
 public:
  explicit PlainDrag(const DragWorkload& w)
      : screen_(w.make()), slot_(w.slot), variables_(w.variables) {
    options_.antialiasing = true;
    fx_.engine.RecomputeScreen(*screen_);
  }
  void Press() {
    screen_->SelectedIndex = slot_;
    Redraw();
  }
  void MoveTo(QPoint at) {
    const double x = PlaneX(at.x()), y = PlaneY(at.y());
    if (variables_) {
      AssignVariable(*screen_, 0, 1, x, fx_.expressions);
      AssignVariable(*screen_, 0, 2, y, fx_.expressions);
    } else {
      PointRecord& p = *screen_->Figures.record(slot_)->point();
      p.FX = FormatNumber(x, 10).c_str();
      p.FY = FormatNumber(y, 10).c_str();
    }
    Redraw();
  }
  QPoint Grabbed() const { return PointPixel(*screen_, slot_); }

 private:
  void Redraw() {
    fx_.engine.RecomputeScreen(*screen_);
    {
      QPainter painter(&picture_);
      QtCanvas canvas(painter, {kWidth, kHeight});
      render::DrawScreen(canvas, screen_.get(), options_);
    }
    QPainter painter(&shown_);
    painter.drawImage(0, 0, picture_);
  }

  testing::EngineFixture fx_;
  std::unique_ptr<Screen> screen_;
  int slot_;
  bool variables_;
  render::RenderOptions options_;
  QImage picture_{kWidth, kHeight, QImage::Format_RGB32};
  QImage shown_{kWidth, kHeight, QImage::Format_RGB32};
};

void PlainPress(benchmark::State& state, const DragWorkload& w) {
  PlainDrag plain(w);
  int step = 0;
  for (auto _ : state) {
    const QPoint at = plain.Grabbed();
    plain.Press();
    plain.MoveTo(at + (step++ % 2 == 0 ? StepOffset(1) : -StepOffset(1)));
  }
}

void PlainStep(benchmark::State& state, const DragWorkload& w) {
  PlainDrag plain(w);
  const QPoint grab = plain.Grabbed();
  plain.Press();
  int step = 0;
  for (auto _ : state)
    plain.MoveTo(grab + StepOffset(step++));
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  InstallFontSubstitutions();
  std::vector<std::string> rows;
  for (const DragWorkload& w : Workloads()) {
    const std::string press = "press:" + w.name, step = "step:" + w.name;
    // Google Benchmark names a run with a fixed count after it.
    rows.push_back(press + "/iterations:" + std::to_string(kPressesPerRepetition));
    rows.push_back(step);
    // Each press waits untimed for the screen to stand still first.
    benchmark::RegisterBenchmark(("Ours/" + press).c_str(), OursPress, w)
        ->Iterations(kPressesPerRepetition)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Plain/" + press).c_str(), PlainPress, w)
        ->Iterations(kPressesPerRepetition)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Ours/" + step).c_str(), OursStep, w)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Plain/" + step).c_str(), PlainStep, w)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  bench::RepetitionReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bench::PrintRatioTable(reporter, rows);
  return 0;
}
