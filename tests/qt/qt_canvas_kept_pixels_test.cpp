// A canvas told to keep only a rectangle of its picture (a rectangle redrawn
// after a variable step) may leave out what lies wholly elsewhere, but the
// rectangle it keeps must be the whole drawing's, pixel for pixel: every kind
// of drawing the painter rasterises, inside the rectangle, across its edges,
// round it and far from it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <QImage>
#include <QPainter>

#include "qt/qt_canvas.h"

namespace qzarn {
namespace {

using render::Point;

constexpr int kWidth = 320, kHeight = 240;
constexpr render::Rect kKept{120, 80, 200, 160};

struct Drawing {
  const char* name;
  std::function<void(render::Canvas&)> draw;
};

void Pens(render::Canvas& c, int width) {
  c.SetPen(render::Pen{0x00281EC8u, width, render::PenStyle::kSolid});
  c.SetBrush(render::Brush{render::BrushStyle::kSolid, 0x00C85A14u});
}

std::vector<Drawing> Drawings() {
  std::vector<Drawing> all;
  // Polygons: an axis arrow across the picture, one inside, one far off.
  const std::vector<std::vector<Point>> polygons = {
      {{0, 118}, {300, 118}, {300, 112}, {318, 120}, {300, 128}, {300, 122}, {0, 122}},
      {{130, 90}, {190, 100}, {150, 150}},
      {{10, 10}, {60, 20}, {30, 50}},
      {{115, 75}, {205, 75}, {205, 165}, {115, 165}},
  };
  for (std::size_t i = 0; i < polygons.size(); ++i)
    all.push_back({"polygon", [p = polygons[i]](render::Canvas& c) {
                     Pens(c, 1);
                     c.DrawPolygon(std::span<const Point>(p));
                   }});
  // Polylines and single lines of pens the painter strokes (1 pixel) and
  // of pens set as pixels (3 pixels), from far off to far off across the
  // rectangle, and wholly beside it.
  const std::vector<std::vector<Point>> polylines = {
      {{-50, 10}, {400, 230}},
      {{5, 200}, {60, 150}, {100, 230}},
      {{118, 70}, {118, 170}},
      {{0, 79}, {319, 79}},
  };
  for (const int width : {1, 3})
    for (const auto& p : polylines) {
      all.push_back({"polyline", [p, width](render::Canvas& c) {
                       Pens(c, width);
                       c.DrawPolyline(std::span<const Point>(p));
                     }});
      all.push_back({"line", [p, width](render::Canvas& c) {
                       Pens(c, width);
                       c.DrawLine(render::PointF{p[0].x + 0.3, p[0].y + 0.6},
                                  render::PointF{p[1].x - 0.2, p[1].y + 0.1});
                     }});
    }
  // Outlines of rectangles: the background's frame round the whole picture,
  // one crossing the rectangle, one round it closely.
  const render::Rect boxes[] = {
      {-1, -1, kWidth, kHeight}, {150, 40, 260, 200}, {119, 79, 201, 161}, {20, 20, 60, 60}};
  for (const render::Rect& box : boxes)
    all.push_back({"rectangle", [box](render::Canvas& c) {
                     Pens(c, 1);
                     c.SetBrush(render::Brush{render::BrushStyle::kClear, {}});
                     c.DrawRectangle(box);
                   }});
  // Ellipses and arcs the painter draws (filled with a hatch, or dashed).
  const render::RectF ovals[] = {
      {100.5, 60.5, 230.5, 130.5}, {10, 150, 90, 230}, {118, 78, 202, 162}};
  for (const render::RectF& box : ovals) {
    all.push_back({"ellipse", [box](render::Canvas& c) {
                     Pens(c, 2);
                     c.SetBrush(render::Brush{render::BrushStyle::kCross, 0u});
                     c.DrawEllipse(box);
                   }});
    all.push_back({"arc", [box](render::Canvas& c) {
                     Pens(c, 1);
                     c.DrawArc(box, 20, 250);
                   }});
  }
  // Texts: inside, across the edge, beside it and far off.
  const render::PointF texts[] = {{125, 100}, {100, 150}, {200, 60}, {10, 20}};
  for (const render::PointF at : texts)
    all.push_back({"text", [at](render::Canvas& c) {
                     c.SetFont(render::Font{"IPAGothic", 18, 0, 0x000A0A0Au, 128});
                     c.DrawText(at, "y = 2x + 1 ｱｲｳ");
                   }});
  return all;
}

QImage Drawn(const Drawing& d, std::optional<render::Rect> kept) {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(QColor(250, 248, 240));
  QPainter painter(&image);
  QtCanvas canvas(painter, {kWidth, kHeight});
  canvas.SetAntialiasing(true);
  canvas.SetPixelClip(kept);
  d.draw(canvas);
  return image;
}

TEST(KeptPixels, TheRectangleKeptIsTheWholeDrawings) {
  int differing_outside = 0;
  for (const Drawing& d : Drawings()) {
    SCOPED_TRACE(d.name);
    const QImage whole = Drawn(d, std::nullopt);
    const QImage part = Drawn(d, kKept);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const bool kept = x >= kKept.left && x < kKept.right && y >= kKept.top && y < kKept.bottom;
        if (!kept) {
          differing_outside += whole.pixel(x, y) != part.pixel(x, y) ? 1 : 0;
          continue;
        }
        ASSERT_EQ(whole.pixel(x, y), part.pixel(x, y)) << "at " << x << ", " << y;
      }
  }
  // What lies wholly outside was left out: the check above is not passed by
  // drawing everything.
  EXPECT_GT(differing_outside, 0);
}

}  // namespace
}  // namespace qzarn
