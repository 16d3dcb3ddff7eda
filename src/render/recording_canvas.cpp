#include "render/recording_canvas.h"

#include <algorithm>

#include "platform/rgb_image.h"

namespace qzarn::render {
namespace {

RectF ToRectF(const Rect& r) {
  return {double(r.left), double(r.top), double(r.right), double(r.bottom)};
}

template <typename P>
std::vector<PointF> ToPointsF(std::span<const P> points) {
  std::vector<PointF> out;
  out.reserve(points.size());
  for (const P& p : points)
    out.push_back({double(p.x), double(p.y)});
  return out;
}

}  // namespace

CanvasCall& RecordingCanvas::Record(CallKind kind) {
  CanvasCall& call = calls_.emplace_back();
  call.kind = kind;
  call.state = state();
  return call;
}

std::vector<CanvasCall> RecordingCanvas::DrawingCalls() const {
  std::vector<CanvasCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
               [](const CanvasCall& c) { return c.IsDrawing(); });
  return out;
}

std::vector<CanvasCall> RecordingCanvas::CallsOf(CallKind kind) const {
  std::vector<CanvasCall> out;
  std::copy_if(calls_.begin(), calls_.end(), std::back_inserter(out),
               [kind](const CanvasCall& c) { return c.kind == kind; });
  return out;
}

std::size_t RecordingCanvas::CountOf(CallKind kind) const {
  return static_cast<std::size_t>(std::count_if(
      calls_.begin(), calls_.end(), [kind](const CanvasCall& c) { return c.kind == kind; }));
}

void RecordingCanvas::SetPen(const Pen& pen) {
  Canvas::SetPen(pen);
  Record(CallKind::kSetPen);
}
void RecordingCanvas::SetBrush(const Brush& brush) {
  Canvas::SetBrush(brush);
  Record(CallKind::kSetBrush);
}
void RecordingCanvas::SetFont(const Font& font) {
  Canvas::SetFont(font);
  Record(CallKind::kSetFont);
}
void RecordingCanvas::SetRasterMode(RasterMode mode) {
  Canvas::SetRasterMode(mode);
  Record(CallKind::kSetRasterMode);
}
void RecordingCanvas::SetBackground(BackgroundMode mode, Colour colour) {
  Canvas::SetBackground(mode, colour);
  Record(CallKind::kSetBackground);
}
void RecordingCanvas::SetTextAnchor(TextAnchor anchor) {
  Canvas::SetTextAnchor(anchor);
  Record(CallKind::kSetTextAnchor);
}
void RecordingCanvas::SetClipRect(const Rect& rect) {
  Canvas::SetClipRect(rect);
  Record(CallKind::kSetClipRect).box = ToRectF(rect);
}
void RecordingCanvas::ClearClipRect() {
  Canvas::ClearClipRect();
  Record(CallKind::kClearClipRect);
}
void RecordingCanvas::SetAntialiasing(bool on) {
  Canvas::SetAntialiasing(on);
  Record(CallKind::kSetAntialiasing);
}

void RecordingCanvas::SetPixel(Point p, Colour colour) {
  CanvasCall& call = Record(CallKind::kPixel);
  call.points = {{double(p.x), double(p.y)}};
  call.integer = true;
  call.colour = colour;
}

void RecordingCanvas::DrawLine(Point from, Point to) {
  CanvasCall& call = Record(CallKind::kLine);
  call.points = {{double(from.x), double(from.y)}, {double(to.x), double(to.y)}};
  call.integer = true;
}

void RecordingCanvas::DrawLine(PointF from, PointF to) {
  Record(CallKind::kLine).points = {from, to};
}

void RecordingCanvas::DrawPolyline(std::span<const Point> points) {
  CanvasCall& call = Record(CallKind::kPolyline);
  call.points = ToPointsF(points);
  call.integer = true;
}

void RecordingCanvas::DrawPolyline(std::span<const PointF> points) {
  Record(CallKind::kPolyline).points.assign(points.begin(), points.end());
}

void RecordingCanvas::DrawPolygon(std::span<const Point> points) {
  CanvasCall& call = Record(CallKind::kPolygon);
  call.points = ToPointsF(points);
  call.integer = true;
}

void RecordingCanvas::DrawPolygon(std::span<const PointF> points) {
  Record(CallKind::kPolygon).points.assign(points.begin(), points.end());
}

void RecordingCanvas::DrawRectangle(const Rect& box) {
  CanvasCall& call = Record(CallKind::kRectangle);
  call.box = ToRectF(box);
  call.integer = true;
}

void RecordingCanvas::DrawEllipse(const Rect& box) {
  CanvasCall& call = Record(CallKind::kEllipse);
  call.box = ToRectF(box);
  call.integer = true;
}

void RecordingCanvas::DrawEllipse(const RectF& box) {
  Record(CallKind::kEllipse).box = box;
}

void RecordingCanvas::RecordArc(CallKind kind, const RectF& box, double start, double sweep) {
  CanvasCall& call = Record(kind);
  call.box = box;
  call.start_degrees = start;
  call.sweep_degrees = sweep;
}

void RecordingCanvas::DrawArc(const RectF& box, double start_degrees, double sweep_degrees) {
  RecordArc(CallKind::kArc, box, start_degrees, sweep_degrees);
}

void RecordingCanvas::DrawPie(const RectF& box, double start_degrees, double sweep_degrees) {
  RecordArc(CallKind::kPie, box, start_degrees, sweep_degrees);
}

void RecordingCanvas::DrawChord(const RectF& box, double start_degrees, double sweep_degrees) {
  RecordArc(CallKind::kChord, box, start_degrees, sweep_degrees);
}

void RecordingCanvas::DrawText(PointF at, std::string_view utf8) {
  CanvasCall& call = Record(CallKind::kText);
  call.points = {at};
  call.text = std::string(utf8);
}

TextExtent RecordingCanvas::MeasureText(std::string_view utf8) {
  const int h = std::max(font().height, 0);
  TextExtent extent{0, h, h - h / 5};
  for (unsigned char byte : utf8) {
    if (byte < 0x80) {
      extent.width += (h + 1) / 2;
    } else if (byte >= 0xC0) {  // lead byte of a multi-byte character
      extent.width += h;
    }
  }
  return extent;
}

void RecordingCanvas::DrawImage(const Rect& target, const RgbImage& image) {
  CanvasCall& call = Record(CallKind::kImage);
  call.box = ToRectF(target);
  call.integer = true;
  call.image_size = {image.width, image.height};
}

}  // namespace qzarn::render
