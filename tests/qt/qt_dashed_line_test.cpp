// The dash machinery on the real canvas: the marks it hands to QPainter must
// ink exactly the pixels of the pattern, which relies on 1-pixel lines leaving
// out their end pixel.
#include <gtest/gtest.h>
#include <QImage>
#include <QPainter>

#include <string>

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

TEST(QtDashedLine, InksThePatternPixelForPixel) {
  QImage img(80, 40, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter painter(&img);
    QtCanvas canvas(painter, {80, 40});
    LinePainter lines(LineSurface{&canvas, 80, 40, false, 1, nullptr, nullptr});
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
  }
  SavePng(img, QZARN_BINARY_DIR "/qt_dashed_lines.png");
  // The phase advances before the first pixel, so each row starts one pixel
  // into its pattern.
  EXPECT_EQ(Row(img, 5, 0, 40), ".####..####..####..####..####..####..###");
  EXPECT_EQ(Row(img, 15, 0, 40), "#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.");
  EXPECT_EQ(Row(img, 25, 0, 40), ".#..#######..#..#######..#..#######..#..");
  EXPECT_EQ(Row(img, 35, 0, 40), ".#..#..#######..#..#..#######..#..#..###");
  EXPECT_EQ(Row(img, 6, 0, 80), std::string(80, '.'));
}

}  // namespace
}  // namespace qzarn
