#include "ui/function_catalogue_dialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace qzarn {
namespace {

QTableWidget* Grid(TdlgFuncSel& dialog) {
  return dialog.findChild<QTableWidget*>(QStringLiteral("FuncGrid"));
}
QPushButton* Button(TdlgFuncSel& dialog, const char* name) {
  return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}

// Runs `act` once the modal dialog is up, then opens the catalogue for the
// field the way an expression field's "▲" button does.
bool OpenAndAct(TdlgFuncSel& dialog, QLineEdit& field, std::function<void()> act) {
  QTimer::singleShot(0, &dialog, [&dialog, act] {
    if (!dialog.isVisible()) {
      ADD_FAILURE() << "catalogue not shown";
      dialog.reject();
      return;
    }
    act();
    // A step that forgot to close the dialog must not hang the test.
    if (dialog.isVisible()) {
      ADD_FAILURE() << "catalogue still open";
      dialog.reject();
    }
  });
  return OpenFunctionCatalogue(dialog, field);
}

void ClickRow(TdlgFuncSel& dialog, int row) {
  QTableWidget* grid = Grid(dialog);
  grid->scrollToItem(grid->item(row, 1));
  const QPoint at = grid->visualItemRect(grid->item(row, 1)).center();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
}

class FunctionCatalogueDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(300, 40);
    field_ = new QLineEdit(&window_);
    button_ = new QPushButton(QStringLiteral("▲"), &window_);
    button_->move(250, 0);
    window_.show();
  }
  // The "▲" button holds the focus while the catalogue is open, as after a
  // click on it; the catalogue must hand the focus back to the field.
  void SetField(const QString& text, int caret) {
    field_->setText(text);
    field_->setCursorPosition(caret);
    button_->setFocus();
  }

  QWidget window_;
  QLineEdit* field_ = nullptr;
  QPushButton* button_ = nullptr;
  TdlgFuncSel dialog_;
};

TEST_F(FunctionCatalogueDialogTest, InsertPutsTheSelectedTemplateAtTheCaret) {
  SetField(QStringLiteral("2*"), 2);
  const bool inserted = OpenAndAct(dialog_, *field_, [this] {
    ClickRow(dialog_, 2);  // sin()
    Button(dialog_, "InsertBtn")->click();
  });
  EXPECT_TRUE(inserted);
  EXPECT_EQ(field_->text(), QStringLiteral("2*sin()"));
  EXPECT_EQ(field_->cursorPosition(), 6);
  EXPECT_EQ(window_.focusWidget(), field_);
}

TEST_F(FunctionCatalogueDialogTest, InsertAfterJapaneseTextCountsCharacters) {
  SetField(QStringLiteral("角度＋"), 3);
  OpenAndAct(dialog_, *field_, [this] {
    ClickRow(dialog_, 5);  // pow(,,)
    Button(dialog_, "InsertBtn")->click();
  });
  EXPECT_EQ(field_->text(), QStringLiteral("角度＋pow(,,)"));
  EXPECT_EQ(field_->cursorPosition(), 7);
}

TEST_F(FunctionCatalogueDialogTest, EnterKeyInsertsThroughTheDefaultButton) {
  SetField(QStringLiteral("a+b"), 2);
  OpenAndAct(dialog_, *field_, [this] {
    ClickRow(dialog_, 11);  // abs()
    QTest::keyClick(Grid(dialog_), Qt::Key_Return);
  });
  EXPECT_EQ(field_->text(), QStringLiteral("a+abs()b"));
  EXPECT_EQ(field_->cursorPosition(), 6);
}

TEST_F(FunctionCatalogueDialogTest, CloseLeavesTextAndCaretAsTheyWere) {
  SetField(QStringLiteral("x+y"), 1);
  const bool inserted = OpenAndAct(dialog_, *field_, [this] {
    ClickRow(dialog_, 3);
    Button(dialog_, "CloseBtn")->click();
  });
  EXPECT_FALSE(inserted);
  EXPECT_EQ(field_->text(), QStringLiteral("x+y"));
  EXPECT_EQ(field_->cursorPosition(), 1);
  EXPECT_EQ(window_.focusWidget(), field_);
}

TEST_F(FunctionCatalogueDialogTest, ButtonBesideTheFieldOpensTheCatalogueForIt) {
  ConnectFunctionCatalogueButton(*button_, *field_, dialog_);
  SetField(QStringLiteral("1/"), 2);
  QTimer::singleShot(0, &dialog_, [this] {
    ASSERT_TRUE(dialog_.isVisible());
    ClickRow(dialog_, 1);  // sqrt()
    Button(dialog_, "InsertBtn")->click();
  });
  button_->click();
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(field_->text(), QStringLiteral("1/sqrt()"));
  EXPECT_EQ(field_->cursorPosition(), 7);
  EXPECT_EQ(window_.focusWidget(), field_);
}

TEST_F(FunctionCatalogueDialogTest, EscapeClosesWithoutInserting) {
  SetField(QStringLiteral("x"), 0);
  OpenAndAct(dialog_, *field_, [this] { QTest::keyClick(Grid(dialog_), Qt::Key_Escape); });
  EXPECT_EQ(field_->text(), QStringLiteral("x"));
  EXPECT_EQ(field_->cursorPosition(), 0);
}

TEST_F(FunctionCatalogueDialogTest, DoubleClickInsertsAndCloses) {
  SetField(QString(), 0);
  const bool inserted = OpenAndAct(dialog_, *field_, [this] {
    QTableWidget* grid = Grid(dialog_);
    grid->scrollToItem(grid->item(17, 0));
    const QPoint at = grid->visualItemRect(grid->item(17, 0)).center();  // con(,)
    // A double click reaches the list as press, release, then the double click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
  });
  EXPECT_TRUE(inserted);
  EXPECT_EQ(field_->text(), QStringLiteral("con(,)"));
  EXPECT_EQ(field_->cursorPosition(), 6);
}

TEST_F(FunctionCatalogueDialogTest, SelectedRowPersistsBetweenOpenings) {
  EXPECT_EQ(dialog_.SelectedRow(), 0);  // row 1 the first time
  SetField(QString(), 0);
  OpenAndAct(dialog_, *field_, [this] {
    EXPECT_EQ(Grid(dialog_)->currentRow(), 0);
    ClickRow(dialog_, 30);  // celi1(,)
    Button(dialog_, "CloseBtn")->click();
  });
  int row_seen = -1;
  OpenAndAct(dialog_, *field_, [this, &row_seen] {
    row_seen = Grid(dialog_)->currentRow();
    Button(dialog_, "InsertBtn")->click();
  });
  EXPECT_EQ(row_seen, 30);
  EXPECT_EQ(field_->text(), QStringLiteral("celi1(,)"));
  EXPECT_EQ(dialog_.SelectedRow(), 30);
}

TEST_F(FunctionCatalogueDialogTest, WindowIsAStayOnTopModalListCentredOnTheScreen) {
  SetField(QString(), 0);
  OpenAndAct(dialog_, *field_, [this] {
    EXPECT_EQ(dialog_.windowTitle(), QStringLiteral("関数ﾘｽﾄ"));
    EXPECT_TRUE(dialog_.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(dialog_.isModal());
    const QPoint screen_centre = dialog_.screen()->availableGeometry().center();
    EXPECT_LE((dialog_.frameGeometry().center() - screen_centre).manhattanLength(), 2);

    QTableWidget* grid = Grid(dialog_);
    ASSERT_EQ(grid->rowCount(), 36);
    ASSERT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral(" sqr(式)"));
    EXPECT_EQ(grid->item(35, 1)->text(), QStringLiteral(" ベッセル関数変形 Ｋ(x,n)  (n≧0)"));
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(Button(dialog_, "InsertBtn")->isDefault());
    EXPECT_EQ(Button(dialog_, "InsertBtn")->text(), QStringLiteral("挿入(&I)"));
    EXPECT_EQ(Button(dialog_, "CloseBtn")->text(), QStringLiteral("閉じる(&C)"));

    const double scale = dialog_.screen()->logicalDotsPerInch() / 96.0;
    EXPECT_EQ(grid->columnWidth(0), qRound(96 * scale));
    EXPECT_EQ(grid->rowHeight(0), qRound(18 * scale));
    EXPECT_EQ(grid->font().pixelSize(), qRound(12 * scale));
    // Both columns fit beside the scroll bar: no horizontal scrolling.
    EXPECT_LE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    dialog_.reject();
  });
}

}  // namespace
}  // namespace qzarn
