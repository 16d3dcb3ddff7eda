#pragma once
// A canvas that draws nothing and remembers every call with its parameters
// and the state in force, so tests can check geometry, pens and brushes
// without comparing pixels. Text is measured with a fixed metric: a cell
// height of the font height, an ascent of four fifths of it, and a width of
// half the height (rounded up) per ASCII character and the full height per
// other character.

#include <cstddef>
#include <string>
#include <vector>

#include "render/canvas.h"

namespace qzarn::render {

enum class CallKind : std::uint8_t {
  // state changes
  kSetPen,
  kSetBrush,
  kSetFont,
  kSetRasterMode,
  kSetBackground,
  kSetTextAnchor,
  kSetClipRect,
  kClearClipRect,
  kSetAntialiasing,
  // drawing
  kPixel,
  kLine,
  kPolyline,
  kPolygon,
  kRectangle,
  kEllipse,
  kArc,
  kPie,
  kChord,
  kText,
  kImage,
};

struct CanvasCall {
  CallKind kind = CallKind::kLine;
  // Line ends, polyline and polygon corners, the text point, a pixel.
  std::vector<PointF> points;
  // True when the integer overload was called.
  bool integer = false;
  // Rectangles, ellipses, arcs, images and clip rectangles.
  RectF box;
  double start_degrees = 0;
  double sweep_degrees = 0;
  std::string text;
  Colour colour = 0;  // SetPixel
  Size image_size;
  // The state in force for a drawing call; the new state for a state change.
  CanvasState state;

  bool IsDrawing() const { return kind >= CallKind::kPixel; }
};

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(Size device = {640, 480}) : device_(device) {}

  const std::vector<CanvasCall>& calls() const { return calls_; }
  std::vector<CanvasCall> DrawingCalls() const;
  std::vector<CanvasCall> CallsOf(CallKind kind) const;
  std::size_t CountOf(CallKind kind) const;
  void ClearCalls() { calls_.clear(); }

  Size DeviceSize() const override { return device_; }

  void SetPen(const Pen& pen) override;
  void SetBrush(const Brush& brush) override;
  void SetFont(const Font& font) override;
  void SetRasterMode(RasterMode mode) override;
  void SetBackground(BackgroundMode mode, Colour colour) override;
  void SetTextAnchor(TextAnchor anchor) override;
  void SetClipRect(const Rect& rect) override;
  void ClearClipRect() override;
  void SetAntialiasing(bool on) override;

  void SetPixel(Point p, Colour colour) override;
  void DrawLine(Point from, Point to) override;
  void DrawLine(PointF from, PointF to) override;
  void DrawPolyline(std::span<const Point> points) override;
  void DrawPolyline(std::span<const PointF> points) override;
  void DrawPolygon(std::span<const Point> points) override;
  void DrawPolygon(std::span<const PointF> points) override;
  void DrawRectangle(const Rect& box) override;
  void DrawEllipse(const Rect& box) override;
  void DrawEllipse(const RectF& box) override;
  void DrawArc(const RectF& box, double start_degrees, double sweep_degrees) override;
  void DrawPie(const RectF& box, double start_degrees, double sweep_degrees) override;
  void DrawChord(const RectF& box, double start_degrees, double sweep_degrees) override;
  void DrawText(PointF at, std::string_view utf8) override;
  TextExtent MeasureText(std::string_view utf8) override;
  void DrawImage(const Rect& target, const RgbImage& image) override;

 private:
  CanvasCall& Record(CallKind kind);
  void RecordArc(CallKind kind, const RectF& box, double start, double sweep);

  Size device_;
  std::vector<CanvasCall> calls_;
};

}  // namespace qzarn::render
