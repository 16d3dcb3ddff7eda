#pragma once
// The Canvas on a QPainter: the screen's off-screen image, an exported
// picture, a window or a printer page. The painter belongs to the caller and
// must be active while the canvas draws; the canvas assumes the painter maps
// one unit to one device pixel.
//
// Pixel conventions (see render/canvas.h): a 1-pixel line leaves out its end
// pixel, so the segments of a polyline meet without painting a joint twice;
// wider lines have round ends and joins (without antialiasing, 2- and 3-pixel
// lines get square ends: all but a few pixels the same, and far faster). With
// antialiasing on, coordinates are shifted by half a pixel so that integer points stay on pixel
// centres and 1-pixel lines stay sharp. Long solid polylines are drawn in pieces, which is several
// times faster for wide antialiased pens.

#include <QFont>
#include <QPainter>
#include <optional>

#include "render/canvas.h"

namespace qzarn {

// The QPen a canvas pen becomes; `smooth` is whether it will draw antialiased
// (which decides the ends of 2- and 3-pixel lines).
QPen ToQPen(const render::Pen& pen, bool smooth);

class QtCanvas : public render::Canvas {
 public:
  // Points per piece of a long polyline.
  static constexpr int kPolylineChunk = 100;

  QtCanvas(QPainter& painter, render::Size device);

  render::Size DeviceSize() const override { return device_; }

  // Call after drawing on the painter directly: the next primitive then sets
  // every painter setting again.
  void ForgetPainterState();

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

  // The QFont a canvas font stands for (family substitutions applied by Qt).
  static QFont ToQFont(const render::Font& font, bool antialiased);

 private:
  enum class Use { kStroke, kFill, kStrokeAndFill };
  // Brings the painter in line with the canvas state for one primitive.
  void Prepare(Use use);
  // 1-pixel solid marks set straight into a 32-bit image; false when the pen,
  // the modes or the painter's device need the rasteriser.
  bool PlotThinMarks(std::span<const render::Point> ends);
  void SyncModes();
  double Offset() const;
  template <typename P>
  void Polyline(std::span<const P> points);
  template <typename P>
  void Polygon(std::span<const P> points);
  void ArcPath(const render::RectF& box, double start, double sweep, int closing);
  const QFont& CurrentQFont();

  QPainter& painter_;
  render::Size device_;
  // What was last handed to the painter, to skip redundant updates.
  std::optional<render::CanvasState> applied_;  // modes, clip and background only
  std::optional<render::Pen> applied_pen_;
  bool applied_pen_smooth_ = false;
  std::optional<render::Brush> applied_brush_;
  std::optional<render::Font> qfont_for_;
  bool qfont_antialiased_ = false;
  QFont qfont_;
  QList<QLineF> lines_;  // reused by DrawLines
};

}  // namespace qzarn
