#include "engine/equations.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "screen_builder.h"

namespace qzarn {
namespace {

using testing::EngineFixture;
using testing::ScreenBuilder;

constexpr int kA = 0, kB = 1, kC = 2;  // letter indices

class EquationsTest : public ::testing::Test, public EngineFixture {
 protected:
  double Var(int letter, int row = 0) { return b.screen().Variables().read(row, letter + 1); }
  void Pass() { engine.RecomputeScreen(b.screen()); }
  FunctionRecord& Fn(int i) { return *b.Record(i).function(); }

  ScreenBuilder b;
};

TEST_F(EquationsTest, LaterEquationsSeeEarlierOnesAndEarlierOnesThePreviousPass) {
  b.Equation(kB, 0, "a*2");
  b.Equation(kA, 0, "3");
  Pass();
  EXPECT_DOUBLE_EQ(Var(kA), 3);
  EXPECT_DOUBLE_EQ(Var(kB), 0);
  Pass();
  EXPECT_DOUBLE_EQ(Var(kB), 6);
}

TEST_F(EquationsTest, SelfReferenceAdvancesOncePerPass) {
  b.Equation(kA, 0, "a+1");
  for (int i = 1; i <= 3; ++i) {
    Pass();
    EXPECT_DOUBLE_EQ(Var(kA), i);
  }
}

TEST_F(EquationsTest, ValuesOfFailuresAndSubscriptedTargets) {
  b.Equation(kC, 0, "1/0");   // a failing expression: off the plane
  b.Equation(kA, 3, "2^3");   // a3
  b.Equation(kB, 0, "1+");    // a syntax error: 0
  b.Equation(kB, 9, "a3+1");  // b9 sees a3 of this pass
  b.screen().Variables().write(0, kB + 1, 5);
  Pass();
  EXPECT_DOUBLE_EQ(Var(kC), OffPlaneValue);
  EXPECT_DOUBLE_EQ(Var(kA, 3), 8);
  EXPECT_DOUBLE_EQ(Var(kB), 0);
  EXPECT_DOUBLE_EQ(Var(kB, 9), 9);
}

TEST_F(EquationsTest, TwoEquationsForOneVariableKeepTheLater) {
  b.Equation(kA, 0, "1");
  b.Equation(kA, 0, "2");
  Pass();
  EXPECT_DOUBLE_EQ(Var(kA), 2);
}

TEST_F(EquationsTest, FiguresSeeTheEquationsOfTheSamePass) {
  const int p = b.Point("a", "b");
  b.Equation(kA, 0, "4");
  b.Equation(kB, 0, "a/2");
  Pass();
  EXPECT_DOUBLE_EQ(b.Record(p).point()->X, 4);
  EXPECT_DOUBLE_EQ(b.Record(p).point()->Y, 2);
}

TEST_F(EquationsTest, DamagedEntriesAreSkippedAndTheListEndsAtItsLast) {
  b.Equation(kA, 0, "1");
  b.Equation(kB, 0, "2");
  EquationBlock& e = b.screen().Equations;
  e.Entries[0].LetterIndex = kNoEquationTarget;  // no variable
  e.Entries[1].Row = 12;                         // outside a..z9
  e.Entries[2].LetterIndex = kC;
  e.Entries[2].Row = 0;
  e.Entries[2].Text = "7";  // beyond EquationLast: ignored
  Pass();
  EXPECT_DOUBLE_EQ(Var(kA), 0);
  EXPECT_DOUBLE_EQ(Var(kB, 12), 0);
  EXPECT_DOUBLE_EQ(Var(kC), 0);

  e.EquationLast = 1000;  // a damaged count reads at most the 100 entries
  Pass();
  EXPECT_DOUBLE_EQ(Var(kC), 7);
}

TEST_F(EquationsTest, AssignVariableKeepsTheDefinedFlag) {
  VariableTable& v = b.screen().Variables();
  AssignVariable(b.screen(), 10, 1, 5.0, expressions);  // row 10 starts undefined
  EXPECT_EQ(v.cell(10, 1).defined, 0);
  EXPECT_DOUBLE_EQ(v.cell(10, 1).value(), 5.0);
  EXPECT_DOUBLE_EQ(v.read(10, 1), 0.0);
  AssignVariable(b.screen(), 13, 1, 5.0, expressions);  // outside the table: ignored
  AssignVariable(b.screen(), 0, 43, 5.0, expressions);
}

TEST_F(EquationsTest, OnlyCurvesMentioningTheVariableAreInvalidated) {
  const int uses_a = b.Function("a*x");
  const int uses_b = b.Function("b*x");
  const int in_range = b.Function("x");
  Fn(in_range).AreaEx2 = "a";  // the family range mentions a
  const int condition_off = b.Function("x");
  Fn(condition_off).BooleanFunc = "a>0";
  const int condition_on = b.Function("x");
  Fn(condition_on).BooleanFunc = "a>0";
  Fn(condition_on).Boolean = true;
  const int subscripted = b.Function("a1*x");

  AssignVariable(b.screen(), 0, kA + 1, 2.0, expressions);
  EXPECT_EQ(Fn(uses_a).CurveValid, 0);
  EXPECT_EQ(Fn(uses_b).CurveValid, 1);
  EXPECT_EQ(Fn(in_range).CurveValid, 0);
  EXPECT_EQ(Fn(condition_off).CurveValid, 1);
  EXPECT_EQ(Fn(condition_on).CurveValid, 0);
  EXPECT_EQ(Fn(subscripted).CurveValid, 1);
  EXPECT_DOUBLE_EQ(Var(kA), 2);
}

TEST_F(EquationsTest, EquationsInvalidateTheirCurvesInEveryPass) {
  const int derived = b.Function("c*x");
  const int palette = b.Function("d*x");
  b.Equation(kC, 0, "1");
  Pass();
  // A resample rewrites SampleLast; a marker left there shows which curves the
  // next pass sampled again.
  for (int slot : {derived, palette}) {
    EXPECT_EQ(Fn(slot).CurveValid, 1);
    Fn(slot).SampleLast = -7;
  }
  Pass();
  EXPECT_NE(Fn(derived).SampleLast, -7);  // same value, sampled again
  EXPECT_EQ(Fn(palette).SampleLast, -7);  // untouched variable, curve kept
}

TEST_F(EquationsTest, InvalidateAllCurves) {
  const int f = b.Function("x");
  const int g = b.Function("2");
  InvalidateAllCurves(b.screen());
  EXPECT_EQ(Fn(f).CurveValid, 0);
  EXPECT_EQ(Fn(g).CurveValid, 0);
}

}  // namespace
}  // namespace qzarn
