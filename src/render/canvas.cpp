#include "render/canvas.h"

namespace qzarn::render {

PointF AnchoredTextOrigin(PointF at, const TextExtent& extent, const TextAnchor& anchor) {
  PointF origin = at;
  switch (anchor.horizontal) {
    case HorizontalAnchor::kStart:
      break;
    case HorizontalAnchor::kCentre:
      origin.x -= extent.width / 2.0;
      break;
    case HorizontalAnchor::kEnd:
      origin.x -= extent.width;
      break;
  }
  switch (anchor.vertical) {
    case VerticalAnchor::kTop:
      break;
    case VerticalAnchor::kMiddle:
      origin.y -= extent.height / 2.0;
      break;
    case VerticalAnchor::kBottom:
      origin.y -= extent.height;
      break;
    case VerticalAnchor::kBaseline:
      origin.y -= extent.ascent;
      break;
  }
  return origin;
}

}  // namespace qzarn::render
