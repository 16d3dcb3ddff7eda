// The dash machinery on the real canvas: the marks it hands to QPainter must
// ink exactly the pixels of the pattern, which relies on 1-pixel lines leaving
// out their end pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// Document headers before Qt's, whose "slots" keyword is a macro.
#include "render/draw_screen.h"
#include "render/example_screens.h"

#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"
#include "qt/qt_image.h"
#include "render/line_style_dash.h"

namespace qzarn {
namespace {

using namespace render;

std::string Row(const QImage& img, int y, int from, int to) {
  std::string s;
  for (int x = from; x < to; ++x)
    s += qGray(img.pixel(x, y)) < 128 ? '#' : '.';
  return s;
}

// The four dash styles, 1 pixel wide, one row each (y = 5, 15, 25, 35), every
// row drawn as three pieces so that the rhythm has to run on across joints;
// then a slanted dotted line and a diagonal dashed one.
QImage DashRows(bool antialiasing) {
  QImage img(80, 80, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter painter(&img);
    QtCanvas canvas(painter, {80, 80});
    canvas.SetAntialiasing(antialiasing);
    LinePainter lines(LineSurface{&canvas, 80, 80, false, 1, nullptr, nullptr, {}});
    const PenStyle styles[] = {PenStyle::kDash, PenStyle::kDot, PenStyle::kDashDot,
                               PenStyle::kDashDotDot};
    for (int i = 0; i < 4; ++i) {
      canvas.SetPen({kBlack, 1, styles[i]});
      lines.BeginDash();
      // Three pieces: the rhythm runs on across the joints.
      const double y = 5 + 10 * i;
      lines.DrawSegment(0, y, 13, y);
      lines.DrawSegment(13, y, 14, y);
      lines.DrawSegment(14, y, 40, y);
    }
    canvas.SetPen({kBlack, 1, PenStyle::kDot});
    lines.BeginDash();
    lines.DrawSegment(2, 45, 70, 62);
    canvas.SetPen({kBlack, 1, PenStyle::kDash});
    lines.BeginDash();
    lines.DrawSegment(2, 50, 30, 78);
  }
  return img;
}

TEST(QtDashedLine, InksThePatternPixelForPixel) {
  const QImage img = DashRows(false);
  SavePng(img, QZARN_BINARY_DIR "/qt_dashed_lines.png");
  // The phase advances before the first pixel, so each row starts one pixel
  // into its pattern.
  EXPECT_EQ(Row(img, 5, 0, 40), ".####..####..####..####..####..####..###");
  EXPECT_EQ(Row(img, 15, 0, 40), "#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.");
  EXPECT_EQ(Row(img, 25, 0, 40), ".#..#######..#..#######..#..#######..#..");
  EXPECT_EQ(Row(img, 35, 0, 40), ".#..#..#######..#..#..#######..#..#..###");
  EXPECT_EQ(Row(img, 6, 0, 80), std::string(80, '.'));
}

// Marks along rows, columns and diagonals are whole pixels whether or not
// the picture is antialiased: a dotted line must not become a grey line.
TEST(QtDashedLine, AntialiasingKeepsTheMarksOnWholePixels) {
  const QImage aliased = DashRows(false);
  const QImage smooth = DashRows(true);
  SavePng(smooth, QZARN_BINARY_DIR "/qt_dashed_lines_smooth.png");
  for (int y : {5, 15, 25, 35}) {
    SCOPED_TRACE(y);
    for (int x = 0; x < 80; ++x)
      ASSERT_EQ(smooth.pixel(x, y), aliased.pixel(x, y)) << "x " << x;
  }
  // The diagonal dashes: the same pixels, every one fully inked or untouched.
  for (int k = 0; k < 28; ++k)
    EXPECT_EQ(smooth.pixel(2 + k, 50 + k), aliased.pixel(2 + k, 50 + k)) << "step " << k;
  // The slanted dotted line is smoothed, but its dots stay apart: as many
  // separate marks along it as without antialiasing.
  auto marks = [](const QImage& img) {
    int count = 0;
    bool inked = false;
    for (int x = 2; x < 70; ++x) {
      bool any = false;
      for (int y = 43; y < 64; ++y)
        any = any || qGray(img.pixel(x, y)) < 200;
      if (any && !inked) ++count;
      inked = any;
    }
    return count;
  };
  EXPECT_EQ(marks(smooth), marks(aliased));
  EXPECT_GT(marks(aliased), 20);
}

// A new screen's grid is dotted (gap 1, mark 1): along a grid row the pixels
// alternate between the grid colour and the background with antialiasing as
// without it.
TEST(QtDashedLine, DottedGridOfANewScreenStaysDots) {
  auto grid = [](bool antialiasing) {
    std::unique_ptr<Screen> screen = examples::ScreenBuilder(320, 240).Take();
    QImage img(320, 240, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    QtCanvas canvas(painter, {320, 240});
    render::RenderOptions options;
    options.antialiasing = antialiasing;
    render::DrawScreen(canvas, screen.get(), options);
    return img;
  };
  const QImage aliased = grid(false), smooth = grid(true);
  SavePng(smooth, QZARN_BINARY_DIR "/qt_dotted_grid_smooth.png");
  // 25 pixels a unit about the centre: grid rows at y = 120 +- 25 k.
  const QRgb grey = qRgb(0xC0, 0xC0, 0xC0), white = qRgb(0xFF, 0xFF, 0xFF);
  for (int y : {95, 70, 145, 220}) {
    SCOPED_TRACE(y);
    int inked = 0;
    for (int x = 0; x < 320; ++x) {
      ASSERT_EQ(smooth.pixel(x, y), aliased.pixel(x, y)) << "x " << x;
      // Crossing columns, the Y axis and the outer frame aside, every pixel is a whole dot or
      // background.
      if ((x - 160) % 25 == 0 || std::abs(x - 160) <= 4 || x == 0 || x == 319) continue;
      const QRgb p = smooth.pixel(x, y);
      ASSERT_TRUE(p == grey || p == white) << "x " << x << " " << std::hex << p;
      inked += p == grey;
      if (x > 1 && (x - 161) % 25 != 0 && x != 165) {
        ASSERT_NE(p, smooth.pixel(x - 1, y)) << "x " << x;
      }
    }
    EXPECT_GT(inked, 140);
  }
}

}  // namespace
}  // namespace qzarn
