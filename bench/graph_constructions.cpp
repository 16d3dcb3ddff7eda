// The constructions on graphs inside a recompute pass: the intersection of two
// graphs, a tangent and an area of 500 subdivisions on the explicit function
// x*x*sin(x)+3*x. Each is reported against the baseline of resampling that
// function once (10001 evaluations), the work the pass does after a variable
// of the function changed.

#include <benchmark/benchmark.h>

#include <memory>

#include "../tests/engine/screen_builder.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

constexpr const char* kBody = "x*x*sin(x)+3*x";

enum class Construction { kNone, kIntersection, kTangent, kArea };

struct PassFixture {
  std::unique_ptr<Screen> screen;
  int function = -1;
  ExprEngine expr;
  FigureExpressions expressions{expr};
  SilentEngineUi ui;
  FigureEngine engine{expressions, ui};

  explicit PassFixture(Construction c) {
    testing::ScreenBuilder b;
    function = b.Function(kBody);
    FunctionRecord& f = *b.Record(function).function();
    f.AreaWd1 = "0.002";  // 10001 samples over -10..10
    switch (c) {
      case Construction::kIntersection:
        b.PointFamily(kCross2Figure, "-0.5", "9", function, kXAxisReference);
        break;
      case Construction::kTangent: {
        FigureRecord rec = FigureRecord::Blank(kSessenFigure);
        rec.line()->Ref0 = function;
        rec.line()->Ref1 = kNoReference;
        rec.line()->Ref2 = kNoReference;
        rec.line()->FX0 = "1.5";
        b.AddRecord(std::move(rec));
        break;
      }
      case Construction::kArea: {
        const int i = b.PointFamily(kMensekiFigure, "-3", "3", function, kXAxisReference);
        b.Record(i).point()->RR() = 500;
        break;
      }
      case Construction::kNone:
        break;
    }
    screen = b.release();
  }
};

void RunPasses(benchmark::State& state, Construction c, bool resample) {
  PassFixture fx(c);
  for (auto _ : state) {
    if (resample) fx.screen->Figures[fx.function].Record.function()->CurveValid = 0;
    fx.engine.RecomputeScreen(*fx.screen);
    benchmark::ClobberMemory();
  }
}

void BM_ResampleFunctionBaseline(benchmark::State& state) {
  RunPasses(state, Construction::kNone, true);
}
BENCHMARK(BM_ResampleFunctionBaseline)->Unit(benchmark::kMicrosecond);

void BM_IntersectionOfGraphs(benchmark::State& state) {
  RunPasses(state, Construction::kIntersection, false);
}
BENCHMARK(BM_IntersectionOfGraphs)->Unit(benchmark::kMicrosecond);

void BM_TangentOfGraph(benchmark::State& state) {
  RunPasses(state, Construction::kTangent, false);
}
BENCHMARK(BM_TangentOfGraph)->Unit(benchmark::kMicrosecond);

void BM_AreaOf500Subdivisions(benchmark::State& state) {
  RunPasses(state, Construction::kArea, false);
}
BENCHMARK(BM_AreaOf500Subdivisions)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qzarn

BENCHMARK_MAIN();
