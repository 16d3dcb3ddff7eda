// The still picture kept in pieces: what a press builds from them must be the
// picture drawn step by step, for every place the pieces may be cut at.
#include "qt/picture_chunks.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include "image_difference.h"

#include "qt/qt_canvas.h"

namespace qzarn {
namespace {

using render::PictureStep;

constexpr int kWidth = 120, kHeight = 90, kSteps = 37;

// Each step draws an antialiased outlined disc of its own colour, overlapping
// its neighbours, so that any step drawn out of order shows.
void DrawDiscs(render::Canvas& canvas, std::span<const PictureStep> steps) {
  canvas.SetAntialiasing(true);
  for (const PictureStep& step : steps) {
    const int k = step.slot;
    canvas.SetPen({render::MakeColour(20 * (k % 5), 255 - 7 * k, 9 * k), 2});
    canvas.SetBrush(
        {render::BrushStyle::kSolid, render::MakeColour(7 * k, 90 + 4 * k, 200 - 5 * k)});
    const double x = 5 + (k * 17) % 95, y = 4 + (k * 11) % 70;
    canvas.DrawEllipse(render::RectF{x, y, x + 21.5, y + 15.5});
  }
}

std::vector<PictureStep> Order() {
  std::vector<PictureStep> order;
  for (int k = 0; k < kSteps; ++k)
    order.push_back({PictureStep::Kind::kFigure, k});
  return order;
}

QImage White() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// Steps [begin, end) drawn in one go over `image`.
void DrawDirect(QImage& image, std::size_t begin, std::size_t end) {
  const std::vector<PictureStep> order = Order();
  QPainter painter(&image);
  QtCanvas canvas(painter, {kWidth, kHeight});
  DrawDiscs(canvas, std::span<const PictureStep>(order).subspan(begin, end - begin));
}

using testing::LargestDifference;

TEST(PictureChunksTest, PiecesPutTogetherGiveThePictureDrawnStepByStep) {
  QImage whole = White();
  DrawDirect(whole, 0, kSteps);
  for (int pieces : {1, 3, 8}) {
    PictureChunks chunks;
    const QImage like = White();
    chunks.Start(like, {kWidth, kHeight}, Order(), pieces);
    int builds = 0;
    while (!chunks.BuildNext(DrawDiscs))
      ++builds;
    EXPECT_EQ(builds + 1, std::max(1, 2 * (pieces - 1))) << pieces;
    ASSERT_TRUE(chunks.Fits(like));
    for (std::size_t split = 0; split <= kSteps; ++split) {
      SCOPED_TRACE(::testing::Message() << pieces << " pieces, split at " << split);
      // Everything before the split is opaque and drawn in order: exact.
      QImage before = White(), expected = White();
      chunks.DrawBefore(before, split, DrawDiscs);
      DrawDirect(expected, 0, split);
      EXPECT_EQ(LargestDifference(before, expected), 0);
      // Everything from the split, laid over it, is the whole picture
      // within the rounding of blending premultiplied layers.
      QImage from(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
      chunks.DrawFrom(from, split, DrawDiscs);
      {
        QPainter painter(&before);
        painter.drawImage(0, 0, from);
      }
      EXPECT_LE(LargestDifference(before, whole), 2);
    }
  }
}

TEST(PictureChunksTest, PiecesNotYetMadeAreDrawnInFull) {
  PictureChunks chunks;
  chunks.Start(White(), {kWidth, kHeight}, Order(), 4);
  chunks.BuildNext(DrawDiscs);  // one of six
  ASSERT_FALSE(chunks.ready());
  QImage before = White(), expected = White();
  before.fill(Qt::black);
  chunks.DrawBefore(before, 30, DrawDiscs);
  DrawDirect(expected, 0, 30);
  EXPECT_EQ(LargestDifference(before, expected), 0);
  EXPECT_FALSE(chunks.Fits(QImage(kWidth + 1, kHeight, QImage::Format_RGB32)));
  chunks.Clear();
  EXPECT_FALSE(chunks.Fits(White()));
}

}  // namespace
}  // namespace qzarn
