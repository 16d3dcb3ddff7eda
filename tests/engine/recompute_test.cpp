#include "engine/recompute.h"

#include <gtest/gtest.h>

#include "engine/references.h"
#include "engine_fixture.h"
#include "screen_builder.h"

namespace qzarn {
namespace {

using testing::EngineFixture;
using testing::ScreenBuilder;

class RecomputeTest : public ::testing::Test, public EngineFixture {
 protected:
  Screen& screen() { return b.screen(); }
  PointRecord& P(int i) { return *b.Record(i).point(); }
  bool Computed(int i) { return screen().Figures[i].Computed != 0; }
  void Pass() { engine.RecomputeScreen(screen()); }

  ScreenBuilder b;
};

TEST_F(RecomputeTest, ReferenceToAHigherSlotIsComputedFirst) {
  const int tied = b.Point("0", "0", 1);
  const int free = b.Point("2*3", "-1.5");
  ASSERT_EQ(tied, 0);
  ASSERT_EQ(free, 1);
  Pass();
  EXPECT_DOUBLE_EQ(P(tied).X, 6);
  EXPECT_DOUBLE_EQ(P(tied).Y, -1.5);
  EXPECT_TRUE(Computed(tied));
  EXPECT_TRUE(Computed(free));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RecomputeTest, ReferenceToAnEmptySlotReadsOffPlaneButCounts) {
  const int p = b.Point("1", "2", 7);
  Pass();
  EXPECT_EQ(P(p).X, OffPlaneValue);
  EXPECT_EQ(P(p).Y, OffPlaneValue);
  EXPECT_TRUE(Computed(p));
}

TEST_F(RecomputeTest, CycleIsReportedOnceAndAgainOnlyAfterAPassWithoutIt) {
  const int a = b.Point("1", "1", 1);
  const int c = b.Point("2", "2", 0);
  Pass();
  EXPECT_FALSE(Computed(a));
  EXPECT_FALSE(Computed(c));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], kCycleMessage);
  EXPECT_TRUE(screen().CycleReported);

  Pass();  // the cycle is still there: silent
  Pass();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_TRUE(screen().CycleReported);

  P(c).Ref0 = kNoReference;  // the user breaks the cycle
  Pass();
  EXPECT_TRUE(Computed(a));
  EXPECT_TRUE(Computed(c));
  EXPECT_DOUBLE_EQ(P(a).X, 2);
  EXPECT_FALSE(screen().CycleReported);
  EXPECT_EQ(ui.messages.size(), 1u);

  P(c).Ref0 = a;  // a new cycle is reported again
  Pass();
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(RecomputeTest, FiguresOutsideTheCycleAreStillComputed) {
  const int a = b.Point("1", "1", 1);
  b.Point("2", "2", 0);
  const int free = b.Point("5", "6");
  const int mid = b.Bunten(free, a, "1", "1");
  Pass();
  EXPECT_TRUE(Computed(free));
  EXPECT_DOUBLE_EQ(P(free).X, 5);
  // A dividing point runs its construction even when a reference failed.
  EXPECT_FALSE(Computed(mid));
  EXPECT_TRUE(std::isfinite(P(mid).X));
}

TEST(RecomputeChainTest, LongChainsStopAtTheComputationLimit) {
  // Point i is tied to point i + 1; the last one is free. From root 0 at most
  // 101 figures start; with 102 the last start hits the limit, root 1 then
  // gets through, so only the first figure stays uncomputed.
  struct Case {
    int length;
    bool first_computed;
    std::size_t messages;
  };
  const Case cases[] = {{100, true, 0}, {102, false, 1}};
  for (const Case& c : cases) {
    EngineFixture f;
    ScreenBuilder b;
    for (int i = 0; i < c.length - 1; ++i)
      b.Point("0", "0", i + 1);
    b.Point("3", "4");
    f.engine.RecomputeScreen(b.screen());
    EXPECT_EQ(b.screen().Figures[0].Computed != 0, c.first_computed) << c.length;
    for (int i = 1; i < c.length; ++i)
      EXPECT_TRUE(b.screen().Figures[i].Computed) << i;
    EXPECT_DOUBLE_EQ(b.Record(1).point()->Y, 4) << c.length;
    EXPECT_EQ(f.ui.messages.size(), c.messages) << c.length;
  }
}

TEST_F(RecomputeTest, DisplayConditionIsEvaluatedOnlyWhileSwitchedOn) {
  const int on = b.Point("1", "1");
  const int off = b.Point("1", "1");
  P(on).Boolean = true;
  P(on).BooleanFunc = "a>1";
  P(off).BooleanFunc = "a>1";
  P(off).ConditionValue = 7;
  screen().Variables().write(0, 1, 2);
  Pass();
  EXPECT_DOUBLE_EQ(P(on).ConditionValue, 1);
  EXPECT_DOUBLE_EQ(P(off).ConditionValue, 7);
  screen().Variables().write(0, 1, 0);
  Pass();
  EXPECT_DOUBLE_EQ(P(on).ConditionValue, 0);
}

TEST_F(RecomputeTest, FailingExpressionLandsOffThePlane) {
  const int p = b.Point("1/0", "sqrt(-1)");
  const int q = b.Point("25000", "30000*1");
  Pass();
  EXPECT_EQ(P(p).X, OffPlaneValue);
  EXPECT_EQ(P(p).Y, OffPlaneValue);
  EXPECT_DOUBLE_EQ(P(q).X, 25000);  // a plain number is taken as written
  EXPECT_DOUBLE_EQ(P(q).Y, 10000);  // an expression result is clamped
}

TEST_F(RecomputeTest, VariablesAreSeenByTheNextPass) {
  const int p = b.Point("a+1", "a*a");
  screen().Variables().write(0, 1, 2);
  Pass();
  EXPECT_DOUBLE_EQ(P(p).X, 3);
  screen().Variables().write(0, 1, -3);
  Pass();
  EXPECT_DOUBLE_EQ(P(p).X, -2);
  EXPECT_DOUBLE_EQ(P(p).Y, 9);
}

TEST_F(RecomputeTest, SuisenInACycleKeepsItsLastValues) {
  const int a = b.Point("1", "1", 1);
  b.Point("2", "2", 0);
  const int foot = b.Suisen(a, kXAxisReference);
  P(foot).X = 42;
  P(foot).Y = 43;
  Pass();
  EXPECT_FALSE(Computed(foot));
  EXPECT_DOUBLE_EQ(P(foot).X, 42);
  EXPECT_DOUBLE_EQ(P(foot).Y, 43);
}

TEST_F(RecomputeTest, ComputeFigureOutsideAPassDoesNothing) {
  const int p = b.Point("1", "2");
  EXPECT_TRUE(engine.ComputeFigure(p));
  EXPECT_FALSE(Computed(p));
}

}  // namespace
}  // namespace qzarn

namespace qzarn {
namespace {

// A moved free point and what hangs on it, next to figures that do not: the
// partial pass must bring the first up to date exactly as a full pass does and
// leave the others as the last full pass left them.
TEST_F(RecomputeTest, PartialPassRecomputesTheListedFiguresAsAFullPassWould) {
  const int line_first = b.LineThrough(2, 3);  // refers to higher slots
  const int other = b.Point("-4", "1");
  const int moved = b.Point("1", "1");
  const int fixed = b.Point("3", "-2");
  const int mid = b.Bunten(moved, fixed, "1", "1");
  const int tied = b.Point("0", "0", mid);
  const int foot = b.Suisen(other, line_first);
  Pass();
  const std::vector<int> changing = FigureAndDependents(screen(), moved);
  EXPECT_EQ(changing, (std::vector<int>{line_first, moved, mid, tied, foot}));

  P(moved).FX = "5";
  P(moved).FY = "2";
  P(other).FX = "9";  // not listed: must keep its computed place
  ASSERT_TRUE(engine.RecomputeFigures(screen(), changing));
  EXPECT_DOUBLE_EQ(P(other).X, -4);
  EXPECT_DOUBLE_EQ(P(moved).X, 5);
  EXPECT_DOUBLE_EQ(P(mid).X, 4);
  EXPECT_DOUBLE_EQ(P(tied).Y, 0);
  EXPECT_DOUBLE_EQ(b.Record(line_first).line()->X0, 5);
  for (int i = 0; i <= foot; ++i)
    EXPECT_TRUE(Computed(i)) << i;
  const PointRecord partial_foot = P(foot);

  P(other).FX = "-4";
  Pass();
  EXPECT_DOUBLE_EQ(P(foot).X, partial_foot.X);
  EXPECT_DOUBLE_EQ(P(foot).Y, partial_foot.Y);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RecomputeTest, PartialPassReportsACycleToItsCallerWithoutAMessage) {
  const int a = b.Point("1", "1", 1);
  b.Point("2", "2", 0);
  const int free = b.Point("5", "5");
  EXPECT_TRUE(engine.RecomputeFigures(screen(), std::vector<int>{free}));
  EXPECT_FALSE(engine.RecomputeFigures(screen(), FigureAndDependents(screen(), a)));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(FigureAndDependents(screen(), 40).empty());
}

}  // namespace
}  // namespace qzarn
