#include "web/web_canvas.h"

#include <emscripten.h>

#include <vector>

#include "platform/rgb_image.h"

namespace qzarn::web {
namespace {

// clang-format off
EM_JS(void, qz_begin, (int w, int h), { qzarnDraw.begin(w, h); });
EM_JS(void, qz_pen, (int colour, int width, int style), { qzarnDraw.pen(colour, width, style); });
EM_JS(void, qz_brush, (int style, int colour), { qzarnDraw.brush(style, colour); });
EM_JS(void, qz_font, (const char* family, int height, int style, int colour), {
  qzarnDraw.font(UTF8ToString(family), height, style, colour);
});
EM_JS(void, qz_raster, (int not_xor), { qzarnDraw.raster(not_xor); });
EM_JS(void, qz_background, (int opaque, int colour), { qzarnDraw.background(opaque, colour); });
EM_JS(void, qz_clip, (int on, int l, int t, int r, int b), { qzarnDraw.clip(on, l, t, r, b); });
EM_JS(void, qz_antialias, (int on), { qzarnDraw.antialias(on); });
EM_JS(void, qz_pixel, (int x, int y, int colour), { qzarnDraw.pixel(x, y, colour); });
EM_JS(void, qz_shape, (int kind, const double* xy, int count), {
  qzarnDraw.shape(kind, HEAPF64.subarray(xy >> 3, (xy >> 3) + 2 * count));
});
EM_JS(void, qz_ellipse, (int kind, double l, double t, double r, double b, double start,
                         double sweep), {
  qzarnDraw.ellipse(kind, l, t, r, b, start, sweep);
});
EM_JS(void, qz_text, (double x, double y, const char* text, int h, int v), {
  qzarnDraw.text(x, y, UTF8ToString(text), h, v);
});
EM_JS(void, qz_measure, (const char* text, int* out), {
  const m = qzarnDraw.measure(UTF8ToString(text));
  HEAP32[out >> 2] = m[0];
  HEAP32[(out >> 2) + 1] = m[1];
  HEAP32[(out >> 2) + 2] = m[2];
});
EM_JS(void, qz_image, (int l, int t, int w, int h, const unsigned char* rgb, int iw, int ih), {
  qzarnDraw.image(l, t, w, h, HEAPU8.subarray(rgb, rgb + iw * ih * 3), iw, ih);
});
// clang-format on

int Int(render::Colour colour) {
  return static_cast<int>(colour & 0xFFFFFF);
}

}  // namespace

void WebCanvas::Begin() {
  qz_begin(size_.width, size_.height);
  ApplyState(state());
}

void WebCanvas::SetPen(const render::Pen& pen) {
  Canvas::SetPen(pen);
  qz_pen(Int(pen.colour), pen.width, static_cast<int>(pen.style));
}

void WebCanvas::SetBrush(const render::Brush& brush) {
  Canvas::SetBrush(brush);
  qz_brush(static_cast<int>(brush.style), Int(brush.colour));
}

void WebCanvas::SetFont(const render::Font& font) {
  Canvas::SetFont(font);
  qz_font(font.family.c_str(), font.height, font.style, Int(font.colour));
}

void WebCanvas::SetRasterMode(render::RasterMode mode) {
  Canvas::SetRasterMode(mode);
  qz_raster(mode == render::RasterMode::kNotXor ? 1 : 0);
}

void WebCanvas::SetBackground(render::BackgroundMode mode, render::Colour colour) {
  Canvas::SetBackground(mode, colour);
  qz_background(mode == render::BackgroundMode::kOpaque ? 1 : 0, Int(colour));
}

void WebCanvas::SetClipRect(const render::Rect& rect) {
  Canvas::SetClipRect(rect);
  qz_clip(1, rect.left, rect.top, rect.right, rect.bottom);
}

void WebCanvas::ClearClipRect() {
  Canvas::ClearClipRect();
  qz_clip(0, 0, 0, 0, 0);
}

void WebCanvas::SetAntialiasing(bool on) {
  Canvas::SetAntialiasing(on);
  qz_antialias(on ? 1 : 0);
}

void WebCanvas::SetPixel(render::Point p, render::Colour colour) {
  qz_pixel(p.x, p.y, Int(colour));
}

// Shape kinds the page knows: 0 separate lines (pairs), 1 polyline, 2 polygon.
void WebCanvas::Shape(int kind, const double* xy, std::size_t count) {
  qz_shape(kind, xy, static_cast<int>(count));
}

template <class P>
std::vector<double> Flatten(std::span<const P> points) {
  std::vector<double> xy;
  xy.reserve(points.size() * 2);
  for (const P& p : points) {
    xy.push_back(static_cast<double>(p.x));
    xy.push_back(static_cast<double>(p.y));
  }
  return xy;
}

void WebCanvas::DrawLine(render::Point from, render::Point to) {
  const double xy[4] = {double(from.x), double(from.y), double(to.x), double(to.y)};
  Shape(0, xy, 2);
}

void WebCanvas::DrawLine(render::PointF from, render::PointF to) {
  const double xy[4] = {from.x, from.y, to.x, to.y};
  Shape(0, xy, 2);
}

void WebCanvas::DrawLines(std::span<const render::Point> ends) {
  const std::vector<double> xy = Flatten(ends);
  Shape(0, xy.data(), ends.size() & ~std::size_t{1});
}

void WebCanvas::DrawPolyline(std::span<const render::Point> points) {
  const std::vector<double> xy = Flatten(points);
  Shape(1, xy.data(), points.size());
}

void WebCanvas::DrawPolyline(std::span<const render::PointF> points) {
  const std::vector<double> xy = Flatten(points);
  Shape(1, xy.data(), points.size());
}

void WebCanvas::DrawPolygon(std::span<const render::Point> points) {
  const std::vector<double> xy = Flatten(points);
  Shape(2, xy.data(), points.size());
}

void WebCanvas::DrawPolygon(std::span<const render::PointF> points) {
  const std::vector<double> xy = Flatten(points);
  Shape(2, xy.data(), points.size());
}

void WebCanvas::DrawRectangle(const render::Rect& box) {
  // The fill covers the pixels of the box; the outline runs through its outermost pixels.
  const double l = box.left, t = box.top, r = box.right - 1, b = box.bottom - 1;
  const double xy[8] = {l, t, r, t, r, b, l, b};
  Shape(3, xy, 4);
}

// Ellipse kinds: 0 whole ellipse, 1 arc, 2 pie, 3 chord; the box's right and bottom are
// exclusive, as for every box of the canvas.
void WebCanvas::Ellipse(int kind, const render::RectF& box, double start, double sweep) {
  qz_ellipse(kind, box.left, box.top, box.right, box.bottom, start, sweep);
}

void WebCanvas::DrawEllipse(const render::Rect& box) {
  Ellipse(0,
          render::RectF{double(box.left), double(box.top), double(box.right), double(box.bottom)},
          0, 360);
}

void WebCanvas::DrawEllipse(const render::RectF& box) {
  Ellipse(0, box, 0, 360);
}

void WebCanvas::DrawArc(const render::RectF& box, double start_degrees, double sweep_degrees) {
  Ellipse(1, box, start_degrees, sweep_degrees);
}

void WebCanvas::DrawPie(const render::RectF& box, double start_degrees, double sweep_degrees) {
  Ellipse(2, box, start_degrees, sweep_degrees);
}

void WebCanvas::DrawChord(const render::RectF& box, double start_degrees, double sweep_degrees) {
  Ellipse(3, box, start_degrees, sweep_degrees);
}

void WebCanvas::DrawText(render::PointF at, std::string_view utf8) {
  const std::string text(utf8);
  const render::TextAnchor anchor = state().anchor;
  qz_text(at.x, at.y, text.c_str(), static_cast<int>(anchor.horizontal),
          static_cast<int>(anchor.vertical));
}

render::TextExtent WebCanvas::MeasureText(std::string_view utf8) {
  const std::string text(utf8);
  int out[3] = {0, 0, 0};
  qz_measure(text.c_str(), out);
  return {out[0], out[1], out[2]};
}

void WebCanvas::DrawImage(const render::Rect& target, const RgbImage& image) {
  if (image.width <= 0 || image.height <= 0) return;
  qz_image(target.left, target.top, target.width(), target.height(), image.pixels.data(),
           image.width, image.height);
}

}  // namespace qzarn::web
