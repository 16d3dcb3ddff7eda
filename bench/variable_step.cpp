// One palette or animation step, from the value change to the finished
// 1280 x 960 picture: ApplyVariableValue (only the curves that mention the
// variable are marked for resampling), the recompute pass and DrawScreen.
// Set against one full recompute (every curve resampled) and draw of the same
// screen. The two are run interleaved, pair by pair, so that the load of the
// machine touches both alike; the counters give the medians, the median ratio
// with its 10th and 90th percentiles, and the frame rate a step allows.
//
// Screens: the rich example (80 points, 40 lines, 20 circles, 10 parabolas)
// with a family of five curves, a point and a circle that follow `a`; and 500
// figures (480 points, lines and circles in reference chains) with 20 curves of
// which 10 mention `a`.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

// The document headers come before Qt's, whose "slots" keyword is a macro.
#include "../tests/engine/screen_builder.h"
#include "../tests/render/example_screens.h"
#include "engine/engine_ui.h"
#include "engine/equations.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "forms/variable_palette.h"
#include "render/draw_screen.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "qt/qt_fonts.h"

namespace {

using namespace qzarn;
using Clock = std::chrono::steady_clock;

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

std::unique_ptr<Screen> MakeScreen(int which) {
  return which == 0 ? RichWithFamily() : FiveHundredFigures();
}

// The road of one change, as the document window takes it.
class Road {
 public:
  explicit Road(int which)
      : screen_(MakeScreen(which)),
        image_(kWidth, kHeight, QImage::Format_RGB32),
        painter_(&image_),
        canvas_(painter_, {kWidth, kHeight}) {
    options_.antialiasing = true;
    FullRefresh();  // every curve sampled once, as after loading
  }
  void Step() {
    value_ = value_ >= 3 ? -3 : value_ + 0.05;
    ApplyVariableValue(*screen_, kA, value_, expressions_);
    engine_.RecomputeScreen(*screen_);
    Draw();
  }
  void FullRefresh() {
    InvalidateAllCurves(*screen_);
    engine_.RecomputeScreen(*screen_);
    Draw();
  }
  int figures() const {
    int count = 0;
    for (int i = 0; i < kFigureSlots; ++i)
      count += screen_->Figures.record(i) != nullptr ? 1 : 0;
    return count;
  }

 private:
  void Draw() {
    render::DrawScreen(canvas_, screen_.get(), options_);
    benchmark::DoNotOptimize(image_.constBits());
  }

  std::unique_ptr<Screen> screen_;
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
  SilentEngineUi ui_;
  FigureEngine engine_{expressions_, ui_};
  QImage image_;
  QPainter painter_;
  QtCanvas canvas_;
  render::RenderOptions options_;
  double value_ = 0;
};

void BM_VariableStep(benchmark::State& state) {
  Road road(static_cast<int>(state.range(0)));
  for (auto _ : state)
    road.Step();
  state.counters["figures"] = road.figures();
}
BENCHMARK(BM_VariableStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FullRecomputeAndDraw(benchmark::State& state) {
  Road road(static_cast<int>(state.range(0)));
  for (auto _ : state)
    road.FullRefresh();
}
BENCHMARK(BM_FullRecomputeAndDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[i];
}

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// A step and a full refresh in turn; the reported time is the step's.
void BM_StepAgainstFull(benchmark::State& state) {
  Road road(static_cast<int>(state.range(0)));
  std::vector<double> steps, fulls, ratios;
  for (auto _ : state) {
    const Clock::time_point t0 = Clock::now();
    road.Step();
    const Clock::time_point t1 = Clock::now();
    road.FullRefresh();
    const Clock::time_point t2 = Clock::now();
    steps.push_back(Milliseconds(t1 - t0));
    fulls.push_back(Milliseconds(t2 - t1));
    ratios.push_back(fulls.back() / steps.back());
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  if (steps.empty()) return;
  const double step = Percentile(steps, 0.5);
  state.counters["step_ms"] = step;
  state.counters["full_ms"] = Percentile(fulls, 0.5);
  state.counters["full_per_step"] = Percentile(ratios, 0.5);
  state.counters["ratio_p10"] = Percentile(ratios, 0.1);
  state.counters["ratio_p90"] = Percentile(ratios, 0.9);
  state.counters["step_fps"] = 1000.0 / step;
}
BENCHMARK(BM_StepAgainstFull)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  InstallFontSubstitutions();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
