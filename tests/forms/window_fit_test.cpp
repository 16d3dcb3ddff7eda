#include "forms/window_fit.h"

#include <gtest/gtest.h>

#include <climits>

namespace qzarn::forms {
namespace {

// Frames against the available area of screens of several sizes and scale
// factors (logical pixels: 1280 x 800 at scale 2 is 640 x 400), with a panel
// taking the top 30 pixels.
TEST(WindowFit, EveryFrameEndsWhollyOnTheAreaMovedAsLittleAsPossible) {
  struct Case {
    const char* what;
    WindowRect frame;
    bool resizable;
    WindowRect expected;  // on a 1600 x 1000 screen less the panel
  };
  const WindowRect area{0, 30, 1600, 970};
  const Case cases[] = {
      {"inside stays", {100, 100, 400, 300}, false, {100, 100, 400, 300}},
      {"title bar below the bottom", {1200, 995, 300, 200}, false, {1200, 800, 300, 200}},
      {"under the panel", {10, 0, 300, 200}, false, {10, 30, 300, 200}},
      {"left of the screen", {-250, 500, 300, 200}, false, {0, 500, 300, 200}},
      {"whole screen plus borders, resizable", {-4, -24, 1608, 1028}, true, {0, 30, 1600, 970}},
      {"too large, fixed: its corner on the area", {500, 500, 1700, 1100}, false,
       {0, 30, 1700, 1100}},
      {"edges at the ends of the 32-bit range", {INT_MAX, INT_MIN, 300, 200}, false,
       {1300, 30, 300, 200}},
      {"size at the end of the 32-bit range", {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, true,
       {0, 30, 1600, 970}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const WindowRect fitted = FitFrame(c.frame, area, c.resizable);
    EXPECT_EQ(fitted, c.expected);
    if (c.expected.width <= area.width) {
      EXPECT_TRUE(LiesWithin(fitted, area));
    }
  }
  // The same frames on smaller screens and scale factors all fit when they can.
  for (const WindowRect small : {WindowRect{0, 0, 1280, 800}, WindowRect{0, 0, 853, 533},
                                 WindowRect{0, 0, 640, 400}, WindowRect{1600, 0, 640, 400}})
    for (const Case& c : cases) {
      const WindowRect fitted = FitFrame(c.frame, small, true);
      EXPECT_TRUE(LiesWithin(fitted, small)) << c.what << " on " << small.width;
    }
}

}  // namespace
}  // namespace qzarn::forms
