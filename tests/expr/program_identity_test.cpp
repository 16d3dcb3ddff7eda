// The compiled program against the parsing evaluator: same values to the bit,
// same flags, attribute codes and random draws, over many random texts and
// variable values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "expr/numeric.h"
#include "expr/program.h"
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

TEST(ProgramIdentity, MatchesTheMachineOnRandomTexts) {
  testing::ExpressionGenerator gen(20260609);
  testing::Bench machine;
  ExprEngine fast;
  int accepted = 0, syntax = 0, math = 0;
  for (int i = 0; i < 12000; ++i) {
    std::string text = i % 3 == 2 ? gen.Mangled() : gen.Sentence(gen.Pick(1, 5));
    CompiledExpression compiled = machine.engine.Compile(NormaliseExpression(text));
    CompiledProgram program = TranslateExpression(compiled);
    for (int sample = 0; sample < 3; ++sample) {
      FillVariables(machine.table, gen);
      fast.random_seed = machine.engine.random_seed;
      Evaluation want = machine.engine.EvaluateCompiled(machine.table, compiled);
      Evaluation got = EvaluateProgram(fast, machine.table, program);
      ASSERT_EQ(Bits(got.value), Bits(want.value))
          << text << " " << got.value << " vs " << want.value;
      ASSERT_EQ(got.attribute, want.attribute) << text;
      ASSERT_EQ(fast.flags, machine.engine.flags) << text;
      ASSERT_EQ(fast.random_seed, machine.engine.random_seed) << text;
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
  ExprEngine fast;
  for (const char* text : {"random+round(x,n)+random", "round(x,n)*a", "1/0+round(x,n)"}) {
    CompiledExpression compiled = machine.engine.Compile(NormaliseExpression(text));
    CompiledProgram program = TranslateExpression(compiled);
    for (double n : {2.0, 11.0, -3.0, 0.5}) {
      machine.Set('n', n);
      machine.Set('x', 1.23456);
      fast.random_seed = machine.engine.random_seed;
      Evaluation want = machine.engine.EvaluateCompiled(machine.table, compiled);
      Evaluation got = EvaluateProgram(fast, machine.table, program);
      EXPECT_EQ(Bits(got.value), Bits(want.value)) << text << " n=" << n;
      EXPECT_EQ(fast.flags, machine.engine.flags) << text << " n=" << n;
      EXPECT_EQ(fast.random_seed, machine.engine.random_seed) << text << " n=" << n;
    }
  }
}

TEST(ProgramIdentity, RandomBytesAsCompiledForm) {
  std::mt19937 rng(7);
  testing::Bench machine;
  ExprEngine fast;
  static const std::uint8_t kBytes[] = {'+',  '-',  '*',  '/',  '^',  '(',  ')',  ',',  '\\', '%',
                                        '=',  '<',  '>',  0x80, 0x81, 0x90, 0x91, 0x92, 0x93, 0x94,
                                        0x97, 0x9a, 0xa2, 0xa5, 0xa6, 0xb7, 0xf0, 0xf3, 0xff, 0};
  for (int i = 0; i < 20000; ++i) {
    CompiledExpression c;
    int length = std::uniform_int_distribution<int>(0, 250)(rng);
    for (int k = 0; k < length; ++k)
      c.push(rng() % 3 ? kBytes[rng() % std::size(kBytes)] : static_cast<std::uint8_t>(rng()));
    fast.random_seed = machine.engine.random_seed;
    Evaluation want = machine.engine.EvaluateCompiled(machine.table, c);
    Evaluation got = EvaluateProgram(fast, machine.table, TranslateExpression(c));
    ASSERT_EQ(Bits(got.value), Bits(want.value));
    ASSERT_EQ(fast.flags, machine.engine.flags);
    ASSERT_EQ(fast.random_seed, machine.engine.random_seed);
    ASSERT_TRUE(std::isfinite(want.value));
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
      bool fast_error = false, slow_error = false;
      const double got = PowerRule(b, e, fast_error);
      const double want = PowerRuleSlow(b, e, slow_error);
      ASSERT_EQ(Bits(got), Bits(want)) << b << "^" << e;
      ASSERT_EQ(fast_error, slow_error) << b << "^" << e;
      double unused;
      by_products += e >= 2 && e <= 8 && WholePowerByProducts(b, static_cast<int>(e), unused);
      ++checked;
    }
  }
  // Most small powers must take the quick way, or the comparison shows little.
  EXPECT_GT(by_products, checked / 2);
}

}  // namespace
}  // namespace qzarn
