#include "qt/qt_canvas.h"

#include <gtest/gtest.h>
#include <QBuffer>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "qt/qt_image.h"
#include "render/line_style_dda.h"

namespace qzarn {
namespace {

using namespace render;

constexpr Colour kRed = MakeColour(255, 0, 0);
constexpr Colour kBlue = MakeColour(0, 0, 255);

// A white image with a painter and a canvas on it.
struct Surface {
  QImage image;
  std::unique_ptr<QPainter> painter;
  std::unique_ptr<QtCanvas> canvas;

  Surface(int w, int h) : image(w, h, QImage::Format_RGB32) {
    image.fill(Qt::white);
    painter = std::make_unique<QPainter>(&image);
    canvas = std::make_unique<QtCanvas>(*painter, Size{w, h});
  }
  // Ends painting so the pixels can be read.
  const QImage& Done() {
    if (painter->isActive()) painter->end();
    return image;
  }
  Colour At(int x, int y) { return FromQRgb(Done().pixel(x, y)); }
};

bool Dark(const QImage& img, int x, int y) {
  return x >= 0 && y >= 0 && x < img.width() && y < img.height() && qGray(img.pixel(x, y)) < 128;
}

// In a hatch, which neighbours of an inked pixel are inked too tells the
// direction of its lines.
struct HatchCase {
  int pattern;
  bool horizontal, vertical, back_diagonal, forward_diagonal;
};

TEST(QtCanvas, HatchPatternsRunTheRightWay) {
  const std::vector<HatchCase> cases = {
      {2, true, false, false, false}, {3, false, true, false, false},
      {4, false, false, true, false}, {5, false, false, false, true},
      {6, true, true, false, false},  {7, false, false, true, true},
  };
  for (const HatchCase& c : cases) {
    SCOPED_TRACE(c.pattern);
    Surface s(48, 48);
    s.canvas->SetPen({kBlack, 1, PenStyle::kClear});
    s.canvas->SetBrush({BrushStyleFromFillPattern(c.pattern), kBlack});
    s.canvas->DrawRectangle({0, 0, 48, 48});
    const QImage& img = s.Done();
    int inked = 0, h = 0, v = 0, bd = 0, fd = 0;
    for (int y = 8; y < 40; ++y) {
      for (int x = 8; x < 40; ++x) {
        if (!Dark(img, x, y)) continue;
        ++inked;
        h += Dark(img, x + 1, y) && Dark(img, x - 1, y);
        v += Dark(img, x, y + 1) && Dark(img, x, y - 1);
        bd += Dark(img, x + 1, y + 1) && Dark(img, x - 1, y - 1);  // "\"
        fd += Dark(img, x + 1, y - 1) && Dark(img, x - 1, y + 1);  // "/"
      }
    }
    ASSERT_GT(inked, 60);
    ASSERT_LT(inked, 32 * 32 / 2);
    // A direction counts when most inked pixels continue along it.
    EXPECT_EQ(h > inked / 3, c.horizontal);
    EXPECT_EQ(v > inked / 3, c.vertical);
    EXPECT_EQ(bd > inked / 3, c.back_diagonal);
    EXPECT_EQ(fd > inked / 3, c.forward_diagonal);
  }
}

TEST(QtCanvas, HatchGapsFollowTheBackgroundMode) {
  for (BackgroundMode mode : {BackgroundMode::kTransparent, BackgroundMode::kOpaque}) {
    Surface s(32, 32);
    s.canvas->SetBackground(mode, kBlue);
    s.canvas->SetPen({kBlack, 1, PenStyle::kClear});
    s.canvas->SetBrush({BrushStyle::kForwardDiagonal, kBlack});
    s.canvas->DrawRectangle({0, 0, 32, 32});
    int blue = 0, white = 0;
    const QImage& img = s.Done();
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const Colour c = FromQRgb(img.pixel(x, y));
        blue += c == kBlue;
        white += c == kWhite;
      }
    }
    if (mode == BackgroundMode::kOpaque) {
      EXPECT_GT(blue, 500);
      EXPECT_EQ(white, 0);
    } else {
      EXPECT_EQ(blue, 0);
      EXPECT_GT(white, 500);
    }
  }
}

TEST(QtCanvas, ThinLinesLeaveOutTheirEndPixel) {
  for (bool smooth : {false, true}) {
    SCOPED_TRACE(smooth);
    Surface s(16, 8);
    s.canvas->SetAntialiasing(smooth);
    s.canvas->DrawLine(Point{2, 3}, Point{6, 3});
    const QImage& img = s.Done();
    for (int x = 0; x < 16; ++x) {
      // Smoothed, the ends are blended over half a pixel each.
      if (smooth && (x == 2 || x == 6)) continue;
      EXPECT_EQ(FromQRgb(img.pixel(x, 3)) == kBlack, x >= 2 && x < 6) << x;
      // Sharp even when smoothed: nothing spills into the rows around it.
      EXPECT_EQ(FromQRgb(img.pixel(x, 2)), kWhite) << x;
      EXPECT_EQ(FromQRgb(img.pixel(x, 4)), kWhite) << x;
    }
  }
}

TEST(QtCanvas, ThinMarksInkTheSteppedPixelsInsideTheClip) {
  // Marks as dashed figures hand them over: short, in every direction, partly
  // outside the image, one with coinciding ends; drawn with and without a clip.
  const std::vector<Point> marks = {{2, 2},   {9, 5},   {20, 3}, {14, 12}, {5, 20},  {5, 14},
                                    {30, 30}, {30, 30}, {-3, 8}, {4, 8},   {27, 25}, {45, 25}};
  for (bool clipped : {false, true}) {
    SCOPED_TRACE(clipped);
    Surface s(32, 32);
    s.canvas->SetPen({kRed, 1, PenStyle::kSolid});
    const Rect clip{0, 0, 10, 32};
    if (clipped) s.canvas->SetClipRect(clip);
    s.canvas->DrawLines(marks);
    std::vector<std::vector<bool>> want(32, std::vector<bool>(32, false));
    for (std::size_t i = 0; i + 1 < marks.size(); i += 2)
      StepLine(marks[i], marks[i + 1], [&](Point p) {
        if (p.x >= 0 && p.x < 32 && p.y >= 0 && p.y < 32 && (!clipped || p.x < clip.right))
          want[static_cast<std::size_t>(p.y)][static_cast<std::size_t>(p.x)] = true;
      });
    const QImage& img = s.Done();
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        EXPECT_EQ(FromQRgb(img.pixel(x, y)),
                  want[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] ? kRed : kWhite)
            << x << "," << y;
  }
}

TEST(QtCanvas, RectangleOutlineAndFillCoverTheBox) {
  Surface s(12, 10);
  s.canvas->DrawRectangle({2, 2, 8, 6});  // clear brush: outline only
  s.canvas->SetPen({kBlack, 1, PenStyle::kClear});
  s.canvas->SetBrush({BrushStyle::kSolid, kRed});
  s.canvas->DrawRectangle({3, 3, 7, 5});  // fill only
  const QImage& img = s.Done();
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x < 8 && y >= 2 && y < 6;
      const bool edge = inside && (x == 2 || x == 7 || y == 2 || y == 5);
      const Colour want = edge ? kBlack : inside ? kRed : kWhite;
      EXPECT_EQ(FromQRgb(img.pixel(x, y)), want) << x << "," << y;
    }
  }
}

TEST(QtCanvas, NotXorTwiceRestoresThePicture) {
  Surface s(120, 90);
  // Some picture to draw over.
  s.canvas->SetBrush({BrushStyle::kSolid, MakeColour(200, 230, 120)});
  s.canvas->DrawEllipse(Rect{10, 10, 100, 80});
  s.canvas->SetFont(Font{"ＭＳ Ｐゴシック", 14, 0, kBlue, 128});
  s.canvas->DrawText({20, 30}, "座標 xy");
  s.painter->end();
  const QImage before = s.image.copy();
  s.painter->begin(&s.image);
  s.canvas->ForgetPainterState();

  const std::function<void()> drag = [&] {
    s.canvas->SetAntialiasing(true);  // ignored while drawing NOT-XOR
    s.canvas->SetRasterMode(RasterMode::kNotXor);
    s.canvas->SetPen({kRed, 3, PenStyle::kSolid});
    s.canvas->SetBrush({});
    const PointF curve[] = {{5, 5}, {60, 80}, {61, 80}, {115, 7}, {40, 40}};
    s.canvas->DrawPolyline(curve);
    s.canvas->DrawLine(Point{0, 45}, Point{119, 45});
    s.canvas->DrawEllipse(RectF{30.5, 20, 90, 70.25});
    s.canvas->SetPen({MakeColour(0, 128, 255), 1, PenStyle::kSolid});
    const Point tri[] = {{10, 80}, {60, 10}, {110, 80}};
    s.canvas->DrawPolygon(tri);
    s.canvas->SetRasterMode(RasterMode::kCopy);
  };
  drag();
  s.painter->end();
  EXPECT_NE(s.image, before);
  s.painter->begin(&s.image);
  s.canvas->ForgetPainterState();
  drag();
  EXPECT_EQ(s.Done(), before);
}

TEST(QtCanvas, NotXorShowsThePenColourOnWhite) {
  Surface s(10, 10);
  s.canvas->SetRasterMode(RasterMode::kNotXor);
  s.canvas->SetPen({kRed, 1, PenStyle::kSolid});
  s.canvas->DrawLine(Point{0, 5}, Point{9, 5});
  EXPECT_EQ(s.At(3, 5), kRed);
}

TEST(QtCanvas, ClippingKeepsDrawingInsideTheRectangle) {
  Surface s(40, 40);
  s.canvas->SetPen({kBlack, 1, PenStyle::kClear});
  s.canvas->SetBrush({BrushStyle::kSolid, kRed});
  s.canvas->SaveState();
  s.canvas->SetClipRect({10, 12, 20, 30});
  s.canvas->DrawRectangle({0, 0, 40, 40});
  s.canvas->RestoreState();  // clip gone again
  s.canvas->SetBrush({BrushStyle::kSolid, kBlue});
  s.canvas->DrawRectangle({30, 0, 40, 5});
  const QImage& img = s.Done();
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 30; ++x) {
      const bool inside = x >= 10 && x < 20 && y >= 12 && y < 30;
      EXPECT_EQ(FromQRgb(img.pixel(x, y)), inside ? kRed : kWhite) << x << "," << y;
    }
  }
  EXPECT_EQ(FromQRgb(img.pixel(35, 2)), kBlue);
}

TEST(QtCanvas, DocumentFontNamesUseTheIpaFonts) {
  const std::vector<std::pair<std::string, QString>> names = {
      {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"}, {"ＭＳ 明朝", "IPAMincho"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS UI Gothic", "IPAPGothic"},
  };
  Surface s(4, 4);  // installs the substitutions
  for (const auto& [name, family] : names) {
    Font f;
    f.family = name;
    EXPECT_EQ(QFontInfo(QtCanvas::ToQFont(f, true)).family(), family) << name;
  }
}

// Bounding box of the non-white pixels.
QRect InkBox(const QImage& img) {
  QRect box;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      if (FromQRgb(img.pixel(x, y)) != kWhite) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST(QtCanvas, JapaneseTextIsDrawnInsideItsMeasuredBox) {
  Surface s(320, 120);
  s.canvas->SetAntialiasing(true);
  s.canvas->SetFont(Font{"ＭＳ Ｐゴシック", 32, kFontBold, kBlack, 128});
  const std::string text = "座標 P₁(1,2) あア";
  const TextExtent e = s.canvas->MeasureText(text);
  EXPECT_GT(e.width, 8 * 16);
  EXPECT_GE(e.height, 32);
  EXPECT_GT(e.ascent, e.height / 2);
  s.canvas->SetTextAnchor({HorizontalAnchor::kCentre, VerticalAnchor::kMiddle});
  s.canvas->DrawText({160, 60}, text);
  const QImage& img = s.Done();
  SavePng(img, QZARN_BINARY_DIR "/qt_canvas_text.png");
  const QRect ink = InkBox(img);
  ASSERT_FALSE(ink.isNull());
  const QRect box(160 - e.width / 2 - 1, 60 - e.height / 2 - 1, e.width + 2, e.height + 2);
  EXPECT_TRUE(box.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x"
                                 << ink.height();
  EXPECT_GT(ink.width(), e.width * 3 / 4);  // every glyph found a font
  EXPECT_NEAR(ink.center().x(), 160, 6);
}

TEST(QtCanvas, OpaqueTextFillsItsCell) {
  Surface s(100, 40);
  s.canvas->SetFont(Font{"ＭＳ Ｐゴシック", 16, 0, kBlack, 128});
  s.canvas->SetBackground(BackgroundMode::kOpaque, kBlue);
  s.canvas->DrawText({10, 10}, "1.5");
  const TextExtent e = s.canvas->MeasureText("1.5");
  EXPECT_EQ(s.At(10, 10), kBlue);
  EXPECT_EQ(s.At(10 + e.width - 1, 10 + e.height - 1), kBlue);
  EXPECT_EQ(s.At(10 + e.width + 1, 10), kWhite);
}

TEST(QtCanvas, PieFillsTheQuarterItNames) {
  Surface s(41, 41);
  s.canvas->SetBrush({BrushStyle::kSolid, kRed});
  s.canvas->SetPen({kRed, 1, PenStyle::kSolid});
  s.canvas->DrawPie(RectF{0, 0, 41, 41}, 0, 90);  // upper right on the screen
  EXPECT_EQ(s.At(30, 10), kRed);
  EXPECT_EQ(s.At(10, 10), kWhite);
  EXPECT_EQ(s.At(10, 30), kWhite);
  EXPECT_EQ(s.At(30, 30), kWhite);
}

TEST(QtCanvas, LongPolylinesInPiecesMatchOneCall) {
  std::vector<Point> zigzag;
  for (int i = 0; i < 1000; ++i)
    zigzag.push_back({i % 300, (i * 37) % 200});
  Surface pieces(300, 200);
  pieces.canvas->DrawPolyline(std::span<const Point>(zigzag));
  QImage whole(300, 200, QImage::Format_RGB32);
  whole.fill(Qt::white);
  {
    QPainter p(&whole);
    QPen pen(Qt::black, 1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    QPolygon poly;
    for (Point pt : zigzag)
      poly << QPoint(pt.x, pt.y);
    p.drawPolyline(poly);
  }
  EXPECT_EQ(pieces.Done(), whole);
}

TEST(QtCanvas, PicturesAreStretchedIntoTheTarget) {
  RgbImage picture(2, 2);
  const std::uint8_t px[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  std::copy(std::begin(px), std::end(px), picture.pixels.begin());
  EXPECT_EQ(FromQImage(ToQImage(picture)), picture);

  Surface s(10, 10);
  s.canvas->DrawImage({2, 2, 6, 6}, picture);
  s.canvas->SetPixel({9, 9}, kBlue);
  EXPECT_EQ(s.At(2, 2), kRed);
  EXPECT_EQ(s.At(5, 2), MakeColour(0, 255, 0));
  EXPECT_EQ(s.At(2, 5), kBlue);
  EXPECT_EQ(s.At(5, 5), MakeColour(255, 255, 0));
  EXPECT_EQ(s.At(6, 6), kWhite);
  EXPECT_EQ(s.At(9, 9), kBlue);
}

TEST(QtImage, BadPicturesGiveNullImages) {
  RgbImage short_pixels(4, 4);
  short_pixels.pixels.resize(10);
  EXPECT_TRUE(ToQImage(short_pixels).isNull());
  EXPECT_TRUE(ToQImage(RgbImage()).isNull());
  EXPECT_TRUE(FromQImage(QImage()).empty());
  EXPECT_FALSE(SavePng(QImage(), "/nonexistent/x.png"));
}

// A picture written as SVG gets the marks of a dotted line (one call of many
// one-pixel lines) as the pieces of one path, not an element each: far
// smaller, and the same picture when the file is drawn.
TEST(QtCanvas, MarksOnVectorPicturesGoAsOnePath) {
  std::vector<Point> ends;
  // Marks of a dotted row and a dotted column, none touching another.
  for (int x = 2; x < 140; x += 6) {
    ends.push_back({x, 20});
    ends.push_back({x + 1, 20});
  }
  for (int y = 2; y < 118; y += 6) {
    ends.push_back({160, y});
    ends.push_back({160, y + 1});
  }
  ends.push_back({100, 70});  // a dot
  ends.push_back({100, 70});
  for (bool smooth : {false, true})
    for (int width : {1, 3}) {
      SCOPED_TRACE(testing::Message() << "smooth " << smooth << " width " << width);
      auto svg = [&](const std::function<void(QPainter&)>& draw) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(200, 120));
        generator.setViewBox(QRect(0, 0, 200, 120));
        {
          QPainter painter(&generator);
          draw(painter);
        }
        return buffer.data();
      };
      const Pen pen{kBlue, width, PenStyle::kSolid};
      const QByteArray as_path = svg([&](QPainter& painter) {
        QtCanvas canvas(painter, {200, 120});
        canvas.SetAntialiasing(smooth);
        canvas.SetPen(pen);
        canvas.DrawLines(ends);
      });
      const QByteArray one_by_one = svg([&](QPainter& painter) {
        painter.setRenderHint(QPainter::Antialiasing, smooth);
        painter.setPen(ToQPen(pen, smooth));
        const double off = smooth ? 0.5 : 0.0;
        for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
          // Smooth 1-pixel marks cover their pixels from edge to edge: half
          // a step back along the mark.
          QPointF back;
          if (smooth && width == 1 && ends[i] != ends[i + 1])
            back = QPointF(ends[i + 1].x - ends[i].x, ends[i + 1].y - ends[i].y) / 2.0;
          painter.drawLine(QLineF(QPointF(ends[i].x + off, ends[i].y + off) - back,
                                  QPointF(ends[i + 1].x + off, ends[i + 1].y + off) - back));
        }
      });
      EXPECT_LT(as_path.size() * 2, one_by_one.size());
      auto render = [](const QByteArray& bytes) {
        QImage image(200, 120, QImage::Format_RGB32);
        image.fill(Qt::white);
        QSvgRenderer renderer(bytes);
        QPainter painter(&image);
        renderer.render(&painter);
        return image;
      };
      const QImage a = render(as_path), b = render(one_by_one);
      int largest = 0;
      for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x)
          largest = std::max({largest, std::abs(qRed(a.pixel(x, y)) - qRed(b.pixel(x, y))),
                              std::abs(qBlue(a.pixel(x, y)) - qBlue(b.pixel(x, y)))});
      EXPECT_LE(largest, 2);
      // A wide pen's dot is there.
      if (width > 1) {
        EXPECT_LT(qRed(a.pixel(100, 70)), 128);
      }
    }
}

// Texts are drawn from glyph runs shaped once per font; the pixels must be
// those of the painter drawing the text itself, the first time and when the
// shaped runs are reused, at whole and fractional places.
TEST(QtCanvas, ShapedTextsInkTheSamePixelsAsThePainter) {
  struct Case {
    const char* text;
    int height;
    std::uint8_t style;
    bool smooth;
    PointF at;
  };
  const Case cases[] = {
      {"P1", 16, 0, true, {20, 20}},
      {"(1.5,-2.25)", 14, 0, true, {40.5, 30.25}},
      {"最大値 5 (点 B) を見つけます", 18, 0, true, {10, 50}},
      {"ｱｲｳｴｵ ﾟ", 16, kFontBold, true, {12.75, 70.5}},
      {"x + 2y ≦ 8", 20, kFontItalic, false, {30, 90}},
      {"A B", 16, kFontUnderline, true, {15, 110}},  // decorated: drawn as it comes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Font font{"ＭＳ Ｐゴシック", c.height, c.style, kBlue, 128};
    Surface ours(400, 130);
    ours.canvas->SetAntialiasing(c.smooth);
    ours.canvas->SetFont(font);
    const TextExtent e = ours.canvas->MeasureText(c.text);
    ours.canvas->DrawText(c.at, c.text);
    ours.canvas->DrawText({c.at.x + 100, c.at.y + 5}, c.text);  // the runs reused
    const QImage& got = ours.Done();

    QImage want(400, 130, QImage::Format_RGB32);
    want.fill(Qt::white);
    {
      QPainter painter(&want);
      painter.setRenderHint(QPainter::Antialiasing, c.smooth);
      painter.setFont(QtCanvas::ToQFont(font, c.smooth));
      painter.setPen(QColor(0, 0, 255));
      for (const PointF at : {c.at, PointF{c.at.x + 100, c.at.y + 5}}) {
        const PointF origin = AnchoredTextOrigin(at, e, TextAnchor{});
        painter.drawText(QPointF(origin.x, origin.y + e.ascent), QString::fromUtf8(c.text));
      }
    }
    EXPECT_FALSE(InkBox(got).isNull());
    EXPECT_EQ(got, want);
  }
}

}  // namespace
}  // namespace qzarn
