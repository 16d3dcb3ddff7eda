#include "forms/window_fit.h"

#include <algorithm>

namespace qzarn::forms {
namespace {

using Wide = std::int64_t;

Wide RightOf(const WindowRect& r) {
  return Wide{r.left} + r.width;
}
Wide BottomOf(const WindowRect& r) {
  return Wide{r.top} + r.height;
}

// One axis: the start that puts [start, start + size) inside [low, low + room),
// or at `low` when it cannot fit.
Wide FitAxis(Wide start, Wide size, Wide low, Wide room) {
  if (size >= room) return low;
  return std::clamp(start, low, low + room - size);
}

}  // namespace

bool LiesWithin(const WindowRect& frame, const WindowRect& area) {
  return frame.left >= area.left && frame.top >= area.top && RightOf(frame) <= RightOf(area) &&
         BottomOf(frame) <= BottomOf(area);
}

WindowRect FitFrame(const WindowRect& frame, const WindowRect& area, bool resizable) {
  WindowRect fitted = frame;
  const Wide room_x = std::max(0, area.width);
  const Wide room_y = std::max(0, area.height);
  if (resizable) {
    fitted.width = static_cast<std::int32_t>(std::min<Wide>(std::max(0, frame.width), room_x));
    fitted.height = static_cast<std::int32_t>(std::min<Wide>(std::max(0, frame.height), room_y));
  }
  fitted.left = static_cast<std::int32_t>(FitAxis(frame.left, fitted.width, area.left, room_x));
  fitted.top = static_cast<std::int32_t>(FitAxis(frame.top, fitted.height, area.top, room_y));
  return fitted;
}

}  // namespace qzarn::forms
