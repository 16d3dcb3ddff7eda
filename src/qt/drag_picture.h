#pragma once
// The picture of a screen while a figure is dragged with the whole picture
// drawn on every step: the base and the transparent layers of a
// render::DragLayerPlan, drawn once, and each step's picture put together
// from them and the changing figures drawn afresh.

#include "qt/picture_chunks.h"
#include "render/drag_layers.h"

#include <QImage>
#include <QRect>
#include <functional>
#include <span>
#include <vector>

namespace qzarn {

class DragPicture {
 public:
  // Draws steps of the screen's picture on a canvas of the picture's surface size.
  using DrawSteps = std::function<void(render::Canvas&, std::span<const render::PictureStep>)>;

  // Draws the base and the layers of the plan for pictures like `like` (its
  // size, format and device pixel ratio); `surface` is its size in surface
  // pixels. `changing` names the figures the steps redraw (ascending slots).
  // With `kept` pieces of the same picture (ready, fitting `like`, made from
  // the order the plan was cut from, outer frame left out), the base and the
  // last layer are put together from them rather than drawn whole.
  void Build(const QImage& like, render::Size surface, render::DragLayerPlan plan,
             std::vector<int> changing, const DrawSteps& draw, const PictureChunks* kept = nullptr);
  // Puts one step's picture together in `picture` (which must fit).
  void Compose(QImage& picture, const DrawSteps& draw) const;
  // Notes that the picture is still to be put together, when first needed.
  void ComposeLater() { later_ = true; }
  bool composing_later() const { return later_ && built_; }
  // Whether the layers were made for pictures like this one.
  bool Fits(const QImage& picture) const;

  bool empty() const { return !built_; }
  // Forgets the plan; the pictures are kept for the next build of the same size.
  void Clear();
  const std::vector<int>& changing() const { return changing_; }

 private:
  // A transparent picture laid over the step's picture where it is painted.
  struct Sheet {
    QImage image;
    PaintedBands bands;
    bool own = false;  // drawn here (and reused by the next build), not a kept piece
  };
  // The kept steps of a run: its own sheet of the steps up to the next kept
  // cut, then the kept piece from that cut on, shared with the kept pieces.
  struct Layer {
    std::vector<Sheet> sheets;
  };
  // A clear transparent picture like `like`, reusing one left from the last build.
  Sheet OwnSheet(const QImage& like);

  render::Size surface_;
  render::DragLayerPlan plan_;
  std::vector<int> changing_;
  bool built_ = false;
  mutable bool later_ = false;
  QImage base_;
  std::vector<Layer> layers_;  // one per run
  std::vector<Sheet> spare_;   // own sheets of the last build, clear again
};

}  // namespace qzarn
