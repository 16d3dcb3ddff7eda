#include "render/object_frame.h"

#include <algorithm>
#include <cmath>

#include "document/embedded_object.h"
#include "render/figure_drawing_primitives.h"
#include "render/text_box.h"

namespace qzarn::render {

namespace {

constexpr double kMaxCornerCoordinate = 1e8;
constexpr int kIconSize = 32;  // at zoom 1
constexpr int kCaptionHeight = 12;

// A sheet of paper with a folded corner and three lines of "writing".
void DrawIcon(Canvas& canvas, const Rect& icon, Colour ink) {
  const int w = icon.width();
  const int fold = w / 4;
  const int l = icon.left + w / 8, r = icon.right - 1 - w / 8;
  const int t = icon.top, b = icon.bottom - 1;
  canvas.SetPen(Pen{ink, 1, PenStyle::kSolid});
  canvas.SetBrush(Brush{BrushStyle::kSolid, kWhite});
  const Point sheet[] = {{l, t}, {r - fold, t}, {r, t + fold}, {r, b}, {l, b}};
  canvas.DrawPolygon(sheet);
  const Point corner[] = {{r - fold, t}, {r - fold, t + fold}, {r, t + fold}};
  canvas.DrawPolyline(corner);
  for (int k = 1; k <= 3; ++k) {
    const int y = t + fold + k * (b - t - fold) / 4;
    canvas.DrawLine(Point{l + w / 8, y}, Point{r - w / 8, y});
  }
}

void DrawStandIn(DrawContext& ctx, const Rect& box, const FrameRecord& f,
                 const ObjectSummary& object) {
  Canvas& canvas = ctx.canvas();
  if (object.picture && !f.IsIcon) {
    const RgbImage& picture = *object.picture;
    canvas.DrawImage(PlacePicture(box, picture.width, picture.height, f.Object().SizeM, ctx.z()),
                     picture);
    return;
  }
  const int icon = std::max(8, RoundToInt(kIconSize * ctx.z() * ctx.print_scale()));
  const int caption = std::max(6, RoundToInt(kCaptionHeight * ctx.z() * ctx.print_scale()));
  const int cx = box.left + box.width() / 2;
  const int top = box.top + std::max(2, (box.height() - icon - caption - 4) / 2);
  DrawIcon(canvas, Rect{cx - icon / 2, top, cx - icon / 2 + icon, top + icon}, 0x808080);
  Font font;
  font.height = caption;
  font.colour = kBlack;
  canvas.SetFont(font);
  canvas.SetTextAnchor(TextAnchor{HorizontalAnchor::kCentre, VerticalAnchor::kTop});
  canvas.SetBackground(BackgroundMode::kTransparent, kWhite);
  const std::string& name =
      object.class_name.empty() ? std::string(kUnknownObjectCaption) : object.class_name;
  canvas.DrawText(PointF{static_cast<double>(cx), static_cast<double>(top + icon + 4)}, name);
}

}  // namespace

std::optional<Rect> ObjectFrameBox(const DrawContext& ctx, const FrameRecord& f) {
  for (double v : {f.X0.get(), f.Y0.get(), f.X1.get(), f.Y1.get()})
    if (!(std::fabs(v) < kMaxCornerCoordinate)) return std::nullopt;
  const double x0 = ctx.PX(f.X0), x1 = ctx.PX(f.X1);
  const double y0 = ctx.PY(f.Y0), y1 = ctx.PY(f.Y1);
  for (double v : {x0, x1, y0, y1})
    if (!(std::fabs(v) < kMaxPixel)) return std::nullopt;
  const int left = RoundToInt(std::min(x0, x1));
  const int top = RoundToInt(std::min(y0, y1));
  return Rect{left, top, left + RoundToInt(std::fabs(x1 - x0)),
              top + RoundToInt(std::fabs(y1 - y0))};
}

Rect PlacePicture(const Rect& box, int width, int height, int mode, double zoom) {
  if (mode < 0 || mode > 2 || width <= 0 || height <= 0) return box;
  double w = width * zoom, h = height * zoom;
  if (mode == 2) {
    const double k = std::min(box.width() / w, box.height() / h);
    w *= k;
    h *= k;
  }
  const int iw = RoundToInt(w), ih = RoundToInt(h);
  if (mode == 0) return Rect{box.left, box.top, box.left + iw, box.top + ih};
  const int left = box.left + (box.width() - iw) / 2;
  const int top = box.top + (box.height() - ih) / 2;
  return Rect{left, top, left + iw, top + ih};
}

void DrawObjectFigure(FigureInk& ink, const FigureRecord& record) {
  const FrameRecord* f = record.frame();
  if (f == nullptr || !ConditionAllows(f->Boolean, f->ConditionValue)) return;
  DrawContext& ctx = ink.ctx();
  const std::optional<Rect> found = ObjectFrameBox(ctx, *f);
  if (!found) return;
  const Rect& box = *found;
  Canvas& canvas = ctx.canvas();
  if (!ink.erasable()) {
    canvas.SaveState();
    canvas.SetClipRect(box);
    if (ink.selected() || f->DispBk) {
      const Colour background =
          ink.selected() ? kButtonFaceColour : static_cast<Colour>(f->ColorBk.get() & 0xFFFFFFu);
      ink.NoPen();
      canvas.SetBrush(Brush{BrushStyle::kSolid, ctx.InkColour(background)});
      canvas.DrawRectangle(box);
    }
    DrawStandIn(ctx, box, *f, ObjectSummaryOf(record.owned));
    canvas.RestoreState();
  }
  if (ink.selected()) {
    ink.SolidPen(kBlack, 1);
  } else if (f->DispL) {
    ink.Pen(f->RimColor.get(), f->SizeL, f->StyleL);
  } else {
    return;
  }
  ink.NoFill();
  canvas.DrawRectangle(box);
}

}  // namespace qzarn::render
