// The main window's menus: one owner per shortcut, commands enabled by the
// state of the screens, the recent-file list, closing every screen and the
// picture export.
#include "engine/screen_builder.h"
#include "ui/main_window_fixture.h"

#include <cstdlib>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMap>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "ui/property_dialog.h"

namespace qzarn::shell {
namespace {

const QString kExample = QStringLiteral(QZARN_SOURCE_DIR "/examples/areas.qzl");

// Every action a key could reach anywhere in the frame: a shortcut works only
// while a widget holding its action is visible. Shortcuts of one widget and its
// children (a screen's own frame buttons) cannot meet each other.
QList<QAction*> ShortcutActions(QWidget& root) {
  QList<QAction*> result;
  for (QAction* action : root.findChildren<QAction*>()) {
    if (action->shortcut().isEmpty() || action->shortcutContext() == Qt::WidgetShortcut ||
        action->shortcutContext() == Qt::WidgetWithChildrenShortcut)
      continue;
    for (QObject* holder : action->associatedObjects()) {
      if (auto* widget = qobject_cast<QWidget*>(holder); widget != nullptr && widget->isVisible()) {
        result << action;
        break;
      }
    }
  }
  return result;
}

TEST_F(MainWindowTest, EveryShortcutHasOneOwnerAndReachesTheActiveScreen) {
  MainWindow w(Options());
  w.show();
  w.Start({kExample});
  w.NewScreen();
  QMap<QString, QString> owners;
  for (QAction* action : ShortcutActions(w)) {
    const QString keys = action->shortcut().toString();
    EXPECT_FALSE(owners.contains(keys))
        << keys.toStdString() << " is owned by " << owners[keys].toStdString() << " and "
        << action->objectName().toStdString();
    owners[keys] = action->objectName();
  }
  for (const char* keys : {"Ctrl+Z", "Ctrl+Y", "Ctrl+A", "Ctrl+H", "Ctrl+N", "Ctrl+O", "Ctrl+S",
                           "Ctrl+X", "Ctrl+C", "Ctrl+V", "F1"})
    EXPECT_TRUE(owners.contains(QString::fromLatin1(keys))) << keys;

  // Keys pressed on a screen's surface: Ctrl+A records the zoom change, Ctrl+Z
  // takes it back, Ctrl+Y brings it again.
  QApplication::setActiveWindow(&w);
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetZoom(150);
  QWidget& surface = doc->surface();
  surface.setFocus();
  QTest::keyClick(&surface, Qt::Key_A, Qt::ControlModifier);
  doc->SetZoom(300);
  QTest::keyClick(&surface, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&surface, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(doc->screen()->View().Zoom, 150);
  QTest::keyClick(&surface, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(doc->screen()->View().Zoom, 300);
  doc->screen()->View().PanX = 40;
  QTest::keyClick(&surface, Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(doc->screen()->View().PanX, 0);
  // Ctrl+F4 closes the screen that has the focus, even with two open.
  doc->screen()->Modified = false;
  QTest::keyClick(&surface, Qt::Key_F4, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(w.documents().size(), 1);
}

TEST_F(MainWindowTest, CommandsFollowTheScreens) {
  MainWindow w(Options());
  w.Start({});
  // Commands of a screen, Insert commands, and commands that are always there.
  const QStringList of_screen = {
      "M_Save",     "M_SaveAs",        "M_SaveImage", "M_SaveWebPage", "M_Close",
      "M_CloseAll", "CopyToClipboard", "JumpToHome",  "AjustList",
      "M_TileH",    "M_TileV",         "M_Cascade",   "M_ArrangeIcons",
      "M_Zahyo",    "AjustOption",     "AjustTable",  "M_ImportFunctions",
      "EditEqu"};
  const QStringList insert = {"InsertPoint", "MenuLineP2", "I_FuncYo", "InsertChar"};
  const QStringList always = {"M_New",        "M_Open",  "M_Exit",
                              "M_HelpTopics", "M_About", "M_ImportFigures"};
  const QStringList never = {"M_Launcher"};
  // Printing and its preview need a screen but no printer queue (a PDF file stands in).
  const auto print_check = [&](bool screen_open) {
    EXPECT_EQ(w.command("M_Print")->isEnabled(), screen_open);
    EXPECT_EQ(w.command("M_PrintPreview")->isEnabled(), screen_open);
    EXPECT_TRUE(w.command("M_PrinterSetup")->isEnabled());
  };
  const auto check = [&](bool screen_open, bool free_slot) {
    for (const QString& name : of_screen + insert + always + never) {
      SCOPED_TRACE(name.toStdString());
      QAction* action = w.command(name);
      ASSERT_NE(action, nullptr);
      bool expected = always.contains(name) || (of_screen.contains(name) && screen_open) ||
                      (insert.contains(name) && screen_open && free_slot);
      EXPECT_EQ(action->isEnabled(), expected);
    }
  };
  check(true, true);
  print_check(true);

  // A full figure table disables every Insert command.
  ui::DocumentWindow* doc = w.activeDocument();
  testing::ScreenBuilder build;
  const FigureRecord point = build.Record(build.Point("1", "2"));
  while (NewFigure(doc->screen()->Figures, point)) {
  }
  doc->UpdateCommandState();
  check(true, false);

  doc->screen()->Modified = false;
  EXPECT_TRUE(w.CloseAllClick());
  QApplication::processEvents();
  EXPECT_TRUE(w.documents().isEmpty());
  check(false, false);
  print_check(false);
}

// The 設定 menu holds the same items in the same places whatever is selected
// (what does not apply is disabled), and its 軌跡の設定 opens the locus dialog
// of the selected figure, whose OK stores the attributes as one undo step.
TEST_F(MainWindowTest, SettingsMenuKeepsItsItemsAndEditsTheLocus) {
  MainWindow w(Options());
  w.show();
  w.Start({});
  QApplication::setActiveWindow(&w);
  ui::DocumentWindow* doc = w.activeDocument();
  ASSERT_NE(doc, nullptr);
  testing::ScreenBuilder build;
  FigureRecord point = build.Record(build.Point("1", "2"));
  point.point()->Name = "P";
  const int slot = *NewFigure(doc->screen()->Figures, point);
  doc->M_SaveDoClick();
  QAction* locus = w.command(QStringLiteral("M_KisekiSet"));
  ASSERT_NE(locus, nullptr);
  QMenu* menu = nullptr;
  for (QObject* holder : locus->associatedObjects())
    if (auto* m = qobject_cast<QMenu*>(holder)) menu = m;
  ASSERT_NE(menu, nullptr);
  const auto shown = [menu] {
    menu->popup(QPoint(0, 0));
    QStringList items;
    for (QAction* a : menu->actions())
      if (a->isVisible()) items << a->text();
    menu->hide();
    return items;
  };
  const QStringList without_selection = shown();
  EXPECT_FALSE(locus->isEnabled());
  EXPECT_FALSE(w.command(QStringLiteral("M_Figure"))->isEnabled());
  doc->screen()->SelectedIndex = slot;
  doc->UpdateCommandState();
  EXPECT_EQ(shown(), without_selection);
  EXPECT_TRUE(locus->isEnabled());
  EXPECT_TRUE(w.command(QStringLiteral("M_Figure"))->isEnabled());
  EXPECT_FALSE(w.command(QStringLiteral("M_Object"))->isEnabled());
  EXPECT_FALSE(w.command(QStringLiteral("M_KisekiErase"))->isEnabled());

  // In the dialog 軌跡を表示 is ticked by a click, then Enter confirms.
  QString title;
  QTimer::singleShot(0, [&title] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    title = dialog->windowTitle();
    for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
      if (box->text() == QStringLiteral("軌跡を表示(&K)")) QTest::mouseClick(box, Qt::LeftButton);
    QWidget* focused = dialog->focusWidget();
    QTest::keyClick(focused != nullptr ? focused : dialog, Qt::Key_Return);
  });
  locus->trigger();
  EXPECT_EQ(title, QStringLiteral("軌跡 [点P]"));
  EXPECT_TRUE(static_cast<bool>(doc->screen()->Figures.record(slot)->point()->Track));
  shown();
  EXPECT_TRUE(w.command(QStringLiteral("M_KisekiErase"))->isEnabled());
  w.command(QStringLiteral("M_Undo"))->trigger();
  ASSERT_NE(doc->screen()->Figures.record(slot), nullptr);
  EXPECT_FALSE(static_cast<bool>(doc->screen()->Figures.record(slot)->point()->Track));
  doc->screen()->Modified = false;
}

// Presses a button of the property dialog that opens next.
void PressInNextDialog(const char* caption) {
  QTimer::singleShot(0, [caption] {
    auto* dialog = qobject_cast<ui::PropertyDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->button(caption)->click();
  });
}

// Ctrl+C on one screen and Ctrl+V on another: the copy is a free, nameless
// figure confirmed in its dialog; cancelling removes it; Ctrl+X is one undo step.
TEST_F(MainWindowTest, FiguresAreCopiedCutAndPastedAcrossScreens) {
  MainWindow w(Options());
  w.show();
  w.Start({});
  QApplication::setActiveWindow(&w);
  ui::DocumentWindow* first = w.activeDocument();
  ASSERT_NE(first, nullptr);
  testing::ScreenBuilder build;
  const int base = build.Point("1", "2");
  FigureRecord tied = build.Record(build.Point("1", "2", base));
  tied.point()->Name = "Q";
  const int source = *NewFigure(first->screen()->Figures, tied);
  first->screen()->SelectedIndex = source;
  first->UpdateCommandState();
  EXPECT_TRUE(w.command(QStringLiteral("M_Copy"))->isEnabled());
  EXPECT_FALSE(w.command(QStringLiteral("M_Paste"))->isEnabled());
  first->surface().setFocus();
  QTest::keyClick(&first->surface(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_TRUE(w.command(QStringLiteral("M_Paste"))->isEnabled());

  w.NewScreen();
  ui::DocumentWindow* second = w.activeDocument();
  ASSERT_NE(second, first);
  const auto count = [](ui::DocumentWindow* d) {
    int n = 0;
    for (int i = 0; i < kFigureSlots; ++i)
      n += d->screen()->Figures.record(i) != nullptr ? 1 : 0;
    return n;
  };
  // The surface's pop-up menu offers the same commands.
  const auto popup_item = [](ui::DocumentWindow* d, const QString& text) -> QAction* {
    d->PopupPropertyPopup();
    for (QAction* a : d->popupMenu().actions())
      if (a->text() == text) return a;
    return nullptr;
  };
  QAction* popup_paste = popup_item(second, QStringLiteral("貼り付け(&P)"));
  ASSERT_NE(popup_paste, nullptr);
  EXPECT_TRUE(popup_paste->isEnabled());
  EXPECT_FALSE(popup_item(second, QStringLiteral("コピー(&C)"))->isEnabled());
  EXPECT_TRUE(popup_item(first, QStringLiteral("切り取り(&T)"))->isEnabled());
  // Cancel: nothing stays, and the copy is still held.
  PressInNextDialog("ｷｬﾝｾﾙ");
  second->surface().setFocus();
  QTest::keyClick(&second->surface(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(count(second), 0);
  EXPECT_TRUE(w.command(QStringLiteral("M_Paste"))->isEnabled());
  // OK: one free point at the copied place, undoable.
  PressInNextDialog("OK");
  w.command(QStringLiteral("M_Paste"))->trigger();
  ASSERT_EQ(count(second), 1);
  const FigureRecord& pasted = *second->screen()->Figures.record(0);
  EXPECT_EQ(pasted.point()->Ref0, kNoReference);
  EXPECT_EQ(pasted.point()->FX, "1");
  EXPECT_TRUE(second->screen()->Modified);
  w.command(QStringLiteral("M_Undo"))->trigger();
  EXPECT_EQ(count(second), 0);

  // Cut on the first screen: the figure goes, one undo brings it back.
  w.mdiArea().setActiveSubWindow(w.mdiArea().subWindowList().first());
  ASSERT_EQ(w.activeDocument(), first);
  first->M_SaveDoClick();  // the figure was put in without a snapshot
  first->screen()->SelectedIndex = source;
  first->UpdateCommandState();
  const int before = count(first);
  w.command(QStringLiteral("M_Cut"))->trigger();
  EXPECT_EQ(count(first), before - 1);
  w.command(QStringLiteral("M_Undo"))->trigger();
  EXPECT_EQ(count(first), before);
  for (QWidget* d : {static_cast<QWidget*>(first), static_cast<QWidget*>(second)})
    static_cast<ui::DocumentWindow*>(d)->screen()->Modified = false;
}

TEST_F(MainWindowTest, RecentFilesFollowOpeningAndTheSettings) {
  MainWindow w(Options());
  w.Start({});
  ASSERT_TRUE(w.OpenDocumentFile(kExample));
  const QString copy = temp_.path() + "/second.qzl";
  ASSERT_TRUE(QFile::copy(kExample, copy));
  ASSERT_TRUE(w.OpenDocumentFile(copy));
  QList<QAction*> shown = w.recentFileActions();
  ASSERT_EQ(shown.size(), 2);
  EXPECT_TRUE(shown[0]->text().startsWith(QStringLiteral("&1 ")));
  EXPECT_TRUE(shown[0]->text().endsWith(QStringLiteral("second.qzl")));

  // The entry opens its file again (the screen of that title is reused).
  shown[1]->trigger();
  QApplication::processEvents();
  EXPECT_EQ(QString::fromStdString(w.activeDocument()->screen()->Title), QStringLiteral("areas"));

  // FileMax 0 hides the entries but keeps them for the settings file.
  w.settings().user().FileMax = 0;
  ASSERT_TRUE(w.OpenDocumentFile(copy));
  EXPECT_TRUE(w.recentFileActions().isEmpty());
  EXPECT_EQ(w.settings().user().RecentFiles.size(), 2u);
}

TEST_F(MainWindowTest, ScreenPictureIsWrittenAsTheNameAsks) {
  MainWindow w(Options());
  w.Start({kExample});
  ui::DocumentWindow* doc = w.activeDocument();
  const struct {
    const char* name;
    const char* written;
    const char* magic;
  } cases[] = {
      {"p.bmp", "p.bmp", "BM"}, {"p.JPG", "p.JPG", "\xFF\xD8"}, {"p.png", "p.png.BMP", "BM"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QString written;
    QString error;
    ASSERT_TRUE(doc->SaveAsPicture(temp_.path() + "/" + c.name, written, error))
        << error.toStdString();
    EXPECT_EQ(written, temp_.path() + "/" + c.written);
    QFile file(written);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(2).startsWith(QByteArray(c.magic)));
  }
  QString written;
  QString error;
  EXPECT_FALSE(doc->SaveAsPicture(temp_.path() + "/missing/p.bmp", written, error));
  EXPECT_FALSE(error.isEmpty());
}

// Web information and mail go to the desktop's handler; when the address is
// missing or nothing takes it, the command says which program could not start.
TEST_F(MainWindowTest, WebAndMailGoToTheDesktopAndSayWhenNothingTookThem) {
  const QString browser_failure =
      QStringLiteral("サポート情報を得るためのWebブラウザを起動できません．");
  const QString mail_failure = QStringLiteral("メールを送るためのプログラムを起動できません．");
  std::vector<QUrl> handed;
  bool taken = false;
  ShellOptions options = Options();
  options.open_url = [&](const QUrl& url) {
    handed.push_back(url);
    return taken;
  };
  {
    MainWindow w(options);  // no URL setting yet: nothing is handed over
    w.findChild<QAction*>(QStringLiteral("M_WebInfo"))->trigger();
    EXPECT_TRUE(handed.empty());
    EXPECT_EQ(questions_.errors, std::vector<QString>{browser_failure});
  }
  std::ofstream(options.settings.user_file) << "[SupportNew]\nURL=https://qzarn.example.org/\n";
  MainWindow w(options);
  w.Start({});  // reads the settings
  const struct {
    const char* command;
    bool taken;
    QString url;
    QString error;  // empty: none
  } cases[] = {
      {"M_WebInfo", true, QStringLiteral("https://qzarn.example.org/"), {}},
      {"M_WebInfo", false, QStringLiteral("https://qzarn.example.org/"), browser_failure},
      {"M_SendMail", true, QStringLiteral("mailto:") + QLatin1String(kSupportMailAddress), {}},
      {"M_SendMail", false, QStringLiteral("mailto:") + QLatin1String(kSupportMailAddress),
       mail_failure},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    handed.clear();
    questions_.errors.clear();
    taken = c.taken;
    w.findChild<QAction*>(QString::fromLatin1(c.command))->trigger();
    EXPECT_EQ(handed, std::vector<QUrl>{QUrl(c.url)});
    EXPECT_EQ(questions_.errors,
              c.error.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.error});
  }
}

// The handbook's page on files names every command of the File menu as the
// menu shows it, and says what opening a file of a name already open does.
TEST_F(MainWindowTest, TheFilePageQuotesTheFileMenuAsItIsShown) {
  MainWindow w(Options());
  w.Start({});
  QFile page(QStringLiteral(":/help/4001.html"));
  ASSERT_TRUE(page.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(page.readAll());
  for (const char* name :
       {"M_New", "M_Open", "M_Save", "M_SaveAs", "M_SaveImage", "M_ImportFigures",
        "M_ImportFunctions", "M_Print", "M_PrinterSetup", "M_Close", "M_CloseAll", "M_Exit"}) {
    QAction* action = w.command(QString::fromLatin1(name));
    ASSERT_NE(action, nullptr) << name;
    const QString shown = QString(action->text()).remove(QLatin1Char('&'));
    EXPECT_TRUE(html.contains(shown)) << shown.toStdString();
  }
  EXPECT_FALSE(html.contains(QStringLiteral("新しい画面を作らずにその画面に読み込みます")));
  EXPECT_TRUE(html.contains(QStringLiteral("新しい画面がもう 1 つ開きます")));
}

// The question before deleting dependent figures (from the figure list or the
// screen) carries the warning icon, and Escape answers No.
TEST(DeleteQuestion, AsksWithTheWarningIcon) {
  ui::DialogQuestions dialogs;
  QuestionsEngineUi ui(dialogs);
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString text;
  QTimer::singleShot(0, [&icon, &text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    icon = box->icon();
    text = box->text();
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_FALSE(ui.AskYesNo(kDeleteDependentsQuestion));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_TRUE(text.startsWith(QStringLiteral("参照している図形も削除されます．")));
}

TEST(AboutBox, NamesTheVersionTheLibrariesAndTheirLicences) {
  const QString text = AboutText();
  for (const QString& part :
       {QStringLiteral("Sorvane"), QStringLiteral("Q-ZARN V1.05"),
        QStringLiteral("Qt ") + QString::fromLatin1(qVersion()), QStringLiteral("LGPL"),
        QStringLiteral("liblhasa"), QStringLiteral("ISC"), QStringLiteral("libjpeg-turbo"),
        QStringLiteral("Independent JPEG Group"), QStringLiteral("IPA")})
    EXPECT_TRUE(text.contains(part)) << part.toStdString();
  EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("バージョン \\d+\\.\\d+"))));
  if (const char* folder = std::getenv("QZARN_SCREENSHOTS")) {  // for looking at
    QMessageBox box;
    box.setTextFormat(Qt::RichText);
    box.setText(text);
    box.show();
    QApplication::processEvents();
    box.grab().save(QStringLiteral("%1/about.png").arg(QString::fromLocal8Bit(folder)));
  }
}

}  // namespace
}  // namespace qzarn::shell
