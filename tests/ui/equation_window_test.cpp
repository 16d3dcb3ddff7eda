// The intermediate-equation window in the program: opened from the menu for
// the active screen, typed into through its key filter, applied with its
// messages, and following the active screen without ever touching a closed one.

#include "document/figure_table.h"
#include "engine/screen_builder.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "main_window_fixture.h"

namespace qzarn::shell {
namespace {

class EquationWindowTest : public MainWindowTest {
 protected:
  ui::TdlgEquation& Open(MainWindow& w) {
    QAction* item = w.command("EditEqu");
    EXPECT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    return w.equationWindow();
  }
  // Keys go where the user's keys go: the name's combo box has the focus.
  static QComboBox& NameBox(ui::TdlgEquation& e) { return e.nameEditor(); }
  static QLineEdit& NameEditor(ui::TdlgEquation& e) { return *e.nameEditor().lineEdit(); }
  static double Value(ui::DocumentWindow& doc, int letter, int row = 0) {
    return doc.screen()->Variables().read(row, letter + 1);
  }
  // Types into the open editor of the current row: name, "=", expression.
  static void Row(ui::TdlgEquation& e, const char* name, const char* text) {
    QTest::keyClicks(&NameBox(e), QString::fromUtf8(name));
    QTest::keyClick(&NameBox(e), '=');
    QTest::keyClicks(&e.expressionEditor(), QString::fromUtf8(text));
    QTest::keyClick(&e.expressionEditor(), Qt::Key_Down);
    QTest::keyClick(&e.expressionEditor(), Qt::Key_Left);
  }
};

TEST_F(EquationWindowTest, TypedRowsAreFilteredAppliedAndLeaveThePalette) {
  MainWindow w(Options());
  w.Start({});
  ui::DocumentWindow* doc = w.activeDocument();
  testing::ScreenBuilder build;
  NewFigure(doc->screen()->Figures, build.Record(build.Point("a", "b")));
  NewFigure(doc->screen()->Figures, build.Record(build.Point("c", "0")));
  doc->RefreshScreen();
  w.StandardPaletteClick();
  ASSERT_EQ(w.standardPalette().variableList().count(), 3);

  ui::TdlgEquation& e = Open(w);
  ASSERT_TRUE(e.isVisible());
  EXPECT_EQ(e.windowTitle(), "中間式 [" + doc->windowTitle() + "]");
  for (QWidget* child : e.findChildren<QWidget*>())
    if (child->isVisibleTo(&e) && qobject_cast<QAbstractButton*>(child) != nullptr) {
      EXPECT_FALSE(child->accessibleName().isEmpty()) << child->objectName().toStdString();
    }
  EXPECT_EQ(e.grid().rowCount(), 100);
  EXPECT_EQ(e.grid().item(0, 0)->text(), "  1");

  // Letters fold, other characters are ignored, "=" moves to the expression.
  QTest::keyClicks(&NameBox(e), "B+ x");  // the name takes two characters
  EXPECT_EQ(NameEditor(e).text(), "bx");
  NameEditor(e).clear();
  QTest::keyClicks(&NameBox(e), "B");
  QTest::keyClick(&NameBox(e), '=');
  EXPECT_EQ(e.form().current_column(), kEquationTextColumn);
  QTest::keyClicks(&e.expressionEditor(), "A * 2$");
  QKeyEvent kana(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("あ"));
  QApplication::sendEvent(&e.expressionEditor(), &kana);
  EXPECT_EQ(e.expressionEditor().text(), "a*2");
  EXPECT_TRUE(e.catalogueButton().isVisible());
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Down);
  EXPECT_EQ(e.form().current_row(), 2);
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Left);  // caret at 0: to the name
  EXPECT_EQ(e.form().current_column(), kEquationNameColumn);
  Row(e, "a", "3");
  EXPECT_EQ(e.grid().item(0, 3)->text(), "a*2");

  e.applyButton().click();
  EXPECT_TRUE(questions_.errors.empty());
  ASSERT_EQ(doc->screen()->Equations.EquationLast, 1);
  EXPECT_EQ(Value(*doc, 0), 3);
  EXPECT_EQ(Value(*doc, 1), 0);  // b read a before a's equation ran
  EXPECT_TRUE(doc->screen()->Modified);
  // Both assigned variables left the palette's list; c stays.
  ASSERT_EQ(w.standardPalette().variableList().count(), 1);
  EXPECT_EQ(w.standardPalette().variableList().itemText(0), "c");

  e.closeButton().click();
  EXPECT_FALSE(e.isVisible());
}

TEST_F(EquationWindowTest, ControlKeysMoveInsertDeleteAndPasteFiltered) {
  MainWindow w(Options());
  w.Start({});
  ui::TdlgEquation& e = Open(w);
  Row(e, "a", "1");
  Row(e, "b", "2");
  QTest::keyClick(&NameBox(e), Qt::Key_Up, Qt::ControlModifier);  // row 3 up to row 2
  EXPECT_EQ(e.form().current_row(), 2);
  QTest::keyClick(&NameBox(e), Qt::Key_Up, Qt::ControlModifier);
  QTest::keyClick(&NameBox(e), Qt::Key_Up, Qt::ControlModifier);  // stays on row 1
  EXPECT_EQ(e.form().current_row(), 1);
  EXPECT_TRUE(e.form().row(1).empty());
  EXPECT_EQ(e.form().row(2).name, "a");
  QTest::keyClick(&NameBox(e), Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(e.form().row(1).name, "a");
  EXPECT_EQ(e.grid().item(1, 1)->text(), "b");
  QTest::keyClick(&NameBox(e), Qt::Key_I, Qt::ControlModifier);
  EXPECT_TRUE(e.form().row(1).empty());
  EXPECT_EQ(e.form().row(3).name, "b");

  // Ctrl+V pastes what typing would have let in; unstorable text is refused.
  QTest::keyClick(&NameBox(e), Qt::Key_Right);
  QApplication::clipboard()->setText(QString::fromUtf8("Sin(X) + 1\n"));
  QTest::keyClick(&e.expressionEditor(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e.expressionEditor().text(), "sin(x)+1");
  QApplication::clipboard()->setText(QString::fromUtf8("x😀"));
  QTest::keyClick(&e.expressionEditor(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(e.expressionEditor().text(), "sin(x)+1");
  QTest::keyClick(&e.expressionEditor(), Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(e.expressionEditor().text(), "");
  EXPECT_EQ(QApplication::clipboard()->text(), "sin(x)+1");
  // Text that arrives past the key filter is held to the same characters.
  e.expressionEditor().insert(QStringLiteral("y Y"));
  emit e.expressionEditor().textEdited(e.expressionEditor().text());
  EXPECT_EQ(e.expressionEditor().text(), "yy");
}

// The name column's rules on the keys as they arrive at the focused combo box,
// and Enter in the formula cell.
TEST_F(EquationWindowTest, KeysOnTheNameBoxFollowTheGridsRules) {
  MainWindow w(Options());
  w.Start({});
  ui::TdlgEquation& e = Open(w);
  QApplication::setActiveWindow(&e);
  NameBox(e).setFocus();
  ASSERT_EQ(e.focusWidget(), &NameBox(e));
  QTest::keyClicks(&NameBox(e), "abc");  // two characters at most
  EXPECT_EQ(NameEditor(e).text(), "ab");
  QTest::keyClick(&NameBox(e), '=');
  EXPECT_EQ(e.form().current_column(), kEquationTextColumn);
  QTest::keyClicks(&e.expressionEditor(), "1");
  // Enter commits the formula cell where it is.
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Return);
  EXPECT_EQ(e.form().row(1).text, "1");
  EXPECT_EQ(e.grid().item(0, 3)->text(), "1");
  EXPECT_EQ(e.form().current_row(), 1);
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Home);
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Left);
  ASSERT_EQ(e.form().current_column(), kEquationNameColumn);
  // The arrows walk the rows, not the drop-down's names.
  QTest::keyClick(&NameBox(e), Qt::Key_Down);
  EXPECT_EQ(e.form().current_row(), 2);
  EXPECT_FALSE(NameBox(e).view()->isVisible());
  QTest::keyClick(&NameBox(e), Qt::Key_Up);
  EXPECT_EQ(e.form().current_row(), 1);
  EXPECT_EQ(NameEditor(e).text(), "ab");
  // → at the end of the name goes to the formula.
  NameEditor(e).setCursorPosition(2);
  QTest::keyClick(&NameBox(e), Qt::Key_Right);
  EXPECT_EQ(e.form().current_column(), kEquationTextColumn);
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Home);
  QTest::keyClick(&e.expressionEditor(), Qt::Key_Left);
  // Ctrl+I on the name inserts a row above.
  QTest::keyClick(&NameBox(e), Qt::Key_I, Qt::ControlModifier);
  EXPECT_TRUE(e.form().row(1).empty());
  EXPECT_EQ(e.form().row(2).name, "ab");
}

// Undo takes the equations away from the screen: the grid shows the screen as
// it is now, and the next apply does not write them back. The caption follows
// the screen's name.
TEST_F(EquationWindowTest, TheGridFollowsItsScreenThroughUndoAndANewName) {
  MainWindow w(Options());
  w.Start({});
  w.show();
  QApplication::setActiveWindow(&w);
  ui::DocumentWindow* doc = w.activeDocument();
  ui::TdlgEquation& e = Open(w);
  Row(e, "a", "3");
  ASSERT_TRUE(e.OKBtnClick());
  ASSERT_EQ(doc->screen()->Equations.EquationLast, 0);
  QApplication::setActiveWindow(&w);  // the keys go to the screen's window
  doc->surface().setFocus();
  QTest::keyClick(&doc->surface(), Qt::Key_A, Qt::ControlModifier);  // 一時保存
  QTest::keyClick(&doc->surface(), Qt::Key_Z, Qt::ControlModifier);  // back to no equations
  QApplication::processEvents();
  ASSERT_EQ(doc->screen()->Equations.EquationLast, -1);
  EXPECT_TRUE(e.form().row(1).empty());
  EXPECT_EQ(e.grid().item(0, 1)->text(), "");
  ASSERT_TRUE(e.OKBtnClick());
  EXPECT_EQ(doc->screen()->Equations.EquationLast, -1);
  QTest::keyClick(&doc->surface(), Qt::Key_Y, Qt::ControlModifier);  // and forward again
  QApplication::processEvents();
  EXPECT_EQ(e.form().row(1).name, "a");

  doc->setWindowTitle(QStringLiteral("lesson2"));
  EXPECT_EQ(e.windowTitle(), QStringLiteral("中間式 [lesson2]"));
}

TEST_F(EquationWindowTest, FaultsKeepTheWindowOnItsScreenAndClosedScreensAreLeftAlone) {
  MainWindow w(Options());
  w.Start({});
  ui::DocumentWindow* first = w.activeDocument();
  ui::TdlgEquation& e = Open(w);
  Row(e, "d", "");  // a name without an expression

  ui::DocumentWindow* second = w.NewScreen();
  QApplication::processEvents();
  ASSERT_EQ(questions_.errors.size(), 1u);
  EXPECT_EQ(questions_.errors[0], "数式が空です．");
  EXPECT_EQ(e.shownWindow(), first);
  EXPECT_EQ(e.form().current_row(), 1);
  EXPECT_EQ(e.form().current_column(), kEquationTextColumn);
  EXPECT_EQ(first->screen()->Equations.EquationLast, -1);

  // The close button applies first and stays open on a fault.
  e.closeButton().click();
  EXPECT_TRUE(e.isVisible());
  ASSERT_EQ(questions_.errors.size(), 2u);

  // Closing the shown screen: the window takes the active one without applying.
  first->screen()->Modified = false;
  ASSERT_TRUE(first->parentWidget()->close());
  for (int i = 0; i < 100 && e.shownWindow() != second; ++i)
    QTest::qWait(10);
  EXPECT_EQ(questions_.errors.size(), 2u);
  EXPECT_EQ(e.shownWindow(), second);
  EXPECT_TRUE(e.form().row(1).empty());

  Row(e, "k", "2");
  w.NewScreen();  // a valid grid goes to its screen before the switch
  QApplication::processEvents();
  EXPECT_EQ(second->screen()->Equations.EquationLast, 0);
  EXPECT_NE(e.shownWindow(), second);

  // With every screen closed nothing is applied, and the main window's next
  // update (no screen left) closes the window.
  const std::size_t errors = questions_.errors.size();
  questions_.answer = ui::SaveChoice::kNo;
  ASSERT_TRUE(w.CloseAllClick());
  EXPECT_FALSE(e.OKBtnClick());
  EXPECT_EQ(questions_.errors.size(), errors);
  e.ActiveScreenChanged(nullptr);
  EXPECT_FALSE(e.isVisible());
}

}  // namespace
}  // namespace qzarn::shell
