// One step of the standard palette in the desktop program's document window
// (offscreen), antialiased, 1280 x 960: from the up-arrow key pressed in the
// palette's value field (where the keyboard focus is) to the window's
// surface painted.
//
// Against the plainest honest step: the value written, the full recompute
// pass, the whole picture drawn and shown.
//
// Screens (bench/variable_step_workloads.h): a 500-figure lesson where a
// tenth of the figures (50 circles) read `a`, made last (tenth-last) or
// spread through the figure list (tenth-spread).
//
// Run with --benchmark_enable_random_interleaving=true
// --benchmark_repetitions=N; the table at the end gives medians with their
// spread and the ratios ours / plain taken repetition by repetition. The
// window's last picture is checked against a whole redraw.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "bench_window.h"
#include "document/figure_defaults.h"
#include "forms/variable_palette.h"
#include "ratio_report.h"
#include "render/draw_screen.h"
#include "ui/document_window.h"
#include "ui/standard_palette.h"
#include "variable_step_workloads.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include "../tests/qt/image_difference.h"

#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"

namespace {

using namespace qzarn;

constexpr int kWidth = 1280, kHeight = 960;

struct Workload {
  const char* name;
  bool spread;
};
constexpr Workload kWorkloads[] = {{"tenth-last", false}, {"tenth-spread", true}};

std::unique_ptr<Screen> Make(const Workload& w) {
  return bench::TenthReadA(w.spread, kWidth, kHeight);
}

// A shown document window on the screen and the standard palette on it, the
// value field holding the keyboard focus.
class PaletteWindow {
 public:
  explicit PaletteWindow(const Workload& w) : window_(Make(w), kWidth, kHeight) {
    if (!window_.ok()) return;
    palette_ = std::make_unique<ui::TEditValue>(window_.expressions());
    palette_->ShowScreen(&window_.window());
    palette_->show();
    palette_->activateWindow();
    palette_->valueField().setFocus();
    window_.window().RefreshScreen();
    QApplication::processEvents();
    if (palette_->variableList().currentText() != "a") window_.Fail("the palette does not show a");
  }
  const std::string& error() const { return window_.error(); }
  ui::DocumentWindow& window() { return window_.window(); }
  // The key goes where the user's key goes: the focused widget.
  void PressUp() {
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused != nullptr ? focused : &palette_->valueField(), Qt::Key_Up);
  }
  void Paint() { window_.window().surface().render(&shown_); }

 private:
  bench::BenchWindow window_;
  std::unique_ptr<ui::TEditValue> palette_;
  QImage shown_{kWidth, kHeight, QImage::Format_RGB32};
};

using qzarn::testing::LargestDifference;

void Ours(benchmark::State& state, const Workload& w) {
  PaletteWindow p(w);
  if (!p.error().empty()) return state.SkipWithError(p.error().c_str());
  int drawings[3] = {};
  for (auto _ : state) {
    p.PressUp();
    p.Paint();
    drawings[static_cast<int>(p.window().lastVariableStep())]++;
  }
  state.counters["whole"] = drawings[0];
  state.counters["layers"] = drawings[1];
  state.counters["rects"] = drawings[2];
  // A layered step may differ from a whole redraw by a shade where thin
  // lines cross; anything more is a wrong picture.
  const QImage step = p.window().picture().copy();
  p.window().RefreshScreen();
  if (LargestDifference(step, p.window().picture()) > 64)
    state.SkipWithError("the step's picture differs from a full redraw");
}

// The plain program: the value written, recomputed and drawn whole, shown.
void Plain(benchmark::State& state, const Workload& w) {
  testing::EngineFixture fx;
  std::unique_ptr<Screen> screen = Make(w);
  render::RenderOptions options;
  options.antialiasing = true;
  QImage picture(kWidth, kHeight, QImage::Format_RGB32);
  QImage shown(kWidth, kHeight, QImage::Format_RGB32);
  fx.engine.RecomputeScreen(*screen);
  double value = 0;
  for (auto _ : state) {
    value += 0.1;
    ApplyVariableValue(*screen, PaletteVariable{0, 0}, value, fx.expressions);
    fx.engine.RecomputeScreen(*screen);
    {
      QPainter painter(&picture);
      QtCanvas canvas(painter, {kWidth, kHeight});
      render::DrawScreen(canvas, screen.get(), options);
    }
    QPainter painter(&shown);
    painter.drawImage(0, 0, picture);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  InstallFontSubstitutions();
  std::vector<std::string> rows;
  for (const Workload& w : kWorkloads) {
    rows.emplace_back(w.name);
    benchmark::RegisterBenchmark((std::string("Ours/") + w.name).c_str(), Ours, w)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Plain/") + w.name).c_str(), Plain, w)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::Initialize(&argc, argv);
  bench::RepetitionReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bench::PrintRatioTable(reporter, rows);
  return 0;
}
