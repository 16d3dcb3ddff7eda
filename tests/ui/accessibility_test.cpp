// Every window and dialog read the way a screen reader reads it: one walk over
// the accessibility tree of each (opened by its command, as a user opens it),
// with no control left without a name and no name that holds "&" or is only
// punctuation. The property dialogs are walked member by member in
// property_dialog_test.cpp.
// The core headers come before Qt's, whose `slots` keyword would break them.
#include "render/draw_screen.h"
#include "ui/main_window_fixture.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>

#include "ui/accessible_walk.h"
#include "ui/document_window.h"
#include "ui/help_window.h"

namespace qzarn::shell {
namespace {

const QString kExample = QStringLiteral(QZARN_SOURCE_DIR "/examples/areas.qzl");

std::string Join(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines)
    all += line + "\n";
  return all;
}

// Walks every modal dialog that comes up while `open` runs (nested ones too)
// and closes it, then every top-level window `open` left showing.
std::vector<std::string> WalkWhatOpens(const std::function<void()>& open) {
  std::vector<std::string> faults;
  QSet<QWidget*> before;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) before.insert(w);
  QSet<QWidget*> walked;
  const auto walk = [&](QWidget& window) {
    if (walked.contains(&window)) return;
    walked.insert(&window);
    for (const std::string& f : testing::AccessibleFaults(window))
      faults.push_back(window.windowTitle().toStdString() + ": " + f);
  };
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    walk(*modal);
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
  });
  poll.start();
  open();
  QApplication::processEvents();
  poll.stop();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && !before.contains(w)) {
      walk(*w);
      w->close();
    }
  return faults;
}

TEST_F(MainWindowTest, EveryWindowAndDialogNamesEveryControlReadably) {
  MainWindow w(Options());
  w.show();
  w.Start({kExample});
  QApplication::processEvents();
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  const auto command = [&w](const char* name) {
    return [&w, name] {
      QAction* action = w.command(QString::fromLatin1(name));
      ASSERT_NE(action, nullptr) << name;
      action->trigger();
    };
  };
  struct Case {
    const char* what;
    std::function<void()> open;
  };
  const Case cases[] = {
      {"main window, screens, tool bands, status bar", [] {}},
      {"coordinate system", command("M_Zahyo")},
      {"options", command("AjustOption")},
      {"line styles", [&w] { w.EditLineStylesClick(); }},
      {"figure list", command("AjustList")},
      {"intermediate expressions", command("EditEqu")},
      {"palette editor", command("AjustPedit")},
      {"variable table", command("AjustTable")},
      {"standard palette", [&w] { w.StandardPaletteClick(); }},
      {"tool-bar set-up", command("M_ToolBarSetup")},
      {"figure import", command("M_ImportFigures")},
      {"function import", command("M_ImportFunctions")},
      {"locus settings", command("M_KisekiSet")},
      {"about", command("M_About")},
      {"help", command("M_HelpTopics")},
      // Qt's own file dialog, as every file command of the program makes it.
      {"open file", [&w] { w.OpenClick(); }},
      {"save picture", [&w] { w.SaveAsPictureClick(); }},
      {"save web page", [&w] { w.SaveAsWebPageClick(); }},
      {"save as", [] { ui::DialogQuestions().AskSavePath(nullptr, QStringLiteral("授業")); }},
  };
  {
    std::vector<std::string> faults = testing::AccessibleFaults(w);
    EXPECT_TRUE(faults.empty()) << cases[0].what << "\n" << Join(faults);
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::string> faults = WalkWhatOpens(c.open);
    EXPECT_TRUE(faults.empty()) << Join(faults);
  }
  doc->screen()->Modified = false;
}

QMenu* MenuTitled(QWidget& parent, const QString& title) {
  for (QMenu* menu : parent.findChildren<QMenu*>())
    if (menu->title() == title) return menu;
  return nullptr;
}

// An Insert command chosen with a key opens the figure's dialog at once, the
// figure at the centre of the visible screen; chosen with the mouse it only
// arms the tool, for the click that places the figure.
TEST_F(MainWindowTest, InsertCommandsChosenWithKeysOpenTheirDialogAtTheCentre) {
  MainWindow w(Options());
  w.resize(900, 700);
  w.show();
  w.Start({});
  QApplication::processEvents();
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  Screen& s = *doc->screen();
  QMenu* figures = MenuTitled(w, QStringLiteral("図形(&I)"));
  ASSERT_NE(figures, nullptr);
  QMenu* lines = MenuTitled(w, QStringLiteral("直線(&L)"));
  ASSERT_NE(lines, nullptr);

  // The pixel of the plane point at the centre of the visible part.
  QScrollArea& scroll = doc->scrollArea();
  const QPoint centre =
      doc->surface().mapFrom(scroll.viewport(), scroll.viewport()->rect().center());
  const auto pixel_of = [&s](double x, double y) {
    const render::ViewParams v = render::ViewParamsFromView(s.View(), s.Font, nullptr);
    return QPointF(v.view.PlaneToPixelX(x), v.view.PlaneToPixelY(y));
  };
  const double unit = s.View().Scale.get() * s.View().Zoom.get() / 100.0;

  struct Case {
    const char* what;
    std::function<void()> choose;
    const char* dialog;  // the member's dialog that opens, "" for none
  };
  const Case cases[] = {
      {"点 by its mnemonic",
       [&] {
         figures->popup(QPoint(10, 10));
         QTest::keyClick(figures, Qt::Key_P);
       },
       "TPro_Point"},
      {"直線 ２点指定 by Return",
       [&] {
         figures->popup(QPoint(10, 10));
         QTest::keyClick(figures, Qt::Key_L);
         lines->popup(QPoint(60, 60));
         lines->setActiveAction(lines->actions().value(0));
         QTest::keyClick(lines, Qt::Key_Return);
       },
       "TPro_Line"},
      {"点 by the mouse",
       [&] {
         figures->popup(QPoint(10, 10));
         QAction* point = w.command(QStringLiteral("InsertPoint"));
         QTest::mouseClick(figures, Qt::LeftButton, {}, figures->actionGeometry(point).center());
       },
       ""},
  };
  const auto count = [&s] {
    int n = 0;
    for (int i = 0; i < kFigureSlots; ++i)
      if (s.Figures.record(i) != nullptr) ++n;
    return n;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QString opened;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      opened = dialog->objectName();
      QWidget* focus = dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog;
      QTest::keyClick(focus, Qt::Key_Return);
      if (dialog->isVisible()) dialog->accept();
    });
    const int before = count();
    poll.start();
    c.choose();
    QApplication::processEvents();
    poll.stop();
    EXPECT_EQ(opened, QString::fromLatin1(c.dialog));
    if (*c.dialog == '\0') {
      EXPECT_EQ(count(), before);
      continue;
    }
    ASSERT_EQ(count(), before + 1);
    const FigureRecord& made = *s.Figures.record(before);
    if (const PointRecord* p = made.point()) {
      const QPointF at = pixel_of(p->X, p->Y);
      EXPECT_LE(std::hypot(at.x() - centre.x(), at.y() - centre.y()), unit);
    }
  }
}

}  // namespace
}  // namespace qzarn::shell
