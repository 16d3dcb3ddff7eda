#include "render/picture_layout.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace qzarn::render {

namespace {

int Rounded(double v) {
  return static_cast<int>(std::lround(v));
}

}  // namespace

std::optional<PictureKind> PictureKindFromPath(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::nullopt;
  std::string ext(path.substr(dot + 1));
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (ext == "png") return PictureKind::kPng;
  if (ext == "bmp") return PictureKind::kBmp;
  if (ext == "jpg") return PictureKind::kJpeg;
  if (ext == "svg") return PictureKind::kSvg;
  if (ext == "pdf") return PictureKind::kPdf;
  return std::nullopt;
}

bool IsVectorKind(PictureKind kind) {
  return kind == PictureKind::kSvg || kind == PictureKind::kPdf;
}

double PrintScale(double pw, double ph, double th, double w, double h, int percent) {
  if (w <= 0 || h <= 0) return 1.0;
  const double k = std::clamp(percent, 10, 100) / 100.0;
  const double fit = std::min(pw / w, (ph - th) / h);
  return fit > 0 ? fit * k * 0.99 : 1.0;
}

ScaledPicture FitPicture(Size surface, std::optional<Size> requested, double scale) {
  if (surface.width <= 0 || surface.height <= 0) return {surface, 1.0};
  if (requested && requested->width > 0 && requested->height > 0) {
    const double k = std::min(static_cast<double>(requested->width) / surface.width,
                              static_cast<double>(requested->height) / surface.height);
    return {*requested, k};
  }
  if (scale <= 0) scale = 1.0;
  return {Size{std::max(1, Rounded(surface.width * scale)),
               std::max(1, Rounded(surface.height * scale))},
          scale};
}

ScaledEdges PrintEdges(Size surface, double scale, Size page, bool frame_on) {
  const int right = Rounded(surface.width * scale) + 1;
  const int bottom = Rounded(surface.height * scale) + 1;
  ScaledEdges e;
  e.drawn = Rect{0, 0, std::min(right, page.width), std::min(bottom, page.height)};
  e.white_right = Rect{right, 0, page.width, page.height};
  e.white_below = Rect{0, bottom, page.width, page.height};
  if (frame_on) e.frame = Rect{1, 1, right, bottom};
  return e;
}

ScaledEdges ExportEdges(Size surface, double scale, Size picture, bool frame_on) {
  const int right = std::min(Rounded(surface.width * scale), picture.width);
  const int bottom = std::min(Rounded(surface.height * scale), picture.height);
  ScaledEdges e;
  e.drawn = Rect{0, 0, right, bottom};
  e.white_right = Rect{right, 0, picture.width, picture.height};
  e.white_below = Rect{0, bottom, picture.width, picture.height};
  if (frame_on) e.frame = e.drawn;
  e.frame_width = std::max(1, Rounded(scale));
  return e;
}

void DrawScaledEdges(Canvas& canvas, const ScaledEdges& edges) {
  canvas.SaveState();
  canvas.ClearClipRect();
  canvas.SetRasterMode(RasterMode::kCopy);
  canvas.SetPen(Pen{kWhite, 1, PenStyle::kClear});
  auto fill = [&](const Rect& r, Colour colour) {
    if (r.width() <= 0 || r.height() <= 0) return;
    canvas.SetBrush(Brush{BrushStyle::kSolid, colour});
    canvas.DrawRectangle(r);
  };
  fill(edges.white_right, kWhite);
  fill(edges.white_below, kWhite);
  if (edges.frame) {
    // Four bands inside the frame's box, so a wide frame never spills outwards.
    const Rect& f = *edges.frame;
    const int t = std::min({edges.frame_width, f.width(), f.height()});
    fill(Rect{f.left, f.top, f.right, f.top + t}, kBlack);
    fill(Rect{f.left, f.bottom - t, f.right, f.bottom}, kBlack);
    fill(Rect{f.left, f.top, f.left + t, f.bottom}, kBlack);
    fill(Rect{f.right - t, f.top, f.right, f.bottom}, kBlack);
  }
  canvas.RestoreState();
}

}  // namespace qzarn::render
