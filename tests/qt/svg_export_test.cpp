// Screens written as SVG: dashed and dotted strokes (the grid's included) go
// as whole paths with a dash array instead of one piece per mark, so that a
// lesson stays small, and the file drawn by another SVG renderer
// (rsvg-convert) is the picture the PNG export shows.
#include <gtest/gtest.h>

#include <string>

// Document headers before Qt's, whose "slots" keyword is a macro.
#include "render/example_screens.h"
#include "render/gallery_sheets.h"
#include "render_compare.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QSvgGenerator>
#include <QTemporaryDir>

#include "qt/picture_export.h"

namespace qzarn {
namespace {

using testing::DifferingFraction;
using testing::GeometryCanvas;

QByteArray ExportSvg(Screen& screen) {
  QTemporaryDir dir;
  const std::string path = (dir.path() + "/picture.svg").toStdString();
  PictureRequest request;
  request.kind = render::PictureKind::kSvg;
  std::string error;
  EXPECT_TRUE(ExportScreenPicture(screen, render::RenderOptions{}, {}, request, path, error))
      << error;
  QFile file(QString::fromStdString(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

// The geometry (texts left out: renderers pick their own glyphs), antialiased
// as exported, on an SVG generator or an image.
QByteArray GeometrySvg(Screen& screen) {
  const int w = screen.View().ScreenWidth, h = screen.View().ScreenHeight;
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(w, h));
  svg.setViewBox(QRect(0, 0, w, h));
  {
    QPainter painter(&svg);
    GeometryCanvas canvas(painter, {w, h});
    render::DrawScreen(canvas, &screen, render::RenderOptions{});
  }
  return buffer.data();
}

QImage GeometryImage(Screen& screen) {
  const int w = screen.View().ScreenWidth, h = screen.View().ScreenHeight;
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  GeometryCanvas canvas(painter, {w, h});
  render::DrawScreen(canvas, &screen, render::RenderOptions{});
  return image;
}

// The SVG drawn by librsvg; a null image when it cannot be.
QImage Rasterised(const QByteArray& svg, QSize size, const QString& folder, const QString& name) {
  const QString in = folder + "/" + name + ".svg", out = folder + "/" + name + "-rsvg.png";
  QFile file(in);
  if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size()) return {};
  file.close();
  QProcess rsvg;
  rsvg.start(QStringLiteral("rsvg-convert"),
             {QStringLiteral("-w"), QString::number(size.width()), QStringLiteral("-h"),
              QString::number(size.height()), QStringLiteral("-o"), out, in});
  if (!rsvg.waitForFinished(30000) || rsvg.exitCode() != 0) return {};
  return QImage(out).convertToFormat(QImage::Format_RGB32);
}

TEST(SvgExport, DashedStrokesAreWholePathsWithADashArray) {
  // The lines example holds dashed, dash-dot and dash-dot-dot lines over the
  // dotted grid; the circles example a dashed circle and hatched discs.
  for (auto make : {examples::LinesExample, examples::CirclesExample}) {
    std::unique_ptr<Screen> screen = make();
    const QByteArray svg = ExportSvg(*screen);
    EXPECT_TRUE(svg.contains("stroke-dasharray"));
    // Before, every mark of the grid was a piece of its own: thousands of
    // "M x y L x y" pairs on a 640 x 480 picture.
    EXPECT_LT(svg.count(" L") + svg.count("L "), 2500) << svg.size();
  }
}

TEST(SvgExport, LessonSheetsStaySmall) {
  for (const examples::GallerySheet& sheet : examples::AllGallerySheets()) {
    SCOPED_TRACE(sheet.name);
    std::unique_ptr<Screen> screen = sheet.make();
    EXPECT_LT(ExportSvg(*screen).size(), 100 * 1024);
  }
}

// Drawn by librsvg, the file shows the PNG export's picture: at most 1 % of
// the pixels differ by more than 96 in a channel (edges are smoothed a little
// differently by the two renderers, and dots of the grid lie on the same
// pixels).
TEST(SvgExport, AnotherRendererDrawsThePngPicture) {
  QTemporaryDir dir;
  const QString folder = QStringLiteral(QZARN_BINARY_DIR);
  struct Case {
    const char* name;
    std::unique_ptr<Screen> (*make)();
  };
  const Case cases[] = {{"lines", examples::LinesExample},
                        {"circles", examples::CirclesExample},
                        {"conic_sections", examples::ConicSectionsSheet},
                        {"linear_programming", examples::LinearProgrammingSheet}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<Screen> screen = c.make();
    const QImage png = GeometryImage(*screen);
    png.save(folder + "/svg_" + c.name + "-png.png");
    const QImage drawn =
        Rasterised(GeometrySvg(*screen), png.size(), folder, QStringLiteral("svg_") + c.name);
    ASSERT_FALSE(drawn.isNull()) << "rsvg-convert did not draw the file";
    EXPECT_LE(DifferingFraction(png, drawn, 96), 0.01);
  }
}

}  // namespace
}  // namespace qzarn
