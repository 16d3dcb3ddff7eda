#include "qt/variable_step_picture.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "qt/qt_canvas.h"
#include "render/drag_layers.h"

namespace qzarn {

namespace {

using render::PictureStep;

// The cost model, in pixels blended. Drawing a tile costs its pixels once
// for the background and the axes and once for each figure covering it. A
// rectangle costs the tiles it holds plus a fixed price for a pass (the
// picture order walked, the grid's marks stepped through, the rectangle
// copied); rectangles closer than that are taken as one. A layered step
// copies the base and blends one whole layer per stretch of unchanged
// figures, and draws the reached figures. Redrawing a tile in a rectangle
// costs more than drawing it in a whole picture (the figures meeting it are
// walked and set up, their strokes stepped to the rectangle): measured on
// 500-figure lessons, about two and a half times.
constexpr double kBackgroundShare = 0.5;
constexpr double kRectShare = 2.5;
constexpr double kPassPixels = 120000;
constexpr double kLayerBaseShare = 0.5, kLayerShare = 1.0;
constexpr double kTilePixels = render::TileGrid::kTile * render::TileGrid::kTile;

// Whether the step may set a pixel in the marked tiles: the background, the
// axes and the outer frame span the picture; a figure not measured counts.
bool Meets(const PictureStep& step, std::span<const render::TileSet> tiles,
           const std::vector<std::uint8_t>& marked) {
  const auto slot = static_cast<std::size_t>(step.slot);
  if (step.kind != PictureStep::Kind::kFigure || slot >= tiles.size()) return true;
  return std::any_of(tiles[slot].begin(), tiles[slot].end(),
                     [&](std::uint16_t t) { return marked[t] != 0; });
}

double FigureCost(const render::TileSet& tiles) {
  return static_cast<double>(tiles.size()) * kTilePixels;
}

}  // namespace

void VariableStepPicture::Forget() {
  tiles_.clear();
  key_.clear();
}

void VariableStepPicture::TakeAllTiles(QImage& picture, const Step& step) {
  grid_ = render::TileGrid(step.surface);
  const FigureTable& figures = *step.figures;
  const int last = std::min(figures.LastIndex, kLastSlot);
  tiles_.assign(static_cast<std::size_t>(std::max(last + 1, 1)), {});
  QPainter painter(&picture);
  QtCanvas measure(painter, step.surface);
  render::TileCanvas tiles(grid_, measure);
  for (int i = 0; i <= last; ++i) {
    const FigureRecord* record = figures.record(i);
    if (record == nullptr || record->empty()) continue;
    const PictureStep one{PictureStep::Kind::kFigure, i};
    step.draw(tiles, {&one, 1});
    tiles_[static_cast<std::size_t>(i)] = tiles.Take();
  }
}

VariableStepPicture::Drawing VariableStepPicture::Draw(const Step& step) {
  QImage& picture = *step.picture;
  const std::vector<PictureStep> order = render::PictureOrder(*step.figures);
  bool known =
      !tiles_.empty() && key_ == step.before && grid_.device() == step.surface && grid_.count() > 0;
  for (int slot : step.reached)
    known = known && slot >= 0 && static_cast<std::size_t>(slot) < tiles_.size();

  const double area = static_cast<double>(step.surface.width) * step.surface.height;
  constexpr double kNever = std::numeric_limits<double>::infinity();
  std::vector<render::Rect> rects;
  double rect_cost = kNever;
  if (known) {
    // Where the reached figures were drawn (kept from the last picture) and
    // where they are drawn now; the tiles now are kept for the next step.
    render::TileSet changed;
    {
      QPainter painter(&picture);
      QtCanvas measure(painter, step.surface);
      render::TileCanvas tiles(grid_, measure);
      for (int slot : step.reached) {
        const PictureStep one{PictureStep::Kind::kFigure, slot};
        step.draw(tiles, {&one, 1});
        render::TileSet now = tiles.Take();
        render::TileSet& before = tiles_[static_cast<std::size_t>(slot)];
        changed = render::UniteTiles(changed, render::UniteTiles(before, now));
        before = std::move(now);
      }
    }
    rects = render::ChangeRects(grid_, changed, kPassPixels);
    // How many figures cover each tile.
    std::vector<int> cover(static_cast<std::size_t>(grid_.count()), 0);
    for (const render::TileSet& figure : tiles_)
      for (std::uint16_t t : figure)
        ++cover[t];
    rect_cost = kPassPixels * static_cast<double>(rects.size());
    for (const render::Rect& r : rects)
      for (std::uint16_t t : render::TilesOf(grid_, r))
        rect_cost += kTilePixels * (kBackgroundShare + cover[t]);
  }

  const bool reuse = step.layers != nullptr && step.layers_reusable && !step.layers->empty() &&
                     step.layers->Fits(picture);
  std::optional<render::DragLayerPlan> plan;
  if (step.layers != nullptr) plan = render::PlanDragLayers(order, step.reached, step.most_layers);
  // Without the tiles every figure counts a screenful.
  double whole_cost = area * kBackgroundShare, reached_cost = 0;
  for (const PictureStep& s : order) {
    if (s.kind != PictureStep::Kind::kFigure) continue;
    const auto slot = static_cast<std::size_t>(s.slot);
    const double cost = known && slot < tiles_.size() ? FigureCost(tiles_[slot]) : area;
    whole_cost += cost;
    if (std::binary_search(step.reached.begin(), step.reached.end(), s.slot)) reached_cost += cost;
  }
  const double layer_cost =
      plan ? area * (kLayerBaseShare + kLayerShare * static_cast<double>(plan->runs.size())) +
                 reached_cost
           : kNever;

  Drawing drawing = Drawing::kWhole;
  rect_cost *= kRectShare;
  if (known && (step.change_rects_always || rect_cost <= std::min(whole_cost, layer_cost)))
    drawing = Drawing::kChangeRects;
  else if (plan && layer_cost < whole_cost)
    drawing = Drawing::kLayers;

  switch (drawing) {
    case Drawing::kChangeRects:
      RedrawRects(picture, scratch_, step.surface, *step.figures, grid_, tiles_, rects, step.draw);
      break;
    case Drawing::kLayers:
      if (!reuse)
        step.layers->Build(picture, step.surface, std::move(*plan), step.reached, step.draw);
      step.layers->Compose(picture, step.draw);
      break;
    case Drawing::kWhole: {
      QPainter painter(&picture);
      QtCanvas canvas(painter, step.surface);
      step.draw(canvas, order);
      break;
    }
  }
  if (!known) TakeAllTiles(picture, step);
  key_ = step.after;
  return drawing;
}

void VariableStepPicture::RedrawRects(QImage& picture, QImage& scratch, render::Size surface,
                                      const FigureTable& figures, const render::TileGrid& grid,
                                      std::span<const render::TileSet> tiles,
                                      std::span<const render::Rect> rects, const DrawSteps& draw) {
  if (rects.empty()) return;
  const std::vector<PictureStep> order = render::PictureOrder(figures);
  // Drawn on a scratch picture and taken from it: strokes the painter
  // rasterises are drawn whole (a clip could change which pixels they set),
  // and only the pixels the canvas sets itself keep to the rectangle.
  if (scratch.size() != picture.size() || scratch.format() != picture.format()) {
    scratch = QImage(picture.size(), picture.format());
  }
  scratch.setDevicePixelRatio(picture.devicePixelRatio());
  const double ratio = picture.devicePixelRatio();
  const int bytes = picture.depth() / 8;
  QPainter painter(&scratch);
  QtCanvas canvas(painter, surface);
  std::vector<std::uint8_t> in_rect(static_cast<std::size_t>(grid.count()), 0);
  std::vector<PictureStep> steps;
  for (const render::Rect& rect : rects) {
    const render::TileSet inside = render::TilesOf(grid, rect);
    for (std::uint16_t t : inside)
      in_rect[t] = 1;
    steps.clear();
    for (const PictureStep& s : order)
      if (Meets(s, tiles, in_rect)) steps.push_back(s);
    for (std::uint16_t t : inside)
      in_rect[t] = 0;
    canvas.SetPixelClip(rect);
    draw(canvas, steps);
    // Taken at once: the next rectangle's strokes may cross this one.
    // Surface pixels to device pixels, widened to whole device pixels.
    const int left = std::max(0, static_cast<int>(std::floor(rect.left * ratio)));
    const int top = std::max(0, static_cast<int>(std::floor(rect.top * ratio)));
    const int right = std::min(picture.width(), static_cast<int>(std::ceil(rect.right * ratio)));
    const int bottom = std::min(picture.height(), static_cast<int>(std::ceil(rect.bottom * ratio)));
    if (right <= left) continue;
    for (int y = top; y < bottom; ++y)
      std::memcpy(picture.scanLine(y) + left * bytes, scratch.constScanLine(y) + left * bytes,
                  static_cast<std::size_t>(right - left) * bytes);
  }
}

}  // namespace qzarn
