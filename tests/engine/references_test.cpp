#include "engine/references.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "screen_builder.h"

namespace qzarn {
namespace {

using testing::RecordingUi;
using testing::ScreenBuilder;

class DeleteTest : public ::testing::Test {
 protected:
  bool Present(int i) { return !b.screen().Figures[i].empty(); }

  ScreenBuilder b;
  RecordingUi ui;
};

TEST_F(DeleteTest, DependentsAreDeletedAfterOneQuestion) {
  const int p = b.Point("0", "0");
  const int q = b.Point("1", "1");
  const int line = b.LineThrough(p, q);
  const int other = b.Line("0", "1", "1", "0");
  const int cross = b.Cross(line, other);
  const int unrelated = b.Point("5", "5");
  EXPECT_TRUE(DeleteWithDependents(b.screen(), p, ui));
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], kDeleteDependentsQuestion);
  EXPECT_FALSE(Present(p));
  EXPECT_FALSE(Present(line));
  EXPECT_FALSE(Present(cross));
  EXPECT_TRUE(Present(q));
  EXPECT_TRUE(Present(other));
  EXPECT_TRUE(Present(unrelated));
  EXPECT_EQ(b.screen().Figures.LastIndex, unrelated);  // deleting never lowers it
}

TEST_F(DeleteTest, AFigureNobodyUsesGoesWithoutAQuestion) {
  const int p = b.Point("0", "0");
  const int q = b.Point("1", "1", p);  // q refers to p, not the other way round
  EXPECT_TRUE(DeleteWithDependents(b.screen(), q, ui));
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_FALSE(Present(q));
  EXPECT_TRUE(Present(p));
}

TEST_F(DeleteTest, AnsweringNoKeepsEverything) {
  const int p = b.Point("0", "0");
  const int q = b.Point("1", "1", p);
  ui.answer = false;
  EXPECT_FALSE(DeleteWithDependents(b.screen(), p, ui));
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_TRUE(Present(p));
  EXPECT_TRUE(Present(q));
}

TEST_F(DeleteTest, ReferencesToAnyPointOfAnIntersectionSetAreFound) {
  const int set = b.Cross3(kXAxisReference, kYAxisReference);
  const int at2 = b.Point("0", "0", set + 2 * 10000);
  const int at3 = b.Point("0", "0", set + 3 * 10000);
  EXPECT_TRUE(DeleteWithDependents(b.screen(), set, ui));
  EXPECT_FALSE(Present(at2));
  EXPECT_FALSE(Present(at3));
}

TEST_F(DeleteTest, ReferencesOfUnusedFormsDoNotCount) {
  const int p = b.Point("0", "0");
  // An equation-form line keeps stale reference fields that it never reads.
  const int general = b.LineLike(kLineFigure, 1, "1", "1", "0", "", p, p);
  const int standard = b.Circle(2, "0", "0", "1", "", "", "", p, p, p);
  EXPECT_TRUE(DeleteWithDependents(b.screen(), p, ui));
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_TRUE(Present(general));
  EXPECT_TRUE(Present(standard));
}

TEST_F(DeleteTest, TheSearchStopsAtItsLimit) {
  // Point i + 1 is tied to point i. 101 searches mark the root and 101
  // dependents; the rest stay, referring to an emptied slot.
  constexpr int kChain = 106;
  b.Point("0", "0");
  for (int i = 1; i < kChain; ++i)
    b.Point("0", "0", i - 1);
  EXPECT_TRUE(DeleteWithDependents(b.screen(), 0, ui));
  for (int i = 0; i <= kDependentSearchLimit; ++i)
    EXPECT_FALSE(Present(i)) << i;
  for (int i = kDependentSearchLimit + 1; i < kChain; ++i)
    EXPECT_TRUE(Present(i)) << i;
}

TEST_F(DeleteTest, IndicesOutsideTheTableAreIgnored) {
  b.Point("0", "0");
  EXPECT_FALSE(DeleteWithDependents(b.screen(), -1, ui));
  EXPECT_FALSE(DeleteWithDependents(b.screen(), 501, ui));
  EXPECT_TRUE(Present(0));
}

}  // namespace
}  // namespace qzarn
