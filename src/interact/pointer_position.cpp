// The pointer's position in the status bar, written in the screen's
// coordinate kind.

#include <cmath>
#include <numbers>
#include <string>

#include "engine/number_format.h"
#include "engine/point_constructions.h"
#include "interact/pointer_tools.h"
#include "interact/pointer_tools_support.h"

namespace qzarn::interact {

std::string PositionText(CoordinateKind kind, double x, double y) {
  const std::string ty = FormatNumber(y, kWrittenDecimals);
  switch (kind) {
    case CoordinateKind::kDegrees:
      return " (" + FormatNumber(x * 180 / std::numbers::pi, 0) + "ﾟ, " + ty + ")";
    case CoordinateKind::kRadians:
      return " (" + FormatNumber(x / std::numbers::pi, 2) + "π, " + ty + ")";
    case CoordinateKind::kPolar:
      return " (" + FormatNumber(std::hypot(x, y), 1) + ", " +
             FormatNumber(DirectionAngle(x, y), 0) + "゜)";
    case CoordinateKind::kComplex: {
      // The sign comes from the written imaginary part: a tiny negative value
      // written as 0 still gets its "+".
      const std::string tx = FormatNumber(x, kWrittenDecimals);
      return ty.front() == '-' ? " " + tx + ty + "i" : " " + tx + "+" + ty + "i";
    }
    case CoordinateKind::kStandard:
    default:
      return " (" + FormatNumber(x, kWrittenDecimals) + ", " + ty + ")";
  }
}

void ShowPosition(PointerContext& ctx, const Screen& screen, double px, double py) {
  const MouseFrame frame = MouseFrameOf(ctx, screen);
  const SnappedPoint p = SnapMouse(frame.view, frame.snap, px, py);
  ctx.ui.SetStatus(kPositionPanel, PositionText(frame.snap.kind, p.x, p.y));
}

}  // namespace qzarn::interact
