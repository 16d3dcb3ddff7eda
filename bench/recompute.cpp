// One recompute pass over a screen of 500 points, lines and circles tied into
// chains of references, driven by 20 intermediate equations. Reported per pass
// and (items) per figure; the cold variant compiles every text anew in each
// pass, which is the ratio the expression cache buys.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "../tests/engine/screen_builder.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

constexpr int kGroups = 100;  // five figures each
constexpr int kFigures = 5 * kGroups;

std::string Num(int i) {
  return std::to_string(i);
}

// Group g: a free point, a dividing point between it and the previous group's
// foot, the line through both, a circle about the dividing point and the foot
// of the perpendicular from the free point to the previous group's line.
std::unique_ptr<Screen> BuildScreen() {
  testing::ScreenBuilder b;
  const char* letters = "abcdefghijklmnopqrst";
  for (int i = 0; i < 20; ++i) {
    const int column = i;
    // Each equation reads a palette variable of row 1 and an earlier result.
    const std::string text = i == 0 ? "a1*0.5+1"
                                    : std::string(1, letters[i - 1]) + "*0.9+" +
                                          std::string(1, letters[i]) + "1/" + Num(i);
    b.Equation(column, 0, text);
  }
  int prev_foot = -1, prev_line = -1;
  for (int g = 0; g < kGroups; ++g) {
    const std::string k = Num(g % 17 + 1);
    const int p = b.Point("a+" + k + "*0.1", "b-c*" + k);
    const int d = b.Bunten(p, prev_foot < 0 ? p : prev_foot, "d+1", k);
    const int line = b.LineThrough(p, d);
    b.Circle(0, "0", "0", "e*0.5+" + k, "", "", "", d);
    prev_foot = b.Suisen(p, prev_line < 0 ? kXAxisReference : prev_line);
    prev_line = line;
  }
  std::unique_ptr<Screen> screen = b.release();
  for (int c = 1; c <= 26; ++c)
    screen->Variables().write(1, c, 0.25 * c);
  return screen;
}

void BM_RecomputePass(benchmark::State& state) {
  std::unique_ptr<Screen> screen = BuildScreen();
  ExprEngine expr;
  FigureExpressions expressions(expr);
  SilentEngineUi ui;
  FigureEngine engine(expressions, ui);
  for (auto _ : state) {
    engine.RecomputeScreen(*screen);
    benchmark::ClobberMemory();
  }
  if (screen->CycleReported) state.SkipWithError("the benchmark screen has a cycle");
  state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_RecomputePass)->Unit(benchmark::kMicrosecond);

void BM_RecomputePassColdCache(benchmark::State& state) {
  std::unique_ptr<Screen> screen = BuildScreen();
  ExprEngine expr;
  SilentEngineUi ui;
  for (auto _ : state) {
    FigureExpressions expressions(expr);
    FigureEngine engine(expressions, ui);
    engine.RecomputeScreen(*screen);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_RecomputePassColdCache)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qzarn

BENCHMARK_MAIN();
