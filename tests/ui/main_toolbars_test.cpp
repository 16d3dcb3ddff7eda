// The three tool bars built from the command catalogue: defaults, layouts read
// from the settings, the limit of a bar, and buttons that are the menus' commands.
#include "engine/screen_builder.h"
#include "forms/command_catalogue.h"
#include "forms/icon_ink.h"
#include "ui/main_window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace qzarn::shell {
namespace {

TEST_F(MainWindowTest, ToolbarsFollowTheirLayoutStrings) {
  MainWindow w(Options());
  w.Start({});
  const char* defaults[] = {
      "500150025003500650005022502450235000500850095010500050115012501350145020501550005021",
      "5050505150525053505450555056505750585059506050615062506350645066",
      "510051025101500051035104510551065110510751085109"};
  for (int bar = 1; bar <= 3; ++bar)
    EXPECT_EQ(w.SaveToolbar(bar), defaults[bar - 1]) << bar;

  struct Case {
    const char* layout;
    const char* saved;
    std::size_t errors;
  };
  const Case cases[] = {
      {"500150025000", "500150025000", 0}, {"50015999", "5001", 0},
      {"50025001", "50025001", 0},         {"50015001", "5001", 0},  // a command has one button
      {"5001ABCD", defaults[0], 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    questions_.errors.clear();
    w.LoadToolbar(1, c.layout);
    EXPECT_EQ(w.SaveToolbar(1), c.saved);
    ASSERT_EQ(questions_.errors.size(), c.errors);
    if (c.errors > 0) {
      EXPECT_EQ(questions_.errors[0],
                QStringLiteral("設定ﾌｧｲﾙに誤りがあります．\n｢ﾂｰﾙﾊﾞｰ1｣を初期設定に戻します．"));
    }
  }

  // A hostile layout: fifty controls and one message.
  questions_.errors.clear();
  std::string separators;
  for (int i = 0; i < 400; ++i)
    separators += "5000";
  w.LoadToolbar(2, separators);
  EXPECT_EQ(w.ToolbarControlCount(2), 50);
  EXPECT_EQ(questions_.errors.size(), 1U);
  questions_.errors.clear();
  EXPECT_FALSE(w.AddCommand(2, 0, -1));
  EXPECT_EQ(questions_.errors, std::vector<QString>{QStringLiteral(
                                   "このツールバーには、これ以上メニューを配置できません．")});

  // "開く" put before "新規" is saved first; the button is the menu's command.
  w.LoadToolbar(1, "5001");
  EXPECT_TRUE(w.AddCommand(1, 2, 0));
  EXPECT_EQ(w.SaveToolbar(1), "50025001");
  auto* open = w.findChild<QToolButton*>(QStringLiteral("Command2"));
  ASSERT_NE(open, nullptr);
  EXPECT_EQ(open->defaultAction(), w.command(QStringLiteral("M_Open")));
  EXPECT_EQ(open->accessibleName(), QStringLiteral("既存のファイルを開く"));
  EXPECT_EQ(open->defaultAction()->toolTip(), QStringLiteral("開く(Ctrl+O)"));
  EXPECT_TRUE(w.CommandPlaced(2));
  EXPECT_FALSE(w.CommandPlaced(21));
}

// The bands' visibility and layouts go to the settings and come back from them.
TEST_F(MainWindowTest, ToolbarVisibilityAndLayoutsRoundTripThroughTheSettings) {
  MainWindow w(Options());
  w.Start({});
  w.LoadToolbar(3, "51005000");
  w.command(QStringLiteral("M_ToolBar2"))->setChecked(false);
  w.StoreToolbarsInSettings();
  UserSettings& u = w.settings().user();
  EXPECT_EQ(u.tBar3, "51005000");
  EXPECT_FALSE(u.tBar2_Visible);
  EXPECT_TRUE(u.tBar1_Visible);

  u.tBar2_Visible = true;
  u.tBar1_Visible = false;
  u.tBar3 = "5103";
  w.LoadToolbarsFromSettings();
  EXPECT_TRUE(w.command(QStringLiteral("M_ToolBar2"))->isChecked());
  EXPECT_FALSE(w.command(QStringLiteral("M_ToolBar1"))->isChecked());
  EXPECT_EQ(w.SaveToolbar(3), "5103");
}

// The attribute band follows the selection and writes a choice into the
// figure as one undo step.
TEST_F(MainWindowTest, AttributeControlsShowAndChangeTheSelectedFigure) {
  MainWindow w(Options());
  w.show();
  w.Start({});
  QApplication::setActiveWindow(&w);
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  testing::ScreenBuilder build;
  FigureRecord circle = build.Record(build.Circle(0, "0", "0", "1", "0"));
  circle.circle()->SizeL = 2;
  circle.circle()->StyleB = 0;
  circle.circle()->DomainColor = 0x808080;
  FigureRecord spline = FigureRecord::Blank(kSplineFigure);
  const int index = *NewFigure(doc->screen()->Figures, circle);
  const int other = *NewFigure(doc->screen()->Figures, spline);
  // The figures are part of the state undo goes back to.
  doc->M_SaveDoClick();
  const auto control = [&w](forms::AttributeControl c) { return w.attributeControl(c); };
  const auto record = [doc, index] { return doc->screen()->Figures.record(index)->circle(); };
  const auto enabled = [&]() {
    std::string on;
    for (int i = 0; i < forms::kAttributeControlCount; ++i)
      on += control(static_cast<forms::AttributeControl>(i))->isEnabled() ? 'X' : '-';
    return on;
  };

  doc->UpdateCommandState();
  EXPECT_EQ(enabled(), "--------");
  EXPECT_TRUE(control(forms::AttributeControl::kSize)->currentText().isEmpty());
  doc->screen()->SelectedIndex = other;
  doc->UpdateCommandState();
  EXPECT_EQ(enabled(), "XXX-----");
  doc->screen()->SelectedIndex = index;
  doc->UpdateCommandState();
  EXPECT_EQ(enabled(), "XXXXXXXX");
  EXPECT_EQ(control(forms::AttributeControl::kSize)->currentText(), QStringLiteral("2"));
  EXPECT_EQ(control(forms::AttributeControl::kFill)->currentText(), QStringLiteral("（なし）"));
  EXPECT_EQ(control(forms::AttributeControl::kSecondColour)->toolTip(), QStringLiteral("内部色"));

  // Red as interior colour fills the unfilled circle; undo takes both back.
  QComboBox* second = control(forms::AttributeControl::kSecondColour);
  const int red = second->findText(QStringLiteral("赤"));
  second->setCurrentIndex(red);
  emit second->activated(red);
  EXPECT_EQ(record()->DomainColor, 0x0000FFU);
  EXPECT_EQ(record()->StyleB, 5);
  EXPECT_EQ(control(forms::AttributeControl::kFill)->currentIndex(), 5);
  EXPECT_TRUE(doc->screen()->Modified);
  w.command(QStringLiteral("M_Undo"))->trigger();
  ASSERT_NE(doc->screen()->Figures.record(index), nullptr);
  EXPECT_EQ(record()->StyleB, 0);
  EXPECT_EQ(record()->DomainColor, 0x808080U);

  // A size out of range is refused with a message and the field shows the
  // figure's size again; a good one is written.
  doc->screen()->SelectedIndex = index;
  doc->UpdateCommandState();
  QComboBox* size = control(forms::AttributeControl::kSize);
  size->lineEdit()->setFocus();
  for (const char* text : {"150", "x", "7"}) {
    size->setEditText(QString::fromLatin1(text));
    QTest::keyClick(size->lineEdit(), Qt::Key_Return);
  }
  EXPECT_EQ(questions_.errors.size(), 2U);
  EXPECT_EQ(record()->SizeL, 7);
  EXPECT_TRUE(record()->DispL);
}

// The customisation window: commands dropped onto a bar go where they fall,
// buttons move between bars or leave them, the list greys what is placed,
// and "既定に戻す(&S)" brings back every default layout.
TEST_F(MainWindowTest, CustomisationWindowAddsMovesAndRemovesCommands) {
  MainWindow w(Options());
  w.show();
  w.Start({});
  QAction* setup = w.command(QStringLiteral("M_ToolBarSetup"));
  ASSERT_NE(setup, nullptr);
  EXPECT_TRUE(setup->isEnabled());
  setup->trigger();
  ui::TdlgTool* dialog = w.toolbarSetup();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ﾂｰﾙﾊﾞｰの設定"));
  // One row per command in number order, the separator first.
  ASSERT_EQ(dialog->list().count(), 70);
  EXPECT_EQ(dialog->NumberAt(0), 0);
  EXPECT_EQ(dialog->NumberAt(69), 110);
  const auto row_of = [dialog](int number) {
    for (int row = 0; row < dialog->list().count(); ++row)
      if (dialog->NumberAt(row) == number) return dialog->list().item(row);
    return static_cast<QListWidgetItem*>(nullptr);
  };
  const QColor grey(0xC0, 0xC0, 0xC0);
  EXPECT_EQ(row_of(1)->foreground().color(), grey);  // 新規 is on the standard bar
  EXPECT_NE(row_of(4)->foreground().color(), grey);  // 名前を付けて保存 is not
  EXPECT_NE(row_of(0)->foreground().color(), grey);  // separators are never used up

  // Dropped at the far left of bar 1: first; dropped again: refused (placed).
  w.LoadToolbar(1, "50015002");
  EXPECT_TRUE(w.DropCommand(1, {4, 0, -1}, -1000));
  EXPECT_EQ(w.SaveToolbar(1), "500450015002");
  EXPECT_EQ(row_of(4)->foreground().color(), grey);
  EXPECT_FALSE(w.DropCommand(1, {4, 0, -1}, 100000));
  // A button taken from bar 1 (position 0) to the end of bar 3.
  w.LoadToolbar(3, "5100");
  EXPECT_TRUE(w.DropCommand(3, {4, 1, 0}, 100000));
  EXPECT_EQ(w.SaveToolbar(1), "50015002");
  EXPECT_EQ(w.SaveToolbar(3), "51005004");
  // Within one bar: 新規 moved past 開く.
  EXPECT_TRUE(w.DropCommand(1, {1, 1, 0}, 100000));
  EXPECT_EQ(w.SaveToolbar(1), "50025001");
  // Dragged off: the button leaves and its row is black again.
  w.RemoveFromToolbar(3, 1);
  EXPECT_EQ(w.SaveToolbar(3), "5100");
  EXPECT_NE(row_of(4)->foreground().color(), grey);
  // A full bar keeps a button moved onto it where it was, and says so.
  std::string full;
  for (int i = 0; i < 50; ++i)
    full += "5000";
  w.LoadToolbar(2, full);
  questions_.errors.clear();
  EXPECT_FALSE(w.DropCommand(2, {2, 1, 0}, 0));
  EXPECT_EQ(w.SaveToolbar(1), "50025001");
  EXPECT_EQ(questions_.errors.size(), 1U);

  // The window follows its surface when dragged.
  const QPoint before = dialog->pos();
  QTest::mousePress(dialog, Qt::LeftButton, {}, QPoint(3, 3));
  QTest::mouseMove(dialog, QPoint(23, 13));
  QTest::mouseRelease(dialog, Qt::LeftButton, {}, QPoint(23, 13));
  EXPECT_EQ(dialog->pos(), before + QPoint(20, 10));

  // "既定に戻す(&S)" (the test answers Yes).
  dialog->findChild<QPushButton*>(QStringLiteral("ResetButton"))->click();
  EXPECT_EQ(w.SaveToolbar(2), "5050505150525053505450555056505750585059506050615062506350645066");
  EXPECT_EQ(w.SaveToolbar(3), "510051025101500051035104510551065110510751085109");
  EXPECT_EQ(row_of(1)->foreground().color(), grey);
  // The drag data a row carries names its command; foreign data names none.
  std::unique_ptr<QMimeData> data(ui::CommandDragData(57, 2, 7));
  const ui::CommandDrag drag = ui::ReadCommandDrag(*data);
  EXPECT_EQ(drag.number, 57);
  EXPECT_EQ(drag.from_bar, 2);
  EXPECT_EQ(drag.from_position, 7);
  QMimeData foreign;
  foreign.setData(QString::fromLatin1(ui::kCommandDragFormat), "999 0 0");
  EXPECT_EQ(ui::ReadCommandDrag(foreign).number, -1);
  foreign.setData(QString::fromLatin1(ui::kCommandDragFormat), "5 9 0");
  EXPECT_EQ(ui::ReadCommandDrag(foreign).number, -1);
}

// The bands move to the bottom and back; a background picture that cannot be
// read is forgotten, a readable one is kept and written to the settings.
TEST_F(MainWindowTest, BandsMoveAndTakeABackgroundPicture) {
  MainWindow w(Options());
  w.show();
  w.Start({});
  auto* figures = w.findChild<QToolBar*>(QStringLiteral("ToolBar2"));
  QTest::mouseDClick(figures, Qt::LeftButton, {}, QPoint(figures->width() - 3, 5));
  EXPECT_TRUE(w.bandsAtBottom());
  EXPECT_EQ(w.toolBarArea(figures), Qt::BottomToolBarArea);
  EXPECT_TRUE(w.command(QStringLiteral("M_ToolBar3"))->isChecked());
  w.MoveBands();
  EXPECT_EQ(w.toolBarArea(figures), Qt::TopToolBarArea);

  w.SetToolbarBackground(temp_.filePath(QStringLiteral("missing.bmp")), true);
  EXPECT_TRUE(w.toolbarBackground().isEmpty());
  const QString picture = temp_.filePath(QStringLiteral("paper.bmp"));
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::yellow);
  ASSERT_TRUE(image.save(picture));
  w.SetToolbarBackground(picture, true);
  EXPECT_EQ(w.toolbarBackground(), picture);
  EXPECT_TRUE(figures->autoFillBackground());
  QMenu& menu = w.ToolbarMenu();
  QStringList shown;
  for (QAction* a : menu.actions())
    if (a->isVisible() && !a->isSeparator()) shown << a->text();
  EXPECT_EQ(shown, (QStringList{
                       QStringLiteral("標準(&S)"), QStringLiteral("図形(&F)"),
                       QStringLiteral("図形の設定(&P)"), QStringLiteral("ﾂｰﾙﾊﾞｰの設定(&U)"),
                       QStringLiteral("ﾂｰﾙﾊﾞｰの背景(&B)"), QStringLiteral("ﾂｰﾙﾊﾞｰの背景ｸﾘｱ(&C)")}));
  w.StoreToolbarsInSettings();
  EXPECT_EQ(w.settings().user().Bitmap, picture.toStdString());
  w.SetToolbarBackground({}, true);
  EXPECT_FALSE(figures->autoFillBackground());
}

// Every button has a picture that draws at 16 and 32 pixels; the separator
// and the controls have one for the customisation list.
TEST_F(MainWindowTest, EveryCommandHasADrawnIcon) {
  for (const forms::CommandEntry& e : forms::CommandCatalogue()) {
    if (!e.defined()) continue;
    SCOPED_TRACE(e.Number);
    const QIcon icon = MainWindow::CommandIconOf(e.Number);
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 32}) {
      const QImage image = icon.pixmap(size, size).toImage();
      EXPECT_EQ(image.width(), size);
      int inked = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          inked += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
      EXPECT_GT(inked, size * size / 20);
    }
  }
  EXPECT_TRUE(MainWindow::CommandIconOf(30).isNull());
}

// The share of the bar buttons' opaque icon pixels, over every button, that stand out at 3:1
// from a bar of colour `bar`.
double LegibleShare(MainWindow& w, std::uint32_t bar) {
  long opaque = 0, legible = 0;
  for (QToolBar* toolbar : w.findChildren<QToolBar*>())
    for (QToolButton* button : toolbar->findChildren<QToolButton*>()) {
      // The bar's own "more buttons" arrow is the style's, not a command's.
      if (button->icon().isNull() || button->objectName() == QLatin1String("qt_toolbar_ext_button"))
        continue;
      const QImage image = button->icon().pixmap(16, 16).toImage();
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QRgb p = image.pixel(x, y);
          if (qAlpha(p) < 192) continue;
          ++opaque;
          legible += forms::ContrastRatio(p & 0xFFFFFFu, bar) >= 3.0 ? 1 : 0;
        }
    }
  return opaque == 0 ? 0.0 : static_cast<double>(legible) / static_cast<double>(opaque);
}

// A desktop turning dark (or light again) while the program runs re-inks the bars' icons.
TEST_F(MainWindowTest, IconsFollowThePaletteWhileRunning) {
  const QPalette light = QApplication::palette();
  ASSERT_FALSE(forms::IsDarkColour(light.color(QPalette::Window).rgb() & 0xFFFFFFu));
  struct Restore {
    QPalette palette;
    ~Restore() { QApplication::setPalette(palette); }
  } restore{light};
  MainWindow w(Options());
  w.show();
  w.Start({});
  QApplication::processEvents();
  constexpr std::uint32_t kDarkBar = 0x353535;
  const double at_start = LegibleShare(w, kDarkBar);

  QPalette dark = light;
  dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::Button, QColor(0x35, 0x35, 0x35));
  QApplication::setPalette(dark);
  QApplication::processEvents();
  const double dark_share = LegibleShare(w, kDarkBar);
  EXPECT_GT(dark_share, 0.97) << "at start " << at_start;
  EXPECT_LT(at_start, dark_share - 0.3);

  QApplication::setPalette(light);
  QApplication::processEvents();
  // Back on a light bar the icons are inked dark again.
  EXPECT_NEAR(LegibleShare(w, kDarkBar), at_start, 0.01);
}

}  // namespace
}  // namespace qzarn::shell
