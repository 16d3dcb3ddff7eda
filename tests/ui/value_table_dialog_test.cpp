#include "ui/value_table_dialog.h"
#include "forms/accessible_name.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "engine/screen_builder.h"

namespace qzarn {
namespace {

using testing::ScreenBuilder;

// Runs `act` on the modal table once it is up; a step that forgot to close it
// must not hang the test.
void WhenShown(std::function<void(TValueTable&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<TValueTable*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "variable table not shown";
      return;
    }
    act(*dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "variable table still open";
      dialog->reject();
    }
  });
}

// Types `keys` into the cell's editor as the user would.
void TypeIntoCell(TValueTable& dialog, int row, int column, const QString& keys) {
  QTableWidget& grid = dialog.grid();
  grid.setCurrentCell(row, column);
  grid.editItem(grid.item(row, column));
  // Editors of cells left earlier may still await deletion, hidden.
  QLineEdit* editor = nullptr;
  for (QLineEdit* e : grid.findChildren<QLineEdit*>())
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, keys);
}

void Press(TValueTable& dialog, const char* button) {
  dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

TEST(ValueTableDialog, CaptionHeadingsAndCells) {
  SettingsBlock block{};
  block.Variables.reset_for_new_screen();
  block.Variables.write(0, 1, 0.25);
  block.Variables.write(9, 26, -1.0 / 3.0);
  TValueTable dialog(block.Variables, QStringLiteral("無題1"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("変数ﾃｰﾌﾞﾙ [無題1]"));
  EXPECT_EQ(dialog.accessibleName(), dialog.windowTitle());
  QTableWidget& grid = dialog.grid();
  ASSERT_EQ(grid.rowCount(), 26);
  ASSERT_EQ(grid.columnCount(), 10);
  EXPECT_EQ(grid.horizontalHeaderItem(0)->text(), QString());
  EXPECT_EQ(grid.horizontalHeaderItem(1)->text(), QStringLiteral("1"));
  EXPECT_EQ(grid.horizontalHeaderItem(9)->text(), QStringLiteral("9"));
  EXPECT_EQ(grid.verticalHeaderItem(0)->text(), QStringLiteral("a"));
  EXPECT_EQ(grid.verticalHeaderItem(25)->text(), QStringLiteral("z"));
  EXPECT_EQ(grid.item(0, 0)->text(), QStringLiteral("0.25"));
  EXPECT_EQ(grid.item(25, 9)->text(), QStringLiteral("-0.3333333333"));
  for (const char* name : {"OKBtn", "CancelBtn", "HelpBtn"}) {
    auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(b, nullptr) << name;
    EXPECT_EQ(b->accessibleName(),
              QString::fromStdString(forms::SpokenCaption(b->text().toStdString())));
  }

  if (const char* dir = std::getenv("QZARN_SCREENSHOT_DIR")) {
    dialog.show();
    dialog.grab().save(QString::fromUtf8(dir) + QStringLiteral("/value_table.png"));
  }
}

TEST(ValueTableDialog, OkWritesOnlyTheTypedCellsAndKeepsOnlyAllowedCharacters) {
  SettingsBlock block{};
  block.Variables.reset_for_new_screen();
  block.Variables.write(0, 1, 1e-11);  // a, shown as 0
  block.Variables.write(0, 3, 0.123456789012);
  const SettingsBlock before = block;
  WhenShown([](TValueTable& dialog) {
    TypeIntoCell(dialog, 1, 0, QStringLiteral("-1a.5x"));  // b
    TypeIntoCell(dialog, 4, 2, QStringLiteral("2,5"));     // e2: the comma is refused
    Press(dialog, "OKBtn");                                // with the second editor still open
  });
  EXPECT_TRUE(EditVariableTable(nullptr, block, QStringLiteral("s")));
  EXPECT_EQ(block.Variables.read(0, 2), -1.5);
  EXPECT_EQ(block.Variables.read(2, 5), 25.0);
  EXPECT_EQ(block.Variables.read(0, 1), 1e-11);
  EXPECT_EQ(block.Variables.read(0, 3), 0.123456789012);
  block.Variables.write(0, 2, 0.0);
  block.Variables.write(2, 5, 0.0);
  EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0);
}

TEST(ValueTableDialog, CancelLeavesTheBlockUntouched) {
  SettingsBlock block{};
  block.Variables.reset_for_new_screen();
  const SettingsBlock before = block;
  WhenShown([](TValueTable& dialog) {
    TypeIntoCell(dialog, 0, 0, QStringLiteral("7"));
    Press(dialog, "CancelBtn");
  });
  EXPECT_FALSE(EditVariableTable(nullptr, block, QStringLiteral("s")));
  EXPECT_EQ(std::memcmp(&block, &before, sizeof block), 0);
}

TEST(ValueTableDialog, ScreenTableKeepsVariablesChangedWhileItWasOpen) {
  ScreenBuilder b;
  const int f = b.Function("a*x");
  Screen& screen = b.screen();
  screen.Modified = false;
  WhenShown([&screen](TValueTable& dialog) {
    TypeIntoCell(dialog, 0, 0, QStringLiteral("2"));  // a
    screen.Variables().write(0, 20, 4.5);             // t moved by an animation tick
    Press(dialog, "OKBtn");
  });
  EXPECT_TRUE(EditScreenVariables(nullptr, screen, QStringLiteral("s")));
  EXPECT_EQ(screen.Variables().read(0, 1), 2.0);
  EXPECT_EQ(screen.Variables().read(0, 20), 4.5);
  EXPECT_TRUE(screen.Modified);
  EXPECT_EQ(b.Record(f).function()->CurveValid, 0);
}

}  // namespace
}  // namespace qzarn
