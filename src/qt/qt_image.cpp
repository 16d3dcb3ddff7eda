#include "qt/qt_image.h"

#include <cstring>

#include "platform/binary_io.h"

#include <QBuffer>
#include <QByteArray>

namespace qzarn {

QImage ToQImage(const RgbImage& image) {
  if (image.empty() ||
      image.pixels.size() < image.stride() * static_cast<std::size_t>(image.height)) {
    return QImage();
  }
  QImage out(image.width, image.height, QImage::Format_RGB32);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = image.row(y);
    QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < image.width; ++x, src += 3)
      dst[x] = qRgb(src[0], src[1], src[2]);
  }
  return out;
}

RgbImage FromQImage(const QImage& image) {
  if (image.isNull()) return RgbImage();
  const QImage rgb = image.format() == QImage::Format_RGB888
                         ? image
                         : image.convertToFormat(QImage::Format_RGB888);
  RgbImage out(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(out.row(y), rgb.constScanLine(y), out.stride());
  }
  return out;
}

bool SavePng(const QImage& image, const std::string& path, std::string& error) {
  QByteArray encoded;
  QBuffer buffer(&encoded);
  if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
    error = "cannot encode the picture as PNG";
    return false;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(encoded.constData());
  return WriteFileAtomically(path, {data, static_cast<std::size_t>(encoded.size())}, error);
}

}  // namespace qzarn
