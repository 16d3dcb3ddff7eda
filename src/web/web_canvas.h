#pragma once
// A render::Canvas on the page's HTML canvas. Every call goes straight to the page's drawing
// object (window.qzarnDraw, see page/qzarn.js), which scales by the device's pixel ratio, so
// the drawing code works in the surface's own pixels as on the desktop.

#include "render/canvas.h"

namespace qzarn::web {

class WebCanvas final : public render::Canvas {
 public:
  explicit WebCanvas(render::Size size) : size_(size) {}

  render::Size DeviceSize() const override { return size_; }
  // Clears the page's canvas to white at the surface size and resets the page's state.
  void Begin();

  void SetPen(const render::Pen& pen) override;
  void SetBrush(const render::Brush& brush) override;
  void SetFont(const render::Font& font) override;
  void SetRasterMode(render::RasterMode mode) override;
  void SetBackground(render::BackgroundMode mode, render::Colour colour) override;
  void SetClipRect(const render::Rect& rect) override;
  void ClearClipRect() override;
  void SetAntialiasing(bool on) override;

  void SetPixel(render::Point p, render::Colour colour) override;
  void DrawLine(render::Point from, render::Point to) override;
  void DrawLine(render::PointF from, render::PointF to) override;
  void DrawLines(std::span<const render::Point> ends) override;
  void DrawPolyline(std::span<const render::Point> points) override;
  void DrawPolyline(std::span<const render::PointF> points) override;
  void DrawPolygon(std::span<const render::Point> points) override;
  void DrawPolygon(std::span<const render::PointF> points) override;
  void DrawRectangle(const render::Rect& box) override;
  void DrawEllipse(const render::Rect& box) override;
  void DrawEllipse(const render::RectF& box) override;
  void DrawArc(const render::RectF& box, double start_degrees, double sweep_degrees) override;
  void DrawPie(const render::RectF& box, double start_degrees, double sweep_degrees) override;
  void DrawChord(const render::RectF& box, double start_degrees, double sweep_degrees) override;
  void DrawText(render::PointF at, std::string_view utf8) override;
  render::TextExtent MeasureText(std::string_view utf8) override;
  void DrawImage(const render::Rect& target, const RgbImage& image) override;

 private:
  // Hands a list of points to the page as x, y pairs of doubles.
  void Shape(int kind, const double* xy, std::size_t count);
  void Ellipse(int kind, const render::RectF& box, double start, double sweep);

  render::Size size_;
};

}  // namespace qzarn::web
