// Labels and text boxes drawn by the Qt canvas: the Japanese fonts named by
// documents must come out in the IPA fonts, superscripts must sit higher than
// the line, and the pictures are saved for a look when QZARN_RENDER_DIR names
// a folder (the reference renders under tests/render/reference come from it).

// The document headers come before Qt's: Qt's "slots" keyword macro would
// break FigureTable::slots().
#include "document/object_bytes_builder.h"
#include "document/screen.h"
#include "platform/text_encoding.h"
#include "render/draw_screen.h"
// clang-format off
#include <gtest/gtest.h>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "qt/qt_canvas.h"
#include "qt/qt_image.h"
// clang-format on

namespace qzarn {
namespace {

using namespace render;

const std::string kGothic = utf8_to_cp932("ＭＳ Ｐゴシック").bytes;
const std::string kMincho = utf8_to_cp932("ＭＳ 明朝").bytes;

std::unique_ptr<Screen> NewScreen(int w, int h) {
  NewScreenDefaults d;
  d.InitScreenX = w;
  d.InitScreenY = h;
  d.InitGridColor = 0xE0E0E0;
  ScreenTitleCounter titles;
  auto screen = Screen::Create(d, titles);
  screen->Font.FontName = kGothic;
  return screen;
}

PointRecord& AddPoint(Screen& screen, int slot, const char* name, double x, double y, int direction,
                      bool coordinates) {
  EXPECT_TRUE(PlaceFigure(screen.Figures, slot, FigureRecord::Blank(kPointFigure)));
  PointRecord& p = *screen.Figures.record(slot)->point();
  p.X = x;
  p.Y = y;
  p.Radius = 3;
  p.RimRadius = 1;
  p.Paint = true;
  p.DispMark = true;
  p.Color = 0x0000C0u;
  p.RimColor = 0x0000C0u;
  p.Name = name;
  p.DispName = true;
  p.Coordinates = coordinates;
  p.Direction = direction;
  p.Font.FontName = kGothic;
  p.Font.FontSize = 14;
  p.Font.FontSet = 128;
  return p;
}

FrameRecord& AddTextBox(Screen& screen, int slot, double x0, double y0,
                        std::initializer_list<const char*> lines_utf8) {
  EXPECT_TRUE(PlaceFigure(screen.Figures, slot, FigureRecord::Blank(kCharFigure)));
  FrameRecord& f = *screen.Figures.record(slot)->frame();
  f.X0 = x0;
  f.Y0 = y0;
  f.X1 = x0 + 1;
  f.Y1 = y0 - 1;
  f.Boolean = false;
  f.IsFront = true;
  f.IsIcon = true;
  f.DispL = true;
  f.SizeL = 1;
  f.StyleL = 0;
  f.RimColor = 0x404040u;
  TextFrameTail& t = f.Text();
  t.Font.FontName = kGothic;
  t.Font.FontSize = 18;
  t.Font.FontColor = 0x000000u;
  t.Font.FontSet = 128;
  t.CharW = 6;
  t.CharX = 0;
  t.CharY = 4;
  int i = 0;
  for (auto& line : t.Lines)
    line = "";
  for (const char* line : lines_utf8)
    t.Lines[i++] = utf8_to_cp932(line).bytes;
  return f;
}

QImage Render(Screen& screen, const char* file) {
  const int w = screen.View().ScreenWidth, h = screen.View().ScreenHeight;
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    QtCanvas canvas(painter, Size{w, h});
    RenderOptions options;
    DrawScreen(canvas, &screen, options);
  }
  if (const char* dir = std::getenv("QZARN_RENDER_DIR")) image.save(QDir(dir).filePath(file));
  return image;
}

// Bounding box of the pixels darker than mid grey inside `area`.
QRect DarkBox(const QImage& img, const QRect& area) {
  QRect box;
  for (int y = std::max(area.top(), 0); y <= std::min(area.bottom(), img.height() - 1); ++y)
    for (int x = std::max(area.left(), 0); x <= std::min(area.right(), img.width() - 1); ++x)
      if (qGray(img.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

TEST(LabelRender, TextBoxWithMarkupInIpaFonts) {
  auto screen = NewScreen(480, 320);
  screen->Variables().write(0, 1, 0.5);    // a
  screen->Variables().write(0, 2, -1.25);  // b
  FrameRecord& box =
      AddTextBox(*screen, 0, -8.5, 5.5,
                 {"二次関数 y=ax^2|+bx+c", "a=$a$,  b=$b:7:3$", "x_1|+x_2|=-b/a", "名前 $q0$"});
  box.DispBk = true;
  box.ColorBk = 0xE0FFFFu;
  FrameRecord& mincho = AddTextBox(*screen, 1, 1, -2, {"明朝体の斜体 ^n|C_r"});
  mincho.Text().Font.FontName = kMincho;
  mincho.Text().Font.FontStyle = kFontItalic;
  const QImage img = Render(*screen, "label_text_box.png");

  // The automatic size fitted the frame around the text: every dark pixel of
  // the first box lies inside it, and the first line is inked.
  const int left = static_cast<int>(std::lround(box.X0 * 25 + 240));
  const int right = static_cast<int>(std::lround(box.X1 * 25 + 240)) + 1;
  EXPECT_GT(right - left, 150);
  const QRect first_line = DarkBox(img, QRect(left + 2, 160 - 137 + 4, right - left - 4, 18));
  EXPECT_GT(first_line.width(), 120);
  // The fitted corner was written back as numbers.
  EXPECT_FALSE(box.FX1.empty());
  EXPECT_FALSE(mincho.FY1.empty());
}

TEST(LabelRender, SuperscriptSitsAboveTheLineAndSubscriptBelow) {
  auto screen = NewScreen(200, 80);
  screen->View().ShowAxes = false;
  screen->View().ShowGrid = false;
  AddTextBox(*screen, 0, -3.6, 1.2, {"HH^HH"}).DispL = false;
  AddTextBox(*screen, 1, 0.4, 1.2, {"HH_HH"}).DispL = false;
  const QImage img = Render(*screen, "label_scripts.png");
  // Lines start at x = 16 and 116 (corner plus margin); the outer frame of
  // the screen stays outside the areas looked at.
  const QRect normal = DarkBox(img, QRect(14, 2, 20, 70));
  const QRect sup = DarkBox(img, QRect(48, 2, 22, 70));
  const QRect sub_normal = DarkBox(img, QRect(114, 2, 20, 70));
  const QRect sub = DarkBox(img, QRect(148, 2, 22, 70));
  ASSERT_FALSE(normal.isEmpty());
  ASSERT_FALSE(sup.isEmpty());
  ASSERT_FALSE(sub.isEmpty());
  EXPECT_LT(sup.height(), normal.height());
  EXPECT_LE(sup.top(), normal.top() + 1);
  EXPECT_LT(sup.bottom(), normal.bottom() - 2);
  EXPECT_GE(sub.bottom(), sub_normal.bottom() - 1);
  EXPECT_GT(sub.top(), sub_normal.top() + 2);
}

TEST(LabelRender, LabelledPoints) {
  auto screen = NewScreen(480, 320);
  AddPoint(*screen, 0, "A", 2, 1, 45, true);
  AddPoint(*screen, 1, "P1", -3, 2, 90, true);
  AddPoint(*screen, 2, "B2", 1, -2, 0, false);
  AddPoint(*screen, 3, "Q", -4, -3, 180, true);
  AddPoint(*screen, 4, "C", 4, -4, 270, true);
  screen->View().CoordinateKind = 0;
  const QImage img = Render(*screen, "label_points.png");
  // The name of A with its coordinates lies up and to the right of the mark at (290, 135).
  const QRect a = DarkBox(img, QRect(293, 100, 120, 34));
  EXPECT_GT(a.width(), 30);
  // The subscript of B2 is smaller and lower than its letter.
  const QRect b = DarkBox(img, QRect(270, 200, 30, 30));
  EXPECT_FALSE(b.isEmpty());
}

// Embedded objects: one that kept a bitmap of itself shows it stretched into its frame, one
// whose bytes say nothing shows the icon and the caption; both get background and frame.
TEST(ObjectRender, StoredPictureOrIconInsideBackgroundAndFrame) {
  auto screen = NewScreen(480, 240);
  const auto add = [&](int slot, double x0, std::vector<std::uint8_t> bytes) {
    EXPECT_TRUE(PlaceFigure(screen->Figures, slot, FigureRecord::Blank(kOleFigure)));
    FigureRecord& r = *screen->Figures.record(slot);
    r.owned.ObjectBytes = std::move(bytes);
    FrameRecord& f = *r.frame();
    f.X0 = x0;
    f.Y0 = -2;
    f.X1 = x0 + 5;
    f.Y1 = 2;
    f.DispL = true;
    f.SizeL = 2;
    f.RimColor = 0x0000C0u;
    f.DispBk = true;
    f.ColorBk = 0xE0FFFFu;
    f.IsFront = true;
    f.Object().SizeM = 3;
  };
  add(0, -6, testing_support::EquationWithPicture(24, 16));
  add(1, 1, std::vector<std::uint8_t>(64, 0));
  const QImage img = Render(*screen, "object_frames.png");
  // Each frame is found by its rim colour, left and right of the origin.
  const auto frame = [&](int from, int to) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
      for (int x = from; x < to; ++x)
        if (img.pixelColor(x, y) == QColor(0xC0, 0, 0)) box |= QRect(x, y, 1, 1);
    return box;
  };
  const QRect pictured = frame(0, 240), iconic = frame(240, 480);
  ASSERT_GT(pictured.width(), 100);
  ASSERT_GT(iconic.width(), 100);
  // The picture: its gradient's red grows to the right, so the frame's right part is redder.
  const QPoint middle = pictured.center();
  EXPECT_GT(img.pixelColor(pictured.right() - 10, middle.y()).red(),
            img.pixelColor(pictured.left() + 10, middle.y()).red() + 40);
  // The stand-in: the background colour in a corner, dark icon lines and caption inside.
  EXPECT_EQ(img.pixelColor(iconic.left() + 6, iconic.bottom() - 6), QColor(0xFF, 0xFF, 0xE0));
  const QRect dark = DarkBox(img, iconic.adjusted(3, 3, -3, -3));
  ASSERT_FALSE(dark.isEmpty());
  EXPECT_LT(std::abs(dark.center().x() - iconic.center().x()), 6);
}

}  // namespace
}  // namespace qzarn
