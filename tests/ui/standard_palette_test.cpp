// The standard palette in the program: shown from the 表示 menu for the
// active screen, moving a variable recomputes and redraws the screen.

#include "document/figure_table.h"
#include "engine/screen_builder.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "main_window_fixture.h"

namespace qzarn::shell {
namespace {

class StandardPaletteTest : public MainWindowTest {
 protected:
  // A screen with y = sin(a*x), y = x + b and a point (c1, 0).
  ui::DocumentWindow* Prepare(MainWindow& w) {
    w.Start({});
    ui::DocumentWindow* doc = w.activeDocument();
    testing::ScreenBuilder build;
    sine_ = *NewFigure(doc->screen()->Figures, build.Record(build.Function("sin(a*x)")));
    other_ = *NewFigure(doc->screen()->Figures, build.Record(build.Function("x+b")));
    NewFigure(doc->screen()->Figures, build.Record(build.Point("c1", "0")));
    doc->RefreshScreen();
    doc->screen()->Modified = false;
    return doc;
  }
  static bool Valid(ui::DocumentWindow& doc, int slot) {
    return doc.screen()->Figures.record(slot)->function()->CurveValid != 0;
  }
  static QStringList Items(QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
      items << box.itemText(i);
    return items;
  }

  int sine_ = -1;
  int other_ = -1;
};

TEST_F(StandardPaletteTest, MenuShowsThePaletteOfTheActiveScreenAndClosesIt) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  QAction* item = w.command("sPop_Standard");
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->isEnabled());
  item->trigger();
  ui::TEditValue& palette = w.standardPalette();
  EXPECT_TRUE(palette.isVisible());
  EXPECT_TRUE(item->isChecked());
  EXPECT_EQ(doc->screen()->View().PaletteMode, 1);
  EXPECT_EQ(palette.windowTitle(), doc->windowTitle());
  EXPECT_EQ(Items(palette.variableList()), (QStringList{"a", "b", "c1"}));
  EXPECT_EQ(palette.valueField().text(), "0");
  EXPECT_EQ(palette.stepList().currentText(), "0.1");

  item->trigger();  // shown: the same item closes it
  EXPECT_FALSE(palette.isVisible());
  EXPECT_EQ(doc->screen()->View().PaletteMode, 0);

  item->trigger();
  ASSERT_TRUE(palette.isVisible());
  QMenu menu;
  palette.FillPopupMenu(menu);
  QStringList texts;
  for (QAction* a : menu.actions())
    if (!a->isSeparator()) texts << a->text();
  EXPECT_EQ(texts, (QStringList{"ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ(&U)", "変数ﾊﾟﾚｯﾄの編集(&E)...", "ﾍﾙﾌﾟ(&H)",
                                "閉じる(&C)"}));
  menu.actions().last()->trigger();
  EXPECT_FALSE(palette.isVisible());
  EXPECT_EQ(doc->screen()->View().PaletteMode, 0);
  EXPECT_FALSE(item->isChecked());
}

TEST_F(StandardPaletteTest, SpinKeysAndEntryMoveTheVariableAndResampleOnlyItsCurves) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  w.StandardPaletteClick();
  ui::TEditValue& palette = w.standardPalette();
  const auto samples = [&](int slot) { return doc->screen()->Figures.record(slot)->owned.SampleY; };
  ASSERT_TRUE(samples(sine_).empty());  // valid curves as built, never sampled

  palette.upButton().click();
  EXPECT_DOUBLE_EQ(doc->screen()->Variables().read(0, 1), 0.1);
  EXPECT_EQ(palette.valueField().text(), "0.1");
  EXPECT_TRUE(doc->screen()->Modified);
  // The pass after the change resampled the sine (valid again); the curve that
  // does not mention a was left alone.
  EXPECT_TRUE(Valid(*doc, sine_));
  EXPECT_FALSE(samples(sine_).empty());
  EXPECT_TRUE(samples(other_).empty());

  // Arrow keys act as the spin button; the step list sets the step.
  palette.stepList().setEditText("0.5");
  EXPECT_EQ(doc->screen()->View().PaletteStep, 0.5);
  QTest::keyClick(&palette.valueField(), Qt::Key_Down);
  EXPECT_DOUBLE_EQ(doc->screen()->Variables().read(0, 1), -0.4);

  // Typed values clamp to ±100; characters other than digits, "-" and "." are refused.
  palette.valueField().setFocus();
  palette.valueField().selectAll();
  QTest::keyClicks(&palette.valueField(), "1x2e3");
  EXPECT_EQ(palette.valueField().text(), "123");
  QTest::keyClick(&palette.valueField(), Qt::Key_Return);
  EXPECT_DOUBLE_EQ(doc->screen()->Variables().read(0, 1), 100);

  // Choosing b shows its value; a value beyond the range set elsewhere is not
  // clamped merely by leaving the field.
  doc->screen()->Variables().write(0, 2, 250);
  palette.variableList().setCurrentIndex(1);
  EXPECT_EQ(doc->screen()->View().PaletteVariable.view(), "b");
  EXPECT_EQ(palette.valueField().text(), "250");
  emit palette.valueField().editingFinished();
  EXPECT_DOUBLE_EQ(doc->screen()->Variables().read(0, 2), 250);
}

TEST_F(StandardPaletteTest, PaletteFollowsTheActiveScreenAndRefreshesItsList) {
  MainWindow w(Options());
  ui::DocumentWindow* first = Prepare(w);
  w.StandardPaletteClick();
  ui::TEditValue& palette = w.standardPalette();
  ui::DocumentWindow* second = w.NewScreen();
  ASSERT_NE(second, first);
  QApplication::processEvents();
  // The new screen shows no palette.
  EXPECT_FALSE(palette.isVisible());
  // A screen without variables shows an empty, disabled list.
  second->screen()->View().PaletteMode = 1;
  w.StandardPaletteClick();  // mode 1 but hidden: shows it
  EXPECT_TRUE(palette.isVisible());
  EXPECT_EQ(palette.variableList().count(), 0);
  EXPECT_FALSE(palette.valueField().isEnabled());

  testing::ScreenBuilder build;
  NewFigure(second->screen()->Figures, build.Record(build.Point("k", "k")));
  second->UpdateCommandState();  // what a dialog's OK ends with
  EXPECT_EQ(Items(palette.variableList()), (QStringList{"k"}));
  EXPECT_TRUE(palette.valueField().isEnabled());
}

// Stepping a variable redraws only what reads it over the kept rest of the
// picture: the records and the picture come out as a whole redraw makes them,
// and anything else changed since the last picture makes the step draw whole.
TEST_F(StandardPaletteTest, VariableStepsRedrawWhatReadsTheVariableAsAWholeRedrawWould) {
  MainWindow w(Options());
  w.Start({});
  ui::DocumentWindow* doc = w.activeDocument();
  Screen& s = *doc->screen();
  testing::ScreenBuilder build;
  for (int i = 0; i < 24; ++i) {
    const std::string x = std::to_string(i % 6 - 3), y = std::to_string(i / 6 - 2);
    NewFigure(s.Figures, build.Record(build.Point(x, y)));
  }
  NewFigure(s.Figures, build.Record(build.Function("x^2/4+b")));
  const int moving = *NewFigure(s.Figures, build.Record(build.Point("a", "a/2")));
  doc->RefreshScreen();
  w.StandardPaletteClick();
  ui::TEditValue& palette = w.standardPalette();
  ASSERT_EQ(palette.variableList().currentText(), "a");
  // Opening the palette wrote its mode into the screen after the last
  // picture, so the first step draws whole.
  QTest::keyClick(&palette.valueField(), Qt::Key_Down);
  EXPECT_FALSE(doc->variableStepLayered());

  const auto records = [&s] {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i <= s.Figures.LastIndex; ++i)
      if (const FigureRecord* r = s.Figures.record(i))
        bytes.insert(bytes.end(), r->bytes().begin(), r->bytes().end());
    return bytes;
  };
  // Pixels further apart than a shade where thin strokes cross on a layer.
  const auto far_pixels = [](const QImage& a, const QImage& b) {
    int far = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) {
        const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
        if (std::abs(qRed(p) - qRed(q)) > 64 || std::abs(qGreen(p) - qGreen(q)) > 64 ||
            std::abs(qBlue(p) - qBlue(q)) > 64)
          ++far;
      }
    return far;
  };

  using Drawing = VariableStepPicture::Drawing;
  for (int step = 0; step <= 3; ++step) {
    QTest::keyClick(&palette.valueField(), Qt::Key_Up);
    EXPECT_NEAR(s.Variables().read(0, 1), 0.1 * step, 1e-12);
    // The first step learns where every figure lies; the later ones redraw
    // only where the point was and is.
    EXPECT_EQ(doc->lastVariableStep(), step == 0 ? Drawing::kLayers : Drawing::kChangeRects)
        << step;
    EXPECT_NEAR(double(s.Figures.record(moving)->point()->X), 0.1 * step, 1e-12);
    const std::vector<std::uint8_t> stepped = records();
    const QImage layered = doc->picture().copy();
    doc->RefreshScreen();
    EXPECT_EQ(records(), stepped) << step;
    ASSERT_EQ(layered.size(), doc->picture().size());
    EXPECT_EQ(far_pixels(layered, doc->picture()), 0) << step;
    if (doc->lastVariableStep() == Drawing::kChangeRects) {
      EXPECT_EQ(layered, doc->picture()) << step;
    }
  }

  // A figure changed behind the picture's back: the next step draws whole.
  s.Figures.record(moving)->point()->X = 5;
  QTest::keyClick(&palette.valueField(), Qt::Key_Up);
  EXPECT_FALSE(doc->variableStepLayered());
  EXPECT_EQ(doc->lastVariableStep(), Drawing::kWhole);
  EXPECT_NEAR(double(s.Figures.record(moving)->point()->X), 0.4, 1e-12);
}

}  // namespace
}  // namespace qzarn::shell
