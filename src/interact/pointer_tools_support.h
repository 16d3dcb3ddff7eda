#pragma once
// Helpers shared by the pointer tool sources.

#include "document/screen.h"
#include "render/draw_screen.h"
#include "interact/hit_test.h"
#include "interact/pointer_tools.h"
#include "render/view_transform.h"

namespace qzarn::interact {

// Decimals of positions written back into definition texts.
inline constexpr int kWrittenDecimals = 10;

// How mouse pixels become plane positions on the screen.
struct MouseFrame {
  ViewTransform view;
  SnapSettings snap;
};
inline MouseFrame MouseFrameOf(const PointerContext& ctx, const Screen& screen) {
  const ViewParams params = ViewParamsFromScreen(screen, nullptr);
  return {params.view, MouseSnapOf(screen, params, ctx.hit.free_positioning)};
}

// LastMouse keeps the snapped plane position and the pixel it came from.
inline void SetLastMouse(Screen& screen, double px, double py, SnappedPoint snapped) {
  screen.LastMouse.X = snapped.x;
  screen.LastMouse.Y = snapped.y;
  screen.LastMouse.PixelX = RoundToInt(px);
  screen.LastMouse.PixelY = RoundToInt(py);
}

}  // namespace qzarn::interact
