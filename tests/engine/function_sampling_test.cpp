#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "document/screen.h"
#include "function_test_support.h"

namespace qzarn {
namespace {

using testing_curves::CurveFixture;

TEST(ExplicitCurve, ParabolaHasOneSamplePerStepAndATrailingBreak) {
  CurveFixture c;
  c.Define(kExplicitCurve, "x^2");
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 202);
  EXPECT_EQ(c.f().SampleLast, 201);
  EXPECT_FLOAT_EQ(c.X(0), -10);
  EXPECT_FLOAT_EQ(c.Y(0), 100);
  EXPECT_NEAR(c.X(100), 0, 1e-5);
  EXPECT_FLOAT_EQ(c.X(200), 10);
  EXPECT_FLOAT_EQ(c.Y(200), 100);
  EXPECT_TRUE(c.IsBreak(201));
  EXPECT_EQ(c.f().CurveValid, 1);
  // The cells hold the last sample and are marked in use.
  EXPECT_DOUBLE_EQ(c.vars.read(0, kColumnX), 10);
  EXPECT_NEAR(c.vars.read(0, kColumnY), 100, 1e-9);
}

TEST(ExplicitCurve, LastStepIsShortenedToTheRangeEnd) {
  CurveFixture c;
  c.Define(kExplicitCurve, "x", "-1", "1", "0.3");
  ASSERT_TRUE(c.Resample());
  const std::vector<double> want = {-1, -0.7, -0.4, -0.1, 0.2, 0.5, 0.8, 1};
  ASSERT_EQ(c.entries(), static_cast<int>(want.size()) + 1);
  for (std::size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(c.X(static_cast<int>(i)), want[i], 1e-6) << i;
}

TEST(ExplicitCurve, UnusableRangesGiveNoCurveButAValidOne) {
  struct Case {
    const char *s, *e, *w;
  };
  const Case cases[] = {{"-10", "10", "0"},   {"-10", "10", "1e-9"}, {"-10", "10", "-1"},
                        {"1", "1", "0.1"},    {"5", "-5", "0.1"},    {"0", "0.04", "0.1"},
                        {"-10", "10", "1/0"}, {"", "", ""}};
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.s) + " " + k.e + " " + k.w);
    CurveFixture c;
    c.Define(kExplicitCurve, "x", k.s, k.e, k.w);
    c.record.owned.SampleX = {1, 2};
    c.record.owned.SampleY = {1, 2};
    EXPECT_TRUE(c.Resample());
    EXPECT_EQ(c.f().SampleLast, -1);
    EXPECT_EQ(c.entries(), 0);
    EXPECT_EQ(c.f().CurveValid, 1);
  }
}

TEST(ExplicitCurve, MathErrorsBecomeBreaks) {
  CurveFixture c;
  c.Define(kExplicitCurve, "1/x", "-1", "1", "0.5");
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 6);
  EXPECT_FLOAT_EQ(c.Y(1), -2);
  EXPECT_TRUE(c.IsBreak(2));
  EXPECT_FLOAT_EQ(c.Y(3), 2);
  EXPECT_TRUE(c.IsBreak(5));
}

// Only step samples become breaks on a math error: the first sample of each curve keeps the
// off-plane value the evaluator returns, at its own parameter.
TEST(ExplicitCurve, MathErrorInTheFirstSampleKeepsItsParameter) {
  const struct {
    int kind;
    const char* fx;
    const char* fy;  // parametric curves only
  } cases[] = {
      {kExplicitCurve, "SQRT(x)", ""},
      {kParametricCurve, "t", "SQRT(t)"},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.fx);
    CurveFixture d;
    d.Define(t.kind, t.fx, "-1", "1", "1");
    d.f().FuncY = t.fy;
    ASSERT_TRUE(d.Resample());
    ASSERT_EQ(d.entries(), 4);
    EXPECT_FLOAT_EQ(d.X(0), -1);
    EXPECT_FLOAT_EQ(d.Y(0), kSampleBreak);
    EXPECT_FLOAT_EQ(d.Y(1), 0);
    EXPECT_FLOAT_EQ(d.Y(2), 1);
    EXPECT_TRUE(d.IsBreak(3));
  }
}

TEST(ExplicitCurve, FamilyOfFiveLinesSeparatedByBreaks) {
  CurveFixture c;
  c.Define(kExplicitCurve, "a*x", "-1", "1", "1");
  c.f().ParamVar = 1;  // a
  c.Family("-2", "2", "1");
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 5 * 4);
  for (int member = 0; member < 5; ++member) {
    const double a = member - 2;
    SCOPED_TRACE(a);
    for (int k = 0; k < 3; ++k) {
      EXPECT_FLOAT_EQ(c.X(member * 4 + k), static_cast<float>(k - 1));
      EXPECT_FLOAT_EQ(c.Y(member * 4 + k), static_cast<float>(a * (k - 1)));
    }
    EXPECT_TRUE(c.IsBreak(member * 4 + 3));
  }
  EXPECT_DOUBLE_EQ(c.vars.read(0, 1), 2);
}

TEST(ExplicitCurve, FamilyWithoutUsableStepGivesNoCurve) {
  CurveFixture c;
  c.Define(kExplicitCurve, "a*x");
  c.f().ParamVar = 1;
  c.Family("-2", "2", "0");
  ASSERT_TRUE(c.Resample());
  EXPECT_EQ(c.f().SampleLast, -1);
}

TEST(ExplicitCurve, FamilyBeyondTheCapIsCutWithABreak) {
  CurveFixture c;
  c.Define(kExplicitCurve, "a+x", "-10", "10", "0.01");  // 2002 entries per member
  c.f().ParamVar = 1;
  c.Family("1", "10", "1");
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), kMaxSampleEntries);
  EXPECT_EQ(c.f().SampleLast, 10000);
  EXPECT_TRUE(c.IsBreak(10000));
  // Members 1..4 complete (8008 entries), member 5 cut; nothing of member 6.
  EXPECT_TRUE(c.IsBreak(2001));
  EXPECT_TRUE(c.IsBreak(8007));
  EXPECT_FLOAT_EQ(c.Y(8008), 5 - 10);
  for (int i = 8008; i < 10000; ++i)
    ASSERT_LT(c.Y(i), 15.0001f) << i;
}

TEST(ExplicitCurve, SingleCurveLongerThanTheCapEndsInABreak) {
  CurveFixture c;
  c.Define(kExplicitCurve, "x", "0", "1", "0.00001");
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), kMaxSampleEntries);
  EXPECT_TRUE(c.IsBreak(10000));
  EXPECT_FALSE(c.IsBreak(9999));
}

TEST(ExplicitCurve, RecurrenceSeesThePreviousValue) {
  CurveFixture c;
  c.Define(kExplicitCurve, "y*2", "0", "3", "1");
  c.f().Recursive = true;
  c.f().InitY = 1;
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 5);
  for (int k = 0; k < 4; ++k) {
    EXPECT_FLOAT_EQ(c.X(k), static_cast<float>(k));
    EXPECT_FLOAT_EQ(c.Y(k), std::pow(2.0f, static_cast<float>(k)));
  }
}

TEST(ExplicitCurve, DisplayConditionBreaksEverySampleItRejects) {
  CurveFixture c;
  c.Define(kExplicitCurve, "x", "-2", "2", "1");
  c.f().Boolean = true;
  c.f().BooleanFunc = "x>0";
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 6);
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(c.IsBreak(k)) << k;
  EXPECT_FLOAT_EQ(c.Y(3), 1);
  EXPECT_FLOAT_EQ(c.Y(4), 2);
}

TEST(ParametricCurve, UnitCircleOverTheCurveParameter) {
  CurveFixture c;
  c.Define(kParametricCurve, "COS(t)", "0", "2*PI", "PI/50");
  c.f().FuncY = "SIN(t)";
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 102);
  for (int i = 0; i <= 100; ++i)
    EXPECT_NEAR(std::hypot(c.X(i), c.Y(i)), 1, 1e-6) << i;
  EXPECT_NEAR(c.X(100), 1, 1e-6);
  EXPECT_NEAR(c.Y(25), 1, 1e-6);
}

TEST(ParametricCurve, RecurrenceUsesBothPreviousCoordinates) {
  CurveFixture c;
  c.Define(kParametricCurve, "x+y", "1", "4", "1");
  c.f().FuncY = "x*y";  // reads the previous x, not the new one
  c.f().Recursive = true;
  c.f().InitX = 1;
  c.f().InitY = 2;
  ASSERT_TRUE(c.Resample());
  const float want[][2] = {{1, 2}, {3, 2}, {5, 6}, {11, 30}};
  ASSERT_EQ(c.entries(), 5);
  for (int k = 0; k < 4; ++k) {
    EXPECT_FLOAT_EQ(c.X(k), want[k][0]) << k;
    EXPECT_FLOAT_EQ(c.Y(k), want[k][1]) << k;
  }
}

TEST(ParametricCurve, FamilyParameterComesFromItsOwnList) {
  CurveFixture c;
  c.Define(kParametricCurve, "k*COS(t)", "0", "1", "1");
  c.f().FuncY = "0";
  c.f().FamilyVar = 11;  // k
  c.Family("1", "3", "1");
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 9);
  EXPECT_FLOAT_EQ(c.X(0), 1);
  EXPECT_FLOAT_EQ(c.X(3), 2);
  EXPECT_FLOAT_EQ(c.X(6), 3);
}

TEST(PolarCurve, StepsAreTruncatedAndTheLastOneShortened) {
  CurveFixture c;
  c.Define(kPolarCurve, "2", "0", "1", "0.3");
  c.f().ParamVar = 18;  // t in a..q, s..z
  ASSERT_TRUE(c.Resample());
  const double theta[] = {0, 0.3, 0.6, 0.9, 1.0};
  ASSERT_EQ(c.entries(), 6);
  for (int i = 0; i < 5; ++i) {
    EXPECT_NEAR(c.X(i), 2 * std::cos(theta[i]), 1e-6) << i;
    EXPECT_NEAR(c.Y(i), 2 * std::sin(theta[i]), 1e-6) << i;
  }
  EXPECT_DOUBLE_EQ(c.vars.read(0, kColumnR), 2);
}

TEST(PolarCurve, RoseReadsItsAngleVariable) {
  CurveFixture c;
  c.Define(kPolarCurve, "COS(3*t)", "0", "PI", "PI/60");
  c.f().ParamVar = 18;  // t in a..q, s..z
  ASSERT_TRUE(c.Resample());
  ASSERT_EQ(c.entries(), 62);
  for (int i = 0; i <= 60; ++i) {
    const double t = i * std::numbers::pi / 60;
    EXPECT_NEAR(std::hypot(c.X(i), c.Y(i)), std::fabs(std::cos(3 * t)), 1e-5) << i;
  }
}

TEST(VariableLists, DialogIndicesMapToCells) {
  EXPECT_EQ(FamilyColumnAbcwz(0), 0);
  EXPECT_EQ(FamilyColumnAbcwz(1), 1);
  EXPECT_EQ(FamilyColumnAbcwz(23), 23);
  EXPECT_EQ(FamilyColumnAbcwz(24), 26);
  EXPECT_EQ(FamilyColumnAbcwz(25), 0);
  EXPECT_EQ(ParameterColumnAbcwz(19), 20);
  EXPECT_EQ(ParameterColumnAbcwz(23), 26);
  EXPECT_EQ(ParameterColumnAbcwz(-1), 0);
  EXPECT_EQ(AngleColumnNoR(16), 17);
  EXPECT_EQ(AngleColumnNoR(17), 19);
  EXPECT_EQ(AngleColumnNoR(24), 26);
  EXPECT_EQ(FamilyColumnNoR(18), 19);
  EXPECT_EQ(FamilyColumnNoR(26), 0);
}

TEST(CurveCache, ValidCurveIsKeptUntilInvalidated) {
  CurveFixture c;
  c.Define(kExplicitCurve, "a*x");
  c.vars.write(0, 1, 2);
  ASSERT_TRUE(c.Resample());
  EXPECT_FLOAT_EQ(c.Y(0), -20);
  c.vars.write(0, 1, 3);
  EXPECT_FALSE(c.Resample());
  EXPECT_FLOAT_EQ(c.Y(0), -20);
  c.f().CurveValid = 0;
  EXPECT_TRUE(c.Resample());
  EXPECT_FLOAT_EQ(c.Y(0), -30);
}

// A change of a variable resamples exactly the curves that mention it.
TEST(CurveCache, OnlyCurvesMentioningTheChangedVariableAreResampled) {
  NewScreenDefaults d;
  ScreenTitleCounter titles;
  auto screen = Screen::Create(d, titles);
  ExprEngine expr;
  struct Def {
    const char *fx, *start, *cond;
    bool uses_a;
  };
  const Def defs[] = {{"a*x", "-10", "", true},
                      {"x^2", "-10", "", false},
                      {"x", "-a", "", true},
                      {"x", "-10", "x>a", true},
                      {"b*x", "-10", "", false}};
  for (const Def& def : defs) {
    FigureRecord rec = FigureRecord::Blank(kFunctionFigure);
    FunctionRecord& f = *rec.function();
    f.FuncKind = kExplicitCurve;
    f.FuncX = def.fx;
    f.AreaSx1 = def.start;
    f.AreaEx1 = "10";
    f.AreaWd1 = "0.1";
    f.Boolean = def.cond[0] != 0;
    f.BooleanFunc = def.cond;
    ASSERT_TRUE(NewFigure(screen->Figures, std::move(rec)).has_value());
  }
  auto pass = [&] {
    int resampled = 0;
    for (int i = 0; i < 5; ++i)
      resampled += ResampleFunction(*screen, expr, i) ? 1 : 0;
    return resampled;
  };
  EXPECT_EQ(pass(), 5);
  EXPECT_EQ(pass(), 0);
  screen->Variables().write(0, 1, 3);  // a
  for (int i = 0; i < 5; ++i) {
    FunctionRecord& f = *screen->Figures.record(i)->function();
    EXPECT_EQ(FunctionUsesVariable(f, 0, 1), defs[i].uses_a) << i;
    if (FunctionUsesVariable(f, 0, 1)) f.CurveValid = 0;
  }
  EXPECT_EQ(pass(), 3);
  EXPECT_FALSE(ResampleFunction(*screen, expr, 7));  // empty slot
}

}  // namespace
}  // namespace qzarn

namespace qzarn {
namespace {

using testing_curves::CurveFixture;

// Curves whose samples are independent are computed a block at a time; the
// same curve with a body that also reads the cell a recurrence reads (adding
// 0 times it) is computed sample by sample. Both must give the same entries
// and leave the cells bound alike: families, display conditions reading the
// results, math errors in first and later samples, recurrences' first values
// and the entry cap, over sweeps longer than a block.
TEST(CurveBlocks, MatchTheSampleBySampleSweep) {
  struct Case {
    int kind;
    const char* body;
    const char* second;  // parametric y
    const char* extra;   // what makes the body read its recurrence cell
    const char* condition;
    const char* s;
    const char* e;
    const char* w;
    bool family;
    bool recursive;
  };
  const Case kCases[] = {
      {kExplicitCurve, "x^3-2*x^2+x-1", "", "+0*y", "", "-10", "10", "0.01", false, false},
      {kExplicitCurve, "1/x+sqrt(x)", "", "+0*y", "", "-3", "3", "0.05", false, false},
      {kExplicitCurve, "a*x^2", "", "+0*y", "y<2 and x<>0", "-3", "3", "0.02", true, false},
      {kExplicitCurve, "ln(x)", "", "+0*y", "", "0", "15", "0.1", false, true},
      {kExplicitCurve, "a+x", "", "+0*y", "", "-10", "10", "0.001", true, false},
      {kParametricCurve, "cos(t)/t", "sin(t)", "+0*x", "x+y>0", "-4", "4", "0.01", true, true},
      {kPolarCurve, "cos(3*t)", "", "+0*r", "r>0", "0", "2*pi", "pi/500", true, false},
      {kPolarCurve, "sqrt(t-1)", "", "+0*r", "", "0", "6", "0.01", false, false},
      // Sweeps ending on a block's last sample, of one step, with library calls failing.
      {kExplicitCurve, "sin(x)*x^2", "", "+0*y", "", "-1", "1", "2/511", false, false},
      {kExplicitCurve, "cos(x)/x", "", "+0*y", "", "-2", "2", "4/1023", true, false},
      {kExplicitCurve, "x^2-1", "", "+0*y", "", "0", "1", "1", false, false},
      {kExplicitCurve, "exp(x*100)+ln(x)", "", "+0*y", "", "-10", "10", "0.01", false, false},
  };
  for (const Case& k : kCases) {
    CurveFixture blocks, each;
    for (CurveFixture* c : {&blocks, &each}) {
      const std::string body = std::string(k.body) + (c == &each ? k.extra : "");
      c->Define(k.kind, body.c_str(), k.s, k.e, k.w);
      c->vars.write(0, 1, 0.5);
      if (k.kind == kPolarCurve) c->f().ParamVar = 18;  // t
      const std::string second = std::string(k.second) + (c == &each ? k.extra : "");
      c->f().FuncY = second;
      c->f().Boolean = *k.condition != 0;
      c->f().BooleanFunc = k.condition;
      c->f().Recursive = k.recursive;
      c->f().InitX = 1.25;
      c->f().InitY = -0.5;
      if (k.family) {
        c->f().FamilyVar = k.kind == kExplicitCurve ? 0 : 1;
        c->f().ParamVar = k.kind == kExplicitCurve ? 1 : c->f().ParamVar;  // a
        c->Family("1", "3", "0.5");
      }
      ASSERT_TRUE(c->Resample());
    }
    const std::string where = k.body;
    ASSERT_EQ(blocks.entries(), each.entries()) << where;
    ASSERT_GT(blocks.entries(), k.w[0] == '1' ? 1 : 100) << where;
    for (int i = 0; i < blocks.entries(); ++i) {
      ASSERT_EQ(blocks.X(i), each.X(i)) << where << " entry " << i;
      ASSERT_EQ(blocks.Y(i), each.Y(i)) << where << " entry " << i;
    }
    for (int column : {kColumnX, kColumnY, kColumnR, 20, 1})
      EXPECT_EQ(blocks.vars.cell(0, column).value(), each.vars.cell(0, column).value())
          << where << " column " << column;
  }
}

}  // namespace
}  // namespace qzarn
