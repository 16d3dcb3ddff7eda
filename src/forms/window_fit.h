#pragma once
// Where a window goes so that all of it can be reached: its frame (the
// window with its title bar and borders) moved, and shrunk where the window
// can be resized, into the area of the desktop that windows may use (the
// screen less its panels). Coordinates are the desktop's, in its logical
// pixels; positions read from settings files may be anything a 32-bit number
// holds, so nothing here overflows.

#include <cstdint>

namespace qzarn::forms {

struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

// The frame's borders around the client area: what a frame adds to it.
struct FrameBorders {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// Whether the frame lies wholly inside the area.
bool LiesWithin(const WindowRect& frame, const WindowRect& area);

// The frame moved by as little as it takes to lie wholly in `area`. A frame
// larger than the area is shrunk to it when `resizable`; otherwise its top-left
// corner (the title bar and the window's first controls) stays on the area.
WindowRect FitFrame(const WindowRect& frame, const WindowRect& area, bool resizable);

}  // namespace qzarn::forms
