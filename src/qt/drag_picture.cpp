#include "qt/drag_picture.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "qt/qt_canvas.h"

namespace qzarn {

DragPicture::Sheet DragPicture::OwnSheet(const QImage& like) {
  Sheet sheet;
  sheet.own = true;
  if (!spare_.empty()) {
    sheet.image = std::move(spare_.back().image);
    spare_.pop_back();
  }
  if (sheet.image.size() != like.size() ||
      sheet.image.devicePixelRatio() != like.devicePixelRatio()) {
    sheet.image = QImage(like.size(), QImage::Format_ARGB32_Premultiplied);
    sheet.image.setDevicePixelRatio(like.devicePixelRatio());
    sheet.image.fill(Qt::transparent);
  }
  return sheet;
}

void DragPicture::Build(const QImage& like, render::Size surface, render::DragLayerPlan plan,
                        std::vector<int> changing, const DrawSteps& draw,
                        const PictureChunks* kept) {
  Clear();
  surface_ = surface;
  plan_ = std::move(plan);
  changing_ = std::move(changing);
  if (kept != nullptr && !(kept->ready() && kept->Fits(like))) kept = nullptr;
  const std::vector<render::PictureStep>* order = kept ? &kept->order() : nullptr;
  // Whether steps[from, from + size) of the kept order are these steps.
  const auto kept_at = [&](std::size_t from, std::span<const render::PictureStep> steps) {
    return order != nullptr && from + steps.size() <= order->size() &&
           std::equal(steps.begin(), steps.end(), order->begin() + static_cast<long>(from));
  };

  if (!Fits(like)) {
    base_ = QImage(like.size(), like.format());
    base_.setDevicePixelRatio(like.devicePixelRatio());
  }
  if (kept_at(0, plan_.below)) {
    kept->DrawBefore(base_, plan_.below.size(), draw);
  } else {
    base_.fill(Qt::white);
    QPainter painter(&base_);
    QtCanvas canvas(painter, surface_);
    draw(canvas, plan_.below);
  }
  std::size_t at = plan_.below.size();
  for (const render::DragLayerPlan::Run& run : plan_.runs) {
    at += run.drawn.size();
    Layer layer;
    if (!run.kept.empty()) {
      // The last stretch of unchanged steps reaches the end of the kept
      // order: from the next kept cut on, the kept piece is laid over as it
      // is, and only the steps before that cut are drawn.
      std::optional<std::size_t> cut;
      if (kept_at(at, run.kept) && at + run.kept.size() == order->size()) cut = kept->CutFrom(at);
      const std::size_t own_end = cut ? kept->cut(*cut) : at + run.kept.size();
      if (at < own_end) {
        Sheet sheet = OwnSheet(like);
        {
          QPainter painter(&sheet.image);
          QtCanvas canvas(painter, surface_);
          draw(canvas, std::span<const render::PictureStep>(run.kept).first(own_end - at));
        }
        sheet.bands = FindPaintedBands(sheet.image);
        layer.sheets.push_back(std::move(sheet));
      }
      if (cut) layer.sheets.push_back({kept->from(*cut), kept->from_bands(*cut), false});
    }
    at += run.kept.size();
    layers_.push_back(std::move(layer));
  }
  built_ = true;
}

void DragPicture::Compose(QImage& picture, const DrawSteps& draw) const {
  later_ = false;
  if (empty() || !Fits(picture)) return;
  std::memcpy(picture.bits(), base_.constBits(), static_cast<std::size_t>(base_.sizeInBytes()));
  QPainter painter(&picture);
  QtCanvas canvas(painter, surface_);
  for (std::size_t i = 0; i < plan_.runs.size(); ++i) {
    draw(canvas, plan_.runs[i].drawn);
    for (const Sheet& sheet : layers_[i].sheets)
      LayOverBands(painter, sheet.image, sheet.bands);
  }
}

bool DragPicture::Fits(const QImage& picture) const {
  return !base_.isNull() && picture.size() == base_.size() && picture.format() == base_.format() &&
         picture.bytesPerLine() == base_.bytesPerLine() &&
         picture.devicePixelRatio() == base_.devicePixelRatio();
}

void DragPicture::Clear() {
  // Own sheets are cleared where they were painted and kept for the next
  // build: a fresh picture of this size costs the system a page fault per
  // page on its first touch.
  for (Layer& layer : layers_)
    for (Sheet& sheet : layer.sheets)
      if (sheet.own) {
        ClearBands(sheet.image, sheet.bands);
        spare_.push_back(std::move(sheet));
      }
  layers_.clear();
  plan_ = {};
  changing_.clear();
  built_ = false;
  later_ = false;
}

}  // namespace qzarn
