#include "settings/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace qzarn {
namespace {

constexpr int kMinimumWindowSize = 200;
constexpr int kVisibleMargin = 8;

int clamp_size(int size, int screen) {
  return std::clamp(size, std::min(kMinimumWindowSize, screen), std::max(screen, 1));
}

int place_edge(int edge, int size, int screen) {
  // The edge comes from the settings file and may be any 32-bit number: the
  // sums are taken in 64 bits so that none of them wraps.
  const std::int64_t far_edge = std::int64_t{edge} + size;
  const bool lost =
      far_edge < kVisibleMargin || std::int64_t{edge} > std::int64_t{screen} - kVisibleMargin;
  return lost ? 0 : edge;
}

}  // namespace

WindowBounds place_main_window(const UserSettings& settings, int screen_width, int screen_height) {
  if (settings.Width < -10 && settings.Height < -10) return {0, 0, screen_width, screen_height};
  WindowBounds b;
  b.width = clamp_size(settings.Width, screen_width);
  b.height = clamp_size(settings.Height, screen_height);
  b.left = place_edge(settings.Left, b.width, screen_width);
  b.top = place_edge(settings.Top, b.height, screen_height);
  return b;
}

}  // namespace qzarn
