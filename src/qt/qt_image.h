#pragma once
// Conversions between our picture type and Qt's, and PNG files for tests and
// the command-line renderer.

#include <QColor>
#include <QImage>
#include <string>

#include "platform/rgb_image.h"
#include "render/canvas.h"

namespace qzarn {

inline QColor ToQColor(render::Colour c) {
  return QColor(render::ColourRed(c), render::ColourGreen(c), render::ColourBlue(c));
}
inline render::Colour FromQRgb(QRgb rgb) {
  return render::MakeColour(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

// A deep copy as an opaque 32-bit image (the format QPainter draws fastest on).
QImage ToQImage(const RgbImage& image);
// Any QImage to RGB; alpha is dropped, not blended over a background.
RgbImage FromQImage(const QImage& image);
// Written like a document (a temporary file, renamed over the target once complete), so a
// failure leaves any previous picture as it was; false with the reason when it fails.
bool SavePng(const QImage& image, const std::string& path, std::string& error);
inline bool SavePng(const QImage& image, const std::string& path) {
  std::string error;
  return SavePng(image, path, error);
}

}  // namespace qzarn
