#include "forms/anime_player.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace qzarn {
namespace {

std::vector<double> Play(AnimePlayer& player, int limit = 100) {
  std::vector<double> shown;
  while (limit-- > 0) {
    const std::optional<double> v = player.Tick();
    if (!v) break;
    shown.push_back(*v);
  }
  return shown;
}

void ExpectValues(const std::vector<double>& got, const std::vector<double>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i)
    EXPECT_NEAR(got[i], want[i], 1e-12) << i;
}

TEST(AnimePlayer, PlaysToTheLimitThroughTheMargin) {
  struct Case {
    AnimeRange range;
    double start;
    bool forward;
    std::vector<double> shown;
  } cases[] = {
      {{0, 1, 0.25}, 0, true, {0, 0.25, 0.5, 0.75, 1}},
      {{0, 1, 0.3}, 0, true, {0, 0.3, 0.6, 0.9, 1}},
      {{0, 1, 0.25}, 1, false, {1, 0.75, 0.5, 0.25, 0}},
      {{0, 1, 0.3}, 1, false, {1, 0.7, 0.4, 0.1, 0}},
      // 0.95 lies within a tenth of a step below the maximum: the limit follows
      {{0, 1, 0.1}, 0.8, true, {0.8, 0.9, 1}},
      {{0, 1, 0.1}, 1, true, {1}},
      // the snapped display grid hides the float drift of repeated additions
      {{0, 0.3, 0.1}, 0, true, {0, 0.1, 0.2, 0.3}},
  };
  for (const Case& c : cases) {
    AnimePlayer player;
    ASSERT_TRUE(c.forward ? player.PlayForward(c.range, c.start)
                          : player.PlayBackward(c.range, c.start));
    ExpectValues(Play(player), c.shown);
    EXPECT_FALSE(player.playing());
  }
}

TEST(AnimePlayer, RefusesStepsThatNeverReachTheEnd) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (AnimeRange bad : {AnimeRange{0, 1, 0}, AnimeRange{0, 1, -0.1}, AnimeRange{0, 1, nan},
                         AnimeRange{1, 0, 0.1}, AnimeRange{0, INFINITY, 0.1}}) {
    AnimePlayer player;
    EXPECT_FALSE(player.PlayForward(bad, 0));
    EXPECT_FALSE(player.PlayBackward(bad, 0));
    EXPECT_FALSE(player.Tick());
    EXPECT_FALSE(AnimeStepForward(bad, 0));
    EXPECT_FALSE(AnimeStepBack(bad, 0));
  }
}

TEST(AnimePlayer, DirectionsReplaceEachOtherAndHaltKeepsNothingRunning) {
  AnimePlayer player;
  const AnimeRange r{0, 1, 0.25};
  player.PlayForward(r, 0);
  EXPECT_EQ(*player.Tick(), 0);
  EXPECT_EQ(*player.Tick(), 0.25);
  player.Halt();  // pause: the box keeps 0.25
  EXPECT_FALSE(player.Tick());
  player.PlayBackward(r, 0.25);
  EXPECT_EQ(player.state(), AnimePlayer::State::kBackward);
  ExpectValues(Play(player), {0.25, 0});  // 0 is the limit, not a regular value
}

TEST(AnimePlayer, SingleStepsClampAndSnap) {
  const AnimeRange r{0, 1, 0.1};
  EXPECT_DOUBLE_EQ(*AnimeStepForward(r, 0.95), 1);
  EXPECT_DOUBLE_EQ(*AnimeStepForward(r, 1), 1);
  EXPECT_DOUBLE_EQ(*AnimeStepBack(r, 0.05), 0);
  EXPECT_DOUBLE_EQ(*AnimeStepForward(r, 0.2), 0.3);  // not 0.30000000000000004
  EXPECT_EQ(*AnimeStepForward(r, 0.2), SnapToDisplayGrid(0.3));
}

TEST(AnimePlayer, SnapIntervalAndPause) {
  EXPECT_DOUBLE_EQ(SnapToDisplayGrid(0.1 + 0.2), 0.3);
  EXPECT_DOUBLE_EQ(SnapToDisplayGrid(1.0000004), 1.0);
  EXPECT_DOUBLE_EQ(SnapToDisplayGrid(-2.0000006), -2.000001);
  EXPECT_EQ(SnapToDisplayGrid(5000.0), 5000.0);  // beyond 32 bits of millionths: as is
  EXPECT_EQ(SnapToDisplayGrid(5000.0000004), 5000.0000004);
  struct {
    double pause;
    int ms;
  } cases[] = {{0, 1}, {0.05, 50}, {1, 1000}, {1.5, 1500}, {5, 5000}, {9, 5000}, {-1, 1}};
  for (const auto& c : cases)
    EXPECT_EQ(AnimeInterval(c.pause), c.ms) << c.pause;
  EXPECT_DOUBLE_EQ(ClampAnimePause(0.52), 0.5);
  EXPECT_DOUBLE_EQ(ClampAnimePause(std::nan("")), 0);
}

}  // namespace
}  // namespace qzarn
