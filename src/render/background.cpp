#include "render/background.h"

#include <algorithm>

namespace qzarn::render {

namespace {

int Round(double v) {
  return RoundToInt(v);
}

void DrawPictureCentred(DrawContext& ctx, const RgbImage& picture) {
  const int gw = picture.width, gh = picture.height;
  Canvas& canvas = ctx.canvas();
  if (!ctx.printing()) {
    const int left = (Round(ctx.W()) - gw) / 2, top = (Round(ctx.H()) - gh) / 2;
    canvas.DrawImage(Rect{left, top, left + gw, top + gh}, picture);
    return;
  }
  const double p = ctx.print_scale();
  const int left = Round(ctx.W() - gw * p) / 2, top = Round(ctx.H() - gh * p) / 2;
  canvas.DrawImage(Rect{left, top, left + Round(gw * p), top + Round(gh * p)}, picture);
}

void DrawPictureTiled(DrawContext& ctx, const RgbImage& picture) {
  const int gw = picture.width, gh = picture.height;
  const double p = ctx.print_scale();
  const int tile_w = std::max(1, Round(gw * p)), tile_h = std::max(1, Round(gh * p));
  const int w = Round(ctx.W()), h = Round(ctx.H());
  const int columns = w / tile_w + (w % tile_w != 0 ? 1 : 0);
  const int rows = h / tile_h + (h % tile_h != 0 ? 1 : 0);
  Canvas& canvas = ctx.canvas();
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      if (!ctx.printing()) {
        const int x = column * gw, y = row * gh;
        canvas.DrawImage(Rect{x, y, x + gw, y + gh}, picture);
      } else {
        const int x = Round(gw * column * p), y = Round(gh * row * p);
        canvas.DrawImage(Rect{x, y, x + tile_w, y + tile_h}, picture);
      }
    }
  }
}

void DrawPictureEnlarged(DrawContext& ctx, const RgbImage& picture) {
  const double gw = picture.width, gh = picture.height;
  const double f = gw / gh >= ctx.W() / ctx.H() ? ctx.W() / gw : ctx.H() / gh;
  const int w = Round(gw * f), h = Round(gh * f);
  const int left = (Round(ctx.W()) - w) / 2, top = (Round(ctx.H()) - h) / 2;
  ctx.canvas().DrawImage(Rect{left, top, left + w, top + h}, picture);
}

}  // namespace

void DrawBackground(DrawContext& ctx) {
  const ViewParams& params = ctx.params();
  Canvas& canvas = ctx.canvas();
  const Colour bg = params.background;
  canvas.SetRasterMode(RasterMode::kCopy);
  canvas.SetPen(Pen{bg, 1, PenStyle::kSolid});
  if (params.coordinate_kind_code == kHatchedBackgroundKind) {
    canvas.SetBackground(BackgroundMode::kOpaque, bg);
    canvas.SetBrush(Brush{BrushStyle::kBackDiagonal, kBlack});
  } else {
    canvas.SetBackground(BackgroundMode::kTransparent, bg);
    canvas.SetBrush(Brush{BrushStyle::kSolid, bg});
  }
  const double p = ctx.print_scale();
  canvas.DrawRectangle(
      Rect{-1, -1, Round(ctx.view().surface_width * p), Round(ctx.view().surface_height * p)});
  canvas.SetBrush(Brush{BrushStyle::kClear, bg});
  canvas.SetBackground(BackgroundMode::kTransparent, bg);

  const RgbImage* picture = params.picture;
  if (picture == nullptr || picture->empty()) return;
  if (!(ctx.W() > 0) || !(ctx.H() > 0)) return;
  switch (static_cast<PictureMode>(params.picture_mode % 100)) {
    case PictureMode::kCentre:
      DrawPictureCentred(ctx, *picture);
      break;
    case PictureMode::kTile:
      DrawPictureTiled(ctx, *picture);
      break;
    case PictureMode::kEnlarge:
      DrawPictureEnlarged(ctx, *picture);
      break;
    default:
      break;
  }
}

void DrawOuterFrame(DrawContext& ctx) {
  if (!ctx.params().FrameOn()) return;
  Canvas& canvas = ctx.canvas();
  canvas.SetRasterMode(RasterMode::kCopy);
  canvas.SetPen(Pen{kBlack, 1, PenStyle::kSolid});
  canvas.SetBrush(Brush{BrushStyle::kClear, kBlack});
  canvas.DrawRectangle(Rect{0, 0, ctx.view().surface_width, ctx.view().surface_height});
}

}  // namespace qzarn::render
