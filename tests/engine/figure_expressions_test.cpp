#include "engine/figure_expressions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

#include "expr/engine.h"

namespace qzarn {
namespace {

class FigureExpressionsTest : public ::testing::Test {
 protected:
  FigureExpressionsTest() { table.reset_for_new_screen(); }

  VariableTable table;
  ExprEngine cached_engine;
  ExprEngine plain_engine;
  FigureExpressions expressions{cached_engine};
};

TEST_F(FigureExpressionsTest, CachedValuesMatchTheEvaluatorAcrossVariableChanges) {
  const std::string_view texts[] = {
      "",        "2.5",     "-3",        "1e3",     "e",      "a+1",  "a*b-c1",
      "1/a",     "sqrt(a)", "a^2+b^2",   "25000*a", "1+",     "(a",   "round(a,b)",
      "1.5e400", "a$b",     "sin(a)*pi", "a<b",     "int(a)", "-a^2", "random*0",
  };
  const double values[] = {0.0, 2.0, -0.5, 1e-5, 30000.0};
  for (double a : values) {
    table.write(0, 1, a);
    table.write(0, 2, a / 2 + 1);
    table.write(1, 3, -a);
    for (int round = 0; round < 2; ++round) {  // the second round is served from the cache
      for (std::string_view text : texts) {
        const double want = plain_engine.EvaluateText(table, text);
        const double got = expressions.Evaluate(table, text);
        if (std::isnan(want))
          EXPECT_TRUE(std::isnan(got)) << text;
        else
          EXPECT_EQ(got, want) << "text '" << text << "' a=" << a;
      }
    }
  }
}

TEST_F(FigureExpressionsTest, RandomDrawsFollowTheEngineSequence) {
  // Both engines start from the same seed and draw once per evaluation.
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(expressions.Evaluate(table, "random"), plain_engine.EvaluateText(table, "random"));
  EXPECT_EQ(cached_engine.random_seed, plain_engine.random_seed);
}

TEST_F(FigureExpressionsTest, UsesVariableByCell) {
  struct Case {
    std::string_view text;
    int row, column;
    bool uses;
  };
  const Case cases[] = {
      {"a*x", 0, 1, true},  {"a*x", 0, 24, true},  {"a*x", 0, 2, false},
      {"a1+b", 1, 1, true}, {"a1+b", 0, 1, false}, {"2.5", 0, 1, false},
      {"", 0, 1, false},    {"a", 13, 1, false},   {"a", 0, 0, false},
  };
  for (int round = 0; round < 2; ++round)
    for (const Case& c : cases)
      EXPECT_EQ(expressions.UsesVariable(c.text, c.row, c.column), c.uses)
          << c.text << " " << c.row << "," << c.column;
}

}  // namespace
}  // namespace qzarn
