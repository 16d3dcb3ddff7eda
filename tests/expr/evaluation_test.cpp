// The language as users write it: values, flags and attribute codes of whole
// expression texts.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "expr_test_support.h"

namespace qzarn {
namespace {

using testing::Bench;

enum Outcome { kOk, kMath, kSyntax, kLength };

struct Case {
  const char* text;
  double expected;
  Outcome outcome;
};

// Variables used by the table: a=1 b=2 c=3 d=4 n=2 x=0.5 m=11
void SetVariables(Bench& b) {
  b.Set('a', 1);
  b.Set('b', 2);
  b.Set('c', 3);
  b.Set('d', 4);
  b.Set('n', 2);
  b.Set('x', 0.5);
  b.Set('m', 11);
}

class LanguageCases : public ::testing::TestWithParam<Case> {};

TEST_P(LanguageCases, ValueAndFlags) {
  const Case& c = GetParam();
  Bench b;
  SetVariables(b);
  Evaluation e = b.Eval(c.text);
  const ExprFlags& f = b.engine.flags;
  SCOPED_TRACE(c.text);
  EXPECT_EQ(f.math_error, c.outcome == kMath);
  EXPECT_EQ(f.syntax_error, c.outcome == kSyntax);
  EXPECT_EQ(f.too_long, c.outcome == kLength);
  if (c.outcome == kOk) {
    EXPECT_NEAR(e.value, c.expected, 1e-12 * std::max(1.0, std::fabs(c.expected)));
  } else {
    EXPECT_EQ(e.value, c.outcome == kMath ? kOffPlaneValue : 0.0);
  }
}

const Case kPowers[] = {
    {"-2^2", 4, kOk},          {"2^3^2", 512, kOk},       {"0^0", 1, kOk},
    {"0^-1", 0, kOk},          {"(-8)^(1/3)", 0, kMath},  {"pow(-8,1,3)", -2, kOk},
    {"pow(-8,2,6)", 0, kMath}, {"pow(-2,0,1)", 0, kMath}, {"(-2)^0", 1, kOk},
    {"-x^2", 0.25, kOk},       {"-(x^2)", -0.25, kOk},    {"0-x^2", -0.25, kOk},
    {"2^-1", 0.5, kOk},        {"(-2)^3", -8, kOk},       {"10^800", 0, kMath},
    {"10^-800", 0, kOk},       {"(-2)^40000", 0, kMath},  {"pow(8,2,3)", 4, kOk},
    {"pow(0,0,5)", 1, kOk},    {"pow(2,1,0)", 0, kMath},  {"pow(-8,-1,3)", -0.5, kOk},
};
INSTANTIATE_TEST_SUITE_P(Powers, LanguageCases, ::testing::ValuesIn(kPowers));

const Case kComparisons[] = {
    {"a<b+1", 2, kOk},      {"(a<b)and(c<d)", 1, kOk}, {"(a>b)and(c<d)", 0, kOk},
    {"0.5 and 2", 1, kOk},  {"3 or 0", 0, kOk},        {"1 or 1", 1, kOk},
    {"a+b<c", 0, kOk},      {"a<>b", 1, kOk},          {"a<=1", 1, kOk},
    {"a>=2", 0, kOk},       {"a=1", 1, kOk},           {"abs(x<1)", 0, kSyntax},
    {"abs((x<1))", 1, kOk}, {"a<b<c", 1, kOk},         {"(a)or(b)", 0, kOk},
};
INSTANTIATE_TEST_SUITE_P(Comparisons, LanguageCases, ::testing::ValuesIn(kComparisons));

const Case kArithmetic[] = {
    {"1/0.00005", 0, kMath},  {"1/0.0001", 10000, kOk},
    {"7\\2", 3, kOk},         {"-7\\2", -3, kOk},
    {"-7%2", -1, kOk},        {"7\\-2", -3, kOk},
    {"7\\0", 0, kMath},       {"7.5\\2", 0, kMath},
    {"7%0", 0, kMath},        {"20000000000\\2", 0, kMath},
    {"1E200*1E200", 0, kOk},  {"25000+0", 10000, kOk},
    {"0-25000", -10000, kOk}, {"15000+0", 15000, kOk},
    {"20000+0", 20000, kOk},  {"2*-x", -1, kOk},
    {"--x", 0, kSyntax},      {"+x", 0, kSyntax},
    {"2x", 0, kSyntax},       {"2(x+1)", 0, kSyntax},
    {"(a)(b)", 0, kSyntax},   {"2sin(x)", 0, kSyntax},
    {"", 0, kSyntax},         {"(1", 0, kSyntax},
    {"1)", 0, kSyntax},       {"1+", 0, kSyntax},
    {"2*3\\4", 1, kOk},       {"10-2-3", 5, kOk},
    {"12/2/3", 2, kOk},
};
INSTANTIATE_TEST_SUITE_P(Arithmetic, LanguageCases, ::testing::ValuesIn(kArithmetic));

// Precedence and associativity, each value worked out by hand (a=1 b=2 c=3): a parser that
// binds one level wrongly gives another number in some row.
const Case kPrecedence[] = {
    {"5-2*3", -1, kOk},   {"8-4/2", 6, kOk},    {"2-3^2", -7, kOk},  {"1-2*3+4", -1, kOk},
    {"10-2*3-1", 3, kOk}, {"2+3*4^2", 50, kOk}, {"2*3^2", 18, kOk},  {"2^3*2", 16, kOk},
    {"(2^3)^2", 64, kOk}, {"6/2*3", 9, kOk},    {"8/2/2", 2, kOk},   {"7\\2*2", 6, kOk},
    {"2*7\\2", 7, kOk},   {"7%4*2", 6, kOk},    {"1+7%4", 4, kOk},   {"-2*3", -6, kOk},
    {"-2^3", -8, kOk},    {"-3^2", 9, kOk},     {"2*-3^2", 18, kOk}, {"2^-1*4", 2, kOk},
    {"-a+b", 1, kOk},     {"-(a+b)", -3, kOk},  {"a+b*c", 7, kOk},   {"a*b-c", -1, kOk},
    {"1+2<4", 1, kOk},    {"a<b*c", 3, kOk},    {"a<b^2", 1, kOk},   {"2*a<b", 0, kOk},
    {"c-a<b", 0, kOk},    {"1<2<1", 0, kOk},    {"a=1+1", 2, kOk},   {"(a<b)+(c<b)*4", 1, kOk},
};
INSTANTIATE_TEST_SUITE_P(Precedence, LanguageCases, ::testing::ValuesIn(kPrecedence));

const Case kFunctions[] = {
    {"log(0.001)", -100, kOk},
    {"ln(0.005)", -100, kOk},
    {"log(0)", 0, kMath},
    {"ln(-1)", 0, kMath},
    {"log(1000)", std::log(1000.0) / 2.30258509299405, kOk},
    {"sqrt(-0.0000005)", 0, kOk},
    {"sqrt(-0.01)", 0, kMath},
    {"sqrt(16)", 4, kOk},
    {"int(2.995)", 0, kMath},
    {"int(2.98)", 2, kOk},
    {"int(-2)", -2, kOk},
    {"int(-2.5)", -3, kOk},
    {"round(2.5)", 3, kOk},
    {"round(-2.5)", -3, kOk},
    {"round(1.2345,2)", 1.23, kOk},
    {"round(-1.2355,3)", -1.236, kOk},
    {"round(1234,-2)", 1200, kOk},
    {"round(-1250,-2)", -1300, kOk},
    {"round(x,11)", 0, kSyntax},
    {"round(x,m)", 0, kSyntax},
    {"round(1.25,n)", 1.25, kOk},
    {"round(x,-2)", 0, kOk},
    {"round(x,-n)", 0, kSyntax},
    {"round(x,n+1)", 0, kSyntax},
    {"round(x,0.5)", 0, kSyntax},
    {"fac(0)", 1, kOk},
    {"fac(5)", 120, kOk},
    {"fac(3001)", 0, kMath},
    {"fac(171)", 0, kMath},
    {"fac(2.5)", 0, kMath},
    {"con(5,2)", 10, kOk},
    {"per(5,2)", 20, kOk},
    {"con(2,5)", 0, kMath},
    {"con(5,5)", 1, kOk},
    {"per(5,0)", 1, kOk},
    {"bin(0.5,4,2)", 0.375, kOk},
    {"bin(0,3,1)", 0, kOk},
    {"bin(0,3,0)", 1, kOk},
    {"bin(1.5,3,0)", 0, kMath},
    {"gamma(34)", 0, kMath},
    {"gamma(0)", 0, kMath},
    {"legend(0.3,4)", 0.0729375, kOk},
    {"legend(0.3,-1)", 0, kMath},
    {"besselj(-1,0)", 0, kMath},
    {"besselj(1,-1)", 0, kMath},
    {"besselj(0,2)", 0, kOk},
    {"besseli(-1,2)", 0, kMath},
    {"bessely(0,0)", 0, kMath},
    {"besselk(-1,0)", 0, kMath},
    {"tan(pi/2)", 0, kMath},
    {"asin(1.5)", 0, kMath},
    {"asin(1)", std::asin(1.0), kOk},
    {"acos(-1)", std::acos(-1.0), kOk},
    {"exp(709)", 0, kMath},
    {"exp(1)", std::exp(1.0), kOk},
    {"sign(0)", 0, kOk},
    {"sign(-3)", -1, kOk},
    {"tanh(1000)", 1, kOk},
    {"tanh(-6000)", -1, kOk},
    {"sinh(1000)", 0, kOk},
    {"cosh(1)", std::cosh(1.0), kOk},
    {"atanh(1)", 0, kOk},
    {"atanh(-2)", 0, kOk},
    {"atanh(0.5)", std::atanh(0.5), kOk},
    {"asinh(-2)", std::asinh(-2.0), kOk},
    {"acosh(0.5)", 0, kOk},
    {"acosh(2)", std::acosh(2.0), kOk},
    {"sin(1E19)", 0, kOk},
    {"pi(2)", 2 * 3.141592653589793, kOk},
    {"pi*2", 2 * 3.141592653589793, kOk},
    {"celi1(0.5,-1)", 0, kMath},
    {"celi2(2,0.001)", 0, kMath},
    {"sin(x,2)", 0, kSyntax},
    {"con(5)", 0, kSyntax},
    {"pow(2,2)", 0, kSyntax},
    {"round(2,1,1)", 0, kSyntax},
    {"sqr(3)", 9, kOk},
    {"abs(-3)+1", 4, kOk},
};
INSTANTIATE_TEST_SUITE_P(Functions, LanguageCases, ::testing::ValuesIn(kFunctions));

const Case kWords[] = {
    {"2e", 2, kOk},           {"2*e", 0, kOk},        {".5*x", 0.25, kOk},
    {"x*1.5e-2", -1.25, kOk}, {"aa1", 0, kOk},        {"a13", 0, kSyntax},
    {"a123", 0, kSyntax},     {"a12", 0, kOk},        {"sinx", 0, kSyntax},
    {"pi2", 0, kSyntax},      {"1.2.3", 0, kSyntax},  {"xy", 0, kSyntax},
    {"x2+1", 1, kOk},         {"a$1", 0, kSyntax},    {"$x", 0.5, kOk},
    {"X + A", 1.5, kOk},      {"ao1", 0, kOk},        {"ap1", 0, kSyntax},
    {"2:3", 0, kSyntax},      {"1E400", 0, kSyntax},  {"x*1e5", 10000, kOk},
    {"x/1e4", 0.00005, kOk},  {"std(1)", 0, kSyntax}, {"\xe3\x81\x82", 0, kSyntax},
};
INSTANTIATE_TEST_SUITE_P(Words, LanguageCases, ::testing::ValuesIn(kWords));

std::string Nested(int depth, const std::string& core) {
  return std::string(depth, '(') + core + std::string(depth, ')');
}

TEST(StackLimit, SeventeenParenthesesEvaluateEighteenDoNot) {
  Bench b;
  b.Set('x', 3);
  EXPECT_EQ(b.Eval(Nested(17, "x")).value, 3);
  EXPECT_FALSE(b.engine.flags.syntax_error);
  b.Eval(Nested(18, "x"));
  EXPECT_TRUE(b.engine.flags.syntax_error);

  EXPECT_EQ(b.Eval("1+(2+(3+(4+(5+(9)))))").value, 24);
  EXPECT_FALSE(b.engine.flags.syntax_error);
  b.Eval("1+(2+(3+(4+(5+(6+(9))))))");
  EXPECT_TRUE(b.engine.flags.syntax_error);
}

TEST(LengthLimit, TokenStartingBeyondByte240IsTooLong) {
  Bench b;
  // 60 times "1+" (a three-byte number item and one operator byte) fill 240
  // bytes; the next token starts at byte 240.
  std::string text;
  for (int i = 0; i < 60; ++i)
    text += "1+";
  EXPECT_EQ(b.Eval(text + "1").value, 0);
  EXPECT_TRUE(b.engine.flags.too_long);
  EXPECT_FALSE(b.engine.flags.syntax_error);
  EXPECT_EQ(b.engine.EvaluateCompiled(b.table, b.engine.Compile(NormaliseExpression(text + "1")))
                .attribute,
            1);
  // One pair less: the last token starts at byte 236 and is fine.
  std::string shorter;
  for (int i = 0; i < 59; ++i)
    shorter += "1+";
  EXPECT_EQ(b.Eval(shorter + "1").value, 60);
  EXPECT_FALSE(b.engine.flags.too_long);
}

TEST(Attribute, CountsVariablesAndMathErrors) {
  Bench b;
  EXPECT_EQ(b.Eval("1+2").attribute, 1);
  EXPECT_EQ(b.Eval("x+2").attribute, 2);
  EXPECT_EQ(b.Eval("1/0").attribute, 5);
  EXPECT_EQ(b.Eval("x/0").attribute, 6);
  EXPECT_EQ(b.Eval("x+").attribute, 1);
  EXPECT_TRUE(b.engine.flags.uses_variables);  // read before the error
  Evaluation e = b.Eval("1/0+)");
  EXPECT_EQ(e.value, kOffPlaneValue);  // a math error outranks the syntax error
  EXPECT_EQ(e.attribute, 1);
}

TEST(Variables, UndefinedCellsReadZeroAndSubscriptsAreSeparateCells) {
  Bench b;
  b.Set('a', 5);
  b.Set('a', 7, 3);
  EXPECT_EQ(b.Eval("a+a3").value, 12);
  b.table.cell(10, 1).set_value(99);  // row 10 is not defined in a new screen
  EXPECT_EQ(b.Eval("a10").value, 0);
  b.table.bind(10, 1, 99);
  EXPECT_EQ(b.Eval("a10").value, 99);
  b.table.write(0, 2, std::nan(""));  // a cell holding no number reads as 0
  EXPECT_EQ(b.Eval("b+1").value, 1);
  EXPECT_FALSE(b.engine.flags.math_error);
}

TEST(IntGap, IsConfigurable) {
  Bench b;
  b.engine.int_gap = 0.001;
  EXPECT_EQ(b.Eval("int(2.995)").value, 2);
  EXPECT_EQ(b.Eval("int(2.9995)").value, kOffPlaneValue);
}

TEST(Random, FollowsTheLinearCongruentialSequenceFromSeedZero) {
  Bench b;
  std::uint32_t seed = 0;
  for (int i = 0; i < 5; ++i) {
    seed = seed * 134775813u + 1u;
    EXPECT_EQ(b.Eval("random").value, seed / 4294967296.0);
  }
  // Every RANDOM in one text draws, left to right.
  std::uint32_t s1 = seed * 134775813u + 1u;
  std::uint32_t s2 = s1 * 134775813u + 1u;
  EXPECT_EQ(b.Eval("random-random*2").value, s1 / 4294967296.0 - 2 * (s2 / 4294967296.0));
}

TEST(EvaluateText, PlainNumbersBypassTheCompilerAndTheFlags) {
  Bench b;
  b.Eval("1/0");
  ASSERT_TRUE(b.engine.flags.math_error);
  EXPECT_EQ(b.engine.EvaluateText(b.table, "25000"), 25000);  // taken as written, not clamped
  EXPECT_TRUE(b.engine.flags.math_error);                     // untouched
  EXPECT_EQ(b.engine.EvaluateText(b.table, "-1.5e3"), -1500);
  EXPECT_EQ(b.engine.EvaluateText(b.table, ""), 0);
  EXPECT_EQ(b.engine.EvaluateText(b.table, "e5"), 0);  // the variable e5, not a number
  EXPECT_FALSE(b.engine.flags.math_error);
  b.Set('x', 2);
  EXPECT_EQ(b.engine.EvaluateText(b.table, "x*3"), 6);
  EXPECT_EQ(b.engine.EvaluateText(b.table, "x*"), 0);
  EXPECT_TRUE(b.engine.flags.syntax_error);
}

TEST(CheckExpression, RejectsSyntaxAndLengthErrorsOnly) {
  Bench b;
  EXPECT_TRUE(b.engine.CheckExpression(b.table, ""));
  EXPECT_TRUE(b.engine.CheckExpression(b.table, "1/x"));  // a math error at x = 0
  EXPECT_TRUE(b.engine.CheckExpression(b.table, "5"));
  EXPECT_FALSE(b.engine.CheckExpression(b.table, "xy"));
  EXPECT_FALSE(b.engine.CheckExpression(b.table, "sin("));
  EXPECT_TRUE(b.engine.CheckExpression(b.table, "round(x,n)"));  // n = 0 here
  EXPECT_FALSE(b.engine.CheckExpression(b.table, "round(x,11)"));
  std::string long_text;
  for (int i = 0; i < 90; ++i)
    long_text += "1+";
  EXPECT_FALSE(b.engine.CheckExpression(b.table, long_text + "1"));
}

TEST(ParseVariableName, AcceptsPaletteNamesOnly) {
  struct {
    const char* text;
    int column;
    int row;
  } const ok[] = {{"a", 1, 0}, {"Z", 26, 0}, {"b1", 2, 1}, {"z9", 26, 9}};
  for (const auto& c : ok) {
    auto v = ParseVariableName(c.text);
    ASSERT_TRUE(v) << c.text;
    EXPECT_EQ(v->column, c.column);
    EXPECT_EQ(v->row, c.row);
  }
  for (const char* bad : {"", "a0", "a10", "1", "aa", "3.5", "$a", "a 1", "\xe3"})
    EXPECT_FALSE(ParseVariableName(bad)) << bad;
}

TEST(ExpressionUsesVariable, FindsReferenceItems) {
  EXPECT_TRUE(ExpressionUsesVariable("sin(a)+1", 1, 0));
  EXPECT_FALSE(ExpressionUsesVariable("sin(a)+1", 1, 1));
  EXPECT_TRUE(ExpressionUsesVariable("2*b3", 2, 3));
  EXPECT_TRUE(ExpressionUsesVariable("round(x,n)", 14, 0));  // arguments count too
  EXPECT_TRUE(ExpressionUsesVariable("$a+1", 1, 0));         // marked references too
  EXPECT_FALSE(ExpressionUsesVariable("a+", 2, 0));
  EXPECT_FALSE(ExpressionUsesVariable("xy", 24, 0));  // does not compile
}

}  // namespace
}  // namespace qzarn
