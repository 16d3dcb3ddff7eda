#pragma once
// Start-up rules that turn the stored window and screen sizes into usable ones.

#include "settings/settings_keys.h"

namespace qzarn {

struct WindowBounds {
  int left;
  int top;
  int width;
  int height;
};

// The main window's normal bounds from Left, Top, Width and Height on a screen of the given
// size: both sizes below -10 mean the whole screen at (0, 0); otherwise the sizes are
// clamped to 200 .. the screen size, and a left or top edge that leaves less than 8 pixels
// of the window on the screen, or lies beyond it, becomes 0.
WindowBounds place_main_window(const UserSettings& settings, int screen_width, int screen_height);

}  // namespace qzarn
