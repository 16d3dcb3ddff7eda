// Curve sampling cost. Reported as ratios: an explicit curve of 10001 entries
// against the same function computed natively (both timed in this thread's
// processor time, as the machine may be shared); implicit curves and regions
// against the 5 ms a curve at level 1 over the default range may take.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

#include "document/figure_table.h"
#include "engine/function_sampling.h"
#include "engine/implicit_curves.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

using Clock = std::chrono::steady_clock;

// Seconds of processor time this thread has used.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

constexpr double kImplicitTargetSeconds = 5e-3;

struct Fixture {
  ExprEngine expr;
  VariableTable vars{};
  FigureRecord record = FigureRecord::Blank(kFunctionFigure);
  Fixture() { vars.reset_for_new_screen(); }
  FunctionRecord& f() { return *record.function(); }
  void Resample() {
    f().CurveValid = 0;
    ResampleFunction(f(), record.owned, vars, expr);
  }
};

// x*x*sin(x) + 3*x, as the expression below computes it.
void NativeCurve(std::vector<float>& xs, std::vector<float>& ys) {
  xs.clear();
  ys.clear();
  double x = -10;
  for (int i = 0; i <= 10000; ++i) {
    const double y = x * x * std::sin(x) + 3 * x;
    xs.push_back(static_cast<float>(x));
    ys.push_back(static_cast<float>(y));
    x = std::fmin(x + 0.002, 10.0);
  }
}

void BM_ExplicitCurve10001(benchmark::State& state) {
  Fixture fx;
  FunctionRecord& f = fx.f();
  f.FuncKind = kExplicitCurve;
  f.FuncX = "x^2*SIN(x)+3*x";
  f.AreaSx1 = "-10";
  f.AreaEx1 = "10";
  f.AreaWd1 = "0.002";
  std::vector<float> xs, ys;
  xs.reserve(10001);
  ys.reserve(10001);
  double native_seconds = 0;
  double curve_seconds = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    fx.Resample();
    const double t1 = ThreadSeconds();
    NativeCurve(xs, ys);
    benchmark::DoNotOptimize(ys.data());
    const double t2 = ThreadSeconds();
    curve_seconds += t1 - t0;
    native_seconds += t2 - t1;
  }
  state.counters["entries"] = static_cast<double>(fx.f().SampleLast + 1);
  state.counters["ratio_vs_native"] = curve_seconds / native_seconds;
  state.counters["curve_ms"] = 1e3 * curve_seconds / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ExplicitCurve10001)->Unit(benchmark::kMillisecond);

const char* const kImplicitTexts[] = {"x^2+y^2-4", "SIN(x)*COS(y)-0.2"};

void DefineImplicit(FunctionRecord& f, const char* text, int relation, int level, const char* range,
                    const char* w) {
  f.FuncKind = kImplicitCurve;
  f.FuncX = text;
  f.Mode = relation;
  f.ParamVar = level - 1;
  f.Seido = 0.01;  // a new figure's tolerance
  f.FamilyVar = kHatchHorizontal;
  const std::string lo = std::string("-") + range;
  f.AreaSx1 = lo;
  f.AreaEx1 = range;
  f.AreaSx2 = lo;
  f.AreaEx2 = range;
  f.AreaWd2 = w;
}

void ReportAgainstTarget(benchmark::State& state, double seconds, Fixture& fx) {
  const double per = seconds / static_cast<double>(state.iterations());
  state.counters["ms"] = per * 1e3;
  state.counters["ratio_vs_5ms"] = per / kImplicitTargetSeconds;
  state.counters["entries"] = static_cast<double>(fx.f().SampleLast + 1);
}

// Arguments: expression (0 circle, 1 sin*cos), calculation level 1..3. The
// range and cell are a new figure's: -10..10 in steps of 0.1.
void BM_ImplicitCurve(benchmark::State& state) {
  Fixture fx;
  DefineImplicit(fx.f(), kImplicitTexts[state.range(0)], kRelationCurve,
                 static_cast<int>(state.range(1)), "10", "0.1");
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    fx.Resample();
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
  }
  ReportAgainstTarget(state, seconds, fx);
}
BENCHMARK(BM_ImplicitCurve)
    ->ArgsProduct({{0, 1}, {1, 2, 3}})
    ->ArgNames({"expr", "level"})
    ->Unit(benchmark::kMillisecond);

// Arguments: hatch direction 0..3. The disc x^2+y^2 < 4 over -3..3 with W = 0.1.
void BM_RegionHatching(benchmark::State& state) {
  Fixture fx;
  DefineImplicit(fx.f(), "x^2+y^2-4", kRelationLess, 1, "3", "0.1");
  fx.f().FamilyVar = static_cast<std::int32_t>(state.range(0));
  double seconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    fx.Resample();
    seconds += std::chrono::duration<double>(Clock::now() - t0).count();
  }
  ReportAgainstTarget(state, seconds, fx);
}
BENCHMARK(BM_RegionHatching)->DenseRange(0, 3)->ArgName("direction")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qzarn

BENCHMARK_MAIN();
