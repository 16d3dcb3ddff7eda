// Antialiased lines through the canvas (cut to the picture, flat and square
// ends where the ends do not show, thin marks set as pixels) against the same
// lines handed whole to the painter with rounded ends.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "qt/qt_canvas.h"
#include "qt/qt_image.h"

namespace qzarn {
namespace {

using namespace render;

constexpr int kW = 160, kH = 120;

QImage Blank(QRgb fill = qRgb(255, 255, 255)) {
  QImage image(kW, kH, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

// Draws with a smooth canvas in `pen`.
QImage ThroughCanvas(const Pen& pen, const std::function<void(QtCanvas&)>& draw,
                     QRgb fill = qRgb(255, 255, 255)) {
  QImage image = Blank(fill);
  QPainter painter(&image);
  QtCanvas canvas(painter, {kW, kH});
  canvas.SetAntialiasing(true);
  canvas.SetPen(pen);
  draw(canvas);
  painter.end();
  return image;
}

// The same lines drawn whole, each in its own call, with the canvas's pen.
// As marks (what DrawLines draws), 1-pixel lines cover their pixels from the
// first one's edge to the edge of the end pixel (half a step back along the
// line), as without antialiasing.
QImage ThroughPainter(const Pen& pen, const std::vector<Point>& ends,
                      QRgb fill = qRgb(255, 255, 255), bool marks = false) {
  QImage image = Blank(fill);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(ToQPen(pen, true));
  for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
    QPointF a(ends[i].x + 0.5, ends[i].y + 0.5), b(ends[i + 1].x + 0.5, ends[i + 1].y + 0.5);
    const int steps =
        std::max(std::abs(ends[i + 1].x - ends[i].x), std::abs(ends[i + 1].y - ends[i].y));
    if (marks && pen.width <= 1 && steps > 0) {
      const QPointF back = (b - a) / (2.0 * steps);
      a -= back;
      b -= back;
    }
    painter.drawLine(QLineF(a, b));
  }
  painter.end();
  return image;
}

// How far two renderings of the same lines on a white ground differ. The
// line rasteriser and the path filler estimate edge coverage differently, so
// edge pixels may differ by part of their coverage, but the ink laid down must
// agree and no pixel may turn from inked to blank.
struct Difference {
  int largest = 0;   // largest channel difference of any pixel
  double ink_a = 0;  // summed darkness of each picture
  double ink_b = 0;
  bool InkAgrees(double tolerance) const {
    return std::abs(ink_a - ink_b) <= tolerance * std::max(ink_a, ink_b);
  }
};

Difference Compare(const QImage& a, const QImage& b) {
  Difference d;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      const int m = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
      d.largest = std::max(d.largest, m);
      d.ink_a += 3 * 255 - qRed(p) - qGreen(p) - qBlue(p);
      d.ink_b += 3 * 255 - qRed(q) - qGreen(q) - qBlue(q);
    }
  return d;
}

// The largest difference of an edge pixel that antialiasing may account for:
// under a third of full coverage.
constexpr int kEdgeRounding = 80;

struct LineCase {
  const char* what;
  Point from, to;
};

// Lines that run far beyond the picture (whole lines of figures are drawn
// several view widths long), that leave it at one end, and that stay inside.
const std::vector<LineCase>& LineCases() {
  static const std::vector<LineCase> cases = {
      {"diagonal through", {-4000, -2900}, {4160, 3220}},
      {"shallow through", {-5000, 40}, {5000, 95}},
      {"steep through", {70, -3000}, {93, 3000}},
      {"horizontal through", {-800, 60}, {900, 60}},
      {"vertical through", {33, -500}, {33, 700}},
      {"leaves on the right", {40, 50}, {3000, 700}},
      {"enters from the top", {-200, -900}, {120, 100}},
      {"inside", {10, 10}, {150, 100}},
      {"misses", {-100, -10}, {400, -30}},
      {"along the edge outside", {-50, -2}, {300, -2}},
  };
  return cases;
}

TEST(QtCanvasSmooth, CutLinesLookLikeWholeOnes) {
  for (int width : {1, 2, 3, 5}) {
    const Pen pen{MakeColour(0, 0, 160), width, PenStyle::kSolid};
    for (const LineCase& c : LineCases()) {
      SCOPED_TRACE(testing::Message() << c.what << " width " << width);
      const QImage cut = ThroughCanvas(pen, [&](QtCanvas& k) { k.DrawLine(c.from, c.to); });
      const QImage whole = ThroughPainter(pen, {c.from, c.to});
      const Difference d = Compare(cut, whole);
      EXPECT_LE(d.largest, kEdgeRounding);
      EXPECT_TRUE(d.InkAgrees(0.03)) << d.ink_a << " vs " << d.ink_b;
    }
  }
}

// Dots (lines without length) are not cut; far outside the picture, or at no
// number at all, they leave it untouched.
TEST(QtCanvasSmooth, DotsFarOutsideLeaveThePictureAlone) {
  const double nan = std::nan("");
  for (PointF at : {PointF{1e12, 1e12}, PointF{-3e9, 50}, PointF{nan, 40}, PointF{80, 1e300}}) {
    const QImage image = ThroughCanvas(Pen{MakeColour(0, 0, 0), 3, PenStyle::kSolid},
                                       [&](QtCanvas& k) { k.DrawLine(at, at); });
    EXPECT_EQ(image, Blank()) << at.x << "," << at.y;
  }
}

TEST(QtCanvasSmooth, BatchedLinesLookLikeSeparateOnes) {
  std::vector<Point> ends;
  for (const LineCase& c : LineCases()) {
    ends.push_back(c.from);
    ends.push_back(c.to);
  }
  for (int width : {1, 2, 3}) {
    SCOPED_TRACE(width);
    const Pen pen{MakeColour(160, 0, 0), width, PenStyle::kSolid};
    const QImage batched = ThroughCanvas(pen, [&](QtCanvas& k) { k.DrawLines(ends); });
    const Difference d = Compare(batched, ThroughPainter(pen, ends, qRgb(255, 255, 255), true));
    EXPECT_LE(d.largest, kEdgeRounding);
    EXPECT_TRUE(d.InkAgrees(0.03)) << d.ink_a << " vs " << d.ink_b;
  }
}

// The pieces of a curve (a circle of short chords) joined: square ends at the
// joints instead of rounded ones change no more than edge pixels, and the
// open ends of the stroke stay round.
TEST(QtCanvasSmooth, JoinedPiecesOfACurveLookLikeRoundedOnes) {
  std::vector<Point> ends;
  for (int d = 0; d < 300; d += 6) {
    auto at = [](int degrees) {
      const double a = degrees * 3.14159265358979 / 180;
      return Point{80 + static_cast<int>(std::lround(50 * std::cos(a))),
                   60 - static_cast<int>(std::lround(45 * std::sin(a)))};
    };
    ends.push_back(at(d));
    ends.push_back(at(d + 6));
  }
  for (int width : {2, 3}) {
    SCOPED_TRACE(width);
    const Pen pen{MakeColour(0, 120, 0), width, PenStyle::kSolid};
    const QImage joined = ThroughCanvas(pen, [&](QtCanvas& k) { k.DrawJoinedLines(ends); });
    const QImage rounded = ThroughPainter(pen, ends);
    const Difference d = Compare(joined, rounded);
    EXPECT_LE(d.largest, kEdgeRounding);
    // A square end reaches a little further into the next piece than a round
    // one, so the edge pixels at each joint take their colour twice a bit more.
    EXPECT_TRUE(d.InkAgrees(0.05)) << d.ink_a << " vs " << d.ink_b;
    // Both open ends keep their rounded caps: the pixel just beyond each end
    // along the stroke is inked as with a rounded end.
    for (Point end : {ends.front(), ends.back()})
      EXPECT_EQ(joined.pixel(end.x, end.y), rounded.pixel(end.x, end.y));
  }
}

// Thin marks along rows, columns and diagonals are set as pixels, the same
// whole pixels as without antialiasing (so dotted lines stay dots), on any
// background, in either direction, at every length, clipped or not; other
// marks go to the rasteriser.
TEST(QtCanvasSmooth, ThinMarksAsPixelsAreTheAliasedMarks) {
  std::vector<Point> straight;
  const Point starts[] = {{5, 5}, {40, 30}, {100, 90}};
  const Point steps[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
  for (Point s : starts)
    for (Point step : steps)
      for (int length : {1, 2, 3, 7}) {
        straight.push_back(s);
        straight.push_back({s.x + step.x * length, s.y + step.y * length});
      }
  // Marks for the rasteriser: at an angle, of no length, reaching outside.
  const std::vector<Point> others = {{10, 60}, {13, 61},   {20, 70},
                                     {20, 70}, {150, 115}, {165, 115}};
  std::vector<Point> ends = straight;
  ends.insert(ends.end(), others.begin(), others.end());
  for (QRgb fill : {qRgb(255, 255, 255), qRgb(30, 200, 90), qRgb(0, 0, 0)}) {
    for (Colour colour : {MakeColour(0, 0, 0), MakeColour(200, 40, 255), MakeColour(255, 255, 0)}) {
      SCOPED_TRACE(testing::Message() << std::hex << fill << " " << colour);
      const Pen pen{colour, 1, PenStyle::kSolid};
      const QImage pixels = ThroughCanvas(
          pen, [&](QtCanvas& k) { k.DrawLines(ends); }, fill);
      QImage expected = ThroughPainter(pen, others, fill, true);
      {
        QPainter painter(&expected);
        QtCanvas aliased(painter, {kW, kH});
        aliased.SetPen(pen);
        aliased.DrawLines(straight);
      }
      EXPECT_EQ(Compare(pixels, expected).largest, 0);
    }
  }
}

// Ellipses filled without a pen are set as pixels: inside, exactly the
// painter's pixels for every brush (the hatches keep their phase on the
// device), with the gaps of a hatch left alone or filled with the background;
// along the outline within antialiasing rounding; nothing outside the clip.
TEST(QtCanvasSmooth, FilledEllipsesAsPixelsMatchThePainter) {
  const Rect boxes[] = {
      {20, 10, 141, 111}, {37, 44, 80, 61}, {3, 3, 8, 9}, {-60, 70, 90, 190}, {100, -30, 220, 50}};
  const Colour colour = MakeColour(255, 128, 64), background = MakeColour(0, 90, 200);
  for (int style = 1; style <= 7; ++style)
    for (BackgroundMode mode : {BackgroundMode::kTransparent, BackgroundMode::kOpaque})
      for (const Rect& box : boxes)
        for (bool clipped : {false, true}) {
          SCOPED_TRACE(testing::Message()
                       << "style " << style << " opaque " << (mode == BackgroundMode::kOpaque)
                       << " box " << box.left << "," << box.top << " clipped " << clipped);
          const Brush brush{static_cast<BrushStyle>(style), colour};
          const Rect clip{30, 20, 120, 100};
          QImage pixels = Blank(qRgb(240, 240, 200));
          {
            QPainter painter(&pixels);
            QtCanvas canvas(painter, {kW, kH});
            canvas.SetAntialiasing(true);
            canvas.SetPen(Pen{0, 1, PenStyle::kClear});
            canvas.SetBrush(brush);
            canvas.SetBackground(mode, background);
            if (clipped) canvas.SetClipRect(clip);
            canvas.DrawEllipse(box);
          }
          QImage painted = Blank(qRgb(240, 240, 200));
          {
            QPainter painter(&painted);
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QBrush(
                ToQColor(colour), static_cast<Qt::BrushStyle>(style == 1 ? Qt::SolidPattern : 0)));
            if (style > 1) {
              // The canvas's own mapping of fill patterns to the painter's brushes.
              const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                Qt::FDiagPattern, Qt::BDiagPattern,
                                                Qt::CrossPattern, Qt::DiagCrossPattern};
              painter.setBrush(QBrush(ToQColor(colour), hatches[style - 2]));
            }
            painter.setBackground(QBrush(ToQColor(background)));
            painter.setBackgroundMode(mode == BackgroundMode::kOpaque ? Qt::OpaqueMode
                                                                      : Qt::TransparentMode);
            if (clipped)
              painter.setClipRect(QRect(clip.left, clip.top, clip.width(), clip.height()));
            painter.drawEllipse(
                QRectF(box.left + 0.5, box.top + 0.5, box.width() - 1, box.height() - 1));
          }
          const Difference d = Compare(pixels, painted);
          EXPECT_LE(d.largest, kEdgeRounding);
          EXPECT_TRUE(d.InkAgrees(0.03)) << d.ink_a << " vs " << d.ink_b;
          // Two pixels inside the outline everything is the same.
          const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
          const double rx = (box.width() - 1) / 2.0 - 2, ry = (box.height() - 1) / 2.0 - 2;
          int inside_differ = 0;
          for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
              const double u = (x - cx) / rx, v = (y - cy) / ry;
              if (rx > 0 && ry > 0 && u * u + v * v < 1 &&
                  pixels.pixel(x, y) != painted.pixel(x, y))
                ++inside_differ;
            }
          EXPECT_EQ(inside_differ, 0);
        }
}

// Circle outlines of 2 pixels and more drawn without a brush are set as
// pixels: within antialiasing rounding of the painter's own outline, and
// about the same ink (the pixels carry the ring's exact area; the painter's
// outline comes out a few per cent lighter), circles inside, cut by the
// picture's edges or by the clip.
TEST(QtCanvasSmooth, CircleOutlinesAsPixelsMatchThePainter) {
  const Rect boxes[] = {{20, 10, 121, 111}, {37, 44, 68, 75}, {-60, 30, 90, 180}, {60, 2, 68, 10}};
  for (int width : {1, 2, 3, 5})
    for (const Rect& box : boxes)
      for (bool clipped : {false, true}) {
        SCOPED_TRACE(testing::Message() << "width " << width << " box " << box.left << ","
                                        << box.top << " clipped " << clipped);
        const Pen pen{MakeColour(20, 60, 200), width, PenStyle::kSolid};
        const Rect clip{30, 20, 120, 100};
        const QImage pixels = ThroughCanvas(pen, [&](QtCanvas& k) {
          if (clipped) k.SetClipRect(clip);
          k.DrawEllipse(box);
        });
        QImage painted = Blank();
        {
          QPainter painter(&painted);
          painter.setRenderHint(QPainter::Antialiasing, true);
          painter.setPen(ToQPen(pen, true));
          if (clipped) painter.setClipRect(QRect(clip.left, clip.top, clip.width(), clip.height()));
          painter.drawEllipse(
              QRectF(box.left + 0.5, box.top + 0.5, box.width() - 1, box.height() - 1));
        }
        const Difference d = Compare(pixels, painted);
        EXPECT_LE(d.largest, kEdgeRounding);
        EXPECT_TRUE(d.InkAgrees(0.07)) << d.ink_a << " vs " << d.ink_b;
      }
}

// Small ellipses (point marks, grid dots) are laid down from a stamp the
// painter drew once: the painter's own pixels wherever they land, on any
// ground, cut by the clip and the picture's edges; aliased exactly, smooth
// within antialiasing rounding.
TEST(QtCanvasSmooth, StampedDotsMatchThePainter) {
  struct DotCase {
    Rect box;
    Pen pen;
    Brush brush;
  };
  const Colour red = MakeColour(220, 30, 30), blue = MakeColour(20, 40, 200);
  std::vector<DotCase> dots;
  int x = 2;
  for (int size : {1, 2, 3, 5, 7, 11, 24}) {
    dots.push_back(
        {{x, 6, x + size, 6 + size}, {red, 1, PenStyle::kSolid}, {BrushStyle::kSolid, red}});
    dots.push_back(
        {{x, 40, x + size, 40 + size}, {red, 2, PenStyle::kSolid}, {BrushStyle::kSolid, blue}});
    dots.push_back({{x, 70, x + size, 70 + size}, {blue, 3, PenStyle::kSolid}, {}});
    dots.push_back(
        {{x, 100, x + size, 100 + size}, {0, 1, PenStyle::kClear}, {BrushStyle::kSolid, blue}});
    x += size + 6;
  }
  // Over the edges of the picture and of the clip, and the same dot twice.
  dots.push_back({{-3, -2, 4, 5}, {red, 2, PenStyle::kSolid}, {BrushStyle::kSolid, blue}});
  dots.push_back(
      {{kW - 4, kH - 3, kW + 3, kH + 4}, {red, 1, PenStyle::kSolid}, {BrushStyle::kSolid, red}});
  dots.push_back({{2, 6, 3, 7}, {red, 1, PenStyle::kSolid}, {BrushStyle::kSolid, red}});
  for (bool smooth : {false, true})
    for (bool clipped : {false, true}) {
      SCOPED_TRACE(testing::Message() << "smooth " << smooth << " clipped " << clipped);
      const Rect clip{10, 8, 100, 104};
      const QRgb ground = qRgb(250, 240, 120);
      QImage stamped = Blank(ground);
      {
        QPainter painter(&stamped);
        QtCanvas canvas(painter, {kW, kH});
        canvas.SetAntialiasing(smooth);
        if (clipped) canvas.SetClipRect(clip);
        for (const DotCase& d : dots) {
          canvas.SetPen(d.pen);
          canvas.SetBrush(d.brush);
          canvas.DrawEllipse(d.box);
        }
      }
      QImage painted = Blank(ground);
      {
        QPainter painter(&painted);
        painter.setRenderHint(QPainter::Antialiasing, smooth);
        if (clipped) painter.setClipRect(QRect(clip.left, clip.top, clip.width(), clip.height()));
        const double off = smooth ? 0.5 : 0.0;
        for (const DotCase& d : dots) {
          painter.setPen(ToQPen(d.pen, smooth));
          painter.setBrush(d.brush.style == BrushStyle::kClear ? QBrush(Qt::NoBrush)
                                                               : QBrush(ToQColor(d.brush.colour)));
          painter.drawEllipse(QRectF(QPointF(d.box.left + off, d.box.top + off),
                                     QPointF(d.box.right - 1 + off, d.box.bottom - 1 + off)));
        }
      }
      // The painter's own edge coverage of the tiniest ellipses shifts by a
      // few levels with where they lie; aliased, nothing may differ.
      const Difference d = Compare(stamped, painted);
      EXPECT_LE(d.largest, smooth ? 16 : 0);
      EXPECT_TRUE(d.InkAgrees(0.01)) << d.ink_a << " vs " << d.ink_b;
    }
}

}  // namespace
}  // namespace qzarn
