#include <gtest/gtest.h>

#include "engine/number_format.h"

namespace qzarn {
namespace {

TEST(FormatNumber, FixedPointWithoutTrailingZeros) {
  struct Case {
    double v;
    int d;
    const char* text;
  };
  const Case cases[] = {
      {1.5, 8, "1.5"},           {2.0, 8, "2"},
      {-2.25, 8, "-2.25"},       {0.0, 8, "0"},
      {5e-11, 8, "0"},           {-5e-11, 10, "0"},
      {-1e-9, 8, "0"},           {1.0 / 3, 8, "0.33333333"},
      {100.0, 0, "100"},         {1234.5, 10, "1234.5"},
      {1e-9, 10, "0.000000001"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatNumber(c.v, c.d), c.text) << c.v;
}

TEST(GraphText, LinesAndParabolas) {
  EXPECT_EQ(LineGraphText({{0, 1}, {1, 3}}), "2*x+1");
  EXPECT_EQ(LineGraphText({{1, 0}, {3, -1}}), "-0.5*x+0.5");
  EXPECT_EQ(LineGraphText({{0, -1}, {2, -1}}), "0*x-1");
  EXPECT_EQ(LineGraphText({{2, 0}, {2 + 1e-6, 5}}), "");
  // Vertex (1, -1), point (2, 0): y = x^2 - 2x + 0.
  EXPECT_EQ(ParabolaGraphText({{1, -1}, {2, 0}}), "1*x*x-2*x+0");
  EXPECT_EQ(ParabolaGraphText({{0, 2}, {1, 1}}), "-1*x*x+0*x+2");
  EXPECT_EQ(ParabolaGraphText({{0, 2}, {0, 1}}), "");
}

}  // namespace
}  // namespace qzarn
