// The compiled program against the parsing evaluator: same values to the bit,
// same flags, attribute codes and random draws, over many random texts and
// variable values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "expr/numeric.h"
#include "expr/program.h"
#include "expr/program_block.h"
#include "expr_test_support.h"
#include "random_expressions.h"

namespace qzarn {
namespace {

void FillVariables(VariableTable& table, testing::ExpressionGenerator& gen) {
  static const double kValues[] = {0,      1,     -1,   0.5,   -0.5,  2,     3,    12,
                                   0.0001, 1e-8,  1e10, -1e10, 1e200, 700,   -800, 33.9,
                                   2.995,  1e308, -7,   0.999, 3001,  32766, 10};
  for (int row = 0; row <= 12; ++row)
    for (int column = 1; column <= 26; ++column) {
      int k = gen.Pick(0, static_cast<int>(std::size(kValues)) + 5);
      double v =
          k < static_cast<int>(std::size(kValues)) ? kValues[k] : gen.Pick(-20000, 20000) / 64.0;
      table.write(row, column, v);
    }
}

std::uint64_t Bits(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// Evaluates `compiled` on the machine and `program` on every evaluator build
// this processor runs, from the same random state; false, with the failure
// reported, where a value's bits, the attribute, the flags or the random draws
// differ.
bool SameAsMachine(testing::Bench& machine, const CompiledExpression& compiled,
                   const CompiledProgram& program, const std::string& context) {
  const std::uint32_t seed = machine.engine.random_seed;
  const Evaluation want = machine.engine.EvaluateCompiled(machine.table, compiled);
  std::vector<ProductUnit> units = {ProductUnit::kPlain};
  if (FusedProductsAvailable()) units.push_back(ProductUnit::kFused);
  for (ProductUnit unit : units) {
    ExprEngine fast;
    fast.random_seed = seed;
    const Evaluation got = EvaluateProgramOn(unit, fast, machine.table, program);
    const std::string where = context + (unit == ProductUnit::kFused ? " (fused)" : " (plain)");
    EXPECT_EQ(Bits(got.value), Bits(want.value))
        << where << " " << got.value << " vs " << want.value;
    EXPECT_EQ(got.attribute, want.attribute) << where;
    EXPECT_EQ(fast.flags, machine.engine.flags) << where;
    EXPECT_EQ(fast.random_seed, machine.engine.random_seed) << where;
  }
  return !::testing::Test::HasFailure();
}

// Runs `program` over the samples a block at a time and sample by sample with
// each lane's cell bound (as the curve sampler binds it), from the same random
// state, on every evaluator build; false, with the failure reported, where a
// value's bits, a math error, the final flags or the random draws differ.
bool BlocksSameAsEachSample(const VariableTable& table, const CompiledProgram& program,
                            std::span<const SampleLane> lanes, int count, std::uint32_t seed,
                            const std::string& context) {
  std::vector<ProductUnit> units = {ProductUnit::kPlain};
  if (FusedProductsAvailable()) units.push_back(ProductUnit::kFused);
  std::vector<double> got(static_cast<std::size_t>(count));
  auto got_errors = std::make_unique<bool[]>(static_cast<std::size_t>(count));
  for (ProductUnit unit : units) {
    const std::string where = context + (unit == ProductUnit::kFused ? " (fused)" : " (plain)");
    ExprEngine block, each;
    block.random_seed = each.random_seed = seed;
    EvaluateProgramBlockOn(unit, block, table, program, lanes, count, got.data(), got_errors.get());
    VariableTable bound = table;
    for (int i = 0; i < count; ++i) {
      for (const SampleLane& lane : lanes)
        bound.bind(lane.row, lane.column, lane.values[i]);
      const Evaluation want = EvaluateProgramOn(unit, each, bound, program);
      const auto k = static_cast<std::size_t>(i);
      EXPECT_EQ(Bits(got[k]), Bits(want.value))
          << where << " sample " << i << ": " << got[k] << " vs " << want.value;
      EXPECT_EQ(got_errors[k], each.flags.math_error) << where << " sample " << i;
      if (::testing::Test::HasFailure()) return false;
    }
    EXPECT_EQ(block.flags, each.flags) << where;
    EXPECT_EQ(block.random_seed, each.random_seed) << where;
  }
  return !::testing::Test::HasFailure();
}

// b^e by the rule against the slow way, bit for bit and flag for flag; true
// when the products decided it.
bool PowerMatchesTheSlowWay(double b, double e) {
  bool fast_error = false, slow_error = false;
  const double got = PowerRule(b, e, fast_error);
  const double want = PowerRuleSlow(b, e, slow_error);
  EXPECT_EQ(Bits(got), Bits(want)) << b << "^" << e;
  EXPECT_EQ(fast_error, slow_error) << b << "^" << e;
  if (IsSmallWholeExponent(e) && FusedProductsAvailable()) {
    bool fused_error = false;
    EXPECT_EQ(Bits(WholePowerFused(b, static_cast<int>(e), fused_error)), Bits(want))
        << b << "^" << e << " (fused)";
    EXPECT_EQ(fused_error, slow_error) << b << "^" << e << " (fused)";
  }
  double unused;
  return IsSmallWholeExponent(e) && WholePowerByProducts(b, static_cast<int>(e), unused);
}

TEST(ProgramIdentity, MatchesTheMachineOnRandomTexts) {
  testing::ExpressionGenerator gen(20260609);
  testing::Bench machine;
  int accepted = 0, syntax = 0, math = 0;
  for (int i = 0; i < 12000; ++i) {
    std::string text = i % 3 == 2 ? gen.Mangled() : gen.Sentence(gen.Pick(1, 5));
    CompiledExpression compiled = machine.engine.Compile(NormaliseExpression(text));
    CompiledProgram program = TranslateExpression(compiled);
    for (int sample = 0; sample < 3; ++sample) {
      FillVariables(machine.table, gen);
      if (!SameAsMachine(machine, compiled, program, text)) return;
      accepted += !machine.engine.flags.syntax_error && !machine.engine.flags.too_long;
      syntax += machine.engine.flags.syntax_error;
      math += machine.engine.flags.math_error;
    }
  }
  // The generator must reach every outcome, or the comparison proves little.
  EXPECT_GT(accepted, 5000);
  EXPECT_GT(syntax, 3000);
  EXPECT_GT(math, 1000);
}

TEST(ProgramIdentity, RoundDigitsReadFromAVariableStopLikeTheMachine) {
  testing::Bench machine;
  for (const char* text : {"random+round(x,n)+random", "round(x,n)*a", "1/0+round(x,n)"}) {
    CompiledExpression compiled = machine.engine.Compile(NormaliseExpression(text));
    CompiledProgram program = TranslateExpression(compiled);
    for (double n : {2.0, 11.0, -3.0, 0.5}) {
      machine.Set('n', n);
      machine.Set('x', 1.23456);
      SameAsMachine(machine, compiled, program, text + std::string(" n=") + std::to_string(n));
    }
  }
}

TEST(ProgramIdentity, RandomBytesAsCompiledForm) {
  std::mt19937 rng(7);
  testing::Bench machine;
  static const std::uint8_t kBytes[] = {'+',  '-',  '*',  '/',  '^',  '(',  ')',  ',',  '\\', '%',
                                        '=',  '<',  '>',  0x80, 0x81, 0x90, 0x91, 0x92, 0x93, 0x94,
                                        0x97, 0x9a, 0xa2, 0xa5, 0xa6, 0xb7, 0xf0, 0xf3, 0xff, 0};
  for (int i = 0; i < 20000; ++i) {
    CompiledExpression c;
    int length = std::uniform_int_distribution<int>(0, 250)(rng);
    for (int k = 0; k < length; ++k)
      c.push(rng() % 3 ? kBytes[rng() % std::size(kBytes)] : static_cast<std::uint8_t>(rng()));
    if (!SameAsMachine(machine, c, TranslateExpression(c), "bytes #" + std::to_string(i))) return;
    ASSERT_TRUE(std::isfinite(machine.engine.EvaluateCompiled(machine.table, c).value));
  }
}

// Small whole powers are products where that gives the slow way's double:
// every base magnitude from subnormal to the largest double, the edges of the
// product range, exact integers, powers of two and bases whose cube lies
// nearly halfway between two doubles, each of both signs.
TEST(ProgramIdentity, SmallWholePowersMatchTheSlowWayToTheBit) {
  std::mt19937_64 rng(20261209);
  std::vector<double> bases = {1e-36,  1e36,   0x1p-120, 0x1p119,  3.0,      10.0,    1.5,
                               0.1,    1e-300, 1e300,    4.9e-324, 1.7e308,  9.99e35, 1.01e-36,
                               1e-103, 1e102,  2e51,     7e-77,    INFINITY, NAN,     0.0};
  for (int k = 0; k < 200000; ++k)
    bases.push_back(std::exp(std::uniform_real_distribution<double>(-100, 100)(rng)));
  for (int k = 1; k < 3000; ++k)
    bases.push_back(static_cast<double>(k));
  // (1 + t)^3 with t = 2^-27: the cube's tail falls near half an ulp.
  for (int k = -50; k <= 50; ++k)
    bases.push_back(1.0 + 0x1p-27 + k * 0x1p-52);
  const std::size_t magnitudes = bases.size();
  for (std::size_t i = 0; i < magnitudes; ++i)
    bases.push_back(-bases[i]);
  long by_products = 0, checked = 0;
  for (double e : {2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 3.0000000000000004, -3.0}) {
    for (double b : bases) {
      by_products += PowerMatchesTheSlowWay(b, e);
      ++checked;
      if (::testing::Test::HasFailure()) return;
    }
  }
  // Most small powers must take the quick way, or the comparison shows little.
  EXPECT_GT(by_products, checked / 2);
}

// Every rewritten form of the program, walked over a dense sweep of x and the
// edges of the power ranges, against the machine bit for bit; each text must
// also come out in the form it stands for, or the walk compares nothing new.
TEST(ProgramIdentity, StreamlinedFormsMatchTheMachine) {
  using Op = ProgramOpcode;
  struct Case {
    const char* text;
    Op expected;
  };
  const Case kCases[] = {
      {"x^3-2*x^2+x-1", Op::kCubeVC},
      {"0.1*x^4-x^2+2", Op::kFourthVC},
      {"x^5-x^6+x^7", Op::kPowWholeVC},
      {"(x+1)^4", Op::kFourthC},
      {"(x+1)^2", Op::kSquareC},
      {"(x-a)^3", Op::kCubeC},
      {"(x*a)^7", Op::kPowWholeC},
      {"x^8/(x+1)^5", Op::kPowWholeC},
      {"2*x^2", Op::kMulC},
      {"a*(x+1)", Op::kMulV},
      {"3+x*x", Op::kAddC},
      {"a+x^2", Op::kAddV},
      {"4-(x*3)", Op::kRSubC},
      {"a-x^2", Op::kRSubV},
      {"1/(x-1)", Op::kRDivC},
      {"a/(x*x)", Op::kRDivV},
      {"2^(x+1)", Op::kRPowC},
      {"a^(x*2)", Op::kRPowV},
      {"2<(x+1)", Op::kGtC},
      {"a<=(x*2)", Op::kGeV},
      {"3>(x*x)", Op::kLtC},
      {"a>=(x-1)", Op::kLeV},
      {"2=(x+1)", Op::kBinaryC},
      {"a<>(x*1)", Op::kBinaryV},
      {"(x<2)*x^2+(x>=2)*(4-x)", Op::kLtVC},
      {"(x>0) and 1", Op::kBinaryC},
      {"1 or (x<1)", Op::kBinaryC},
      {"7\\(x+1)", Op::kBinaryS},
      {"a%(x*3)", Op::kBinaryS},
      {"x^2.5+x^9+x^-2", Op::kPowVC},
      {"random*x^2+random", Op::kSquareVC},
      {"1/0+(x+1)^2", Op::kSquareC},
      {"exp(0.5*x)+ln(x^2+1)", Op::kExp},
      {"ln(x)+log(x)+exp(x*200)", Op::kLn},
      {"round(x,n)*x^3", Op::kCubeVC},
  };
  std::vector<double> xs;
  for (int i = -5000; i <= 5000; ++i)
    xs.push_back(i / 1000.0);
  for (double edge : {1e-150, 1e150, 1e-36, 1e36, 0x1p23, 0x1p-23, 0x1p15, 0x1p11, 0x1p-11, 0x1p5,
                      1e300, 1e-300, 4.9e-324, 0x1p-1022, 2.0, 0.5, 1.0})
    for (double v : {edge, std::nextafter(edge, 0.0), std::nextafter(edge, INFINITY)}) {
      xs.push_back(v);
      xs.push_back(-v);
    }
  testing::Bench machine;
  machine.Set('a', 2.5);
  machine.Set('n', 3);
  for (const Case& c : kCases) {
    CompiledExpression compiled = machine.engine.Compile(NormaliseExpression(c.text));
    CompiledProgram program = TranslateExpression(compiled);
    bool found = false;
    for (int k = 0; k < program.count; ++k)
      found = found || program.ops[k].opcode == c.expected;
    EXPECT_TRUE(found) << c.text;
    for (double x : xs) {
      machine.Set('x', x);
      if (!SameAsMachine(machine, compiled, program, c.text + (" x=" + std::to_string(x)))) return;
    }
  }
}

// Blocks of samples against the program run sample by sample: random texts
// over samples of x, y and n that cross block boundaries and hold the values
// where the arithmetic turns (poles, domain edges, huge and non-finite ones).
TEST(ProgramBlocks, MatchEachSampleOnRandomTexts) {
  testing::ExpressionGenerator gen(20261210);
  testing::Bench bench;
  constexpr int kCount = 300;
  std::vector<double> xs, ys, ns;
  static const double kSpecial[] = {0,   1e-5, -1e-5, 0.0001, 1e300, -1e300, INFINITY,
                                    NAN, 709,  -709,  2.5,    11,    1e-320, 0.5};
  for (int i = 0; i < kCount; ++i) {
    xs.push_back(i % 7 == 0 ? kSpecial[i % std::size(kSpecial)] : (i - 150) / 16.0);
    ys.push_back(kSpecial[(i * 5) % std::size(kSpecial)]);
    ns.push_back(i % 3 == 0 ? 11.0 : (i % 11) - 3.0);
  }
  const SampleLane lanes[] = {{0, 24, xs.data()}, {0, 25, ys.data()}, {0, 14, ns.data()}};
  int with_errors = 0, accepted = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string text = i % 4 == 3 ? gen.Mangled() : gen.Sentence(gen.Pick(1, 5));
    CompiledProgram program = TranslateExpression(bench.engine.Compile(NormaliseExpression(text)));
    FillVariables(bench.table, gen);
    const std::uint32_t seed = static_cast<std::uint32_t>(i * 2654435761u);
    const std::size_t used = static_cast<std::size_t>(gen.Pick(1, 3));
    if (!BlocksSameAsEachSample(bench.table, program, std::span(lanes, used), kCount, seed, text))
      return;
    ExprEngine probe;
    double v[kCount];
    bool e[kCount];
    EvaluateProgramBlock(probe, bench.table, program, std::span(lanes, used), kCount, v, e);
    with_errors += std::count(e, e + kCount, true) > 0 && std::count(e, e + kCount, false) > 0;
    accepted += !probe.flags.syntax_error;
  }
  // Blocks where some samples fail and others not, or the comparison proves little.
  EXPECT_GT(with_errors, 50);
  EXPECT_GT(accepted, 1500);
}

// Every rewritten form, and ROUND's digit error read from a lane, in blocks
// over the dense sweep of x; a lane also binds a cell the table leaves
// undefined.
TEST(ProgramBlocks, StreamlinedFormsAndStopsMatchEachSample) {
  const char* const kTexts[] = {"x^3-2*x^2+x-1",
                                "0.1*x^4-x^2+2",
                                "x^5-x^6+x^7",
                                "(x-a)^3",
                                "x^8/(x+1)^5",
                                "a*(x+1)",
                                "4-(x*3)",
                                "a/(x*x)",
                                "2^(x+1)",
                                "a^(x*2)",
                                "3>(x*x)",
                                "a>=(x-1)",
                                "a<>(x*1)",
                                "(x>0) and 1",
                                "7\\(x+1)",
                                "x^2.5+x^9+x^-2",
                                "1/0+(x+1)^2",
                                "sqrt(abs(x))*cos(3*x)",
                                "abs(sin(x))^0.5",
                                "1/(1+exp(-x))",
                                "ln(x)+log(x)+exp(x*200)",
                                "round(x,n)*x^3",
                                "round(x,n)+a",
                                "1/0+round(x,n)",
                                "x1*2+x",
                                "besselj(x,3)+pow(x,2,3)",
                                "",
                                "x+"};
  std::vector<double> xs, ns;
  for (int i = -2000; i <= 2000; ++i)
    xs.push_back(i / 400.0);
  for (double edge : {1e-150, 1e150, 1e-36, 1e36, 0x1p23, 0x1p-23, 1e300, 4.9e-324, 0.0001})
    for (double v : {edge, std::nextafter(edge, 0.0), -edge})
      xs.push_back(v);
  for (std::size_t i = 0; i < xs.size(); ++i)
    ns.push_back(static_cast<double>(i % 14) - 2.5);
  testing::Bench bench;
  bench.Set('a', 2.5);
  bench.table.cell(1, 24).defined = 0;
  const SampleLane lanes[] = {{0, 24, xs.data()}, {0, 14, ns.data()}, {1, 24, xs.data()}};
  for (const char* text : kTexts) {
    CompiledProgram program = TranslateExpression(bench.engine.Compile(NormaliseExpression(text)));
    if (!BlocksSameAsEachSample(bench.table, program, lanes, static_cast<int>(xs.size()), 1, text))
      return;
  }
}

// The core range accepts products closer to halfway than the rest of the
// product range: every decimal base of a sampled curve and random bases
// across the core of each exponent, against the slow way.
TEST(ProgramIdentity, CoreRangePowersMatchTheSlowWay) {
  std::mt19937_64 rng(20261210);
  long by_products = 0, checked = 0;
  for (int n = 2; n <= 8; ++n) {
    const double core = std::ldexp(1.0, 46 / n);
    std::vector<double> bases;
    for (int k = 1; k <= 200000; ++k)
      bases.push_back(k / 1000.0);
    std::uniform_real_distribution<double> exponent(-std::log(core), std::log(core));
    for (int k = 0; k < 200000; ++k)
      bases.push_back(std::exp(exponent(rng)));
    for (double b : {core, 1 / core})
      for (double v : {b, std::nextafter(b, 0.0), std::nextafter(b, INFINITY)})
        bases.push_back(v);
    // Powers landing on, just above and just below a power of two, where the
    // gap below the power halves.
    for (int k = -40; k <= 40; ++k) {
      const double root = std::exp2(static_cast<double>(k) / n);
      for (int step = -300; step <= 300; ++step)
        bases.push_back(root * (1 + step * 0x1p-52));
    }
    for (double magnitude : bases)
      for (double b : {magnitude, -magnitude}) {
        by_products += PowerMatchesTheSlowWay(b, n);
        ++checked;
        if (::testing::Test::HasFailure()) return;
      }
  }
  // In the core range only about one power in thirty-three is left to the library.
  EXPECT_GT(by_products, checked * 9 / 10);
}

}  // namespace
}  // namespace qzarn
