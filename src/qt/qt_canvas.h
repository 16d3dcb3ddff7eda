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
// centres and 1-pixel lines stay sharp; the 1-pixel lines of one DrawLines call (dash marks)
// cover the same pixels as without antialiasing, so dotted lines stay dots. Long solid polylines
// are drawn in pieces, which is several times faster for wide antialiased pens.
//
// Antialiased solid lines are cut to the device (with a margin wider than any
// pen end) before the rasteriser sees them, and ends that lie off the picture
// or where a stroke runs on into its next piece are drawn flat or square: a
// rounded end sends a wide smooth line through the general path filler, whose
// cost follows the whole length, while flat and square ends take the line
// rasteriser. Only pixels under antialiased edges can change by this.
//
// Antialiased ellipses filled without a pen (the discs of filled circles) and
// the outlines of circles drawn without a brush are set as pixels too (the rasteriser fills a
// wide smooth outline as a general path); the raster engine hands
// every hatch fill of more than a few dozen spans to a pool of threads and waits for it, which on a
// small machine costs more than the fill itself.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "render/canvas.h"

namespace qzarn {

struct DirectPixels;

// The QPen a canvas pen becomes; `smooth` is whether it will draw antialiased
// (which decides the ends of 2- and 3-pixel lines).
QPen ToQPen(const render::Pen& pen, bool smooth);

class QtCanvas : public render::Canvas {
 public:
  // Points per piece of a long polyline.
  static constexpr int kPolylineChunk = 100;

  QtCanvas(QPainter& painter, render::Size device);

  render::Size DeviceSize() const override { return device_; }
  std::optional<render::Rect> KeptPixels() const override;

  // Confines everything this canvas draws to the rows top..bottom - 1 of its
  // device: one band of a picture drawn by several canvases at once, each
  // band's pixels as the whole picture has them.
  void SetBand(int top, int bottom);

  // Call after drawing on the painter directly: the next primitive then sets
  // every painter setting again.
  void ForgetPainterState();
  // Keeps the pixels the canvas sets itself, and rectangle fills, inside
  // `rect` (none: the whole device) without clipping the painter: a stroke
  // the painter rasterises is drawn whole, because a clip may change which
  // pixels it sets. Whoever draws so takes only `rect` from the picture.
  void SetPixelClip(std::optional<render::Rect> rect) { pixel_clip_ = rect; }

  void SetPixel(render::Point p, render::Colour colour) override;
  void DrawLine(render::Point from, render::Point to) override;
  void DrawLine(render::PointF from, render::PointF to) override;
  void DrawLines(std::span<const render::Point> ends) override;
  void DrawJoinedLines(std::span<const render::Point> ends) override;
  bool DrawsDashPatterns() const override;
  void DrawDashedPolylines(std::span<const render::DashedPolyline> strokes,
                           std::span<const std::uint8_t> pattern) override;
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
  // How the ends of the lines of one call may be drawn: as the pen says, or
  // hidden (off the picture: flat) or running on into more ink (square).
  enum class Ends { kAsPen, kHidden, kRunOn };
  // Brings the painter in line with the canvas state for one primitive.
  void Prepare(Use use, Ends ends = Ends::kAsPen);
  bool Smooth() const;
  // Lines are cut to the picture only for smooth solid pens: a device dash
  // would restart elsewhere, and aliased lines stay pixel-exact as they are.
  bool CutsLines() const;
  // 1-pixel solid marks set straight into a 32-bit image. Aliased, every mark
  // is set; antialiased, the marks along a row, a column or a diagonal are
  // set the same (whole pixels) and the rest are left in `rest` (ends) for
  // the rasteriser. False when the pen, the modes or the painter's device
  // need the rasteriser for every mark.
  bool PlotThinMarks(std::span<const render::Point> ends, std::vector<render::Point>& rest);
  // Antialiased 1-pixel lines (entries as for DrawLines) on the pixels the
  // aliased lines would ink.
  void ThinSmoothLines(std::span<const render::Point> ends);
  // Draws lines (entries as for DrawLines) after cutting them to the picture;
  // `joined` treats ends shared by consecutive lines as running on.
  void StrokeCutLines(std::span<const render::Point> ends, bool joined);
  template <typename P>
  void Line(P from, P to);
  // Strokes lines with the painter's pen, on vector devices as one path.
  void PaintLines(const QList<QLineF>& lines);
  // The painter's image when pixels may be set in it directly (blending: with
  // coverage), with the part of it the clip leaves.
  std::optional<DirectPixels> Direct(bool blending);
  // Sets a small ellipse (a point's mark, a dot of the grid) from a stamp the
  // painter drew once; false when it is left to the painter.
  bool StampSmallEllipse(const render::RectF& box);
  // As Direct, whatever the pen (for fills drawn without one).
  std::optional<DirectPixels> DirectImage(bool blending);
  // Fills an ellipse drawn without a pen, antialiased, as pixels (hatch
  // brushes included); false when it is left for the rasteriser.
  bool FillEllipseAsPixels(const render::RectF& box);
  // Strokes the outline of a circle drawn without a brush, antialiased, as
  // pixels; false when it is left for the rasteriser.
  bool StrokeCircleAsPixels(const render::RectF& box);
  // Sets the outline of a rectangle drawn with a smooth one-pixel pen as
  // pixels; false when it is left for the rasteriser.
  bool FrameAsPixels(const render::Rect& box);
  // Direct pixels for round-ended smooth strokes of the current pen, if any.
  std::optional<DirectPixels> RoundStrokePixels();
  // Sets the round-ended stroke a-b (painter coordinates) as pixels; false
  // when it is left for the rasteriser.
  bool PlotRoundStrokes(QPointF a, QPointF b, const std::optional<DirectPixels>& px);
  void SyncModes();
  double Offset() const;
  // Whether ink within the box (device pixels) grown by `reach` can set none
  // of the pixels this canvas keeps: a canvas drawing one band of a picture,
  // or one rectangle of it redrawn, leaves out what lies wholly elsewhere
  // (axis arrows, labels and outlines across the picture).
  bool MissesKept(double left, double top, double right, double bottom, double reach) const;
  // How far the current pen's ink reaches beyond a stroke's geometry:
  // half its width, its square ends, antialiasing and the centre offset.
  double PenReach() const;
  template <typename P>
  void Polyline(std::span<const P> points);
  template <typename P>
  void Polygon(std::span<const P> points);
  void ArcPath(const render::RectF& box, double start, double sweep, int closing);
  const QFont& CurrentQFont();

  QPainter& painter_;
  render::Size device_;
  std::optional<render::Rect> pixel_clip_;
  // What was last handed to the painter, to skip redundant updates.
  std::optional<render::CanvasState> applied_;  // modes, clip and background only
  std::optional<render::Pen> applied_pen_;
  bool applied_pen_smooth_ = false;
  Ends applied_ends_ = Ends::kAsPen;
  std::optional<render::Brush> applied_brush_;
  std::optional<render::Font> qfont_for_;
  bool qfont_antialiased_ = false;
  QFont qfont_;
  QList<QLineF> lines_;  // reused by DrawLines
  QList<QLineF> open_lines_;
  QList<QLineF> dots_;  // reused by PaintLines
  std::vector<render::Point> rest_;
  struct Stamp {
    int width, height;
    render::Pen pen;
    render::Brush brush;
    bool smooth;
    QImage image;
  };
  static constexpr int kLargestStamp = 24;
  // The stamps and the extents of measured texts are kept per thread, from
  // frame to frame: every frame of the window is a new canvas.
  static constexpr std::size_t kStampsKept = 16;
  static constexpr std::size_t kTextsMeasuredKept = 4096;
  struct Band {
    int top, bottom;
  };
  std::optional<Band> band_;
  std::string measure_key_;
  std::string shape_key_;
};

}  // namespace qzarn
