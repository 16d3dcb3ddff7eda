#include "render/change_rects.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "render/segment_clip.h"

namespace qzarn::render {

namespace {

constexpr int kTile = TileGrid::kTile;
// Pieces of a long stroke or an outline are marked one by one, each no
// longer than half a tile, so a diagonal across the screen marks a band of
// tiles along it rather than its whole bounding box.
constexpr double kPiece = kTile / 2.0;

bool Finite(double v) {
  return std::isfinite(v);
}

}  // namespace

TileGrid::TileGrid(Size device)
    : device_{std::max(device.width, 0), std::max(device.height, 0)},
      columns_((device_.width + kTile - 1) / kTile),
      rows_((device_.height + kTile - 1) / kTile) {
  // Tile numbers are 16 bits: a larger surface gets no tiles, and every
  // region on it is the whole picture.
  if (static_cast<long>(columns_) * rows_ > 65535) columns_ = rows_ = 0;
}

Rect TileGrid::TileRect(int tile) const {
  const int column = tile % columns_, row = tile / columns_;
  return {column * kTile, row * kTile, std::min((column + 1) * kTile, device_.width),
          std::min((row + 1) * kTile, device_.height)};
}

TileCanvas::TileCanvas(const TileGrid& grid, Canvas& measure)
    : grid_(grid), measure_(measure), marked_(static_cast<std::size_t>(grid.count()), 0) {}

TileSet TileCanvas::Take() {
  TileSet out(list_.begin(), list_.end());
  std::sort(out.begin(), out.end());
  for (std::uint16_t t : list_)
    marked_[t] = 0;
  list_.clear();
  return out;
}

double TileCanvas::StrokeReach() const {
  const Pen& pen = state().pen;
  // Half the pen, a square end turned 45 degrees, the half-pixel offset of
  // odd pens and the antialiased fringe, rounded generously.
  if (pen.style == PenStyle::kClear) return 2.0;
  return std::max(pen.width, 1) + 2.0;
}

void TileCanvas::MarkBox(double left, double top, double right, double bottom) {
  if (grid_.count() == 0) return;
  if (!(Finite(left) && Finite(top) && Finite(right) && Finite(bottom))) {
    // Ink at an undefined place: assume it may be anywhere.
    left = top = 0;
    right = grid_.device().width;
    bottom = grid_.device().height;
  }
  const auto cell = [](double v, int count) {
    return static_cast<int>(std::clamp(std::floor(v / kTile), -1.0, static_cast<double>(count)));
  };
  const int c0 = std::max(cell(left, grid_.columns()), 0);
  const int c1 = std::min(cell(right, grid_.columns()), grid_.columns() - 1);
  const int r0 = std::max(cell(top, grid_.rows()), 0);
  const int r1 = std::min(cell(bottom, grid_.rows()), grid_.rows() - 1);
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c) {
      const int t = r * grid_.columns() + c;
      if (marked_[static_cast<std::size_t>(t)] != 0) continue;
      marked_[static_cast<std::size_t>(t)] = 1;
      list_.push_back(static_cast<std::uint16_t>(t));
    }
}

void TileCanvas::MarkSegment(PointF a, PointF b, double reach) {
  if (!(Finite(a.x) && Finite(a.y) && Finite(b.x) && Finite(b.y))) {
    MarkBox(NAN, NAN, NAN, NAN);
    return;
  }
  // Only the part that can reach the device matters; this also keeps a
  // stroke to a point far away from being cut into millions of pieces.
  const Size d = grid_.device();
  const RectF box{-reach - 1, -reach - 1, d.width + reach + 1, d.height + reach + 1};
  if (a != b) {
    const std::optional<ClippedSegment> cut = ClipSegment(a, b, box);
    if (!cut) return;
    a = cut->from;
    b = cut->to;
  }
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  const int pieces = std::max(1, static_cast<int>(std::ceil(length / kPiece)));
  for (int i = 0; i < pieces; ++i) {
    const double s = static_cast<double>(i) / pieces, e = static_cast<double>(i + 1) / pieces;
    const PointF p{a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s};
    const PointF q{a.x + (b.x - a.x) * e, a.y + (b.y - a.y) * e};
    MarkBox(std::min(p.x, q.x) - reach, std::min(p.y, q.y) - reach, std::max(p.x, q.x) + reach,
            std::max(p.y, q.y) + reach);
  }
}

template <typename P>
void TileCanvas::MarkPoints(std::span<const P> points, bool closed) {
  if (points.empty()) return;
  const auto at = [&](std::size_t i) {
    return PointF{static_cast<double>(points[i].x), static_cast<double>(points[i].y)};
  };
  if (closed && Filled()) {
    double left = at(0).x, right = left, top = at(0).y, bottom = top;
    for (std::size_t i = 1; i < points.size(); ++i) {
      left = std::min(left, at(i).x);
      right = std::max(right, at(i).x);
      top = std::min(top, at(i).y);
      bottom = std::max(bottom, at(i).y);
    }
    const double reach = StrokeReach();
    MarkBox(left - reach, top - reach, right + reach, bottom + reach);
    return;
  }
  const double reach = StrokeReach();
  if (points.size() == 1) MarkSegment(at(0), at(0), reach);
  for (std::size_t i = 0; i + 1 < points.size(); ++i)
    MarkSegment(at(i), at(i + 1), reach);
  if (closed && points.size() > 2) MarkSegment(at(points.size() - 1), at(0), reach);
}

void TileCanvas::MarkOutline(const RectF& box, double start_degrees, double sweep_degrees) {
  const double reach = StrokeReach();
  const double rx = (box.right - box.left) / 2, ry = (box.bottom - box.top) / 2;
  const double cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  const double sweep = std::clamp(sweep_degrees, -360.0, 360.0) * std::numbers::pi / 180;
  const double arc = std::abs(sweep) * std::max(std::abs(rx), std::abs(ry));
  const Size d = grid_.device();
  // Small, undefined or huge outlines: their box (cut to the device).
  if (!(Finite(arc) && Finite(cx) && Finite(cy)) || arc < 2 * kTile ||
      arc > 8.0 * (d.width + d.height)) {
    MarkBox(box.left - reach, box.top - reach, box.right + reach, box.bottom + reach);
    return;
  }
  const int pieces = static_cast<int>(std::ceil(arc / kPiece));
  const double start = start_degrees * std::numbers::pi / 180;
  // A chord of a piece lies at most a pixel inside the arc it stands for.
  const double bulge = reach + 1;
  PointF last{cx + rx * std::cos(start), cy - ry * std::sin(start)};
  for (int i = 1; i <= pieces; ++i) {
    const double t = start + sweep * i / pieces;
    const PointF next{cx + rx * std::cos(t), cy - ry * std::sin(t)};
    MarkSegment(last, next, bulge);
    last = next;
  }
}

void TileCanvas::SetPixel(Point p, Colour) {
  MarkBox(p.x - 1, p.y - 1, p.x + 1, p.y + 1);
}

void TileCanvas::DrawLine(Point from, Point to) {
  MarkSegment({double(from.x), double(from.y)}, {double(to.x), double(to.y)}, StrokeReach());
}

void TileCanvas::DrawLine(PointF from, PointF to) {
  MarkSegment(from, to, StrokeReach());
}

void TileCanvas::DrawPolyline(std::span<const Point> points) {
  MarkPoints(points, false);
}

void TileCanvas::DrawPolyline(std::span<const PointF> points) {
  MarkPoints(points, false);
}

void TileCanvas::DrawPolygon(std::span<const Point> points) {
  MarkPoints(points, true);
}

void TileCanvas::DrawPolygon(std::span<const PointF> points) {
  MarkPoints(points, true);
}

void TileCanvas::DrawRectangle(const Rect& box) {
  const Point corners[] = {{box.left, box.top},
                           {box.right - 1, box.top},
                           {box.right - 1, box.bottom - 1},
                           {box.left, box.bottom - 1}};
  MarkPoints(std::span<const Point>(corners), true);
}

void TileCanvas::DrawEllipse(const Rect& box) {
  DrawEllipse(RectF{double(box.left), double(box.top), double(box.right), double(box.bottom)});
}

void TileCanvas::DrawEllipse(const RectF& box) {
  if (Filled()) {
    const double reach = StrokeReach();
    MarkBox(box.left - reach, box.top - reach, box.right + reach, box.bottom + reach);
  } else {
    MarkOutline(box, 0, 360);
  }
}

void TileCanvas::DrawArc(const RectF& box, double start_degrees, double sweep_degrees) {
  MarkOutline(box, start_degrees, sweep_degrees);
}

namespace {
// The point of the ellipse in `box` at `degrees` (counter-clockwise from
// three o'clock, y growing down the picture).
PointF ArcPoint(const RectF& box, double degrees) {
  const double t = degrees * std::numbers::pi / 180;
  return {(box.left + box.right) / 2 + (box.right - box.left) / 2 * std::cos(t),
          (box.top + box.bottom) / 2 - (box.bottom - box.top) / 2 * std::sin(t)};
}
}  // namespace

void TileCanvas::DrawPie(const RectF& box, double start_degrees, double sweep_degrees) {
  if (Filled()) {
    DrawEllipse(box);
    return;
  }
  MarkOutline(box, start_degrees, sweep_degrees);
  const PointF centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  for (double degrees : {start_degrees, start_degrees + sweep_degrees})
    MarkSegment(centre, ArcPoint(box, degrees), StrokeReach());
}

void TileCanvas::DrawChord(const RectF& box, double start_degrees, double sweep_degrees) {
  if (Filled()) {
    DrawEllipse(box);
    return;
  }
  MarkOutline(box, start_degrees, sweep_degrees);
  MarkSegment(ArcPoint(box, start_degrees), ArcPoint(box, start_degrees + sweep_degrees),
              StrokeReach());
}

TextExtent TileCanvas::MeasureText(std::string_view utf8) {
  // The measuring canvas sets text as this pass would: same font, same
  // smoothing (hinting may change a width).
  measure_.SetFont(font());
  measure_.SetAntialiasing(state().antialiasing);
  return measure_.MeasureText(utf8);
}

void TileCanvas::DrawText(PointF at, std::string_view utf8) {
  const TextExtent extent = MeasureText(utf8);
  const PointF origin = AnchoredTextOrigin(at, extent, state().anchor);
  // Italic slant, side bearings and underlines reach past the text cell.
  const double side = extent.height / 2.0 + 2, below = extent.height / 4.0 + 2;
  MarkBox(origin.x - side, origin.y - below, origin.x + extent.width + side,
          origin.y + extent.height + below);
}

void TileCanvas::DrawImage(const Rect& target, const RgbImage&) {
  MarkBox(target.left - 1, target.top - 1, target.right + 1, target.bottom + 1);
}

TileSet UniteTiles(const TileSet& a, const TileSet& b) {
  TileSet out;
  out.reserve(a.size() + b.size());
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

bool TilesMeet(const TileSet& a, const TileSet& b) {
  auto i = a.begin(), j = b.begin();
  while (i != a.end() && j != b.end()) {
    if (*i == *j) return true;
    if (*i < *j)
      ++i;
    else
      ++j;
  }
  return false;
}

TileSet TilesOf(const TileGrid& grid, const Rect& rect) {
  TileSet out;
  if (grid.count() == 0) return out;
  const int c0 = std::max(rect.left / kTile, 0);
  const int c1 = std::min((rect.right - 1) / kTile, grid.columns() - 1);
  const int r0 = std::max(rect.top / kTile, 0);
  const int r1 = std::min((rect.bottom - 1) / kTile, grid.rows() - 1);
  for (int r = r0; r <= r1; ++r)
    for (int c = c0; c <= c1; ++c)
      out.push_back(static_cast<std::uint16_t>(r * grid.columns() + c));
  return out;
}

namespace {

// A rectangle of tiles: columns [c0, c1), rows [r0, r1).
struct TileBox {
  int c0, r0, c1, r1;
  long area() const { return static_cast<long>(c1 - c0) * (r1 - r0); }
};

TileBox Around(const TileBox& a, const TileBox& b) {
  return {std::min(a.c0, b.c0), std::min(a.r0, b.r0), std::max(a.c1, b.c1), std::max(a.r1, b.r1)};
}

bool Inside(const TileBox& inner, const TileBox& outer) {
  return inner.c0 >= outer.c0 && inner.c1 <= outer.c1 && inner.r0 >= outer.r0 &&
         inner.r1 <= outer.r1;
}

}  // namespace

std::vector<Rect> ChangeRects(const TileGrid& grid, const TileSet& tiles, double pass_pixels) {
  if (tiles.empty() || grid.count() == 0) return {};
  const long tile_pixels = static_cast<long>(kTile) * kTile;
  const long pass_tiles = static_cast<long>(std::ceil(pass_pixels / tile_pixels));
  // Runs along each row; a gap narrower than a pass is bridged.
  std::vector<TileBox> boxes;
  std::vector<TileBox> open;  // rectangles still growing down, from the row above
  std::size_t next = 0;
  for (int r = 0; r < grid.rows(); ++r) {
    std::vector<TileBox> runs;
    while (next < tiles.size() && tiles[next] / grid.columns() == r) {
      const int c = tiles[next] % grid.columns();
      if (!runs.empty() && c - runs.back().c1 <= pass_tiles)
        runs.back().c1 = c + 1;
      else
        runs.push_back({c, r, c + 1, r + 1});
      ++next;
    }
    std::vector<TileBox> grown;
    for (TileBox& run : runs) {
      const auto same = std::find_if(open.begin(), open.end(), [&](const TileBox& o) {
        return o.c0 == run.c0 && o.c1 == run.c1;
      });
      if (same != open.end()) {
        TileBox g = *same;
        g.r1 = r + 1;
        open.erase(same);
        grown.push_back(g);
      } else {
        grown.push_back(run);
      }
    }
    boxes.insert(boxes.end(), open.begin(), open.end());
    open = std::move(grown);
  }
  boxes.insert(boxes.end(), open.begin(), open.end());

  // Merge the pair that saves most while one pass over their surrounding
  // rectangle costs less than a pass over each.
  for (;;) {
    long best = 0;
    std::size_t bi = 0, bj = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i)
      for (std::size_t j = i + 1; j < boxes.size(); ++j) {
        const long saving =
            boxes[i].area() + boxes[j].area() + pass_tiles - Around(boxes[i], boxes[j]).area();
        if (saving > best) {
          best = saving;
          bi = i;
          bj = j;
        }
      }
    if (best <= 0) break;
    const TileBox merged = Around(boxes[bi], boxes[bj]);
    std::erase_if(boxes, [&](const TileBox& b) { return Inside(b, merged); });
    boxes.push_back(merged);
  }

  std::vector<Rect> out;
  const Size d = grid.device();
  for (const TileBox& b : boxes)
    out.push_back({b.c0 * kTile, b.r0 * kTile, std::min(b.c1 * kTile, d.width),
                   std::min(b.r1 * kTile, d.height)});
  return out;
}

}  // namespace qzarn::render
