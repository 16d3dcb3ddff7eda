// One palette or animation step, from the value change to the finished
// 1280 x 960 antialiased picture, against the plainest honest step: the
// value written (ApplyVariableValue marks the curves that mention it for
// resampling), the full recompute pass and the whole picture drawn.
//
// Ours recomputes only the figures the variable reaches (the readers, their
// dependents; engine/variable_reach.h) and draws the picture the way the
// desktop window does (qt/variable_step_picture.h): over the previous
// picture, only the tiles the reached figures covered and now cover, or,
// when that would cost more, between the picture of what lies below the
// first of them and transparent layers of the unchanged figures above
// (qt/drag_picture.h), or whole. The first step of a run pays for learning
// where every figure lies.
//
// Screens: rich = the rich example (80 points, 40 lines, 20 circles, 10
// parabolas) with a family of five curves, a point and a circle that follow
// `a`; many = 500 figures (480 points, lines and circles in reference
// chains) with 20 curves of which 10 mention `a`; tenth-last and
// tenth-spread = a 500-figure lesson with a new figure's attributes where a
// tenth of the figures (50 circles) read `a`, made last or every tenth.
//
// Run with --benchmark_enable_random_interleaving=true
// --benchmark_repetitions=N; the table at the end gives medians with their
// spread and the ratios ours / plain taken repetition by repetition.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "../tests/engine/screen_builder.h"
#include "../tests/render/example_screens.h"
#include "document/figure_defaults.h"
#include "draw_screen_workloads.h"
#include "engine/engine_ui.h"
#include "engine/equations.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "engine/variable_reach.h"
#include "expr/engine.h"
#include "forms/variable_palette.h"
#include "ratio_report.h"
#include "render/draw_screen.h"
#include "variable_step_workloads.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include "../tests/qt/image_difference.h"

#include "qt/drag_picture.h"
#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"
#include "qt/variable_step_picture.h"

namespace {

using namespace qzarn;

constexpr int kWidth = 1280, kHeight = 960;
constexpr PaletteVariable kA{0, 0};

void AddFigure(Screen& screen, FigureRecord record) {
  NewFigure(screen.Figures, std::move(record));
}

FigureRecord Curve(testing::ScreenBuilder& b, const std::string& body) {
  FigureRecord r = b.Record(b.Function(body));
  r.function()->AreaWd1 = "0.02";  // 1000 samples across the view
  return r;
}

std::unique_ptr<Screen> RichWithFamily() {
  std::unique_ptr<Screen> screen = examples::RichExample();
  testing::ScreenBuilder b;
  for (int k = 1; k <= 5; ++k)
    AddFigure(*screen, Curve(b, "sin(x+a*" + std::to_string(k) + ")*" + std::to_string(k)));
  AddFigure(*screen, b.Record(b.Point("a", "a/2")));
  AddFigure(*screen, b.Record(b.Circle(0, "a", "0", "2")));
  return screen;
}

std::unique_ptr<Screen> FiveHundredFigures() {
  testing::ScreenBuilder b;
  int prev = -1;
  for (int g = 0; g < 120; ++g) {
    const std::string k = std::to_string(g % 17 + 1);
    const int p = b.Point("a*0.2+" + k, "b-" + k + "*0.5");
    const int q = b.Point("c-" + k, k + "*0.3");
    b.LineThrough(p, prev < 0 ? q : prev);
    b.Circle(0, "0", "0", "1+" + k + "*0.2", "", "", "", q);
    prev = p;
  }
  for (int i = 0; i < 20; ++i) {
    const std::string body = i % 2 == 0 ? "sin(x*a+" + std::to_string(i) + ")"
                                        : "cos(x)*" + std::to_string(i % 7 + 1) + "/3";
    b.Record(b.Function(body)).function()->AreaWd1 = "0.02";
  }
  std::unique_ptr<Screen> screen = b.release();
  screen->View().ScreenWidth = kWidth;
  screen->View().ScreenHeight = kHeight;
  return screen;
}

struct Workload {
  const char* name;
  std::unique_ptr<Screen> (*make)();
};

const Workload kWorkloads[] = {
    {"rich", RichWithFamily},
    {"many", FiveHundredFigures},
    {"tenth-last", [] { return bench::TenthReadA(false, kWidth, kHeight); }},
    {"tenth-spread", [] { return bench::TenthReadA(true, kWidth, kHeight); }},
};

// Transparent layers a step may lay over the picture, as while dragging.
constexpr int kMostLayers = 4;

// The road of one change, the plain way or ours.
class Road {
 public:
  explicit Road(const Workload& w)
      : screen_(w.make()), image_(kWidth, kHeight, QImage::Format_RGB32) {
    options_.antialiasing = true;
    engine_.RecomputeScreen(*screen_);  // every curve sampled once, as after loading
    DrawWhole();
  }
  void PlainStep() {
    Advance();
    engine_.RecomputeScreen(*screen_);
    DrawWhole();
  }
  void OurStep() {
    const VariableStepPicture::Key before = VariablesKey();
    Advance();
    const VariableRef cells[] = {{kA.row, kA.column()}};
    std::optional<std::vector<int>> reached = FiguresReachedBy(*screen_, expressions_, cells);
    if (!reached || !engine_.RecomputeFigures(*screen_, *reached)) {
      engine_.RecomputeScreen(*screen_);
      layers_.Clear();
      step_.Forget();
      DrawWhole();
      return;
    }
    VariableStepPicture::Step step;
    step.picture = &image_;
    step.surface = {kWidth, kHeight};
    step.figures = &screen_->Figures;
    step.layers_reusable = layers_.changing() == *reached;
    step.reached = std::move(*reached);
    step.before = before;
    step.after = VariablesKey();
    step.layers = &layers_;
    step.most_layers = kMostLayers;
    step.draw = Steps();
    drawings_[static_cast<int>(step_.Draw(step))]++;
    benchmark::DoNotOptimize(image_.constBits());
  }
  // How often each way of drawing was chosen: whole, layers, change rectangles.
  const int* drawings() const { return drawings_; }
  const QImage& picture() const { return image_; }
  void Redraw() {
    engine_.RecomputeScreen(*screen_);
    DrawWhole();
  }

 private:
  // The picture's tiles depend on nothing else that changes here.
  VariableStepPicture::Key VariablesKey() const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&screen_->Variables());
    return {bytes, bytes + sizeof(VariableTable)};
  }
  void Advance() {
    value_ = value_ >= 3 ? -3 : value_ + 0.05;
    ApplyVariableValue(*screen_, kA, value_, expressions_);
  }
  DragPicture::DrawSteps Steps() {
    return [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
      render::DrawPictureSteps(canvas, *screen_, options_, {}, steps);
    };
  }
  void DrawWhole() {
    {
      QPainter painter(&image_);
      QtCanvas canvas(painter, {kWidth, kHeight});
      render::DrawScreen(canvas, screen_.get(), options_);
    }
    benchmark::DoNotOptimize(image_.constBits());
  }

  std::unique_ptr<Screen> screen_;
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
  SilentEngineUi ui_;
  FigureEngine engine_{expressions_, ui_};
  QImage image_;
  render::RenderOptions options_;
  DragPicture layers_;
  VariableStepPicture step_;
  int drawings_[3] = {};
  double value_ = 0;
};

using qzarn::testing::LargestDifference;

void Ours(benchmark::State& state, const Workload& w) {
  Road road(w);
  for (auto _ : state)
    road.OurStep();
  // A fast step is worth nothing unless its picture is the one a full pass
  // and a whole drawing give (within the rounding of laying layers).
  state.counters["whole"] = road.drawings()[0];
  state.counters["layers"] = road.drawings()[1];
  state.counters["rects"] = road.drawings()[2];
  const QImage step = road.picture().copy();
  road.Redraw();
  if (LargestDifference(step, road.picture()) > 2)
    state.SkipWithError("the step's picture differs from a full redraw");
}

void Plain(benchmark::State& state, const Workload& w) {
  Road road(w);
  for (auto _ : state)
    road.PlainStep();
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
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
