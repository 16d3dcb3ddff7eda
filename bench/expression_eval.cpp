// Evaluations per second of typical curve expressions: the parsing evaluator
// (the machine), the compiled program (the fast path), the same expression
// written in C++ (native) and muparser, side by side, followed by the ratios.
//
// Every iteration evaluates 1000 samples x in [-5, 5), binding x the way the
// curve sampler does. muparser has no besselj; it is given one through
// DefineFun that calls our own BesselJ, so that row compares the evaluators
// rather than two Bessel algorithms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "expr/engine.h"
#include "expr/numeric.h"
#include "expr/program.h"

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
};

double NativeBessel(double x) {
  bool me = false;
  return qzarn::BesselJ(x, 3, me);
}

const Subject kSubjects[] = {
    {"sin", "sin(a*x)+x^2/3", [](double x) { return std::sin(kA * x) + x * x / 3; }},
    {"sqrt", "sqrt(abs(x))*cos(3*x)",
     [](double x) { return std::sqrt(std::fabs(x)) * std::cos(3 * x); }},
    {"piecewise", "(x<2)*x^2+(x>=2)*(4-x)",
     [](double x) { return (x < 2 ? 1.0 : 0.0) * x * x + (x >= 2 ? 1.0 : 0.0) * (4 - x); }},
    {"besselj", "besselj(x,3)", NativeBessel},
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

// Keeps the processor time per iteration of every run for the ratio table
// (processor time, because the machine may be shared while it runs).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      // With repetitions, the median stands for the benchmark.
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      if (r.iterations > 0) seconds[r.run_name.str()] = r.GetAdjustedCPUTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
};

}  // namespace

int main(int argc, char** argv) {
  for (const Subject& s : kSubjects) {
    std::string base = std::string(s.name) + "/";
    benchmark::RegisterBenchmark((base + "machine").c_str(), Machine, s);
    benchmark::RegisterBenchmark((base + "fast").c_str(), Fast, s);
    benchmark::RegisterBenchmark((base + "native").c_str(), Native, s);
#ifdef QZARN_HAVE_MUPARSER
    benchmark::RegisterBenchmark((base + "muparser").c_str(), MuParser, s);
#endif
  }
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // Ratios of time per evaluation: below 1 means ours is faster.
  std::printf("\n%-10s %-26s %14s %14s %14s %14s\n", "subject", "text", "fast/muparser",
              "machine/mupar", "fast/native", "machine/fast");
  for (const Subject& s : kSubjects) {
    auto t = [&](const char* mode) {
      auto it = reporter.seconds.find(std::string(s.name) + "/" + mode);
      return it == reporter.seconds.end() ? 0.0 : it->second;
    };
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("%-10s %-26s %14.2f %14.2f %14.2f %14.2f\n", s.name, s.text,
                ratio(t("fast"), t("muparser")), ratio(t("machine"), t("muparser")),
                ratio(t("fast"), t("native")), ratio(t("machine"), t("fast")));
  }
  return 0;
}
