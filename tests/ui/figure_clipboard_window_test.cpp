// The figure clipboard through the keys a teacher presses on a screen: Ctrl+C
// and Ctrl+V between two screens after a point was dragged, and Ctrl+X undone.

#include "engine/screen_builder.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <string>

#include "main_window_fixture.h"

namespace qzarn::shell {
namespace {

// 25 pixels per unit, the origin at (320, 240), snapping to 0.5.
int Px(double x) {
  return static_cast<int>(std::lround(320 + 25 * x));
}
int Py(double y) {
  return static_cast<int>(std::lround(240 - 25 * y));
}

class FigureClipboardWindowTest : public MainWindowTest {
 protected:
  // A screen with P at (-3, 1) and Q at (2, 3) shown as marks, and the circle
  // about P through Q, viewed at 25 pixels per unit.
  ui::DocumentWindow* Prepare(MainWindow& w) {
    w.Start({});
    w.show();
    QApplication::setActiveWindow(&w);
    ui::DocumentWindow* doc = w.activeDocument();
    Screen& s = *doc->screen();
    ViewSettings& v = s.View();
    v.ScreenWidth = 640;
    v.ScreenHeight = 480;
    v.CentreX = 320;
    v.CentreY = 240;
    v.Scale = 25;
    v.Zoom = 100;
    v.PanX = v.PanY = 0;
    v.SnapStep = 0.5;
    testing::ScreenBuilder build;
    p_ = *NewFigure(s.Figures, build.Record(build.Point("-3", "1")));
    q_ = *NewFigure(s.Figures, build.Record(build.Point("2", "3")));
    for (const int i : {p_, q_}) {
      PointRecord& r = *s.Figures.record(i)->point();
      r.Radius = 4;
      r.RimRadius = 2;
      r.DispMark = true;
    }
    FigureRecord circle = FigureRecord::Blank(kCircleFigure);
    CircleRecord& c = *circle.circle();
    c.FX0 = "-3";
    c.FY0 = "1";
    c.FX1 = "5.385";
    c.Ref0 = p_;
    c.Ref1 = q_;
    circle_ = *NewFigure(s.Figures, std::move(circle));
    doc->RefreshScreen();
    return doc;
  }

  static void Drag(ui::DocumentWindow& doc, QPoint from, QPoint to) {
    QWidget* surface = &doc.surface();
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QTest::mouseMove(surface, (from + to) / 2);
    QTest::mouseMove(surface, to);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
  }

  static void Keys(ui::DocumentWindow& doc, Qt::Key key) {
    doc.surface().setFocus();
    QTest::keyClick(&doc.surface(), key, Qt::ControlModifier);
  }

  int p_ = -1, q_ = -1, circle_ = -1;
};

TEST_F(FigureClipboardWindowTest, APastedCircleLiesWhereItsDraggedCentreIsNow) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  Drag(*doc, {Px(-3), Py(1)}, {Px(-4.5), Py(2.5)});
  Screen& s = *doc->screen();
  ASSERT_EQ(std::string(s.Figures.record(p_)->point()->FX.view()), "-4.5");
  s.SelectedIndex = circle_;
  Keys(*doc, Qt::Key_C);

  ui::DocumentWindow* other = w.NewScreen();
  QApplication::processEvents();
  ASSERT_EQ(w.activeDocument(), other);
  // The pasted figure's property dialog is confirmed as it opens.
  QTimer::singleShot(0, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->accept();
  });
  Keys(*other, Qt::Key_V);
  const Screen& target = *other->screen();
  const FigureRecord* pasted = target.Figures.record(target.Figures.LastIndex);
  ASSERT_NE(pasted, nullptr);
  ASSERT_EQ(pasted->type(), kCircleFigure);
  EXPECT_NEAR(pasted->circle()->X0, -4.5, 1e-9);
  EXPECT_NEAR(pasted->circle()->Y0, 2.5, 1e-9);
  EXPECT_NEAR(pasted->circle()->RadiusValue, std::hypot(6.5, 0.5), 1e-9);
}

TEST_F(FigureClipboardWindowTest, UndoingACutKeepsTheDragMadeBeforeIt) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  Drag(*doc, {Px(-3), Py(1)}, {Px(-4.5), Py(2.5)});  // P: a drag takes no snapshot
  Screen& s = *doc->screen();
  s.SelectedIndex = circle_;
  Keys(*doc, Qt::Key_X);
  ASSERT_EQ(doc->screen()->Figures.record(circle_), nullptr);
  Keys(*doc, Qt::Key_Z);
  const Screen& back = *doc->screen();
  ASSERT_NE(back.Figures.record(circle_), nullptr);
  EXPECT_EQ(std::string(back.Figures.record(p_)->point()->FX.view()), "-4.5");
  EXPECT_EQ(std::string(back.Figures.record(p_)->point()->FY.view()), "2.5");
}

}  // namespace
}  // namespace qzarn::shell
