// Hostile input never crashes, never loops and never yields a value that is
// not a number.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "expr_test_support.h"
#include "random_expressions.h"

namespace qzarn {
namespace {

void ExpectSane(testing::Bench& b, const std::string& text) {
  double v = b.engine.EvaluateText(b.table, text);
  EXPECT_TRUE(std::isfinite(v)) << text;
  b.engine.CheckExpression(b.table, text);
  ExpressionUsesVariable(text, 1, 0);
}

TEST(Robustness, RandomBytesAndTruncatedSentences) {
  testing::Bench b;
  testing::ExpressionGenerator gen(99);
  std::mt19937 rng(5);
  for (int i = 0; i < 3000; ++i) {
    std::string text(static_cast<std::size_t>(rng() % 300), '\0');
    for (char& c : text)
      c = static_cast<char>(rng());
    ExpectSane(b, text);
    std::string sentence = gen.Sentence(6);
    ExpectSane(b, sentence.substr(0, rng() % (sentence.size() + 1)));
  }
}

TEST(Robustness, TenThousandCharacterTexts) {
  testing::Bench b;
  const std::string pieces[] = {"x", "(", "1+", "\xe3\x81\x82", "a", " ", "9", "sin(", "e"};
  for (const std::string& piece : pieces) {
    std::string text;
    while (text.size() < 10000)
      text += piece;
    ExpectSane(b, text);
  }
  std::string long_number(10000, '7');
  ExpectSane(b, long_number);
  std::string long_sum = "1";
  while (long_sum.size() < 10000)
    long_sum += "+1";
  b.Eval(long_sum);
  EXPECT_TRUE(b.engine.flags.too_long);
}

TEST(Robustness, BytesAboveAsciiAreRejectedNotMisread) {
  testing::Bench b;
  for (int c = 0x80; c <= 0xFF; ++c) {
    std::string text = "1+";
    text += static_cast<char>(c);
    EXPECT_EQ(b.Eval(text).value, 0) << c;
    EXPECT_TRUE(b.engine.flags.syntax_error) << c;
  }
}

TEST(Robustness, SlowFunctionsStayBounded) {
  testing::Bench b;
  // The largest orders and counts the functions accept run in bounded time.
  for (const char* text :
       {"besselj(1,32757)", "besseli(2,32757)", "bessely(2,32757)", "legend(0.5,32757)",
        "fac(3000)", "con(3000,1500)", "bin(0.5,1000000000000,999999999999)", "celi1(1,1e-300)",
        "celi2(0.5,1e-300)"}) {
    double v = b.Eval(text).value;
    EXPECT_TRUE(std::isfinite(v)) << text;
  }
}

}  // namespace
}  // namespace qzarn
