// The user-defined palette, its editor and the wizard in the program: a
// palette designed in the editor drives its variables, survives screen
// switches and comes back after Cancel.

#include "document/figure_defaults.h"
#include "document/figure_table.h"
#include "engine/screen_builder.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QTableWidget>
#include <QTest>

#include "main_window_fixture.h"

namespace qzarn::shell {
namespace {

// With QZARN_SHOT_DIR set, the windows are also saved as pictures to look at
// (under Xvfb the whole desktop, so the palettes are seen over their screen).
void Shot(QWidget& w, const char* name) {
  const QString folder = qEnvironmentVariable("QZARN_SHOT_DIR");
  if (folder.isEmpty()) return;
  QApplication::processEvents();
  QPixmap picture = w.grab();
  if (QGuiApplication::platformName() == QStringLiteral("xcb") && w.screen() != nullptr)
    picture = w.screen()->grabWindow(0);
  picture.save(folder + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".png"));
}

class UserPaletteWindowTest : public MainWindowTest {
 protected:
  // A screen with y = sin(a*x) and a point (b, c1).
  ui::DocumentWindow* Prepare(MainWindow& w) {
    w.Start({});
    ui::DocumentWindow* doc = w.activeDocument();
    testing::ScreenBuilder build;
    NewFigure(doc->screen()->Figures, build.Record(build.Function("sin(a*x)")));
    NewFigure(doc->screen()->Figures, build.Record(build.Point("b", "c1")));
    doc->RefreshScreen();
    doc->screen()->Modified = false;
    w.palette_questions.inform = [this](QWidget*, const QString& t) { informed_ << t; };
    return doc;
  }
  // Types into a property row and ends the entry as leaving the row would.
  static void Enter(ui::TEditValue_E& e, const char* row, const QString& text) {
    auto* edit = qobject_cast<QLineEdit*>(e.propertyEditor(QString::fromUtf8(row)));
    ASSERT_NE(edit, nullptr) << row;
    edit->setText(text);
    edit->setModified(true);
    emit edit->editingFinished();
  }
  static QString Shown(ui::TEditValue_E& e, const char* row) {
    auto* edit = qobject_cast<QLineEdit*>(e.propertyEditor(QString::fromUtf8(row)));
    return edit != nullptr ? edit->text() : QString();
  }
  // Designs a palette: a label and boxes for a (-1..1, step 0.5) and b.
  static int Design(ui::TEditValue_E& e) {
    e.action("Tool_Label").trigger();
    e.action("Tool_Value").trigger();
    Enter(e, "最小値", "-1");
    Enter(e, "最大値", "1");
    Enter(e, "間隔", "0.5");
    e.form().DragTo(1, 40, 0, true);
    e.action("Tool_Value").trigger();
    e.form().SetVariable(1, e.variableUses());
    e.form().DragTo(2, 40, 24, true);
    e.OkClick();
    return e.result();
  }

  QStringList informed_;
};

TEST_F(UserPaletteWindowTest, EditorOkShowsThePaletteWhoseBoxesDriveTheirVariables) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  Screen& s = *doc->screen();
  s.Variables().write(0, 1, 0.25);
  w.run_palette_editor = [](ui::TEditValue_E& e) { return Design(e); };
  w.command("AjustPedit")->trigger();

  ui::TEditValue2& palette = w.userPalette();
  ASSERT_TRUE(palette.isVisible());
  EXPECT_EQ(s.View().PaletteMode, 2);
  EXPECT_TRUE(w.command("sPop_User")->isChecked());
  EXPECT_EQ(palette.windowTitle(), doc->windowTitle());
  ASSERT_EQ(palette.boxes().size(), 2u);
  ASSERT_EQ(palette.labels().size(), 1u);
  ui::PaletteSpinBox& a = *palette.boxes()[0];
  EXPECT_EQ(a.pos(), QPoint(40, 0));
  EXPECT_EQ(a.text(), "0.25");  // "はい": the present value stays
  EXPECT_EQ(s.Variables().read(0, 1), 0.25);

  // The arrows step by the box's step and stop at its maximum; nothing is
  // written once the value stands at the limit.
  a.stepUp();
  EXPECT_EQ(s.Variables().read(0, 1), 0.75);
  a.stepUp();
  EXPECT_EQ(s.Variables().read(0, 1), 1);
  s.Modified = false;
  a.stepUp();
  EXPECT_EQ(a.text(), "1");
  EXPECT_FALSE(s.Modified);
  // Only digits, "-" and "." can be typed.
  a.editor()->selectAll();
  // "-" and "." alone are a number being typed: the variable keeps its value.
  a.editor()->selectAll();
  QTest::keyClicks(a.editor(), "-x");
  EXPECT_EQ(s.Variables().read(0, 1), 1);
  QTest::keyClicks(a.editor(), ".");
  EXPECT_EQ(s.Variables().read(0, 1), 1);
  QTest::keyClicks(a.editor(), "5");
  EXPECT_EQ(s.Variables().read(0, 1), -0.5);

  // "すべての値を初期値に戻す(&R)" puts every box back to its initial value.
  QMenu menu;
  palette.FillPopupMenu(menu);
  QStringList texts;
  for (QAction* item : menu.actions())
    if (!item->isSeparator()) texts << item->text();
  EXPECT_EQ(texts, (QStringList{"すべての値を初期値に戻す(&R)", "標準のﾊﾟﾚｯﾄ(&S)",
                                "変数ﾊﾟﾚｯﾄの編集(&E)...", "ﾍﾙﾌﾟ(&H)", "閉じる(&C)"}));
  s.Variables().write(0, 2, 9);
  palette.Refresh();
  menu.actions().first()->trigger();
  EXPECT_EQ(s.Variables().read(0, 1), 0);
  EXPECT_EQ(s.Variables().read(0, 2), 0);
  EXPECT_EQ(a.text(), "0");

  // "標準のﾊﾟﾚｯﾄ(&S)" switches; the menu item brings the user palette back.
  menu.actions()[1]->trigger();
  EXPECT_FALSE(palette.isVisible());
  EXPECT_TRUE(w.standardPalette().isVisible());
  EXPECT_EQ(s.View().PaletteMode, 1);
  w.command("sPop_User")->trigger();
  EXPECT_TRUE(palette.isVisible());
  EXPECT_FALSE(w.standardPalette().isVisible());

  // In the restricted start mode the palette cannot be closed; otherwise
  // closing it leaves the screen without a palette.
  palette.SetRestricted(true);
  EXPECT_FALSE(palette.close());
  EXPECT_EQ(s.View().PaletteMode, 2);
  palette.SetRestricted(false);
  EXPECT_TRUE(palette.close());
  EXPECT_EQ(s.View().PaletteMode, 0);
  EXPECT_FALSE(w.command("sPop_User")->isChecked());
}

TEST_F(UserPaletteWindowTest, SwitchingScreensKeepsTheValuesChangedMeanwhile) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  Screen& s = *doc->screen();
  w.run_palette_editor = [](ui::TEditValue_E& e) { return Design(e); };
  w.EditPaletteClick();
  ui::TEditValue2& palette = w.userPalette();
  palette.boxes()[0]->stepUp();
  ASSERT_EQ(s.Variables().read(0, 1), 0.5);

  ui::DocumentWindow* other = w.NewScreen();
  QApplication::processEvents();
  ASSERT_EQ(w.activeDocument(), other);
  EXPECT_FALSE(palette.isVisible());
  s.Variables().write(0, 1, -0.5);  // changed elsewhere (a drag, the table)
  w.mdiArea().setActiveSubWindow(w.mdiArea().subWindowList().first());
  QApplication::processEvents();
  ASSERT_EQ(w.activeDocument(), doc);
  ASSERT_TRUE(palette.isVisible());
  EXPECT_EQ(s.Variables().read(0, 1), -0.5);
  EXPECT_EQ(palette.boxes()[0]->text(), "-0.5");

  // The tool-bar button cycles user-defined → none → standard → user-defined.
  QAction* cycle = w.command("sPop_Palette");
  ASSERT_NE(cycle, nullptr);
  const int expected[] = {0, 1, 2};
  for (int mode : expected) {
    cycle->trigger();
    EXPECT_EQ(s.View().PaletteMode, mode);
    EXPECT_EQ(palette.isVisible(), mode == 2);
    EXPECT_EQ(w.standardPalette().isVisible(), mode == 1);
  }
}

TEST_F(UserPaletteWindowTest, ARightClickOnABoxOpensItsPlayerWhichGoesWithThePalette) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  Screen& s = *doc->screen();
  w.run_palette_editor = [](ui::TEditValue_E& e) { return Design(e); };
  w.EditPaletteClick();
  ui::TEditValue2& palette = w.userPalette();
  ASSERT_EQ(palette.boxes().size(), 2u);
  ui::PaletteSpinBox& a = *palette.boxes()[0];

  QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(2, 2), a.mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(&a, &right);
  ui::Tdlg_Anime& player = w.animeWindow();
  ASSERT_TRUE(player.isVisible());
  EXPECT_EQ(player.windowTitle(), "変数 a");
  // One step forward moves the variable and the box by the box's step.
  player.btPlayClick();
  EXPECT_EQ(s.Variables().read(0, 1), 0.5);
  EXPECT_EQ(a.text(), "0.5");

  // Switching to the standard palette takes the box out of sight: the
  // player goes with it.
  w.StandardPaletteClick();
  EXPECT_FALSE(palette.isVisible());
  EXPECT_FALSE(player.isVisible());
}

TEST_F(UserPaletteWindowTest, UndoTakesBackTheNewDesignAndThePaletteFollows) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  w.run_palette_editor = [](ui::TEditValue_E& e) { return Design(e); };
  w.EditPaletteClick();
  ASSERT_EQ(w.userPalette().boxes().size(), 2u);
  ASSERT_TRUE(doc->undoAction().isEnabled());
  doc->M_UndoClick();
  EXPECT_EQ(doc->screen()->PaletteItems[0].Kind(), -1);
  EXPECT_TRUE(w.userPalette().boxes().empty());
  doc->M_RepeatClick();
  EXPECT_EQ(w.userPalette().boxes().size(), 2u);
}

TEST_F(UserPaletteWindowTest, CancelBringsBackThePaletteShownBeforeAndStoresNothing) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  w.StandardPaletteClick();
  bool palette_hidden_meanwhile = false;
  w.run_palette_editor = [&](ui::TEditValue_E& e) {
    palette_hidden_meanwhile = !w.standardPalette().isVisible();
    e.action("Tool_Value").trigger();
    return static_cast<int>(QDialog::Rejected);
  };
  w.standardPalette().edit_palette();
  EXPECT_TRUE(palette_hidden_meanwhile);
  EXPECT_TRUE(w.standardPalette().isVisible());
  EXPECT_EQ(doc->screen()->View().PaletteMode, 1);
  EXPECT_EQ(doc->screen()->PaletteItems[0].Kind(), -1);
  EXPECT_FALSE(doc->screen()->Modified);
}

TEST_F(UserPaletteWindowTest, EditorRowsClipboardAndDuplicateCheck) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  Screen& s = *doc->screen();
  ui::PaletteEditorQuestions answers;
  answers.error = [this](QWidget*, const QString& t) { questions_.errors.push_back(t); };
  answers.yes_no = [](QWidget*, const QString&) { return false; };
  ui::TEditValue_E e(s, doc->windowTitle(), "IPAPGothic", answers);
  EXPECT_EQ(e.windowTitle(), "変数ﾊﾟﾚｯﾄの編集 [" + doc->windowTitle() + "]");
  EXPECT_FALSE(e.action("Tool_New").isEnabled());
  EXPECT_FALSE(e.action("ToolPaste").isEnabled());
  e.action("Tool_Value").trigger();
  EXPECT_EQ(e.propertyGrid().rowCount(), 7);

  struct Row {
    const char* row;
    const char* typed;
    const char* shown;
  };
  const Row rows[] = {
      {"初期値", "150", "100"},  {"最大値", "20000", "10000"}, {"間隔", "-5", "0.1"},
      {"最小値", "abc", "-100"}, {"最小値", "20000", "-100"},  {"間隔", "0.25", "0.25"},
  };
  for (const Row& r : rows) {
    Enter(e, r.row, QString::fromUtf8(r.typed));
    EXPECT_EQ(Shown(e, r.row), QString::fromUtf8(r.shown)) << r.row << " " << r.typed;
  }
  // Two refusals told the user: the step of -5 and the minimum above the maximum.
  EXPECT_EQ(questions_.errors.size(), 2u);

  // The variable list marks used and computed variables; x cannot be chosen.
  auto* variable = qobject_cast<QComboBox*>(e.propertyEditor("変数名"));
  ASSERT_NE(variable, nullptr);
  EXPECT_EQ(variable->itemText(0), " a(使用中)");
  EXPECT_EQ(variable->itemText(23), " x(使用不可)");
  variable->setCurrentIndex(23);
  emit variable->activated(23);
  EXPECT_EQ(variable->currentIndex(), 0);
  EXPECT_EQ(e.form().objects()[0].variable, 0);

  // Copy and paste through the keys: a second box for a refuses OK.
  e.show();
  e.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&e));
  e.surface().setFocus();
  QTest::keyClick(&e.surface(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(e.action("ToolPaste").isEnabled());
  QTest::keyClick(&e.surface(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(e.form().objects().size(), 2u);
  EXPECT_EQ(e.form().objects()[1].maximum, 10000);
  e.OkClick();
  EXPECT_EQ(questions_.errors.back(), "変数名\"a\" が重複しています．");
  EXPECT_EQ(s.PaletteItems[0].Kind(), -1);
  // Changing one to b lets OK store both ("いいえ": the initial values).
  e.form().SetVariable(1, e.variableUses());
  s.Variables().write(0, 1, 3);
  e.OkClick();
  EXPECT_EQ(e.result(), QDialog::Accepted);
  EXPECT_EQ(s.PaletteItems[1].Kind(), 1);
  EXPECT_TRUE(s.Modified);

  // Delete removes the selection; 新規作成 asks first (answered No here).
  ui::TEditValue_E again(s, doc->windowTitle(), "IPAPGothic", answers);
  ASSERT_EQ(again.form().objects().size(), 2u);
  again.form().Select(0);
  again.Changed();
  again.show();
  again.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&again));
  again.surface().setFocus();
  QTest::keyClick(&again.surface(), Qt::Key_Delete);
  EXPECT_EQ(again.form().objects().size(), 1u);
  again.action("Tool_New").trigger();
  EXPECT_EQ(again.form().objects().size(), 1u);
}

TEST_F(UserPaletteWindowTest, TheWizardFillsTheSurfaceWithTheTickedVariables) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  w.run_palette_editor = [](ui::TEditValue_E& e) {
    e.action("ToolWizard").trigger();
    e.OkClick();
    return e.result();
  };
  w.palette_questions.run_wizard = [](QDialog& d) {
    auto& wizard = static_cast<ui::TEditWizard&>(d);
    // Used variables start ticked; computed ones cannot be ticked.
    QListWidget& list = wizard.checkList();
    EXPECT_EQ(list.item(0)->checkState(), Qt::Checked);              // a
    EXPECT_EQ(list.item(2)->checkState(), Qt::Unchecked);            // c
    EXPECT_FALSE(list.item(23)->flags() & Qt::ItemIsUserCheckable);  // x
    EXPECT_TRUE(wizard.rowsBox().isEnabled());
    EXPECT_FALSE(wizard.columnsBox().isEnabled());
    list.item(2)->setCheckState(Qt::Checked);
    wizard.stepBox().setValue(0);
    wizard.accept();  // refused: the step
    EXPECT_EQ(d.result(), 0);
    wizard.stepBox().setValue(0.5);
    wizard.minimumBox().setValue(-3);
    wizard.accept();
    return d.result();
  };
  w.EditPaletteClick();
  EXPECT_EQ(questions_.errors.size(), 1u);
  ASSERT_EQ(informed_.size(), 1u);
  EXPECT_TRUE(informed_[0].startsWith("変数パレットが作成されました．\n"));
  ui::TEditValue2& palette = w.userPalette();
  ASSERT_TRUE(palette.isVisible());
  // a, b, c and c1 with their name labels, in the standard order.
  ASSERT_EQ(palette.boxes().size(), 4u);
  ASSERT_EQ(palette.labels().size(), 4u);
  EXPECT_EQ(palette.boxes()[3]->accessibleName(), "c1");
  EXPECT_EQ(palette.boxes()[0]->minimum(), -3);
  EXPECT_EQ(palette.boxes()[0]->singleStep(), 0.5);
  EXPECT_LE(palette.width(), kDesignAreaWidth + 1);
  EXPECT_LE(palette.height(), kDesignAreaHeight + 1);
  EXPECT_EQ(doc->screen()->View().PaletteMode, 2);
}

// The wizard stores boxes "font size + 5" pixels high for a font in points,
// too low for the digits at this resolution; and a palette of one variable is
// about 84 pixels wide. The boxes show their digits whole, each name label
// sits beside its box's digits, and the title bar has room for the caption.
TEST_F(UserPaletteWindowTest, WizardBoxesShowWholeDigitsBesideTheirNames) {
  MainWindow w(Options());
  Prepare(w);
  for (int variables : {1, 3}) {
    SCOPED_TRACE(variables);
    // Where the editor draws each box: the palette must show it there.
    std::vector<QRect> designed;
    w.run_palette_editor = [&designed](ui::TEditValue_E& e) {
      e.action("ToolWizard").trigger();
      for (const PaletteObject& o : e.form().objects())
        if (o.box()) designed.push_back(e.surface().ShownBox(o));
      e.OkClick();
      return e.result();
    };
    w.palette_questions.run_wizard = [variables](QDialog& d) {
      QListWidget& list = static_cast<ui::TEditWizard&>(d).checkList();
      for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->flags() & Qt::ItemIsUserCheckable)
          list.item(i)->setCheckState(i < variables ? Qt::Checked : Qt::Unchecked);
      d.accept();
      return d.result();
    };
    w.palette_questions.yes_no = [](QWidget*, const QString&) { return true; };
    w.EditPaletteClick();
    ui::TEditValue2& palette = w.userPalette();
    ASSERT_TRUE(palette.isVisible());
    ASSERT_EQ(palette.boxes().size(), static_cast<std::size_t>(variables));
    ASSERT_EQ(palette.labels().size(), palette.boxes().size());
    for (std::size_t i = 0; i < palette.boxes().size(); ++i) {
      const ui::PaletteSpinBox& box = *palette.boxes()[i];
      const QLabel& name = *palette.labels()[i];
      EXPECT_GE(box.height(), box.minimumSizeHint().height());
      EXPECT_GE(box.width(), box.minimumSizeHint().width());
      EXPECT_TRUE(palette.rect().contains(box.geometry()));
      EXPECT_LE(name.geometry().right(), box.geometry().left());
      EXPECT_NEAR(name.geometry().center().y(), box.geometry().center().y(), 3);
      EXPECT_NE(std::find(designed.begin(), designed.end(), box.geometry()), designed.end())
          << "the editor draws the box elsewhere than the palette shows it";
    }
    const QFontMetrics title(palette.font());
    EXPECT_GT(palette.width(), title.horizontalAdvance(palette.windowTitle()));
  }
}

// Mouse events on the design surface as the window system delivers them.
void Mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = {}) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent event(type, QPointF(at), QPointF(w.mapToGlobal(at)), button, held, keys);
  QApplication::sendEvent(&w, &event);
}

TEST_F(UserPaletteWindowTest, TheSurfaceMovesSnapsMarksAndSizesWithTheMouse) {
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  ui::TEditValue_E e(*doc->screen(), doc->windowTitle(), "IPAPGothic");
  e.action("Tool_Value").trigger();  // a box at the corner, 60 wide
  ui::PaletteDesignSurface& surface = e.surface();
  const auto& box = [&e]() -> const PaletteRect& { return e.form().objects()[0].rect; };
  struct Drag {
    QPoint to;
    Qt::KeyboardModifiers keys;
    QPoint corner;
  };
  const Drag drags[] = {
      {{23, 14}, {}, {20, 12}},                     // snapped to the 4-pixel grid
      {{33, 17}, Qt::AltModifier, {33, 17}},        // Alt: exactly where dragged
      {{900, 900}, {}, {240, 100 - box().height}},  // kept inside the 300 × 100 surface
  };
  for (const Drag& d : drags) {
    const QPoint from(box().left + 2, box().top + 2);
    Mouse(surface, QEvent::MouseButtonPress, from);
    Mouse(surface, QEvent::MouseMove, from + d.to - QPoint(box().left, box().top), d.keys);
    Mouse(surface, QEvent::MouseButtonRelease, from);
    EXPECT_EQ(QPoint(box().left, box().top), d.corner) << d.to.x();
  }
  EXPECT_EQ(e.propertyGrid().rowCount(), 7);  // the box is selected
  // The box's sizing square, then the surface's own square.
  e.form().DragTo(0, 100, 40, true);
  const QPoint handle(box().right(), box().bottom());
  Mouse(surface, QEvent::MouseButtonPress, handle);
  Mouse(surface, QEvent::MouseMove, handle - QPoint(20, 0));
  Mouse(surface, QEvent::MouseButtonRelease, handle - QPoint(20, 0));
  EXPECT_EQ(box().width, 40);
  Mouse(surface, QEvent::MouseButtonPress, {300, 100});
  Mouse(surface, QEvent::MouseMove, {2000, 5});
  Mouse(surface, QEvent::MouseButtonRelease, {2000, 5});
  EXPECT_EQ(e.form().surface().width, kDesignAreaWidth);
  EXPECT_EQ(e.form().surface().height, kMinSurfaceHeight);
  // A band over the empty surface marks what it touches and clears the selection.
  e.form().ResizeSurface(300, 100);
  e.action("Tool_Label").trigger();
  Mouse(surface, QEvent::MouseButtonPress, {290, 90});
  Mouse(surface, QEvent::MouseMove, {100, 50});
  Mouse(surface, QEvent::MouseButtonRelease, {100, 50});
  EXPECT_EQ(e.form().markedCount(), 1);
  EXPECT_EQ(e.form().selected(), -1);
  EXPECT_EQ(e.propertyGrid().rowCount(), 0);
  EXPECT_TRUE(e.action("Tool_Cut").isEnabled());
  EXPECT_FALSE(e.action("ToolCopy").isEnabled());
}

// Not a check: with QZARN_SHOT_DIR set, pictures of the editor, the wizard and
// both palettes over their screen, to be looked at.
TEST_F(UserPaletteWindowTest, PicturesOfEveryWindow) {
  if (qEnvironmentVariable("QZARN_SHOT_DIR").isEmpty()) GTEST_SKIP();
  MainWindow w(Options());
  ui::DocumentWindow* doc = Prepare(w);
  // Curves drawn as new figures are, so the pictures show what the boxes move.
  for (const char* body : {"3*sin(a*x)", "a*x+b"}) {
    FigureRecord rec = FigureDefaults().Record(kFunctionFigure);
    FunctionRecord& f = *rec.function();
    f.FuncKind = 1;
    f.FuncX = body;
    f.AreaSx1 = "-10";
    f.AreaEx1 = "10";
    f.AreaWd1 = "0.1";
    NewFigure(doc->screen()->Figures, rec);
  }
  w.resize(900, 640);
  w.show();
  doc->showMaximized();
  doc->JumpToHomeClick();
  doc->RefreshScreen();
  w.run_palette_editor = [](ui::TEditValue_E& e) {
    e.action("Tool_Label").trigger();
    e.form().SetCaption("傾き a");
    e.action("Tool_Value").trigger();
    e.form().DragTo(1, 60, 0, true);
    e.form().SetMinimum("-3");
    e.form().SetMaximum("3");
    e.form().SetStep("0.25");
    e.action("Tool_Label").trigger();
    e.form().SetCaption("点 P の x 座標");
    e.form().DragTo(2, 0, 28, true);
    e.action("Tool_Value").trigger();
    e.form().SetVariable(1, e.variableUses());
    e.form().DragTo(3, 100, 28, true);
    e.form().ResizeSurface(200, 56);
    e.form().MarkRectangle(0, 20, 199, 50);
    e.form().Select(3);
    e.Changed();
    e.show();
    Shot(e, "palette-editor");
    e.OkClick();
    return e.result();
  };
  w.EditPaletteClick();
  w.userPalette().boxes()[0]->stepUp();
  w.userPalette().boxes()[0]->stepUp();
  Shot(w, "user-palette-designed");

  w.palette_questions.run_wizard = [](QDialog& d) {
    auto& wizard = static_cast<ui::TEditWizard&>(d);
    wizard.checkList().item(2)->setCheckState(Qt::Checked);
    d.show();
    Shot(d, "palette-wizard");
    wizard.accept();
    return d.result();
  };
  w.run_palette_editor = [](ui::TEditValue_E& e) {
    e.action("ToolWizard").trigger();
    e.show();
    Shot(e, "palette-editor-wizard");
    e.OkClick();
    return e.result();
  };
  w.EditPaletteClick();
  w.userPalette().boxes()[0]->stepDown();
  Shot(w, "user-palette-wizard");
  w.StandardPaletteClick();
  Shot(w, "standard-palette");
}

}  // namespace
}  // namespace qzarn::shell
