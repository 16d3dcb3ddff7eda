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

// Whether any of the pixels [from, to) of a row is not fully clear; eight
// at a time, so that the compiler keeps the loop in wide registers.
bool AnyPainted(const QRgb* row, int from, int to) {
  QRgb any = 0;
  int x = from;
  for (; x + 8 <= to; x += 8) {
    QRgb eight = 0;
    for (int k = 0; k < 8; ++k)
      eight |= row[x + k];
    if (eight != 0) return true;
  }
  for (; x < to; ++x)
    any |= row[x];
  return any != 0;
}

}  // namespace

PaintedBands FindPaintedBands(const QImage& layer) {
  PaintedBands bands;
  const int width = layer.width(), height = layer.height();
  bands.spans.reserve(
      static_cast<std::size_t>((height + PaintedBands::kRows - 1) / PaintedBands::kRows));
  for (int top = 0; top < height; top += PaintedBands::kRows) {
    int left = width, right = 0;
    for (int y = top; y < std::min(height, top + PaintedBands::kRows); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
      // Only pixels outside what the band already holds can widen it.
      if (!AnyPainted(row, 0, left) && !AnyPainted(row, std::max(left, right), width)) continue;
      int first = 0;
      while (first < left && row[first] == 0)
        ++first;
      int last = width - 1;
      while (last >= right && row[last] == 0)
        --last;
      left = std::min(left, first);
      right = std::max(right, last + 1);
    }
    bands.spans.emplace_back(left, right);
  }
  return bands;
}

void LayOverBands(QPainter& painter, const QImage& layer, const PaintedBands& bands) {
  const double ratio = layer.devicePixelRatio();
  painter.save();
  painter.setClipping(false);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  const auto lay = [&](const QRect& source) {
    if (source.isEmpty()) return;
    painter.drawImage(QRectF(source.x() / ratio, source.y() / ratio, source.width() / ratio,
                             source.height() / ratio),
                      layer, QRectF(source));
  };
  // Neighbouring bands of about the same columns go over in one piece: a
  // densely painted layer is then one blend, as the whole picture would be.
  QRect pending;
  long long painted = 0;  // pixels of the bands in `pending`
  for (std::size_t band = 0; band < bands.spans.size(); ++band) {
    const auto [left, right] = bands.spans[band];
    const int top = static_cast<int>(band) * PaintedBands::kRows;
    const QRect source = left < right ? QRect(left, top, right - left,
                                              std::min(PaintedBands::kRows, layer.height() - top))
                                      : QRect();
    const QRect joined = pending.united(source);
    const long long with = painted + static_cast<long long>(source.width()) * source.height();
    if (!source.isEmpty() && !pending.isEmpty() &&
        static_cast<long long>(joined.width()) * joined.height() <= with + with / 4) {
      pending = joined;
      painted = with;
      continue;
    }
    lay(pending);
    pending = source;
    painted = static_cast<long long>(source.width()) * source.height();
  }
  lay(pending);
  painter.restore();
}

void ClearBands(QImage& layer, const PaintedBands& bands) {
  for (std::size_t band = 0; band < bands.spans.size(); ++band) {
    const auto [left, right] = bands.spans[band];
    if (left >= right) continue;
    const int top = static_cast<int>(band) * PaintedBands::kRows;
    for (int y = top; y < std::min(layer.height(), top + PaintedBands::kRows); ++y) {
      auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
      std::fill(row + left, row + right, QRgb{0});
    }
  }
}

void PictureChunks::Start(const QImage& like, render::Size surface,
                          std::vector<render::PictureStep> order, int pieces) {
  Clear();
  started_ = true;
  like_ = PictureLike(like, like.format());
  surface_ = surface;
  order_ = std::move(order);
  const std::size_t n = order_.size();
  std::size_t count = static_cast<std::size_t>(std::max(pieces, 1));
  // Grid and axes cost more than most figures and lie under every figure
  // that is dragged: the first cut comes right after them, and the rest
  // share the figures above them evenly.
  const auto axes = std::find_if(order_.begin(), order_.end(), [](const render::PictureStep& s) {
    return s.kind == render::PictureStep::Kind::kAxes;
  });
  std::size_t front = 0;
  if (count >= 2 && axes != order_.end() && axes + 1 != order_.end()) {
    front = static_cast<std::size_t>(axes - order_.begin()) + 1;
    cuts_.push_back(front);
    --count;
  }
  for (std::size_t k = 1; k < count; ++k) {
    const std::size_t cut = front + (n - front) * k / count;
    if (cut > 0 && cut < n && (cuts_.empty() || cuts_.back() < cut)) cuts_.push_back(cut);
  }
  before_.resize(cuts_.size());
  from_.resize(cuts_.size());
  from_bands_.resize(cuts_.size());
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
      LayOverBands(painter, from_[k + 1], from_bands_[k + 1]);
    }
    painter.end();
    from_bands_[k] = FindPaintedBands(image);
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
  from_bands_.clear();
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
    const auto k = static_cast<std::size_t>(at - cuts_.begin());
    LayOverBands(painter, from_[k], from_bands_[k]);
  }
}

std::optional<std::size_t> PictureChunks::CutFrom(std::size_t begin) const {
  if (!ready()) return std::nullopt;
  const auto at = std::lower_bound(cuts_.begin(), cuts_.end(), begin);
  if (at == cuts_.end()) return std::nullopt;
  return static_cast<std::size_t>(at - cuts_.begin());
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
