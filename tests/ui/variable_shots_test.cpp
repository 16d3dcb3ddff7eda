// Pictures of a lesson in motion, for a person to look at: the standard
// palette moving `a` on a family of curves, and an animation leaving a locus,
// each grabbed from the display (run under Xvfb on the xcb platform with
// QZARN_SHOTS=<folder>). Without that variable only the checks run.

#include "document/figure_defaults.h"
#include "document/figure_table.h"
#include "document/palette_item_fields.h"
#include "engine/locus.h"
#include "engine/screen_builder.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <cstdlib>

#include "main_window_fixture.h"

namespace qzarn::shell {
namespace {

void Shot(const char* name) {
  const char* folder = std::getenv("QZARN_SHOTS");
  if (folder == nullptr) return;
  QTest::qWait(300);
  const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0);
  EXPECT_TRUE(picture.save(QString::fromUtf8(folder) + "/" + name));
}

// Figures as the program makes them (display attributes of the defaults).
FigureRecord NewPoint(std::string_view fx, std::string_view fy) {
  FigureRecord r = InitialiseFigure(kPointFigure, FigureDefaults(), NewFigureFont{});
  r.point()->FX = fx;
  r.point()->FY = fy;
  return r;
}
FigureRecord NewCurve(std::string_view body) {
  FigureRecord r = InitialiseFigure(kFunctionFigure, FigureDefaults(), NewFigureFont{}, 1);
  FunctionRecord& f = *r.function();
  f.FuncX = body;
  f.AreaSx1 = "-10";
  f.AreaEx1 = "10";
  f.AreaWd1 = "0.05";
  return r;
}

class VariableShotsTest : public MainWindowTest {
 protected:
  ui::DocumentWindow* Start(MainWindow& w) {
    w.Start({});
    w.resize(1000, 720);
    w.show();
    ui::DocumentWindow* doc = w.activeDocument();
    doc->parentWidget()->showMaximized();
    return doc;
  }
};

TEST_F(VariableShotsTest, PaletteMovesAFamilyOfCurves) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Start(w);
  FigureRecord family = NewCurve("k*sin(x)+a");
  family.function()->ParamVar = 11;  // k
  family.function()->AreaSx2 = "-3";
  family.function()->AreaEx2 = "3";
  family.function()->AreaWd2 = "1";
  NewFigure(doc->screen()->Figures, family);
  NewFigure(doc->screen()->Figures, NewPoint("a", "a"));
  doc->RefreshScreen();
  w.StandardPaletteClick();
  ui::TEditValue& palette = w.standardPalette();
  ASSERT_EQ(palette.variableList().currentText(), "a");  // k is bound by the family
  for (int i = 0; i < 15; ++i)
    palette.upButton().click();
  EXPECT_DOUBLE_EQ(doc->screen()->Variables().read(0, 1), 1.5);
  Shot("palette_family.png");

  // The equation window over the same screen, with one row typed.
  w.command("EditEqu")->trigger();
  ui::TdlgEquation& equations = w.equationWindow();
  QTest::keyClicks(equations.nameEditor().lineEdit(), "m=");
  QTest::keyClicks(&equations.expressionEditor(), "a*2+sqr(k)");
  equations.move(w.geometry().left() + 60, w.geometry().top() + 120);
  Shot("equation_window.png");
  EXPECT_EQ(equations.expressionEditor().text(), "a*2+sqr(k)");
}

TEST_F(VariableShotsTest, AnimationLeavesALocus) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Start(w);
  Screen& s = *doc->screen();
  FigureRecord point = NewPoint("a", "2*sin(a)");
  point.point()->Track = 1;
  const int slot = *NewFigure(s.Figures, point);
  NewFigure(s.Figures, NewCurve("2*sin(x)"));
  PaletteItem& item = s.PaletteItems[0];
  item.SetKind(kPaletteVariableBox);
  const struct {
    std::string_view name;
    double v;
  } fields[] = {{"Variable", 0},        {"Width", 60},     {"Height", 22},   {"Value", -6.2},
                {"InitialValue", -6.2}, {"Minimum", -6.2}, {"Maximum", 6.2}, {"Step", 0.2}};
  for (const auto& f : fields)
    for (const FieldInfo& info : PaletteItemFields(kPaletteVariableBox))
      if (info.name == f.name) {
        ASSERT_TRUE(WriteNumber(item.Bytes, info, f.v));
      }
  s.Variables().write(0, 1, -6.2);
  doc->RefreshScreen();

  // A stand-in for the user-defined palette's box of a.
  QDoubleSpinBox box;
  box.setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
  box.setRange(-6.2, 6.2);
  box.setDecimals(2);
  box.setValue(-6.2);
  box.setFixedSize(80, 24);
  box.move(w.geometry().right() - 200, w.geometry().bottom() - 60);
  box.show();
  ui::AnimeTarget target;
  target.box = &box;
  target.window = doc;
  target.entry = ReadUserPalette(s).boxes.at(0);
  target.shown = [&box] { return box.value(); };
  target.show = [&box](double v) { box.setValue(v); };
  ui::Tdlg_Anime& anime = w.animeWindow();
  anime.SetPause(0.02);
  anime.OpenFor(target);
  anime.button(5).click();
  for (int i = 0; i < 400 && anime.playing(); ++i)
    QTest::qWait(10);
  EXPECT_FALSE(anime.playing());
  EXPECT_DOUBLE_EQ(s.Variables().read(0, 1), 6.2);
  EXPECT_GE(LocusEntryCount(s.Figures.record(slot)->point()->TrackCount), 60);
  Shot("animation_locus.png");
}

}  // namespace
}  // namespace qzarn::shell
