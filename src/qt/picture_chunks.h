#pragma once
// A screen's picture kept in pieces while the screen stands still, so that a
// press on a figure lays out the layers of its drag (qt/drag_picture.h)
// without drawing the whole picture again: the picture order is cut into a
// few stretches, and the picture of everything before each cut (opaque) and
// of everything after it (transparent) is kept. Built a piece at a time, so
// that the window stays responsive while it is made.

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "render/draw_screen.h"

#include <QImage>

class QPainter;

namespace qzarn {

// Where a transparent picture holds anything, in bands of rows: for each
// band the columns [left, right) of device pixels that are not fully clear
// (none when left >= right). Laying the picture over another then touches
// only those pixels, and clearing it for reuse clears only them.
struct PaintedBands {
  static constexpr int kRows = 32;
  std::vector<std::pair<int, int>> spans;  // one per band, top to bottom
};

// Finds the painted bands of a premultiplied transparent picture.
PaintedBands FindPaintedBands(const QImage& layer);
// Lays `layer` (of the painter's device size, device pixel on device pixel
// whatever the painter's scale) over the painter's picture where it is painted.
void LayOverBands(QPainter& painter, const QImage& layer, const PaintedBands& bands);
// Makes the painted bands of `layer` clear again.
void ClearBands(QImage& layer, const PaintedBands& bands);

class PictureChunks {
 public:
  using DrawSteps = std::function<void(render::Canvas&, std::span<const render::PictureStep>)>;

  // Starts over for pictures like `like` (size, format, device pixel ratio)
  // of the steps `order`, cut into at most `pieces` stretches of about equal
  // length. Nothing is drawn yet.
  void Start(const QImage& like, render::Size surface, std::vector<render::PictureStep> order,
             int pieces);
  // Draws the next kept picture; true when every one is made (also when
  // there is nothing to make).
  bool BuildNext(const DrawSteps& draw);
  bool ready() const { return started_ && next_ >= total_builds(); }
  bool started() const { return started_; }
  void Clear();

  const std::vector<render::PictureStep>& order() const { return order_; }
  // Whether the pictures were made for pictures like this one.
  bool Fits(const QImage& picture) const;

  // The picture of order()[0, end) on white into `target` (a picture that
  // fits): the nearest kept picture before it and the steps after that.
  void DrawBefore(QImage& target, std::size_t end, const DrawSteps& draw) const;
  // The transparent picture of order()[begin, end of order) into `target`
  // (premultiplied ARGB of the same size): the steps up to the nearest cut
  // after `begin`, with the kept picture of the rest laid over them.
  void DrawFrom(QImage& target, std::size_t begin, const DrawSteps& draw) const;

  // The first cut at or after `begin` whose transparent picture is kept, or
  // nothing. The picture is shared, not copied.
  std::optional<std::size_t> CutFrom(std::size_t begin) const;
  std::size_t cut(std::size_t k) const { return cuts_[k]; }
  const QImage& from(std::size_t k) const { return from_[k]; }
  const PaintedBands& from_bands(std::size_t k) const { return from_bands_[k]; }

  // Bytes held by the kept pictures.
  std::size_t bytes() const;

 private:
  int cuts() const { return static_cast<int>(cuts_.size()); }
  int total_builds() const { return 2 * cuts(); }
  std::span<const render::PictureStep> Steps(std::size_t begin, std::size_t end) const;

  bool started_ = false;
  QImage like_;
  render::Size surface_;
  std::vector<render::PictureStep> order_;
  // Cut positions in the order, ascending, strictly inside it.
  std::vector<std::size_t> cuts_;
  // before_[k]: order_[0, cuts_[k]) on white; from_[k]: order_[cuts_[k], end) transparent.
  std::vector<QImage> before_;
  std::vector<QImage> from_;
  std::vector<PaintedBands> from_bands_;
  int next_ = 0;
};

}  // namespace qzarn
