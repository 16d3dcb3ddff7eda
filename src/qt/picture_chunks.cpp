#include "qt/picture_chunks.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "qt/qt_canvas.h"

namespace qzarn {

namespace {

QImage PictureLike(const QImage& like, QImage::Format format) {
  QImage image(like.size(), format);
  image.setDevicePixelRatio(like.devicePixelRatio());
  return image;
}

void CopyPixels(QImage& to, const QImage& from) {
  std::memcpy(to.bits(), from.constBits(), static_cast<std::size_t>(from.sizeInBytes()));
}

// Lays a transparent picture of the painter's size over it, device pixel on
// device pixel whatever the painter's scale.
void LayOver(QPainter& painter, const QImage& layer) {
  const double ratio = layer.devicePixelRatio();
  painter.save();
  painter.setClipping(false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.drawImage(QRectF(0, 0, layer.width() / ratio, layer.height() / ratio), layer,
                    QRectF(layer.rect()));
  painter.restore();
}

}  // namespace

void PictureChunks::Start(const QImage& like, render::Size surface,
                          std::vector<render::PictureStep> order, int pieces) {
  Clear();
  started_ = true;
  like_ = PictureLike(like, like.format());
  surface_ = surface;
  order_ = std::move(order);
  const std::size_t n = order_.size();
  const std::size_t count = static_cast<std::size_t>(std::max(pieces, 1));
  for (std::size_t k = 1; k < count; ++k) {
    const std::size_t cut = n * k / count;
    if (cut > 0 && cut < n && (cuts_.empty() || cuts_.back() < cut)) cuts_.push_back(cut);
  }
  before_.resize(cuts_.size());
  from_.resize(cuts_.size());
}

std::span<const render::PictureStep> PictureChunks::Steps(std::size_t begin,
                                                          std::size_t end) const {
  return std::span<const render::PictureStep>(order_).subspan(begin, end - begin);
}

bool PictureChunks::BuildNext(const DrawSteps& draw) {
  if (!started_ || ready()) return ready();
  const int k_count = cuts();
  if (next_ < k_count) {
    // Each picture before a cut is the one before the previous cut and the
    // steps between them.
    const auto k = static_cast<std::size_t>(next_);
    QImage& image = before_[k];
    image = PictureLike(like_, like_.format());
    if (k == 0)
      image.fill(Qt::white);
    else
      CopyPixels(image, before_[k - 1]);
    QPainter painter(&image);
    QtCanvas canvas(painter, surface_);
    draw(canvas, Steps(k == 0 ? 0 : cuts_[k - 1], cuts_[k]));
  } else {
    // From the last cut backwards: the steps up to the next cut with the
    // picture from that cut laid over them.
    const auto k = static_cast<std::size_t>(2 * k_count - 1 - next_);
    QImage& image = from_[k];
    image = PictureLike(like_, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    {
      QtCanvas canvas(painter, surface_);
      draw(canvas, Steps(cuts_[k], k + 1 < cuts_.size() ? cuts_[k + 1] : order_.size()));
    }
    if (k + 1 < cuts_.size()) {
      LayOver(painter, from_[k + 1]);
    }
  }
  ++next_;
  return ready();
}

void PictureChunks::Clear() {
  started_ = false;
  like_ = QImage();
  order_.clear();
  cuts_.clear();
  before_.clear();
  from_.clear();
  next_ = 0;
}

bool PictureChunks::Fits(const QImage& picture) const {
  return started_ && picture.size() == like_.size() && picture.format() == like_.format() &&
         picture.bytesPerLine() == like_.bytesPerLine() &&
         picture.devicePixelRatio() == like_.devicePixelRatio();
}

void PictureChunks::DrawBefore(QImage& target, std::size_t end, const DrawSteps& draw) const {
  end = std::min(end, order_.size());
  std::size_t from = 0;
  const auto after = std::upper_bound(cuts_.begin(), cuts_.end(), end);
  if (after != cuts_.begin() && ready()) {
    const auto k = static_cast<std::size_t>(after - cuts_.begin() - 1);
    CopyPixels(target, before_[k]);
    from = cuts_[k];
  } else {
    target.fill(Qt::white);
  }
  if (from == end) return;
  QPainter painter(&target);
  QtCanvas canvas(painter, surface_);
  draw(canvas, Steps(from, end));
}

void PictureChunks::DrawFrom(QImage& target, std::size_t begin, const DrawSteps& draw) const {
  begin = std::min(begin, order_.size());
  target.fill(Qt::transparent);
  const auto at = std::lower_bound(cuts_.begin(), cuts_.end(), begin);
  const bool kept = at != cuts_.end() && ready();
  const std::size_t to = kept ? *at : order_.size();
  QPainter painter(&target);
  if (begin < to) {
    QtCanvas canvas(painter, surface_);
    draw(canvas, Steps(begin, to));
  }
  if (kept) {
    LayOver(painter, from_[static_cast<std::size_t>(at - cuts_.begin())]);
  }
}

std::size_t PictureChunks::bytes() const {
  std::size_t total = 0;
  for (const QImage& image : before_)
    total += static_cast<std::size_t>(image.sizeInBytes());
  for (const QImage& image : from_)
    total += static_cast<std::size_t>(image.sizeInBytes());
  return total;
}

}  // namespace qzarn
