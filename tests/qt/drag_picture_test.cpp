// The picture of a drag step put together from a base, the changing figures
// drawn afresh and transparent layers (some shared with the kept pieces of
// the still picture) must be the picture drawn whole, wherever thin lines,
// stamped dots and text of any font cross.
#include "qt/drag_picture.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>
#include "image_difference.h"

#include "qt/qt_canvas.h"
#include "render/drag_layers.h"

namespace qzarn {
namespace {

using render::PictureStep;

constexpr int kWidth = 160, kHeight = 120, kSteps = 48;
// Outlines drawn by the raster engine in this font, and blended with gamma
// correction over opaque pixels unless the canvas prevents it.
constexpr const char* kOutlineFont = "C059";

// Step k moves with `shift` when it is one of the dragged steps. Steps take
// turns: a thin line across the picture, a dot with its name beside it, a
// thick stroke; all antialiased, so that they cross and shade each other.
struct Steps {
  std::vector<int> moved;
  int shift = 0;

  void Draw(render::Canvas& canvas, std::span<const PictureStep> steps) const {
    canvas.SetAntialiasing(true);
    for (const PictureStep& step : steps) {
      const int k = step.slot;
      const int d = std::binary_search(moved.begin(), moved.end(), k) ? shift : 0;
      const render::Colour ink = render::MakeColour(30 * (k % 4), 20 * (k % 7), 255 - 9 * k);
      switch (k % 3) {
        case 0:
          canvas.SetPen({ink, 1});
          canvas.DrawLine(render::PointF{0.3 + 3 * k + d, 0.6},
                          render::PointF{kWidth - 2.0 * k, kHeight - 0.4 + d});
          break;
        case 1: {
          canvas.SetPen({ink, 1});
          canvas.SetBrush({render::BrushStyle::kSolid, ink});
          const int x = (k * 37) % (kWidth - 30) + 5 + d, y = (k * 23) % (kHeight - 20) + 5;
          canvas.DrawEllipse(render::Rect{x, y, x + 7, y + 7});
          render::Font font;
          font.family = kOutlineFont;
          font.height = 13;
          font.colour = ink;
          canvas.SetFont(font);
          canvas.DrawText(render::PointF{x + 6.3, y + 1.7}, "P" + std::to_string(k));
          break;
        }
        default:
          canvas.SetPen({ink, 3});
          canvas.DrawLine(render::PointF{0.5, 4.0 * k + d},
                          render::PointF{kWidth - 0.5, kHeight - 2.5 * k});
          break;
      }
    }
  }
};

std::vector<PictureStep> Order() {
  std::vector<PictureStep> order;
  for (int k = 0; k < kSteps; ++k)
    order.push_back({PictureStep::Kind::kFigure, k});
  return order;
}

QImage Whole(const Steps& steps) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QtCanvas canvas(painter, {kWidth, kHeight});
  const std::vector<PictureStep> order = Order();
  steps.Draw(canvas, order);
  return image;
}

using testing::LargestDifference;

TEST(DragPictureTest, TextInAnOutlineFontShadesALayerAsItShadesThePicture) {
  ASSERT_TRUE(QFontInfo(QFont(kOutlineFont)).family().startsWith(kOutlineFont))
      << "the outline font is missing (scripts/install-deps)";
  const auto draw = [](render::Canvas& canvas) {
    canvas.SetAntialiasing(true);
    render::Font font;
    font.family = kOutlineFont;
    font.height = 15;
    canvas.SetFont(font);
    canvas.DrawText(render::PointF{3.4, 2.6}, "Qg 17 abc");
  };
  for (const QColor under : {QColor(Qt::white), QColor(180, 180, 180), QColor(40, 90, 200)}) {
    QImage whole(90, 24, QImage::Format_RGB32), layered(90, 24, QImage::Format_RGB32);
    whole.fill(under);
    layered.fill(under);
    QImage layer(90, 24, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    for (QImage* target : {&whole, &layer}) {
      QPainter painter(target);
      QtCanvas canvas(painter, {90, 24});
      draw(canvas);
    }
    QPainter(&layered).drawImage(0, 0, layer);
    EXPECT_LE(LargestDifference(whole, layered), 1) << under.name().toStdString();
  }
}

TEST(DragPictureTest, EveryStepIsThePictureDrawnWhole) {
  struct Case {
    const char* what;
    std::vector<int> moved;
    int pieces;  // kept pieces of the still picture; 0: none
  };
  const Case cases[] = {
      {"one step, no pieces", {20}, 0}, {"one step, pieces", {20}, 4},
      {"a step on a cut", {12}, 4},     {"steps apart, pieces", {3, 25, 40}, 5},
      {"the last step", {47}, 3},       {"the first step", {0, 1}, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Steps steps{c.moved, 0};
    const auto draw = [&steps](render::Canvas& canvas, std::span<const PictureStep> s) {
      steps.Draw(canvas, s);
    };
    QImage picture = Whole(steps);
    PictureChunks kept;
    if (c.pieces > 0) {
      kept.Start(picture, {kWidth, kHeight}, Order(), c.pieces);
      while (!kept.BuildNext(draw)) {
      }
    }
    std::optional<render::DragLayerPlan> plan = render::PlanDragLayers(Order(), c.moved, 4);
    ASSERT_TRUE(plan);
    DragPicture drag;
    // Built twice: the second build reuses the sheets the first one cleared.
    for (int build = 0; build < 2; ++build) {
      steps.shift = 0;
      drag.Build(picture, {kWidth, kHeight}, *plan, c.moved, draw, c.pieces > 0 ? &kept : nullptr);
      for (int shift : {0, 5, -9}) {
        steps.shift = shift;
        drag.Compose(picture, draw);
        EXPECT_LE(LargestDifference(picture, Whole(steps)), 2) << "shift " << shift;
      }
      drag.Clear();
    }
  }
}

}  // namespace
}  // namespace qzarn
