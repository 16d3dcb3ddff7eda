#pragma once
// The picture after a palette or animation step, once the figures the
// changed variables reach have been recomputed: drawn in the cheapest of
// three ways by an estimate of their cost.
// - Change rectangles: the tiles the reached figures covered before the step
//   and cover after it are taken over the previous picture, each rectangle
//   from a picture of the background, the axes and the figures meeting it
//   alone, the canvas's own pixels kept inside it. Exactly a whole redraw's
//   pixels; cheap when the reached figures and the figures round them cover
//   little of the picture, however they are spread through the figure list.
// - Layers (qt/drag_picture.h): when the reached figures lie together in the
//   picture order, the rest comes from a base and a few transparent layers.
// - The whole picture.
// The tiles every figure covers are kept for the picture shown, and are
// known only after a step: the first step of a series is drawn by layers or
// whole, and the tiles are taken then.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "document/figure_table.h"
#include "qt/drag_picture.h"
#include "render/change_rects.h"

#include <QImage>

namespace qzarn {

class VariableStepPicture {
 public:
  enum class Drawing { kWhole, kLayers, kChangeRects };
  using DrawSteps = DragPicture::DrawSteps;
  // Everything the kept tiles depend on, compared byte for byte: the
  // caller's description of the screen and its variables as drawn.
  using Key = std::vector<std::uint8_t>;

  struct Step {
    QImage* picture = nullptr;  // shows the picture of `before`; receives the step's
    render::Size surface;       // the picture's size in surface pixels
    const FigureTable* figures = nullptr;
    std::vector<int> reached;  // recomputed figures, ascending slots
    Key before, after;         // the picture shown, and the screen now
    DragPicture* layers = nullptr;
    bool layers_reusable = false;  // `layers` were built for these reached figures
    int most_layers = 4;
    // Change rectangles whenever they are possible, whatever they cost
    // (to compare their picture with a whole redraw's).
    bool change_rects_always = false;
    DrawSteps draw;  // draws steps of the screen as it is now
  };

  // Draws the step's picture in `picture`; with layers, builds them when
  // they were not reusable.
  Drawing Draw(const Step& step);
  // The kept tiles no longer describe the picture shown.
  void Forget();
  // Whether the tiles of the picture shown are known.
  bool known() const { return !tiles_.empty(); }

  // Redraws `rects` over `picture`: for each, the picture order of `figures`
  // without the figures whose `tiles` miss it, drawn on `scratch` (made to
  // fit), and the rectangle taken from it.
  static void RedrawRects(QImage& picture, QImage& scratch, render::Size surface,
                          const FigureTable& figures, const render::TileGrid& grid,
                          std::span<const render::TileSet> tiles,
                          std::span<const render::Rect> rects, const DrawSteps& draw);

 private:
  // Takes the tiles of every figure as the picture now shows them.
  void TakeAllTiles(QImage& picture, const Step& step);

  render::TileGrid grid_;
  std::vector<render::TileSet> tiles_;  // by slot
  Key key_;
  QImage scratch_;  // where a step's rectangles are drawn
};

}  // namespace qzarn
