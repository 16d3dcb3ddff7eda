#include "ui/figure_list_dialog.h"

#include <gtest/gtest.h>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "../engine/engine_fixture.h"
#include "../engine/screen_builder.h"
#include "document/document_file.h"
#include "document/screen.h"
#include "forms/figure_list_fixture.h"

namespace qzarn {
namespace {

using testing::ABLine;
using testing::EngineFixture;
using testing::RecordingUi;
using testing::ScreenBuilder;

QTableWidget* Grid(QDialog& dialog) {
  return dialog.findChild<QTableWidget*>(QStringLiteral("FigGrid"));
}
QPushButton* Button(QDialog& dialog, const char* name) {
  return dialog.findChild<QPushButton*>(QString::fromLatin1(name));
}
QString Cell(QDialog& dialog, int row, int column) {
  const QTableWidgetItem* item = Grid(dialog)->item(row, column);
  return item == nullptr ? QString() : item->text();
}

FigureListHooks WithUi(RecordingUi& ui) {
  FigureListHooks hooks;
  hooks.ui = &ui;
  return hooks;
}

// Runs `act` once the modal list is up; a step that forgot to close it must
// not hang the test.
bool RunList(Screen& screen, const FigureListHooks& hooks, std::function<void(QDialog&)> act) {
  QTimer::singleShot(0, [act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "figure list not shown";
      return;
    }
    act(*dialog);
    if (dialog->isVisible()) {
      ADD_FAILURE() << "figure list still open";
      dialog->reject();
    }
  });
  return ShowFigureList(screen, hooks);
}

TEST(FigureListDialogTest, CaptionColumnsButtonsAndRows) {
  ABLine s;
  RecordingUi ui;
  FigureListHooks hooks = WithUi(ui);
  hooks.window_caption = QStringLiteral("無題1");
  TFigureList dialog(s.b.screen(), hooks);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("図形リスト [無題1]"));
  QTableWidget* grid = Grid(dialog);
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->rowCount(), 501);
  const QStringList headers = {QStringLiteral(" No."), QStringLiteral(" 図形"),
                               QStringLiteral(" 内容"), QStringLiteral("表示"),
                               QStringLiteral("軌跡")};
  for (int c = 0; c < 5; ++c)
    EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), headers[c]);
  EXPECT_EQ(Button(dialog, "OKBtn")->text(), QStringLiteral("OK"));
  EXPECT_EQ(Button(dialog, "CancelBtn")->text(), QStringLiteral("ｷｬﾝｾﾙ"));
  EXPECT_EQ(Button(dialog, "SetBtn")->text(), QStringLiteral("設定(&P)"));
  EXPECT_EQ(Button(dialog, "DelBtn")->text(), QStringLiteral("削除(&D)"));
  EXPECT_EQ(Cell(dialog, 0, 0), QStringLiteral("   1"));
  EXPECT_EQ(Cell(dialog, 2, 1), QStringLiteral("直線L"));
  EXPECT_EQ(Cell(dialog, 2, 2), QStringLiteral("点A、点Bを参照"));

  // Both figure buttons follow whether the selected row holds a figure.
  dialog.SelectRow(3);
  EXPECT_TRUE(Button(dialog, "SetBtn")->isEnabled());
  EXPECT_TRUE(Button(dialog, "DelBtn")->isEnabled());
  dialog.SelectRow(4);
  EXPECT_FALSE(Button(dialog, "SetBtn")->isEnabled());
  EXPECT_FALSE(Button(dialog, "DelBtn")->isEnabled());
}

TEST(FigureListDialogTest, DeleteThenCancelKeepsTheScreen) {
  ABLine s;
  RecordingUi ui;
  int snapshots = 0, redraws = 0;
  FigureListHooks hooks = WithUi(ui);
  hooks.take_snapshot = [&] { ++snapshots; };
  hooks.redraw = [&] { ++redraws; };
  const bool ok = RunList(s.b.screen(), hooks, [](QDialog& d) {
    QTest::mouseClick(Button(d, "DelBtn"), Qt::LeftButton);  // row 1: point A
    EXPECT_EQ(Cell(d, 0, 1), QStringLiteral("点B"));
    EXPECT_EQ(Cell(d, 1, 1), QStringLiteral("点P"));
    EXPECT_EQ(Cell(d, 2, 1), QString());
    QTest::mouseClick(Button(d, "CancelBtn"), Qt::LeftButton);
  });
  EXPECT_FALSE(ok);
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0], "参照している図形も削除されます．\n削除しますか？");
  EXPECT_FALSE(s.b.screen().Figures[s.a].empty());
  EXPECT_FALSE(s.b.screen().Figures[s.line].empty());
  EXPECT_EQ(snapshots, 0);
  EXPECT_EQ(redraws, 1);
}

TEST(FigureListDialogTest, DeleteThenOkFreesAndSnapshots) {
  ABLine s;
  RecordingUi ui;
  int snapshots = 0;
  FigureListHooks hooks = WithUi(ui);
  hooks.take_snapshot = [&] { ++snapshots; };
  const bool ok = RunList(s.b.screen(), hooks, [](QDialog& d) {
    auto& list = static_cast<TFigureList&>(d);
    list.SelectRow(3);  // P: nothing refers to it, so no question
    QTest::mouseClick(Button(d, "DelBtn"), Qt::LeftButton);
    EXPECT_EQ(list.SelectedRow(), 2);
    QTest::mouseClick(Button(d, "OKBtn"), Qt::LeftButton);
  });
  EXPECT_TRUE(ok);
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_TRUE(s.b.screen().Figures[s.free_point].empty());
  EXPECT_FALSE(s.b.screen().Figures[s.line].empty());
  EXPECT_TRUE(s.b.screen().Modified);
  EXPECT_EQ(snapshots, 1);
}

TEST(FigureListDialogTest, PropertyChangeSurvivesCancel) {
  ABLine s;
  RecordingUi ui;
  std::vector<int> edited;
  FigureListHooks hooks = WithUi(ui);
  hooks.edit_figure = [&](Screen& screen, int slot, const std::function<bool(int)>&, QWidget*) {
    edited.push_back(slot);
    screen.Figures[slot].Record.line()->DispB = true;
  };
  RunList(s.b.screen(), hooks, [](QDialog& d) {
    QTableWidget* grid = Grid(d);
    const QPoint at = grid->visualItemRect(grid->item(2, 1)).center();
    // A double click is a press followed by the double-click event.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Cell(d, 2, 1), QStringLiteral("線分L"));
    QTest::mouseClick(Button(d, "CancelBtn"), Qt::LeftButton);
  });
  EXPECT_EQ(edited, std::vector<int>{s.line});
  EXPECT_TRUE(s.b.screen().Figures[s.line].Record.line()->DispB);
}

// The list comes back where it was closed and as large as it was.
TEST(FigureListDialogTest, ReopensWithItsLastPositionAndSize) {
  ABLine s;
  RecordingUi ui;
  QPoint moved_to;
  QSize resized_to;
  RunList(s.b.screen(), WithUi(ui), [&](QDialog& d) {
    const QPoint before = d.pos();
    d.move(d.pos() + QPoint(37, 21));
    d.resize(d.size() + QSize(60, 40));
    moved_to = d.pos();
    resized_to = d.size();
    EXPECT_NE(moved_to, before);
    d.reject();
  });
  RunList(s.b.screen(), WithUi(ui), [&](QDialog& d) {
    EXPECT_EQ(d.pos(), moved_to);
    EXPECT_EQ(d.size(), resized_to);
    d.reject();
  });
}

// The list of a real document, grabbed for a look.
TEST(FigureListDialogTest, ExampleDocumentRendersItsFigures) {
  ScreenBuilder b;
  Screen& screen = b.screen();
  const LoadResult loaded =
      LoadDocument(screen, std::string(QZARN_SOURCE_DIR) + "/examples/areas.qzl");
  ASSERT_TRUE(loaded.ok()) << loaded.detail;
  EngineFixture f;
  f.engine.RecomputeScreen(screen);
  RecordingUi ui;
  FigureListHooks hooks = WithUi(ui);
  hooks.window_caption = QStringLiteral("areas.qzl");
  TFigureList dialog(screen, hooks);
  dialog.show();
  QApplication::processEvents();
  int figures = 0;
  for (int i = 0; i < kFigureSlots; ++i)
    figures += screen.Figures[i].empty() ? 0 : 1;
  ASSERT_GT(figures, 0);
  EXPECT_FALSE(Cell(dialog, figures - 1, 1).isEmpty());
  EXPECT_TRUE(Cell(dialog, figures, 1).isEmpty());
  const QHeaderView* header = Grid(dialog)->horizontalHeader();
  EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2) +
                header->sectionSize(3) + header->sectionSize(4),
            Grid(dialog)->viewport()->width());
  EXPECT_TRUE(dialog.grab().save(QStringLiteral("/tmp/figure_list_areas.png")));
  dialog.reject();
}

}  // namespace
}  // namespace qzarn
