#pragma once
// Where on the picture figures are drawn, in square tiles, and the
// rectangles a picture must be redrawn in when some figures change: the
// tiles they covered before the change and cover after it. Taking those
// rectangles from a picture of the figures meeting them (and the background
// and axes) over the previous picture gives the picture of a whole redraw,
// so a step that moves a few figures scattered over a large screen costs
// what those figures and their neighbours cover.

#include <cstdint>
#include <vector>

#include "render/canvas.h"

namespace qzarn::render {

// A set of tiles of a device, kept as sorted tile numbers (row by row).
using TileSet = std::vector<std::uint16_t>;

// The tiles of a device: the grid every bound and change region is given in.
class TileGrid {
 public:
  static constexpr int kTile = 32;  // pixels along a tile's side

  explicit TileGrid(Size device = {});
  Size device() const { return device_; }
  int columns() const { return columns_; }
  int rows() const { return rows_; }
  int count() const { return columns_ * rows_; }
  // The tile's pixels, cut to the device.
  Rect TileRect(int tile) const;

 private:
  Size device_;
  int columns_ = 0, rows_ = 0;
};

// A canvas that draws nothing and collects the tiles every drawing call can
// set a pixel in: its geometry widened by the pen (square ends and
// antialiasing included), text boxes by their overhang. Long strokes and
// unfilled ellipse outlines mark the tiles along them, not their bounding
// boxes. Text is measured by `measure` (the canvas the picture is drawn on),
// so text boxes are bounded as they are drawn.
class TileCanvas : public Canvas {
 public:
  TileCanvas(const TileGrid& grid, Canvas& measure);

  // The tiles marked since the last call, and a fresh start.
  TileSet Take();

  Size DeviceSize() const override { return grid_.device(); }
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
  // How far ink of the current pen reaches beyond the geometry.
  double StrokeReach() const;
  bool Filled() const { return state().brush.style != BrushStyle::kClear; }
  void MarkBox(double left, double top, double right, double bottom);
  void MarkSegment(PointF a, PointF b, double reach);
  template <typename P>
  void MarkPoints(std::span<const P> points, bool closed);
  // An ellipse (or the part of it an arc sweeps) as its outline only.
  void MarkOutline(const RectF& box, double start_degrees, double sweep_degrees);

  TileGrid grid_;
  Canvas& measure_;
  std::vector<std::uint8_t> marked_;  // one per tile
  std::vector<std::uint16_t> list_;   // marked tiles, unsorted
};

// Every tile in either set, sorted.
TileSet UniteTiles(const TileSet& a, const TileSet& b);
// Whether the sets share a tile.
bool TilesMeet(const TileSet& a, const TileSet& b);

// Rectangles covering exactly the marked tiles' union or a little more,
// cut to the device: runs of tiles along a row, grown down over rows with
// the same runs, and rectangles merged where one larger rectangle costs
// less than two (`pass_pixels`: what one more rectangle costs, counted in
// pixels redrawn).
std::vector<Rect> ChangeRects(const TileGrid& grid, const TileSet& tiles, double pass_pixels);

// The tiles of a rectangle, sorted.
TileSet TilesOf(const TileGrid& grid, const Rect& rect);

}  // namespace qzarn::render
