#include "qt/drag_picture.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "qt/qt_canvas.h"

namespace qzarn {

namespace {

// The smallest rectangle holding every pixel that is not fully transparent.
QRect PaintedRect(const QImage& layer) {
  int left = layer.width(), right = -1, top = layer.height(), bottom = -1;
  for (int y = 0; y < layer.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    int first = 0;
    while (first < layer.width() && row[first] == 0)
      ++first;
    if (first == layer.width()) continue;
    int last = layer.width() - 1;
    while (row[last] == 0)
      --last;
    left = std::min(left, first);
    right = std::max(right, last);
    top = std::min(top, y);
    bottom = y;
  }
  return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace

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

  base_ = QImage(like.size(), like.format());
  base_.setDevicePixelRatio(like.devicePixelRatio());
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
      layer.image = QImage(like.size(), QImage::Format_ARGB32_Premultiplied);
      layer.image.setDevicePixelRatio(like.devicePixelRatio());
      // The last stretch of unchanged steps reaches the end of the kept order.
      if (kept_at(at, run.kept) && at + run.kept.size() == order->size()) {
        kept->DrawFrom(layer.image, at, draw);
      } else {
        layer.image.fill(Qt::transparent);
        QPainter painter(&layer.image);
        QtCanvas canvas(painter, surface_);
        draw(canvas, run.kept);
      }
      layer.painted = PaintedRect(layer.image);
    }
    at += run.kept.size();
    layers_.push_back(std::move(layer));
  }
}

void DragPicture::Compose(QImage& picture, const DrawSteps& draw) const {
  if (empty() || !Fits(picture)) return;
  std::memcpy(picture.bits(), base_.constBits(), static_cast<std::size_t>(base_.sizeInBytes()));
  QPainter painter(&picture);
  QtCanvas canvas(painter, surface_);
  const double ratio = picture.devicePixelRatio();
  for (std::size_t i = 0; i < plan_.runs.size(); ++i) {
    draw(canvas, plan_.runs[i].drawn);
    const Layer& layer = layers_[i];
    if (layer.painted.isEmpty()) continue;
    // Device pixels onto the same device pixels, whatever the painter's scale.
    const QRectF target(layer.painted.x() / ratio, layer.painted.y() / ratio,
                        layer.painted.width() / ratio, layer.painted.height() / ratio);
    painter.save();
    painter.setClipping(false);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(target, layer.image, QRectF(layer.painted));
    painter.restore();
  }
}

bool DragPicture::Fits(const QImage& picture) const {
  return !base_.isNull() && picture.size() == base_.size() && picture.format() == base_.format() &&
         picture.bytesPerLine() == base_.bytesPerLine() &&
         picture.devicePixelRatio() == base_.devicePixelRatio();
}

void DragPicture::Clear() {
  base_ = QImage();
  layers_.clear();
  plan_ = {};
  changing_.clear();
}

}  // namespace qzarn
