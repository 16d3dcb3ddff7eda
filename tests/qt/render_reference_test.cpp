// The example screens drawn through the Qt canvas and compared with the
// reference renders in tests/render/reference/ (texts left out: their glyphs
// depend on the installed fonts). A picture passes when at most 0.3 % of its
// pixels differ by more than a small colour tolerance. QZARN_WRITE_REFERENCES=1
// rewrites the references instead.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Document headers before Qt's, whose "slots" keyword is a macro.
#include "render/draw_screen.h"
#include "render/example_screens.h"

#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"

namespace qzarn {
namespace {

namespace fs = std::filesystem;

// Geometry only: every text call is dropped.
class GeometryCanvas : public QtCanvas {
 public:
  using QtCanvas::QtCanvas;
  void DrawText(render::PointF, std::string_view) override {}
};

QImage RenderGeometry(Screen& screen) {
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

double DifferingFraction(const QImage& a, const QImage& b, int tolerance) {
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

TEST(RenderReference, ExampleScreensMatchTheirReferences) {
  const fs::path dir = fs::path(QZARN_SOURCE_DIR) / "tests" / "render" / "reference";
  const char* write = std::getenv("QZARN_WRITE_REFERENCES");
  const bool rewrite = write != nullptr && std::string(write) == "1";
  for (const examples::NamedExample& e : examples::AllExamples()) {
    SCOPED_TRACE(e.name);
    std::unique_ptr<Screen> screen = e.make();
    const QImage image = RenderGeometry(*screen);
    const QString path = QString::fromStdString((dir / (std::string(e.name) + ".png")).string());
    if (rewrite) {
      fs::create_directories(dir);
      ASSERT_TRUE(image.save(path, "PNG"));
      continue;
    }
    QImage reference(path);
    ASSERT_FALSE(reference.isNull()) << "missing reference " << path.toStdString();
    reference = reference.convertToFormat(QImage::Format_RGB32);
    const double fraction = DifferingFraction(image, reference, 24);
    EXPECT_LE(fraction, 0.003) << "differing pixels: " << fraction * 100 << " %";
  }
}

TEST(RenderReference, ComparisonNoticesAMovedFigure) {
  std::unique_ptr<Screen> screen = examples::LinesExample();
  const QImage before = RenderGeometry(*screen);
  screen->View().PanX = 3;  // everything three pixels to the right
  const QImage after = RenderGeometry(*screen);
  EXPECT_GT(DifferingFraction(before, after, 24), 0.003);
}

TEST(RenderReference, BatchedLinesPaintLikeSeparateLines) {
  const std::vector<render::Point> ends = {{2, 3}, {30, 3}, {5, 10}, {5, 40}, {8, 8}, {37, 29}};
  for (bool antialias : {false, true}) {
    QImage one(48, 48, QImage::Format_RGB32), many(48, 48, QImage::Format_RGB32);
    one.fill(Qt::white);
    many.fill(Qt::white);
    {
      QPainter p1(&one), p2(&many);
      QtCanvas c1(p1, {48, 48}), c2(p2, {48, 48});
      for (QtCanvas* c : {&c1, &c2}) {
        c->SetAntialiasing(antialias);
        c->SetPen(render::Pen{0x0000FF, 3, render::PenStyle::kSolid});
      }
      c1.DrawLines(ends);
      for (std::size_t i = 0; i + 1 < ends.size(); i += 2)
        c2.DrawLine(ends[i], ends[i + 1]);
    }
    EXPECT_EQ(DifferingFraction(one, many, 0), 0.0) << antialias;
  }
}

}  // namespace
}  // namespace qzarn
