#include "forms/variable_palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "document/figure_table.h"
#include "engine/figure_expressions.h"
#include "engine/function_sampling.h"
#include "engine/screen_builder.h"
#include "expr/engine.h"

namespace qzarn {
namespace {

using testing::ScreenBuilder;

std::vector<std::string> Names(const Screen& screen) {
  std::vector<std::string> names;
  for (PaletteVariable v : CollectUsedVariables(screen).PaletteList())
    names.push_back(PaletteVariableName(v));
  return names;
}

using Names_ = std::vector<std::string>;

TEST(VariablePalette, NamesRoundTripAndRefuseWhatThePaletteCannotShow) {
  EXPECT_EQ(PaletteVariableName({0, 0}), "a");
  EXPECT_EQ(PaletteVariableName({9, 25}), "z9");
  EXPECT_EQ(PaletteVariableName({3, 1}), "b3");
  for (const char* ok : {"a", "Z", "b3", "z9"}) {
    const auto v = PaletteVariableFromName(ok);
    ASSERT_TRUE(v) << ok;
    EXPECT_EQ(PaletteVariableName(*v),
              std::string(1, static_cast<char>(std::tolower(ok[0]))) + std::string(ok + 1));
  }
  for (const char* no : {"", "a0", "a10", "1a", "ab", "$", "a-"})
    EXPECT_FALSE(PaletteVariableFromName(no)) << no;
}

TEST(VariablePalette, CollectsFreeVariablesInRowThenLetterOrder) {
  ScreenBuilder b;
  EXPECT_TRUE(Names(b.screen()).empty());  // nothing uses a variable: empty palette
  b.Point("b1+a", "c");
  b.Point("x", "z9*a");
  EXPECT_EQ(Names(b.screen()), (Names_{"a", "c", "x", "b1", "z9"}));

  // An explicit function binds x: the point's x leaves the list.
  b.Function("sin(a*x)+k");
  EXPECT_EQ(Names(b.screen()), (Names_{"a", "c", "k", "b1", "z9"}));

  // A variable an intermediate equation assigns is not a knob either, while
  // the variables its text reads are.
  b.Equation(2, 0, "m*2");
  EXPECT_EQ(Names(b.screen()), (Names_{"a", "k", "m", "b1", "z9"}));
}

TEST(VariablePalette, FunctionKindsTakeOutTheVariablesTheyBind) {
  struct Case {
    int kind;
    int param;
    int family;
    bool recursive;
    const char* fx;
    const char* fy;
    Names_ expected;
  } cases[] = {
      // explicit, family "*": x bound; y only with the recurrence
      {kExplicitCurve, 0, 0, false, "x+y+a", "", {"a", "y"}},
      {kExplicitCurve, 0, 0, true, "x+y+a", "", {"a"}},
      // explicit with family list entry 1 = a
      {kExplicitCurve, 1, 0, false, "a*x+b", "", {"b"}},
      // parametric: parameter list from a (0 = a, 19 = t); family "*"
      {kParametricCurve, 19, 0, false, "cos(t)+x", "sin(t)*r", {"r", "x"}},
      {kParametricCurve, 19, 0, true, "cos(t)+x", "sin(t)*y", {}},
      // polar: angle list skips r (17 = s... so 19 = u); family 2 = b
      {kPolarCurve, 0, 2, false, "a+b+c", "", {"c"}},
      // implicit: x and y bound
      {kImplicitCurve, 0, 0, false, "x^2+y^2-r^2", "", {"r"}},
  };
  for (const Case& c : cases) {
    ScreenBuilder b;
    const int i = b.Function(c.fx);
    FunctionRecord& r = *b.Record(i).function();
    r.FuncKind = c.kind;
    r.FuncY = c.fy;
    r.ParamVar = c.param;
    r.FamilyVar = c.family;
    r.Recursive = c.recursive ? 1 : 0;
    EXPECT_EQ(Names(b.screen()), c.expected) << c.fx << " kind " << c.kind;
  }
}

TEST(VariablePalette, SpinAndEntryClampToOneHundred) {
  struct Case {
    double value, step, up, down;
  } cases[] = {{99.9, 0.25, 100, 99.65}, {-99.9, 0.25, -99.65, -100}, {0, 0.1, 0.1, -0.1},
               {100, 1, 100, 99},        {-100, 1, -99, -100},        {5, 0, 5, 5},
               {250, 0.1, 100, 100},     {-250, 0.1, -100, -100}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(StandardSpinUp(c.value, c.step), c.up) << c.value;
    EXPECT_DOUBLE_EQ(StandardSpinDown(c.value, c.step), c.down) << c.value;
  }
  EXPECT_EQ(ParsePaletteStep("0.25"), 0.25);
  EXPECT_EQ(ParsePaletteStep("-1"), 0.0);  // "-" cannot be typed into the step list
  EXPECT_EQ(ParsePaletteStep("abc"), 0.0);
  EXPECT_EQ(ParsePaletteValue("-2.5"), -2.5);
  EXPECT_EQ(ParsePaletteValue("1-"), 0.0);
  EXPECT_TRUE(IsPaletteValueCharacter(U'-'));
  EXPECT_TRUE(IsPaletteValueCharacter(U'\b'));
  EXPECT_FALSE(IsPaletteValueCharacter(U'e'));
  EXPECT_FALSE(IsPaletteStepCharacter(U'-'));
  EXPECT_TRUE(IsPaletteStepCharacter(U'.'));
}

class StandardPaletteTest : public ::testing::Test {
 protected:
  StandardPaletteTest() {
    sine_ = b_.Function("sin(a*x)");
    other_ = b_.Function("x+b");
    b_.Point("a", "b");
  }
  Screen& screen() { return b_.screen(); }
  bool Valid(int i) { return b_.Record(i).function()->CurveValid != 0; }

  ScreenBuilder b_;
  int sine_ = -1;
  int other_ = -1;
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
};

TEST_F(StandardPaletteTest, LoadSelectsTheStoredVariableOrTheFirst) {
  StandardPaletteForm form;
  form.Load(screen());
  ASSERT_EQ(form.list().size(), 2u);
  EXPECT_EQ(form.selected(), 0);
  EXPECT_EQ(screen().View().PaletteVariable.view(), "a");
  EXPECT_EQ(screen().View().PaletteColumn, 0);
  EXPECT_EQ(screen().View().PaletteRow, 0);

  screen().View().PaletteVariable = "b";
  form.Load(screen());
  EXPECT_EQ(form.selected(), 1);
  EXPECT_EQ(screen().View().PaletteColumn, 1);

  screen().Variables().write(0, 2, 1.25);
  EXPECT_EQ(form.ValueText(screen()), "1.25");
}

TEST_F(StandardPaletteTest, AChangeInvalidatesOnlyTheCurvesThatMentionIt) {
  StandardPaletteForm form;
  form.Load(screen());  // a selected
  screen().Modified = false;
  ASSERT_TRUE(form.SpinUp(screen(), "0", expressions_));
  EXPECT_DOUBLE_EQ(screen().Variables().read(0, 1), 0.1);
  EXPECT_FALSE(Valid(sine_));
  EXPECT_TRUE(Valid(other_));
  EXPECT_TRUE(screen().Modified);
}

TEST_F(StandardPaletteTest, NothingIsWrittenWhenTheValueStaysTheSame) {
  StandardPaletteForm form;
  form.Load(screen());
  screen().Variables().write(0, 1, 100);
  screen().Modified = false;
  EXPECT_FALSE(form.SpinUp(screen(), "100", expressions_));  // at the limit
  EXPECT_FALSE(form.EnterValue(screen(), "100", expressions_));
  EXPECT_FALSE(form.EnterValue(screen(), "250", expressions_));  // clamped to 100 = unchanged
  EXPECT_FALSE(screen().Modified);
  EXPECT_TRUE(Valid(sine_));
  EXPECT_TRUE(form.EnterValue(screen(), "-7.5", expressions_));
  EXPECT_EQ(screen().Variables().read(0, 1), -7.5);
  EXPECT_TRUE(form.EnterValue(screen(), "x", expressions_));  // not a number reads as 0
  EXPECT_EQ(screen().Variables().read(0, 1), 0.0);

  StandardPaletteForm::SetStep(screen(), "0.5");
  EXPECT_EQ(screen().View().PaletteStep, 0.5);
  EXPECT_TRUE(form.SpinDown(screen(), "0", expressions_));
  EXPECT_EQ(screen().Variables().read(0, 1), -0.5);
}

TEST_F(StandardPaletteTest, ApplyRefusesCellsOutsideThePaletteAndNaN) {
  EXPECT_FALSE(ApplyVariableValue(screen(), {10, 0}, 1, expressions_));
  EXPECT_FALSE(ApplyVariableValue(screen(), {0, 26}, 1, expressions_));
  EXPECT_FALSE(ApplyVariableValue(screen(), {0, -1}, 1, expressions_));
  EXPECT_FALSE(ApplyVariableValue(screen(), {0, 0}, std::nan(""), expressions_));
  EXPECT_TRUE(ApplyVariableValue(screen(), {9, 25}, 3, expressions_));
  EXPECT_EQ(screen().Variables().read(9, 26), 3.0);
}

}  // namespace
}  // namespace qzarn
