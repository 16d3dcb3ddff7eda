#pragma once
// Pictures of screens for comparison with stored references: the geometry
// drawn without antialiasing and without texts (their glyphs depend on the
// installed fonts), and the share of pixels two pictures differ in.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

// Document headers before Qt's, whose "slots" keyword is a macro.
#include "render/draw_screen.h"

#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"

namespace qzarn::testing {

// Geometry only: every text call is dropped.
class GeometryCanvas : public QtCanvas {
 public:
  using QtCanvas::QtCanvas;
  void DrawText(render::PointF, std::string_view) override {}
};

inline QImage RenderGeometry(Screen& screen) {
  const int w = screen.View().ScreenWidth, h = screen.View().ScreenHeight;
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  GeometryCanvas canvas(painter, {w, h});
  render::RenderOptions options;
  options.antialiasing = false;  // pixel-exact, so the comparison can be tight
  render::DrawScreen(canvas, &screen, options);
  return image;
}

// The share of pixels whose colour channels differ by more than `tolerance`;
// pictures of different sizes differ everywhere.
inline double DifferingFraction(const QImage& a, const QImage& b, int tolerance) {
  if (a.size() != b.size()) return 1.0;
  long differing = 0;
  for (int y = 0; y < a.height(); ++y) {
    const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      const int d =
          std::max({std::abs(qRed(ra[x]) - qRed(rb[x])), std::abs(qGreen(ra[x]) - qGreen(rb[x])),
                    std::abs(qBlue(ra[x]) - qBlue(rb[x]))});
      if (d > tolerance) ++differing;
    }
  }
  return static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
}

// Compares the picture with the reference `folder`/`name`.png (at most 0.3 %
// of the pixels may differ by more than 24 per channel); with
// QZARN_WRITE_REFERENCES=1 in the environment writes the reference instead.
inline void ExpectMatchesReference(const QImage& image, const std::filesystem::path& folder,
                                   const std::string& name) {
  const char* write = std::getenv("QZARN_WRITE_REFERENCES");
  const QString path = QString::fromStdString((folder / (name + ".png")).string());
  if (write != nullptr && std::string(write) == "1") {
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(image.save(path, "PNG"));
    return;
  }
  QImage reference(path);
  ASSERT_FALSE(reference.isNull()) << "missing reference " << path.toStdString();
  reference = reference.convertToFormat(QImage::Format_RGB32);
  const double fraction = DifferingFraction(image, reference, 24);
  EXPECT_LE(fraction, 0.003) << "differing pixels: " << fraction * 100 << " %";
}

}  // namespace qzarn::testing
