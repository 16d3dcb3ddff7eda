// Evaluations per second of typical curve expressions: the parsing evaluator
// (the machine), the compiled program one sample at a time (fast) and a block
// of samples at a time (block, what curve sampling runs), the same expression
// written in C++ (native) and muparser, side by side, followed by the ratios
// and their geometric means over the ten expressions of a lesson's graphs.
//
// Run interleaved with repetitions; the table at the end gives, per
// expression, the median of the per-repetition ratios and their spread.
//
// Every iteration evaluates 1000 samples x in [-5, 5), binding x the way the
// curve sampler does. muparser has no besselj; it is given one through
// DefineFun that calls our own BesselJ, so that row compares the evaluators
// rather than two Bessel algorithms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "expr/engine.h"
#include "expr/numeric.h"
#include "expr/program.h"
#include "expr/program_block.h"
#include "ratio_report.h"

#ifdef QZARN_HAVE_MUPARSER
#include <muParser.h>
#endif

namespace {

using qzarn::ExprEngine;
using qzarn::VariableTable;

constexpr int kSamples = 1000;
constexpr int kColumnX = 24;
constexpr int kColumnA = 1;
constexpr double kA = 1.3;

struct Subject {
  const char* name;
  const char* text;
  double (*native)(double x);
  bool in_mean = true;  // one of the ten whose geometric mean is reported
};

double NativeBessel(double x) {
  bool me = false;
  return qzarn::BesselJ(x, 3, me);
}

// Typical expressions of a lesson's graphs, written the same in both
// languages.
const Subject kSubjects[] = {
    {"cubic", "x^3-2*x^2+x-1", [](double x) { return x * x * x - 2 * x * x + x - 1; }},
    {"quartic", "0.1*x^4-x^2+2", [](double x) { return 0.1 * x * x * x * x - x * x + 2; }},
    {"rational", "(x^2+1)/(x-6)", [](double x) { return (x * x + 1) / (x - 6); }},
    {"sin", "sin(a*x)+x^2/3", [](double x) { return std::sin(kA * x) + x * x / 3; }},
    {"explog", "exp(0.5*x)+ln(x^2+1)",
     [](double x) { return std::exp(0.5 * x) + std::log(x * x + 1); }},
    {"sqrt", "sqrt(abs(x))*cos(3*x)",
     [](double x) { return std::sqrt(std::fabs(x)) * std::cos(3 * x); }},
    {"quintic", "x^5-x", [](double x) { return x * x * x * x * x - x; }},
    {"logistic", "1/(1+exp(-x))", [](double x) { return 1 / (1 + std::exp(-x)); }},
    {"rootsin", "abs(sin(x))^0.5", [](double x) { return std::pow(std::fabs(std::sin(x)), 0.5); }},
    {"product", "(x-1)*(x-2)*(x-3)*(x-4)",
     [](double x) { return (x - 1) * (x - 2) * (x - 3) * (x - 4); }},
    {"piecewise", "(x<2)*x^2+(x>=2)*(4-x)",
     [](double x) { return (x < 2 ? 1.0 : 0.0) * x * x + (x >= 2 ? 1.0 : 0.0) * (4 - x); }, false},
    {"nested", "((x-1)^2+1)^3",
     [](double x) {
       const double u = (x - 1) * (x - 1) + 1;
       return u * u * u;
     },
     false},
    {"besselj", "besselj(x,3)", NativeBessel, false},
};

double SampleX(int i) {
  return -5.0 + 10.0 * i / kSamples;
}

VariableTable& Table() {
  static VariableTable table = [] {
    VariableTable t;
    t.reset_for_new_screen();
    t.write(0, kColumnA, kA);
    return t;
  }();
  return table;
}

void Machine(benchmark::State& state, const Subject& s) {
  ExprEngine engine;
  VariableTable& table = Table();
  qzarn::CompiledExpression compiled = engine.Compile(qzarn::NormaliseExpression(s.text));
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kSamples; ++i) {
      table.bind(0, kColumnX, SampleX(i));
      sum += engine.EvaluateCompiled(table, compiled).value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                                                 benchmark::Counter::kIsRate);
}

void Fast(benchmark::State& state, const Subject& s) {
  ExprEngine engine;
  VariableTable& table = Table();
  qzarn::CompiledProgram program =
      qzarn::TranslateExpression(engine.Compile(qzarn::NormaliseExpression(s.text)));
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kSamples; ++i) {
      table.bind(0, kColumnX, SampleX(i));
      sum += qzarn::EvaluateProgram(engine, table, program).value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                                                 benchmark::Counter::kIsRate);
}

// The samples bound a block at a time, as the curve sampler binds them.
void Block(benchmark::State& state, const Subject& s) {
  ExprEngine engine;
  VariableTable& table = Table();
  qzarn::CompiledProgram program =
      qzarn::TranslateExpression(engine.Compile(qzarn::NormaliseExpression(s.text)));
  std::vector<double> xs(kSamples), values(kSamples);
  auto errors = std::make_unique<bool[]>(kSamples);
  const qzarn::SampleLane lane{0, kColumnX, xs.data()};
  for (auto _ : state) {
    for (int i = 0; i < kSamples; ++i)
      xs[static_cast<std::size_t>(i)] = SampleX(i);
    qzarn::EvaluateProgramBlock(engine, table, program, {&lane, 1}, kSamples, values.data(),
                                errors.get());
    double sum = 0;
    for (double v : values)
      sum += v;
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                                                 benchmark::Counter::kIsRate);
}

void Native(benchmark::State& state, const Subject& s) {
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kSamples; ++i) {
      double x = SampleX(i);
      benchmark::DoNotOptimize(x);
      sum += s.native(x);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                                                 benchmark::Counter::kIsRate);
}

#ifdef QZARN_HAVE_MUPARSER
double MuBesselJ(double x, double n) {
  bool me = false;
  return qzarn::BesselJ(x, n, me);
}

void MuParser(benchmark::State& state, const Subject& s) {
  mu::Parser parser;
  double x = 0, a = kA;
  parser.DefineVar("x", &x);
  parser.DefineVar("a", &a);
  parser.DefineFun("besselj", MuBesselJ);
  parser.SetExpr(s.text);
  parser.Eval();
  for (auto _ : state) {
    double sum = 0;
    for (int i = 0; i < kSamples; ++i) {
      x = SampleX(i);
      sum += parser.Eval();
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["evals/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSamples,
                                                 benchmark::Counter::kIsRate);
}
#endif

}  // namespace

int main(int argc, char** argv) {
  for (const Subject& s : kSubjects) {
    std::string base = std::string(s.name) + "/";
    benchmark::RegisterBenchmark((base + "machine").c_str(), Machine, s);
    benchmark::RegisterBenchmark((base + "fast").c_str(), Fast, s);
    benchmark::RegisterBenchmark((base + "block").c_str(), Block, s);
    benchmark::RegisterBenchmark((base + "native").c_str(), Native, s);
#ifdef QZARN_HAVE_MUPARSER
    benchmark::RegisterBenchmark((base + "muparser").c_str(), MuParser, s);
#endif
  }
  benchmark::Initialize(&argc, argv);
  qzarn::bench::RepetitionReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // Ratios of time per evaluation: below 1 means ours is faster. Run with
  // --benchmark_enable_random_interleaving=true --benchmark_repetitions=N for
  // a median and its spread; one run gives one ratio.
  // Processor time, because the machine may be shared while it runs.
  auto times = [&](const Subject& s, const char* mode) -> const qzarn::bench::RepetitionTimes& {
    static const qzarn::bench::RepetitionTimes none;
    auto it = reporter.cpu.find(std::string(s.name) + "/" + mode);
    return it == reporter.cpu.end() ? none : it->second;
  };
  using qzarn::bench::Ratios;
  using qzarn::bench::RatioSpread;
  std::printf("\n%-10s %-24s %-22s %-22s %-22s %-22s\n", "subject", "text",
              "block/muparser [lo-hi]", "fast/muparser", "block/native", "fast/native");
  for (const Subject& s : kSubjects) {
    const RatioSpread bm = Ratios(times(s, "block"), times(s, "muparser"));
    const RatioSpread fm = Ratios(times(s, "fast"), times(s, "muparser"));
    const RatioSpread bn = Ratios(times(s, "block"), times(s, "native"));
    const RatioSpread fn = Ratios(times(s, "fast"), times(s, "native"));
    std::printf(
        "%-10s %-24s %5.2f [%4.2f-%4.2f]     %5.2f [%4.2f-%4.2f]     %5.2f [%4.2f-%4.2f]     "
        "%5.2f [%4.2f-%4.2f]\n",
        s.name, s.text, bm.median, bm.low, bm.high, fm.median, fm.low, fm.high, bn.median, bn.low,
        bn.high, fn.median, fn.low, fn.high);
  }
  // The geometric mean over the ten, repetition by repetition.
  auto geometric_mean = [&](const char* ours, const char* anchor) {
    std::map<std::int64_t, std::pair<double, int>> by_repetition;
    for (const Subject& s : kSubjects) {
      if (!s.in_mean) continue;
      const auto& a = times(s, ours);
      const auto& b = times(s, anchor);
      for (const auto& [rep, t] : a) {
        auto it = b.find(rep);
        if (it == b.end() || it->second <= 0) continue;
        by_repetition[rep].first += std::log(t / it->second);
        by_repetition[rep].second += 1;
      }
    }
    std::vector<double> means;
    for (const auto& [rep, sum] : by_repetition)
      means.push_back(std::exp(sum.first / sum.second));
    return qzarn::bench::SpreadOf(means);
  };
  for (auto [ours, anchor] : {std::pair{"block", "muparser"}, std::pair{"fast", "muparser"},
                              std::pair{"block", "native"}, std::pair{"fast", "native"}}) {
    const RatioSpread g = geometric_mean(ours, anchor);
    std::printf("geometric mean of the ten, %s/%s: %.2f [%.2f-%.2f]\n", ours, anchor, g.median,
                g.low, g.high);
  }
  return 0;
}
