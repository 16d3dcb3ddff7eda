// The document window driven the way a user drives it: mouse events on the
// surface, key presses, the undo commands and closing.
#include "ui/document_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include "engine/engine_fixture.h"
#include "engine/screen_builder.h"
#include "qt/qt_fonts.h"
#include "qt/qt_image.h"
#include "render/draw_screen.h"
#include "render/example_screens.h"

namespace qzarn::ui {
namespace {

namespace fs = std::filesystem;

class ScriptedQuestions final : public DocumentQuestions {
 public:
  SaveChoice AskSaveChanges(QWidget*, const QString& caption) override {
    asked.push_back(SaveChangesQuestion(caption));
    return answer;
  }
  std::optional<QString> AskSavePath(QWidget*, const QString& caption) override {
    path_titles.push_back(SaveDialogTitle(caption));
    return path;
  }
  void ShowError(QWidget*, const QString& text) override { errors.push_back(text); }
  bool AskYesNo(QWidget*, const QString& text) override {
    yes_no.push_back(text);
    return yes;
  }

  SaveChoice answer = SaveChoice::kCancel;
  std::optional<QString> path;
  std::vector<QString> asked;
  std::vector<QString> path_titles;
  std::vector<QString> errors;
  std::vector<QString> yes_no;
  bool yes = true;
};

// 25 pixels per unit, the origin at (320, 240), snapping to 0.5.
constexpr int Px(double x) {
  return static_cast<int>(320 + 25 * x);
}
constexpr int Py(double y) {
  return static_cast<int>(240 - 25 * y);
}

class DocumentWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session_); }

  static std::optional<UndoSession> StartSession(const QTemporaryDir& dir) {
    std::string error;
    std::optional<UndoSession> session =
        UndoSession::Start((dir.path() + "/undo").toStdString(), error);
    if (!session) return session;
    // Room for snapshots whatever the test machine's disk holds.
    session->store().free_space = [](const std::string&) {
      return std::optional<std::uint64_t>(1ull << 30);
    };
    return session;
  }

  // 25 pixels per unit about the surface centre, snapping to 0.5, redrawn whole while dragging.
  static void TestView(ViewSettings& v) {
    v.CentreX = 320;
    v.CentreY = 240;
    v.Scale = 25;
    v.Zoom = 100;
    v.PanX = v.PanY = 0;
    v.SnapStep = 0.5;
    v.FullRedraw = true;
  }

  // A 640 x 480 screen with a visible free point whose texts are numbers.
  std::unique_ptr<Screen> PointScreen(std::string_view fx, std::string_view fy) {
    testing::ScreenBuilder build;
    Screen& s = build.screen();
    ViewSettings& v = s.View();
    v.ScreenWidth = 640;
    v.ScreenHeight = 480;
    TestView(v);
    point_ = build.Point(fx, fy);
    PointRecord& p = *build.Record(point_).point();
    p.Radius = 4;
    p.RimRadius = 2;
    p.DispMark = true;
    return build.release();
  }

  std::unique_ptr<DocumentWindow> Open(std::unique_ptr<Screen> screen, DocumentHooks hooks = {}) {
    auto window = std::make_unique<DocumentWindow>(env_, std::move(screen), std::move(hooks));
    window->resize(700, 540);
    window->show();
    return window;
  }

  // A frame figure between two corners given as texts, outlined, with a background.
  static FigureRecord Framed(std::int32_t type, const char* x0, const char* y0, const char* x1,
                             const char* y1) {
    FigureRecord record = FigureRecord::Blank(type);
    FrameRecord& f = *record.frame();
    f.FX0 = x0;
    f.FY0 = y0;
    f.FX1 = x1;
    f.FY1 = y1;
    f.Ref0 = f.Ref1 = kNoReference;
    f.DispL = true;
    f.SizeL = 1;
    f.DispBk = true;
    return record;
  }

  PointRecord& Point(DocumentWindow& w) { return *w.screen()->Figures.record(point_)->point(); }

  static void Drag(DocumentWindow& w, QPoint from, QPoint to) {
    QWidget* surface = &w.surface();
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    QTest::mouseMove(surface, (from + to) / 2);
    QTest::mouseMove(surface, to);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, to);
  }

  // A double click as the platform delivers it: press, release, double click, release.
  static void DoubleClick(DocumentWindow& w, QPoint at) {
    QWidget* surface = &w.surface();
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, surface->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &dbl);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, at);
  }

  // Pixels that differ within 6 pixels of the centre.
  static int ChangedAround(const QImage& a, const QImage& b, QPoint centre) {
    int changed = 0;
    for (int y = centre.y() - 6; y <= centre.y() + 6; ++y)
      for (int x = centre.x() - 6; x <= centre.x() + 6; ++x)
        if (a.pixel(x, y) != b.pixel(x, y)) ++changed;
    return changed;
  }

  static bool SendClose(DocumentWindow& w) {
    QCloseEvent close;
    QApplication::sendEvent(&w, &close);
    return close.isAccepted();
  }

  QTemporaryDir temp_;
  std::optional<UndoSession> session_ = StartSession(temp_);
  testing::EngineFixture fx_;
  render::RenderOptions render_;
  FigureDefaults defaults_;
  int tool_ = interact::kNoTool;
  ScriptedQuestions questions_;
  DocumentEnvironment env_{fx_.engine, fx_.expressions, fx_.ui, *session_,
                           render_,    defaults_,       tool_,  questions_};
  int point_ = -1;
};

TEST_F(DocumentWindowTest, DraggingAPointWritesItsSnappedPositionAndRedraws) {
  auto w = Open(PointScreen("2", "3"));
  const QImage before = w->picture();
  EXPECT_EQ(before.size(), QSize(640, 480));
  EXPECT_EQ(w->surface().size(), QSize(640, 480));

  Drag(*w, {Px(2), Py(3)}, {Px(4.5) + 3, Py(1) - 2});
  EXPECT_EQ(w->screen()->SelectedIndex, point_);
  EXPECT_EQ(std::string(Point(*w).FX.view()), "4.5");
  EXPECT_EQ(std::string(Point(*w).FY.view()), "1");
  EXPECT_DOUBLE_EQ(Point(*w).X, 4.5);
  EXPECT_DOUBLE_EQ(Point(*w).Y, 1);
  EXPECT_TRUE(w->screen()->Modified);
  EXPECT_NE(w->picture(), before);
  // The mark left its old place.
  EXPECT_GT(ChangedAround(before, w->picture(), {Px(2), Py(3)}), 5);
  EXPECT_GT(ChangedAround(before, w->picture(), {Px(4.5), Py(1)}), 5);
  EXPECT_FALSE(w->statusText(1).isEmpty());
}

// In the desktop program a drag may leave the window to drop the figure on
// another screen; a move that stays inside the visible picture is an ordinary drag.
TEST_F(DocumentWindowTest, WithDropTargetsADragInsideThePictureMovesThePoint) {
  DocumentHooks hooks;
  int handed_over = 0;
  hooks.drag_source_changed = [&](DocumentWindow*) { ++handed_over; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  Drag(*w, {Px(2), Py(3)}, {Px(4.5), Py(1)});
  EXPECT_EQ(std::string(Point(*w).FX.view()), "4.5");
  EXPECT_EQ(std::string(Point(*w).FY.view()), "1");
  EXPECT_EQ(handed_over, 0);
}

TEST_F(DocumentWindowTest, ErasableDragLeavesThePictureAsAFullRedrawWould) {
  std::unique_ptr<Screen> screen = PointScreen("2", "3");
  screen->View().FullRedraw = false;
  auto w = Open(std::move(screen));
  QWidget* surface = &w->surface();
  QTest::mousePress(surface, Qt::LeftButton, {}, {Px(2), Py(3)});
  const QImage pressed = w->picture();
  QTest::mouseMove(surface, {Px(3), Py(3)});
  // While the button is held the figure is moved on the picture without a redraw.
  EXPECT_NE(w->picture(), pressed);
  QTest::mouseMove(surface, {Px(5), Py(-2)});
  QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(5), Py(-2)});
  EXPECT_EQ(std::string(Point(*w).FX.view()), "5");
  const QImage released = w->picture();
  w->RefreshScreen();
  EXPECT_EQ(w->picture(), released);
}

TEST_F(DocumentWindowTest, DraggingEmptySpacePansAndReleaseEndsThePan) {
  auto w = Open(PointScreen("2", "3"));
  Drag(*w, {100, 100}, {160, 130});
  EXPECT_EQ(w->screen()->SelectedIndex, -1);
  EXPECT_EQ(w->screen()->View().PanX, 60);
  EXPECT_EQ(w->screen()->View().PanY, 30);
  EXPECT_EQ(tool_, interact::kNoTool);
  // The point moved with the view: a press where it is now selects it.
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2) + 60, Py(3) + 30});
  EXPECT_EQ(w->screen()->SelectedIndex, point_);

  // Home re-centres the origin; with Ctrl held it does nothing.
  QTest::keyClick(w.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(w->screen()->View().PanX, 60);
  QTest::keyClick(w.get(), Qt::Key_Home);
  EXPECT_EQ(w->screen()->View().PanX, 0);
  EXPECT_EQ(w->screen()->View().PanY, 0);
}

TEST_F(DocumentWindowTest, PressOffTheSelectionDeselects) {
  auto w = Open(PointScreen("2", "3"));
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2), Py(3)});
  ASSERT_EQ(w->screen()->SelectedIndex, point_);
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(-5), Py(-5)});
  EXPECT_EQ(w->screen()->SelectedIndex, -1);
}

TEST_F(DocumentWindowTest, UndoAfterADragAndTemporarySaveRestoresThePosition) {
  auto w = Open(PointScreen("2", "3"));
  EXPECT_FALSE(w->undoAction().isEnabled());
  EXPECT_TRUE(w->temporarySaveAction().isEnabled());

  Drag(*w, {Px(2), Py(3)}, {Px(-1), Py(-2)});
  ASSERT_EQ(std::string(Point(*w).FX.view()), "-1");
  w->temporarySaveAction().trigger();
  EXPECT_TRUE(w->undoAction().isEnabled());
  EXPECT_FALSE(w->redoAction().isEnabled());

  const QImage moved = w->picture();
  w->undoAction().trigger();
  EXPECT_EQ(std::string(Point(*w).FX.view()), "2");
  EXPECT_EQ(std::string(Point(*w).FY.view()), "3");
  EXPECT_DOUBLE_EQ(Point(*w).X, 2);
  EXPECT_NE(w->picture(), moved);
  EXPECT_FALSE(w->undoAction().isEnabled());
  EXPECT_TRUE(w->redoAction().isEnabled());

  w->redoAction().trigger();
  EXPECT_EQ(std::string(Point(*w).FX.view()), "-1");
  EXPECT_DOUBLE_EQ(Point(*w).X, -1);
}

TEST_F(DocumentWindowTest, DeleteKeyRemovesTheSelectedFigureAndRecordsIt) {
  auto w = Open(PointScreen("2", "3"));
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2), Py(3)});
  ASSERT_EQ(w->screen()->SelectedIndex, point_);
  QTest::keyClick(w.get(), Qt::Key_Delete);
  EXPECT_EQ(w->screen()->Figures.record(point_), nullptr);
  EXPECT_EQ(w->screen()->SelectedIndex, -1);
  EXPECT_TRUE(w->undoAction().isEnabled());
  w->undoAction().trigger();
  EXPECT_NE(w->screen()->Figures.record(point_), nullptr);
}

struct CloseCase {
  const char* name;
  bool modified;
  SaveChoice answer;
  bool give_path;
  bool stays_open;
  bool asks;
  bool file_written;
};

class DocumentWindowCloseTest : public DocumentWindowTest,
                                public ::testing::WithParamInterface<CloseCase> {};

TEST_P(DocumentWindowCloseTest, AsksAboutUnsavedChanges) {
  const CloseCase& c = GetParam();
  auto w = Open(PointScreen("2", "3"));
  const QString title = w->windowTitle();
  ASSERT_FALSE(title.isEmpty());
  EXPECT_EQ(title, QString::fromStdString(w->screen()->Title));
  w->temporarySaveAction().trigger();  // a snapshot file that closing must remove
  std::vector<std::string> snapshots;
  for (const std::string& f : w->screen()->UndoFiles)
    if (!f.empty()) snapshots.push_back(f);
  ASSERT_EQ(snapshots.size(), 2u);
  for (const std::string& f : snapshots)
    ASSERT_TRUE(fs::exists(f));
  w->screen()->Modified = c.modified;

  const QString target = temp_.path() + "/saved.qzl";
  questions_.answer = c.answer;
  if (c.give_path) questions_.path = target;

  EXPECT_EQ(SendClose(*w), !c.stays_open);
  EXPECT_EQ(w->closed(), !c.stays_open);
  if (c.asks) {
    ASSERT_EQ(questions_.asked.size(), 1u);
    EXPECT_EQ(questions_.asked[0],
              QStringLiteral("“") + title + QStringLiteral("” が変更されています．保存しますか？"));
  } else {
    EXPECT_TRUE(questions_.asked.empty());
  }
  EXPECT_EQ(fs::exists(target.toStdString()), c.file_written);
  for (const std::string& f : snapshots)
    EXPECT_EQ(fs::exists(f), c.stays_open) << f;
  if (c.answer == SaveChoice::kYes && c.asks) {
    ASSERT_EQ(questions_.path_titles.size(), 1u);
    EXPECT_EQ(questions_.path_titles[0],
              QStringLiteral("ﾌｧｲﾙ名を付けて保存 [") + title + QStringLiteral("]"));
  }
  if (c.file_written) {
    testing::ScreenBuilder other;
    ASSERT_TRUE(LoadDocument(other.screen(), target.toStdString()).ok());
    EXPECT_EQ(std::string(other.Record(point_).point()->FX.view()), "2");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentWindowCloseTest,
    ::testing::Values(
        CloseCase{"UnmodifiedClosesWithoutAsking", false, SaveChoice::kCancel, false, false, false,
                  false},
        CloseCase{"CancelKeepsTheWindow", true, SaveChoice::kCancel, false, true, true, false},
        CloseCase{"NoClosesWithoutAFile", true, SaveChoice::kNo, false, false, true, false},
        CloseCase{"YesSavesToTheChosenFile", true, SaveChoice::kYes, true, false, true, true},
        CloseCase{"YesWithTheDialogCancelledKeepsTheWindow", true, SaveChoice::kYes, false, true,
                  true, false}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

TEST_F(DocumentWindowTest, AFailedSaveOnClosingKeepsTheWindowOpen) {
  auto w = Open(PointScreen("2", "3"));
  w->screen()->Modified = true;
  questions_.answer = SaveChoice::kYes;
  questions_.path = temp_.path() + "/no/such/folder/x.qzl";
  EXPECT_FALSE(SendClose(*w));
  EXPECT_FALSE(w->closed());
  ASSERT_EQ(questions_.errors.size(), 1u);
  EXPECT_EQ(questions_.errors[0], QStringLiteral("ファイルの保存に失敗しました．"));
}

TEST_F(DocumentWindowTest, ExampleDocumentIsShownOnTheSurface) {
  InstallFontSubstitutions();
  testing::ScreenBuilder build;
  const std::string path = std::string(QZARN_SOURCE_DIR) + "/examples/areas.qzl";
  LoadOptions load;
  load.make_record = [this](std::int32_t type) { return defaults_.Record(type); };
  ASSERT_TRUE(LoadDocument(build.screen(), path, load).ok());
  auto w = Open(build.release());
  const QImage shown = w->grab().toImage();
  ASSERT_TRUE(SavePng(shown, "/tmp/docwindow_areas.png"));
  // More than the background: the figures and axes put many colours on it.
  int non_white = 0;
  for (int y = 0; y < w->picture().height(); y += 4)
    for (int x = 0; x < w->picture().width(); x += 4)
      if ((w->picture().pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) ++non_white;
  EXPECT_GT(non_white, 100);
}

// A screen reader finds the surface by its screen's title and reads each
// figure with its kind, name and position, which follow the figure.
TEST_F(DocumentWindowTest, TheSurfaceReadsOutItsScreenAndFigures) {
  auto w = Open(PointScreen("1", "2.5"));
  Point(*w).Name = "A";
  w->setWindowTitle(QStringLiteral("授業1"));
  QAccessibleInterface* surface = QAccessible::queryAccessibleInterface(&w->surface());
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->role(), QAccessible::Canvas);
  EXPECT_EQ(surface->text(QAccessible::Name), QStringLiteral("画面 授業1"));
  ASSERT_EQ(surface->childCount(), 1);
  QAccessibleInterface* point = surface->child(0);
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(point->text(QAccessible::Name), QStringLiteral("点 A (1, 2.5)"));
  EXPECT_EQ(point->parent(), surface);
  EXPECT_EQ(surface->indexOfChild(point), 0);
  const QPoint drawn = w->surface().mapToGlobal(QPoint(Px(1), Py(2.5)));
  EXPECT_TRUE(point->rect().contains(drawn));
  EXPECT_EQ(surface->childAt(drawn.x(), drawn.y()), point);
  EXPECT_EQ(surface->childAt(drawn.x() + 40, drawn.y()), nullptr);

  Point(*w).FX = "-3";
  w->RefreshScreen();
  EXPECT_EQ(point->text(QAccessible::Name), QStringLiteral("点 A (-3, 2.5)"));
  EXPECT_FALSE(point->state().selected);
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(-3), Py(2.5)});
  EXPECT_TRUE(point->state().selected);
}

TEST_F(DocumentWindowTest, HoveringTheSelectedFigureShowsItsNameOnce) {
  auto w = Open(PointScreen("2", "3"));
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2), Py(3)});
  QTest::mouseMove(&w->surface(), {Px(2) + 1, Py(3)});
  auto* hint = w->findChild<QLabel*>(QStringLiteral("FigureHint"));
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->isVisible());
  EXPECT_FALSE(hint->text().isEmpty());
  EXPECT_LE(hint->width(), 100);
  QTest::mouseMove(&w->surface(), {Px(2), Py(3) + 1});
  EXPECT_EQ(w->findChildren<QLabel*>(QStringLiteral("FigureHint")).size(), 1);
  // Leaving the figure takes it away.
  QTest::mouseMove(&w->surface(), {Px(-6), Py(-6)});
  EXPECT_FALSE(hint->isVisible());
}

TEST_F(DocumentWindowTest, PopupShowsTheItemsOfTheSelection) {
  auto w = Open(PointScreen("2", "3"));
  const auto visible = [&w](const char* caption) {
    for (QAction* a : w->popupMenu().actions())
      if (a->text() == QString::fromUtf8(caption)) return a->isVisible();
    ADD_FAILURE() << caption;
    return false;
  };
  w->PopupPropertyPopup();
  EXPECT_FALSE(visible("図形の設定(&P)..."));
  EXPECT_FALSE(visible("全図形の軌跡の消去(&S)"));
  EXPECT_FALSE(visible("軌跡の消去(&L)"));

  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2), Py(3)});
  w->PopupPropertyPopup();
  EXPECT_TRUE(visible("図形の設定(&P)..."));
  EXPECT_FALSE(visible("ｵﾌﾞｼﾞｪｸﾄの編集(&E)"));
  EXPECT_TRUE(visible("軌跡の設定(&K)..."));
  EXPECT_FALSE(visible("軌跡の消去(&L)"));

  Point(*w).Track = true;
  w->PopupPropertyPopup();
  EXPECT_TRUE(visible("軌跡の消去(&L)"));
  EXPECT_TRUE(visible("全図形の軌跡の消去(&S)"));
  EXPECT_TRUE(visible("中間式(&F)..."));
}

TEST_F(DocumentWindowTest, ObjectsCannotBeMadeOrEditedButAStoredOneStaysAndIsDrawn) {
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  const QImage empty = w->picture();
  // Each object tool: a frame drawn with the mouse leaves no figure and the creation message.
  for (int tool : {interact::kObjectTool, 81, 82}) {
    SCOPED_TRACE(tool);
    questions_.errors.clear();
    w->InsertPointClick(tool);
    Drag(*w, {Px(-4), Py(-2)}, {Px(-1), Py(1)});
    EXPECT_EQ(w->screen()->Figures.record(point_ + 1), nullptr);
    EXPECT_EQ(questions_.errors,
              std::vector<QString>{QStringLiteral("ｵﾌﾞｼﾞｪｸﾄが作成できませんでした．")});
    EXPECT_EQ(tool_, interact::kNoTool);
  }
  // A stored object: drawn, selected, and "edited" only as far as saying why it cannot be.
  Screen& s = *w->screen();
  FigureRecord object = Framed(kOleFigure, "-4", "-2", "-1", "1");
  FrameRecord& f = *object.frame();
  f.ColorBk = 0x00FFFFu;
  object.owned.ObjectBytes = {1, 2, 3};
  const std::optional<int> index = NewFigure(s.Figures, std::move(object));
  ASSERT_TRUE(index);
  w->RefreshScreen();
  EXPECT_EQ(w->picture().pixelColor(Px(-2.5), Py(-1.5)), QColor(0xFF, 0xFF, 0x00));
  EXPECT_NE(w->picture(), empty);
  questions_.errors.clear();
  s.SelectedIndex = *index;
  w->objectEditAction().trigger();
  EXPECT_EQ(questions_.errors, std::vector<QString>{QStringLiteral(
                                   "このｵﾌﾞｼﾞｪｸﾄを編集するための機能がｾｯﾄｱｯﾌﾟされていません．")});
  ASSERT_NE(s.Figures.record(*index), nullptr);
  EXPECT_EQ(s.Figures.record(*index)->owned.ObjectBytes, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(s.ActiveObject, -1);
}

TEST(ZoomText, WholeNumbersWithOrWithoutPercentAreClampedOthersGiveTen) {
  const struct {
    const char* text;
    int zoom;
  } cases[] = {
      {"15", 15},  {"5", 10}, {"2000%", 1000},  {"150%", 150}, {"12.5", 10},
      {"abc", 10}, {"", 10},  {" 200 % ", 200}, {"-50", 10},   {"99999999999999999999", 10}};
  for (const auto& c : cases)
    EXPECT_EQ(ZoomFromText(QString::fromUtf8(c.text)), c.zoom) << c.text;
  EXPECT_EQ(ZoomText(150), QStringLiteral("150%"));
}

TEST_F(DocumentWindowTest, ZoomIsClampedAndRedraws) {
  auto w = Open(PointScreen("2", "3"));
  const QImage before = w->picture();
  w->SetZoom(5000);
  EXPECT_EQ(w->screen()->View().Zoom, 1000);
  EXPECT_NE(w->picture(), before);
  w->SetZoom(1);
  EXPECT_EQ(w->screen()->View().Zoom, 10);
}

TEST_F(DocumentWindowTest, DoubleClickOnAnAxisOpensTheCoordinateDialogOnItsTab) {
  std::vector<int> tabs;
  std::vector<int> edited;
  DocumentHooks hooks;
  hooks.coordinate_dialog = [&](Screen&, int tab) {
    tabs.push_back(tab);
    return true;
  };
  hooks.figure_dialog = [&](Screen&, int index) {
    edited.push_back(index);
    return true;
  };
  auto w = Open(PointScreen("7", "0"), std::move(hooks));  // a point on the X axis
  DoubleClick(*w, {Px(-7), Py(0) + 1});
  DoubleClick(*w, {Px(0) - 1, Py(-6)});
  EXPECT_EQ(tabs, (std::vector<int>{1, 2}));
  EXPECT_TRUE(edited.empty());
  // Confirming the dialog is an undoable step.
  EXPECT_TRUE(w->undoAction().isEnabled());

  // With the point selected, a double click on the axis edits the point instead.
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(7), Py(0)});
  ASSERT_EQ(w->screen()->SelectedIndex, point_);
  DoubleClick(*w, {Px(7), Py(0)});
  EXPECT_EQ(tabs.size(), 2u);
  EXPECT_EQ(edited, (std::vector<int>{point_}));
}

TEST_F(DocumentWindowTest, PointToolCreatesAPointThroughItsDialog) {
  DocumentHooks hooks;
  int dialogs = 0;
  bool confirm = true;
  hooks.figure_dialog = [&](Screen&, int) {
    ++dialogs;
    return confirm;
  };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  w->insertActions()[0]->trigger();  // 点(&P)
  EXPECT_EQ(tool_, interact::kPointTool);
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(-3), Py(4)});
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(tool_, interact::kNoTool);
  const int created = point_ + 1;
  ASSERT_NE(w->screen()->Figures.record(created), nullptr);
  EXPECT_EQ(std::string(w->screen()->Figures.record(created)->point()->FX.view()), "-3");
  EXPECT_EQ(std::string(w->screen()->Figures.record(created)->point()->FY.view()), "4");
  EXPECT_TRUE(w->undoAction().isEnabled());

  // A cancelled dialog leaves no figure behind.
  confirm = false;
  w->InsertPointClick(interact::kPointTool);
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(-6), Py(4)});
  EXPECT_EQ(w->screen()->Figures.record(created + 1), nullptr);
}

TEST_F(DocumentWindowTest, WithoutAPropertyDialogNewFiguresAreNotKept) {
  auto w = Open(PointScreen("2", "3"));
  w->InsertPointClick(interact::kPointTool);
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(-3), Py(4)});
  w->InsertPointClick(77);  // 陽関数(&Y)...
  for (int i = 0; i < kFigureSlots; ++i)
    EXPECT_EQ(w->screen()->Figures.record(i) != nullptr, i == point_) << i;
  EXPECT_EQ(tool_, interact::kNoTool);
  EXPECT_FALSE(w->undoAction().isEnabled());
}

TEST_F(DocumentWindowTest, LineToolDrawsFromPressToReleaseAndRecordsIt) {
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  w->InsertPointClick(interact::kLineTool);
  const QImage before = w->picture();
  QWidget* surface = &w->surface();
  // From the point (so the line refers to it) to an empty place.
  QTest::mousePress(surface, Qt::LeftButton, {}, {Px(2), Py(3)});
  QTest::mouseMove(surface, {Px(4), Py(0)});
  EXPECT_EQ(w->statusText(0), QStringLiteral("第２点を指定"));
  EXPECT_NE(w->picture(), before);  // the rubber band
  QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(-4), Py(-1)});
  const FigureRecord* line = w->screen()->Figures.record(point_ + 1);
  ASSERT_NE(line, nullptr);
  ASSERT_EQ(line->type(), kLineFigure);
  EXPECT_EQ(line->line()->Ref0, point_);
  EXPECT_EQ(std::string(line->line()->FX1.view()), "-4");
  EXPECT_EQ(std::string(line->line()->FY1.view()), "-1");
  EXPECT_TRUE(w->undoAction().isEnabled());
  EXPECT_EQ(tool_, interact::kNoTool);
}

// On a whiteboard or a touch screen a figure is made by two taps.
TEST_F(DocumentWindowTest, TwoClicksWithTheLineToolJoinTheTwoPlaces) {
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  QWidget* surface = &w->surface();
  w->InsertPointClick(interact::kLineTool);
  QTest::mouseClick(surface, Qt::LeftButton, {}, {Px(2), Py(3)});
  EXPECT_EQ(w->screen()->Figures.record(point_ + 1), nullptr);
  const QImage waiting = w->picture();
  QTest::mouseMove(surface, {Px(-3), Py(-1)});
  EXPECT_EQ(w->statusText(0), QStringLiteral("第２点を指定"));
  EXPECT_NE(w->picture(), waiting);  // the band follows the pointer
  QTest::mouseClick(surface, Qt::LeftButton, {}, {Px(-4), Py(-1)});
  const FigureRecord* line = w->screen()->Figures.record(point_ + 1);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->line()->Ref0, point_);
  EXPECT_EQ(std::string(line->line()->FX1.view()), "-4");
  EXPECT_EQ(std::string(line->line()->FY1.view()), "-1");
  EXPECT_EQ(tool_, interact::kNoTool);
}

// A teacher at a whiteboard often double-clicks the second place. The first
// click of the pair ends the line; the rest of the double click starts no
// other figure (at most it edits the new line, the selected figure; in the
// program the line's modal dialog takes it).
TEST_F(DocumentWindowTest, ASecondClickGivenAsADoubleClickMakesOneLine) {
  DocumentHooks hooks;
  std::vector<int> edited;
  hooks.figure_dialog = [&](Screen&, int index) {
    edited.push_back(index);
    return true;
  };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  QWidget* surface = &w->surface();
  w->InsertPointClick(interact::kLineTool);
  QTest::mouseClick(surface, Qt::LeftButton, {}, {Px(2), Py(3)});
  QTest::mouseMove(surface, {Px(-4), Py(-1)});
  DoubleClick(*w, {Px(-4), Py(-1)});
  const FigureRecord* line = w->screen()->Figures.record(point_ + 1);
  ASSERT_NE(line, nullptr);
  ASSERT_EQ(line->type(), kLineFigure);
  EXPECT_EQ(line->line()->Ref0, point_);
  EXPECT_EQ(std::string(line->line()->FX1.view()), "-4");
  EXPECT_EQ(std::string(line->line()->FY1.view()), "-1");
  EXPECT_EQ(w->screen()->Figures.record(point_ + 2), nullptr);
  ASSERT_FALSE(edited.empty());
  for (int index : edited)
    EXPECT_EQ(index, point_ + 1);
  EXPECT_EQ(tool_, interact::kNoTool);
}

// A text box dragged from (-9, -8) to (-6, -7) keeps the corners its dialog
// showed, (-9, -7) and (-6, -8), when its frame does not follow its text.
TEST_F(DocumentWindowTest, TextBoxToolKeepsTheReleasePointAsItsCorner) {
  DocumentHooks hooks;
  std::string shown;
  hooks.figure_dialog = [&](Screen& s, int i) {
    FrameRecord& f = *s.Figures.record(i)->frame();
    shown = std::string(f.FX0.view()) + "," + std::string(f.FY0.view()) + " " +
            std::string(f.FX1.view()) + "," + std::string(f.FY1.view());
    f.IsIcon = false;  // "文字に合わせて枠を決める(&A)" unticked
    return true;
  };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  w->InsertPointClick(interact::kTextTool);
  QWidget* surface = &w->surface();
  QTest::mousePress(surface, Qt::LeftButton, {}, {Px(-9), Py(-8)});
  QTest::mouseMove(surface, {Px(-8.24), Py(-7.84)});
  QTest::mouseMove(surface, {Px(-6), Py(-7)});
  QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(-6), Py(-7)});
  EXPECT_EQ(shown, "-9,-7 -6,-8");
  const FigureRecord* box = w->screen()->Figures.record(point_ + 1);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->type(), kCharFigure);
  EXPECT_EQ(std::string(box->frame()->FX1.view()), "-6");
  EXPECT_EQ(std::string(box->frame()->FY1.view()), "-8");
  EXPECT_DOUBLE_EQ(box->frame()->X1, -6);
  EXPECT_DOUBLE_EQ(box->frame()->Y1, -8);
}

// With the settings a new text box starts from, a dragged frame is the frame
// the dialog shows and the record keeps, text or no text; a click (no frame)
// lets the frame follow the text.
TEST_F(DocumentWindowTest, TextBoxFrameIsTheOneTheDialogShowed) {
  const struct {
    QPoint press, release;
    const char* text;
    bool fitted;
  } cases[] = {
      {{Px(-9), Py(-8)}, {Px(-6), Py(-7)}, "", false},
      {{Px(-9), Py(-8)}, {Px(-6), Py(-7)}, "y=ax", false},
      {{Px(-9), Py(-8)}, {Px(-9) + 2, Py(-8) - 1}, "y=ax", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.fitted ? " click" : " drag"));
    DocumentHooks hooks;
    std::string shown;
    hooks.figure_dialog = [&](Screen& s, int i) {
      FrameRecord& f = *s.Figures.record(i)->frame();
      shown = std::string(f.FX1.view()) + "," + std::string(f.FY1.view());
      EXPECT_EQ(static_cast<bool>(f.IsIcon), c.fitted);
      f.Tail.Text.Lines[0] = c.text;
      return true;
    };
    auto w = Open(PointScreen("2", "3"), std::move(hooks));
    w->InsertPointClick(interact::kTextTool);
    QWidget* surface = &w->surface();
    QTest::mousePress(surface, Qt::LeftButton, {}, c.press);
    QTest::mouseMove(surface, {Px(-8.24), Py(-7.84)});
    QTest::mouseMove(surface, c.release);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, c.release);
    w->RefreshScreen();
    const FigureRecord* box = w->screen()->Figures.record(point_ + 1);
    ASSERT_NE(box, nullptr);
    const FrameRecord& f = *box->frame();
    const std::string kept = std::string(f.FX1.view()) + "," + std::string(f.FY1.view());
    if (c.fitted) {
      EXPECT_GT(f.X1, f.X0);  // the frame grew around the text
    } else {
      EXPECT_EQ(shown, "-6,-8");
      EXPECT_EQ(kept, shown);
      EXPECT_DOUBLE_EQ(f.X1, -6);
      EXPECT_DOUBLE_EQ(f.Y1, -8);
    }
  }
}

// The prompts speak of the armed tool only: they go when it has finished, and
// the line tool's Shift hint does not stay for the text tool after it.
TEST_F(DocumentWindowTest, ToolPromptsEndWithTheirTool) {
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  QWidget* surface = &w->surface();
  const QString hint = QString::fromUtf8(interact::kLineShiftHint.data(),
                                         static_cast<qsizetype>(interact::kLineShiftHint.size()));
  const struct {
    int tool;
    QString hint_while_dragging;
  } cases[] = {{interact::kLineTool, hint},
               {interact::kTextTool, {}},
               {interact::kLineTool, hint},
               {interact::kCircleTool, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tool);
    w->InsertPointClick(c.tool);
    QTest::mousePress(surface, Qt::LeftButton, {}, {Px(-8), Py(6)});
    QTest::mouseMove(surface, {Px(-5), Py(5)});
    EXPECT_EQ(w->statusText(0), QStringLiteral("第２点を指定"));
    EXPECT_EQ(w->statusText(2), c.hint_while_dragging);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(-4), Py(4)});
    EXPECT_EQ(tool_, interact::kNoTool);
    EXPECT_EQ(w->statusText(0), QString());
    EXPECT_EQ(w->statusText(2), QString());
  }
}

TEST_F(DocumentWindowTest, ShiftWhileDrawingALineSwitchesSegmentAndWholeLine) {
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  QWidget* surface = &w->surface();
  const auto draw = [&](int shifts) {
    w->InsertPointClick(interact::kLineTool);
    QTest::mousePress(surface, Qt::LeftButton, {}, {Px(-6), Py(-6)});
    QTest::mouseMove(surface, {Px(-2), Py(-6)});
    for (int i = 0; i < shifts; ++i)
      QTest::keyClick(w.get(), Qt::Key_Shift);
    QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(-2), Py(-5)});
  };
  draw(1);
  draw(1);
  const FigureRecord* first = w->screen()->Figures.record(point_ + 1);
  const FigureRecord* second = w->screen()->Figures.record(point_ + 2);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  // Each press switches the remembered kind, which the next line takes.
  EXPECT_NE(static_cast<bool>(first->line()->DispB), static_cast<bool>(second->line()->DispB));
}

TEST_F(DocumentWindowTest, AltDragPlacesThePointFinerThanTheMouseStep) {
  auto w = Open(PointScreen("2", "3"));
  QWidget* surface = &w->surface();
  QTest::mousePress(surface, Qt::LeftButton, {}, {Px(2), Py(3)});
  QTest::keyPress(w.get(), Qt::Key_Alt);
  QTest::mouseMove(surface, {Px(2) + 7, Py(3) - 3});
  QTest::keyRelease(w.get(), Qt::Key_Alt);
  QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(2) + 7, Py(3) - 3});
  EXPECT_EQ(std::string(Point(*w).FX.view()), "2.28");
  EXPECT_EQ(std::string(Point(*w).FY.view()), "3.12");
  // The fine step ends with the drag.
  Drag(*w, {Px(2.28), Py(3.12)}, {Px(1) + 7, Py(3)});
  EXPECT_EQ(std::string(Point(*w).FX.view()), "1.5");
}

TEST_F(DocumentWindowTest, DialogToolCreatesItsFigureAtOnce) {
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  w->InsertPointClick(77);  // 陽関数(&Y)...
  const FigureRecord* f = w->screen()->Figures.record(point_ + 1);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->type(), kFunctionFigure);
  EXPECT_TRUE(w->undoAction().isEnabled());
  EXPECT_EQ(tool_, interact::kNoTool);
}

TEST_F(DocumentWindowTest, ClipboardPicturesGoOutAndComeInCentred) {
  auto w = Open(PointScreen("2", "3"));
  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(w->pastePictureAction().isEnabled());
  w->copyPictureAction().trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
            w->picture());
  // The same picture as SVG beside the bitmap: a document of the surface's
  // size with the point's mark, axes and grid drawn as lines.
  const QByteArray svg =
      QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("image/svg+xml"));
  ASSERT_FALSE(svg.isEmpty());
  EXPECT_TRUE(svg.contains("<svg"));
  EXPECT_TRUE(svg.contains(QStringLiteral("viewBox=\"0 0 %1 %2\"")
                               .arg(w->screen()->View().ScreenWidth)
                               .arg(w->screen()->View().ScreenHeight)
                               .toUtf8()));
  EXPECT_GE(svg.count("<path") + svg.count("<polyline"), 3);
  EXPECT_GE(svg.count("<text"), 1);  // the axes' numbers stay text

  // The paste command follows the clipboard by itself, without a click on the
  // screen: this window's copy, another program's clearing and its picture.
  EXPECT_TRUE(w->pastePictureAction().isEnabled());
  QGuiApplication::clipboard()->clear();
  EXPECT_FALSE(w->pastePictureAction().isEnabled());
  QImage red(40, 30, QImage::Format_RGB32);
  red.fill(Qt::red);
  QGuiApplication::clipboard()->setImage(red);
  EXPECT_TRUE(w->pastePictureAction().isEnabled());
  w->screen()->View().BackgroundMode = 2;  // tiled
  w->pastePictureAction().trigger();
  EXPECT_TRUE(questions_.yes_no.empty());  // nothing to replace yet
  EXPECT_EQ(w->screen()->View().BackgroundMode, 1);
  EXPECT_EQ(w->screen()->Background.format, BackgroundPicture::Format::kBmp);
  // Inside the centred picture, off the axes and grid lines.
  EXPECT_EQ(QColor(w->picture().pixel(310, 230)), QColor(Qt::red));

  // A second picture asks first; No keeps the old one.
  const std::vector<std::uint8_t> first = w->screen()->Background.bytes;
  QImage blue(50, 50, QImage::Format_RGB32);
  blue.fill(Qt::blue);
  QGuiApplication::clipboard()->setImage(blue);
  questions_.yes = false;
  w->pastePictureAction().trigger();
  ASSERT_EQ(questions_.yes_no.size(), 1u);
  EXPECT_EQ(questions_.yes_no[0], QStringLiteral("現在の画像と置き換えますか？"));
  EXPECT_EQ(w->screen()->Background.bytes, first);
  questions_.yes = true;
  w->pastePictureAction().trigger();
  EXPECT_NE(w->screen()->Background.bytes, first);
  QGuiApplication::clipboard()->clear();
}

}  // namespace
}  // namespace qzarn::ui

namespace qzarn::ui {
namespace {

TEST_F(DocumentWindowTest, MouseMadeFiguresGetTheSettingsFontAndOptionsApplyAgain) {
  env_.font.FontName = "IPAMincho";
  env_.font.FontSize = 14;
  DocumentHooks hooks;
  hooks.figure_dialog = [](Screen&, int) { return true; };
  auto w = Open(PointScreen("2", "3"), std::move(hooks));
  w->InsertPointClick(interact::kPointTool);
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(-3), Py(4)});
  const FigureRecord* made = w->screen()->Figures.record(point_ + 1);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(std::string(made->point()->Font.FontName.view()), "IPAMincho");
  EXPECT_EQ(made->point()->Font.FontSize, 14);

  // Options changed later reach the open window: the hidden point is no
  // longer picked once only shown figures may be.
  Point(*w).DispMark = false;
  w->screen()->SelectedIndex = -1;
  env_.hit.shown_only = true;
  w->ApplyEnvironment();
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2), Py(3)});
  EXPECT_EQ(w->screen()->SelectedIndex, -1);
  env_.hit.shown_only = false;
  w->ApplyEnvironment();
  QTest::mouseClick(&w->surface(), Qt::LeftButton, {}, {Px(2), Py(3)});
  EXPECT_EQ(w->screen()->SelectedIndex, point_);
}

}  // namespace
}  // namespace qzarn::ui

namespace qzarn::ui {
namespace {

// Dragging with the whole picture redrawn on every step, where only the
// dragged figure and its dependents are drawn again over kept layers.
class LayeredDragTest : public DocumentWindowTest {
 protected:
  // A lesson screen: a graph, a filled triangle (back layer) on A, B, C, a
  // disc under the free point D, a hatched circle over it, a segment from D to
  // A drawn last among the shapes, and a text box in front.
  // `crowd` unnamed points stand before D and as many after E, so that the
  // picture order is long enough to be kept in pieces.
  std::unique_ptr<Screen> LessonScreen(int crowd = 0) {
    examples::ScreenBuilder b(640, 480);
    b.Function("x^3/20-x", 0xC00000);
    a_ = b.Point("A", -6, -4);
    const int p2 = b.Point("B", -2, -5);
    const int p3 = b.Point("C", -3, -1);
    b.Poly({a_, p2, p3}, 0x800000, 0xC0C0FF, 1, true);
    b.Circle(0, 0, 3, 0x008000, 0, 1, 0x80C0FF);
    for (int k = 0; k < crowd; ++k)
      b.Point("", -11 + k % 8, 6 - k / 8, 0x008000);
    d_ = b.Point("D", 1, 1, 0x0000FF);
    b.Circle(2, 1, 2, 0x800080, 0, 4, 0xFF8000);
    b.Line(d_, a_, 0x606060, 0, true, 2, 2);
    b.Point("E", 5, -3);
    for (int k = 0; k < crowd; ++k)
      b.Point("", 4 + k % 8, 7 - k / 8, 0x800000);
    FigureRecord text = Framed(kCharFigure, "-12", "8", "-5", "6");
    FrameRecord& f = *text.frame();
    f.IsFront = true;
    f.ColorBk = 0xE0FFFFu;
    examples::ScreenBuilder::LabelFontOf(f.Text().Font);
    f.Text().Lines[0] = "y = x^3/20 - x";
    b.Add(std::move(text));
    examples::RecomputeExample(b.screen());
    std::unique_ptr<Screen> screen = b.Take();
    TestView(screen->View());
    return screen;
  }

  // The window's picture against a full recompute and redraw of its screen:
  // how many pixels differ by more than `tolerance` in a colour channel.
  int PixelsOffFullRedraw(DocumentWindow& w, int tolerance) {
    const QImage& shown = w.picture();
    QImage full(shown.size(), QImage::Format_RGB32);
    {
      QPainter painter(&full);
      QtCanvas canvas(painter, {shown.width(), shown.height()});
      render::DrawScreenInputs inputs;
      inputs.recompute = [this](Screen& s) { fx_.engine.RecomputeScreen(s); };
      render::DrawScreen(canvas, w.screen(), render_, inputs);
    }
    int off = 0;
    worst_ = 0;
    for (int y = 0; y < full.height(); ++y) {
      for (int x = 0; x < full.width(); ++x) {
        const QRgb p = shown.pixel(x, y), q = full.pixel(x, y);
        const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        worst_ = std::max(worst_, d);
        if (d > tolerance) ++off;
      }
    }
    return off;
  }

  // Presses on the figure at `from`, moves through `path` with the button held
  // and checks the picture after every step; releases at the end.
  void DragThrough(DocumentWindow& w, QPoint from, const std::vector<QPoint>& path, bool layered) {
    QWidget* surface = &w.surface();
    QTest::mousePress(surface, Qt::LeftButton, {}, from);
    for (QPoint to : path) {
      QTest::mouseMove(surface, to);
      EXPECT_EQ(w.dragPictureLayered(), layered);
      // Blending layers rounds each channel on its own; text and edges may
      // differ by a level or two, nothing may be missing or misplaced.
      EXPECT_EQ(PixelsOffFullRedraw(w, layered ? kRounding : 0), 0) << "worst " << worst_;
    }
    QTest::mouseRelease(surface, Qt::LeftButton, {}, path.back());
    EXPECT_FALSE(w.dragPictureLayered());
    EXPECT_EQ(PixelsOffFullRedraw(w, 0), 0);
  }

  static constexpr int kRounding = 2;
  int a_ = -1, d_ = -1;
  int worst_ = 0;
};

TEST_F(LayeredDragTest, AFigureUnderAndOverOthersMovesAsAFullRedrawShowsIt) {
  auto w = Open(LessonScreen());
  DragThrough(*w, {Px(1), Py(1)}, {{Px(2), Py(1.5)}, {Px(3), Py(-1)}, {Px(-1), Py(2)}}, true);
  EXPECT_EQ(std::string(w->screen()->Figures.record(d_)->point()->FX.view()), "-1");
}

TEST_F(LayeredDragTest, AVertexOfABackLayerPolygonPutsTheAxesOnALayer) {
  auto w = Open(LessonScreen());
  DragThrough(*w, {Px(-6), Py(-4)}, {{Px(-7), Py(-3)}, {Px(-5), Py(-6)}}, true);
  EXPECT_EQ(std::string(w->screen()->Figures.record(a_)->point()->FX.view()), "-5");
}

TEST_F(LayeredDragTest, WhatOnlyAWholeRedrawShowsExactlyIsDrawnWhole) {
  struct Case {
    const char* what;
    std::function<void(Screen&, int)> make;
  };
  const Case cases[] = {
      {"an intermediate equation",
       [](Screen& s, int) {
         s.Equations.EquationLast = 0;
         s.Equations.Entries[0].LetterIndex = 0;
         s.Equations.Entries[0].Row = 0;
         s.Equations.Entries[0].Text = "2";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<Screen> screen = LessonScreen();
    c.make(*screen, d_);
    auto w = Open(std::move(screen));
    const PointRecord& d = *w->screen()->Figures.record(d_)->point();
    const double x = d.X;
    DragThrough(*w, {Px(x), Py(d.Y)}, {{Px(x + 1), Py(1.5)}, {Px(x + 2), Py(-1)}}, false);
    EXPECT_EQ(d.X, x + 2);
  }
}

// A point on the variables a and b: each step rewrites them, and what reads
// them (the hatched circle over D) moves with the point over kept layers.
TEST_F(LayeredDragTest, APointOnVariablesMovesWhatReadsThemOverKeptLayers) {
  std::unique_ptr<Screen> screen = LessonScreen();
  PointRecord& d = *screen->Figures.record(d_)->point();
  d.FX = "a";
  d.FY = "b";
  CircleRecord& over = *screen->Figures.record(d_ + 1)->circle();
  over.FX0 = "a+1";
  over.FY0 = "b";
  screen->Variables().write(0, 1, 1);
  screen->Variables().write(0, 2, 1);
  auto w = Open(std::move(screen));
  DragThrough(*w, {Px(1), Py(1)}, {{Px(2), Py(1.5)}, {Px(3), Py(-1)}}, true);
  EXPECT_EQ(w->screen()->Variables().read(0, 1), 3);
  EXPECT_EQ(w->screen()->Figures.record(d_ + 1)->circle()->X0, 4);
}

// Once the screen has stood still its picture is kept in pieces, and a press
// lays the drag's layers out from them: the picture right after the press
// (the selection drawn) and after every step is that of a full redraw. A
// screen changed since the pieces were made is drawn whole again.
TEST_F(LayeredDragTest, APressOnAStillScreenStartsFromItsKeptPieces) {
  auto w = Open(LessonScreen(40));
  QWidget* surface = &w->surface();
  ASSERT_TRUE(QTest::qWaitFor([&] { return w->keptPictureReady(); }, 5000));
  QTest::mousePress(surface, Qt::LeftButton, {}, {Px(1), Py(1)});
  EXPECT_EQ(w->screen()->SelectedIndex, d_);
  EXPECT_TRUE(w->dragPictureLayered());
  EXPECT_EQ(PixelsOffFullRedraw(*w, kRounding), 0) << "worst " << worst_;
  for (QPoint to : {QPoint(Px(2), Py(1.5)), QPoint(Px(-1), Py(2))}) {
    QTest::mouseMove(surface, to);
    EXPECT_TRUE(w->dragPictureLayered());
    EXPECT_EQ(PixelsOffFullRedraw(*w, kRounding), 0) << "worst " << worst_;
  }
  QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(-1), Py(2)});
  EXPECT_FALSE(w->keptPictureReady());  // the release drew the whole picture

  ASSERT_TRUE(QTest::qWaitFor([&] { return w->keptPictureReady(); }, 5000));
  w->screen()->Figures.record(a_)->point()->X = -7;  // moved behind the window's back
  QTest::mousePress(surface, Qt::LeftButton, {}, {Px(-1), Py(2)});
  EXPECT_EQ(w->screen()->SelectedIndex, d_);
  EXPECT_FALSE(w->dragPictureLayered());
  QTest::mouseRelease(surface, Qt::LeftButton, {}, {Px(-1), Py(2)});
}

}  // namespace
}  // namespace qzarn::ui
