// The menus and tool bars of the main window. Every command is one QAction
// owned here, shared by the menu, the tool bar and the shortcut, so each key
// has exactly one owner; commands of a screen forward to the active document
// window.
#include "forms/recent_files.h"
#include "shell/main_window.h"
#include "ui/help_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include "ui/spoken_name.h"

namespace qzarn::shell {

namespace {

// Remembers the item a key is about to choose in the menus it watches (Return
// on the highlighted item, or an item's mnemonic letter), so that the command
// can tell it was given from the keyboard. The mouse forgets it.
class KeyboardChoice final : public QObject {
 public:
  using QObject::QObject;
  // Whether the command named `name` is the one a key chose; forgets it.
  bool Take(const QString& name) {
    const bool chosen = chosen_ == name;
    chosen_.clear();
    return chosen;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu != nullptr && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      chosen_.clear();
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        if (QAction* active = menu->activeAction()) chosen_ = active->objectName();
      } else if (!key->text().isEmpty()) {
        // A mnemonic is Alt+letter; the menu matches the letter alone.
        const int pressed = key->text().toUpper().at(0).unicode();
        for (QAction* action : menu->actions()) {
          const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
          if (!mnemonic.isEmpty() && (mnemonic[0].toCombined() & 0xffff) == pressed)
            chosen_ = action->objectName();
        }
      }
    } else if (event->type() == QEvent::MouseButtonPress ||
               event->type() == QEvent::MouseButtonRelease) {
      chosen_.clear();
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  QString chosen_;
};

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Short names of the Insert commands for the 図形 tool bar, by tool code.
QString ToolBarText(int tool) {
  switch (tool) {
    case 51:
      return QStringLiteral("点");
    case 52:
      return QStringLiteral("分点");
    case 53:
      return QStringLiteral("交点");
    case 54:
      return QStringLiteral("垂線の足");
    case 55:
      return QStringLiteral("角の等分");
    case 56:
      return QStringLiteral("角度");
    case 57:
      return QStringLiteral("直線");
    case 58:
      return QStringLiteral("円");
    case 59:
      return QStringLiteral("放物線");
    case 77:
      return QStringLiteral("陽関数");
    case 61:
      return QStringLiteral("関数の交点");
    case 62:
      return QStringLiteral("関数の接線・法線");
    case 63:
      return QStringLiteral("関数の面積");
    case 64:
      return QStringLiteral("多角形");
    case 66:
      return QStringLiteral("文字");
    default:
      return {};
  }
}

// The layout of the 図形 menu: groups of Insert items (by tool code), some in a
// sub-menu with its caption.
struct InsertGroup {
  const char* submenu;  // nullptr: the items stand in the menu itself
  std::initializer_list<int> tools;
};
const InsertGroup kInsertMenu[] = {
    {nullptr, {51, 52, 53, 54, 55, 56}},
    {"直線(&L)", {57, 68, 69}},
    {"円(&I)", {58, 74, 75, 76}},
    {"放物線(&H)", {59, 71, 72}},
    {nullptr, {64, 83}},
    {"関数(&F)", {77, 78, 79, 80}},
    {nullptr, {61, 63, 62}},
    {nullptr, {66, 65}},
};

const ui::InsertItem* InsertItemOf(int tool) {
  for (const ui::InsertItem& item : ui::kInsertItems)
    if (item.tool == tool) return &item;
  return nullptr;
}

}  // namespace

QAction* MainWindow::AddCommand(QMenu* menu, const char* name, const QString& caption,
                                std::function<void()> run, QKeySequence keys) {
  auto* action = new QAction(caption, this);
  action->setObjectName(QString::fromLatin1(name));
  if (!keys.isEmpty()) {
    action->setShortcut(keys);
    // Main-window actions are in the menu bar: the key works wherever the focus
    // is inside the frame, the screens included.
    action->setShortcutContext(Qt::WindowShortcut);
  }
  connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
  if (menu != nullptr) menu->addAction(action);
  addAction(action);
  return action;
}

QAction* MainWindow::AddUnavailable(QMenu* menu, const char* name, const QString& caption) {
  QAction* action = AddCommand(menu, name, caption, [] {});
  action->setEnabled(false);
  unavailable_.push_back(action);
  return action;
}

QAction* MainWindow::command(const QString& name) const {
  for (QAction* action : actions())
    if (action->objectName() == name) return action;
  return nullptr;
}

QList<QAction*> MainWindow::recentFileActions() const {
  return recent_actions_;
}

void MainWindow::BuildMenus() {
  BuildFileMenu();
  BuildEditMenu();
  BuildFigureMenu();
  BuildSettingsMenu();
  BuildViewMenu();
  BuildWindowMenu();
  BuildHelpMenu();
  BuildToolBars();
}

void MainWindow::BuildFileMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  file_menu_ = file;
  new_ = AddCommand(
      file, "M_New", QStringLiteral("新規(&N)"), [this] { NewScreen(); },
      QKeySequence(Qt::CTRL | Qt::Key_N));
  open_ = AddCommand(
      file, "M_Open", QStringLiteral("開く(&O)..."), [this] { OpenClick(); },
      QKeySequence(Qt::CTRL | Qt::Key_O));
  save_ = AddCommand(
      file, "M_Save", QStringLiteral("上書き保存(&S)"), [this] { SaveClick(); },
      QKeySequence(Qt::CTRL | Qt::Key_S));
  save_as_ = AddCommand(file, "M_SaveAs", QStringLiteral("名前を付けて保存(&A)..."),
                        [this] { SaveAsClick(); });
  QAction* picture = AddCommand(file, "M_SaveImage", QStringLiteral("ｲﾒｰｼﾞとして保存(&G)..."),
                                [this] { SaveAsPictureClick(); });
  QAction* web_page =
      AddCommand(file, "M_SaveWebPage", QStringLiteral("Webページとして保存(&W)..."),
                 [this] { SaveAsWebPageClick(); });
  file->addSeparator();
  QMenu* import = file->addMenu(QStringLiteral("MS-DOS版からｲﾝﾎﾟｰﾄ(&I)"));
  AddCommand(import, "M_ImportFigures", QStringLiteral("図形のｲﾝﾎﾟｰﾄ(&P)..."),
             [this] { ImportFiguresClick(); });
  QAction* import_functions =
      AddCommand(import, "M_ImportFunctions", QStringLiteral("関数のｲﾝﾎﾟｰﾄ(&F)..."),
                 [this] { ImportFunctionsClick(); });
  AddUnavailable(file, "M_Launcher", QStringLiteral("シミュレーション教材(&K)..."));
  file->addSeparator();
  print_ = AddCommand(
      file, "M_Print", QStringLiteral("印刷(&P)..."), [this] { PrintScreenCommand(); },
      QKeySequence(Qt::CTRL | Qt::Key_P));
  print_preview_ = AddCommand(file, "M_PrintPreview", QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ(&V)..."),
                              [this] { PrintPreviewCommand(); });
  printer_setup_ = AddCommand(file, "M_PrinterSetup", QStringLiteral("ﾌﾟﾘﾝﾀの設定(&R)..."),
                              [this] { PrinterSetupClick(); });
  file->addSeparator();
  close_ = AddCommand(file, "M_Close", QStringLiteral("閉じる(&C)"),
                      [this] { mdi_->closeActiveSubWindow(); });
  QAction* close_all = AddCommand(file, "M_CloseAll", QStringLiteral("すべて閉じる(&L)"),
                                  [this] { CloseAllClick(); });
  recent_separator_ = file->addSeparator();
  file->addSeparator();
  exit_ = AddCommand(file, "M_Exit", QStringLiteral("Sorvaneの終了(&X)"), [this] { close(); });
  screen_commands_ << save_ << save_as_ << picture << web_page << close_ << close_all
                   << import_functions;
}

void MainWindow::BuildEditMenu() {
  QMenu* edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
  edit_menu_ = edit;
  const auto forward = [this](void (ui::DocumentWindow::*click)()) {
    return [this, click] {
      if (ui::DocumentWindow* w = activeDocument()) (w->*click)();
    };
  };
  undo_ = AddCommand(edit, "M_Undo", Utf8(ui::kUndoCaption),
                     forward(&ui::DocumentWindow::M_UndoClick), QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_ =
      AddCommand(edit, "M_Repeat", Utf8(ui::kRedoCaption),
                 forward(&ui::DocumentWindow::M_RepeatClick), QKeySequence(Qt::CTRL | Qt::Key_Y));
  temporary_save_ =
      AddCommand(edit, "M_SaveDo", Utf8(ui::kTemporarySaveCaption),
                 forward(&ui::DocumentWindow::M_SaveDoClick), QKeySequence(Qt::CTRL | Qt::Key_A));
  edit->addSeparator();
  // The figure clipboard: these actions alone own Ctrl+X, C and V, so a key
  // cuts, copies or pastes once whether the focus is on a screen or not.
  cut_ = AddCommand(
      edit, "M_Cut", QStringLiteral("切り取り(&T)"), [this] { CutFigure(); },
      QKeySequence(Qt::CTRL | Qt::Key_X));
  copy_ = AddCommand(
      edit, "M_Copy", QStringLiteral("コピー(&C)"), [this] { CopyFigure(); },
      QKeySequence(Qt::CTRL | Qt::Key_C));
  paste_ = AddCommand(
      edit, "M_Paste", QStringLiteral("貼り付け(&P)"), [this] { PasteFigure(); },
      QKeySequence(Qt::CTRL | Qt::Key_V));
  edit->addSeparator();
  QAction* copy_picture =
      AddCommand(edit, "CopyToClipboard", QStringLiteral("画面をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&B)"),
                 forward(&ui::DocumentWindow::CopyToClipboardClick));
  QAction* paste_picture =
      AddCommand(edit, "PasteBitmap", QStringLiteral("画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼り付け(&V)"),
                 forward(&ui::DocumentWindow::PasteBitmapClick));
  edit->addSeparator();
  QAction* home =
      AddCommand(edit, "JumpToHome", Utf8(ui::kJumpToHomeCaption),
                 forward(&ui::DocumentWindow::JumpToHomeClick), QKeySequence(Qt::CTRL | Qt::Key_H));
  screen_commands_ << copy_picture << home;
  connect(edit, &QMenu::aboutToShow, this, [this, paste_picture] {
    ui::DocumentWindow* w = activeDocument();
    paste_picture->setEnabled(w != nullptr && w->pastePictureAction().isEnabled());
  });
  paste_picture->setEnabled(false);
}

void MainWindow::BuildFigureMenu() {
  QMenu* figures = menuBar()->addMenu(QStringLiteral("図形(&I)"));
  figure_menu_ = figures;
  // Chosen from the keyboard, a drawing command places its figure at the
  // screen's centre and opens its dialog at once: there may be no mouse to
  // click the place with.
  auto* keyboard = new KeyboardChoice(figures);
  figures->installEventFilter(keyboard);
  bool first = true;
  for (const InsertGroup& group : kInsertMenu) {
    QMenu* menu = figures;
    if (group.submenu != nullptr) {
      menu = figures->addMenu(QString::fromUtf8(group.submenu));
      menu->installEventFilter(keyboard);
    } else if (!first) {
      figures->addSeparator();
    }
    first = false;
    for (int tool : group.tools) {
      const ui::InsertItem* item = InsertItemOf(tool);
      if (item == nullptr) continue;
      QAction* action = AddCommand(menu, item->name, QString::fromUtf8(item->caption),
                                   [this, tool, keyboard, name = QString::fromLatin1(item->name)] {
                                     ShowStatus(0, QString());
                                     const bool by_key = keyboard->Take(name);
                                     ui::DocumentWindow* w = activeDocument();
                                     if (w == nullptr) return;
                                     w->InsertPointClick(tool);
                                     if (by_key) w->InsertAtCentre();
                                   });
      const QString short_text = ToolBarText(tool);
      if (!short_text.isEmpty()) {
        action->setIconText(short_text);
        action->setToolTip(short_text);
      }
      action->setStatusTip(action->text().remove(QLatin1Char('&')).remove(QStringLiteral("...")) +
                           QStringLiteral("を作成します"));
      insert_commands_ << action;
    }
  }
}

void MainWindow::BuildSettingsMenu() {
  QMenu* settings = menuBar()->addMenu(QStringLiteral("設定(&T)"));
  settings_menu_ = settings;
  // The figure items follow the selection exactly as the surface's pop-up menu
  // does: they trigger the active window's own items.
  const auto forward = [this](QAction& (ui::DocumentWindow::*item)()) {
    return [this, item] {
      if (ui::DocumentWindow* w = activeDocument()) (w->*item)().trigger();
    };
  };
  AddCommand(settings, "M_Figure", QStringLiteral("図形の設定(&P)..."),
             forward(&ui::DocumentWindow::figureSettingsAction));
  AddCommand(settings, "M_Object", QStringLiteral("ｵﾌﾟｼﾞｪｸﾄの設定(&P)..."),
             forward(&ui::DocumentWindow::objectSettingsAction));
  AddCommand(settings, "M_ObjectEdit", QStringLiteral("ｵﾌﾞｼﾞｪｸﾄの編集(&E)"),
             forward(&ui::DocumentWindow::objectEditAction));
  AddCommand(settings, "M_KisekiSet", QStringLiteral("軌跡の設定(&K)..."),
             forward(&ui::DocumentWindow::locusSettingsAction));
  AddCommand(settings, "M_KisekiErase", QStringLiteral("軌跡の消去(&L)"),
             forward(&ui::DocumentWindow::locusClearAction));
  AddCommand(settings, "M_KisekiAllErase", QStringLiteral("全図形の軌跡の消去(&S)"),
             forward(&ui::DocumentWindow::clearAllLociAction));
  settings->addSeparator();
  screen_commands_ << AddCommand(settings, "M_Zahyo", QStringLiteral("座標系の設定(&Z)..."),
                                 [this] {
                                   if (ui::DocumentWindow* w = activeDocument()) w->M_ZahyoClick();
                                 });
  QAction* list = AddCommand(settings, "AjustList", QStringLiteral("図形リスト(&O)..."),
                             [this] { ShowFigureListClick(); });
  list->setIconText(QStringLiteral("図形リスト"));
  screen_commands_ << AddCommand(settings, "EditEqu", QStringLiteral("中間式(&F)..."),
                                 [this] { EditEquClick(); });
  screen_commands_ << AddCommand(settings, "AjustPedit", QStringLiteral("変数ﾊﾟﾚｯﾄの編集(&E)..."),
                                 [this] { EditPaletteClick(); });
  QAction* table = AddCommand(settings, "AjustTable", QStringLiteral("変数ﾃｰﾌﾞﾙ(&T)..."),
                              [this] { ShowVariableTableClick(); });
  screen_commands_ << AddCommand(settings, "AjustOption", QStringLiteral("ｵﾌﾟｼｮﾝ(&S)..."),
                                 [this] { AjustOptionClick(); });
  screen_commands_ << list << table;
  connect(settings, &QMenu::aboutToShow, this, [this] {
    if (ui::DocumentWindow* w = activeDocument()) w->PopupPropertyPopup();
    MirrorSettingsMenu();
  });
}

// The 設定 menu's figure items follow the active window's pop-up items, but
// stay in place: an item the pop-up would hide is disabled here, so the same
// place in the menu bar always holds the same command.
void MainWindow::HideEditingMenus() {
  for (QMenu* menu : {edit_menu_, figure_menu_, settings_menu_})
    menu->menuAction()->setVisible(false);
}

void MainWindow::MirrorSettingsMenu() {
  if (settings_menu_ == nullptr) return;
  ui::DocumentWindow* w = activeDocument();
  const bool any = w != nullptr && !w->closed();
  const std::pair<const char*, QAction& (ui::DocumentWindow::*)()> items[] = {
      {"M_Figure", &ui::DocumentWindow::figureSettingsAction},
      {"M_Object", &ui::DocumentWindow::objectSettingsAction},
      {"M_ObjectEdit", &ui::DocumentWindow::objectEditAction},
      {"M_KisekiSet", &ui::DocumentWindow::locusSettingsAction},
      {"M_KisekiErase", &ui::DocumentWindow::locusClearAction},
      {"M_KisekiAllErase", &ui::DocumentWindow::clearAllLociAction},
  };
  for (const auto& [name, item] : items) {
    QAction* mine = command(QString::fromLatin1(name));
    if (mine == nullptr) continue;
    mine->setVisible(true);
    if (!any) {
      mine->setEnabled(false);
      continue;
    }
    const QAction& theirs = (w->*item)();
    mine->setEnabled(theirs.isVisible() && theirs.isEnabled());
  }
}

void MainWindow::BuildViewMenu() {
  QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
  QMenu* palettes = view->addMenu(QStringLiteral("変数ﾊﾟﾚｯﾄ(&V)"));
  standard_palette_action_ =
      AddCommand(palettes, "sPop_Standard", QStringLiteral("標準のﾊﾟﾚｯﾄ(&S)"),
                 [this] { StandardPaletteClick(); });
  standard_palette_action_->setCheckable(true);
  screen_commands_ << standard_palette_action_;
  user_palette_action_ = AddCommand(palettes, "sPop_User", QStringLiteral("ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ(&U)"),
                                    [this] { UserPaletteClick(); });
  user_palette_action_->setCheckable(true);
  screen_commands_ << user_palette_action_;
  // The tool-bar button cycles through the palettes.
  screen_commands_ << AddCommand(nullptr, "sPop_Palette", QStringLiteral("変数ﾊﾟﾚｯﾄ"),
                                 [this] { CyclePaletteClick(); });
  QMenu* bars = view->addMenu(QStringLiteral("ﾂｰﾙﾊﾞｰ(&T)"));
  const char* names[] = {"M_ToolBar1", "M_ToolBar2", "M_ToolBar3"};
  const char* captions[] = {"標準(&S)", "図形(&F)", "図形の設定(&P)"};
  for (int i = 0; i < 3; ++i) {
    QAction* toggle = AddCommand(bars, names[i], QString::fromUtf8(captions[i]), [] {});
    toggle->setCheckable(true);
    toggle->setChecked(true);
  }
  bars->addSeparator();
  AddCommand(bars, "M_ToolBarSetup", QStringLiteral("ﾂｰﾙﾊﾞｰの設定(&U)"),
             [this] { ToolBarSetupClick(); });
  QAction* status = AddCommand(view, "M_StatusBar", QStringLiteral("ｽﾃｰﾀｽ ﾊﾞｰ(&B)"), [] {});
  status->setCheckable(true);
  status->setChecked(true);
  connect(status, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
}

void MainWindow::BuildWindowMenu() {
  QMenu* window = menuBar()->addMenu(QStringLiteral("ウィンドウ(&W)"));
  screen_commands_ << AddCommand(window, "M_TileH", QStringLiteral("横に並べて表示(&T)"), [this] {
    ArrangeClick(Arrangement::kTileHorizontally);
  }) << AddCommand(window, "M_TileV", QStringLiteral("縦に並べて表示(&H)"), [this] {
    ArrangeClick(Arrangement::kTileVertically);
  }) << AddCommand(window, "M_Cascade", QStringLiteral("重ねて表示(&C)"), [this] {
    ArrangeClick(Arrangement::kCascade);
  }) << AddCommand(window, "M_ArrangeIcons", QStringLiteral("ｱｲｺﾝの整列(&A)"), [this] {
    ArrangeClick(Arrangement::kArrangeIcons);
  });
  // The open screens, the active one checked.
  QAction* list_separator = window->addSeparator();
  connect(window, &QMenu::aboutToShow, this, [this, window, list_separator] {
    const QList<QAction*> all = window->actions();
    for (qsizetype i = all.indexOf(list_separator) + 1; i < all.size(); ++i) {
      window->removeAction(all[i]);
      all[i]->deleteLater();
    }
    int number = 1;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
      QAction* entry =
          window->addAction(QStringLiteral("&%1 %2").arg(number++).arg(sub->windowTitle()));
      entry->setCheckable(true);
      entry->setChecked(sub == mdi_->activeSubWindow());
      connect(entry, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    }
  });
}

void MainWindow::ArrangeClick(Arrangement arrangement) {
  switch (arrangement) {
    case Arrangement::kTileHorizontally:
    case Arrangement::kTileVertically: {
      // Side by side (横) or one above the other (縦), each taking an equal share.
      const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
      if (subs.isEmpty()) break;
      const QRect area = mdi_->viewport()->rect();
      const int n = static_cast<int>(subs.size());
      for (int i = 0; i < n; ++i) {
        QMdiSubWindow* sub = subs[i];
        sub->showNormal();
        if (arrangement == Arrangement::kTileHorizontally)
          sub->setGeometry(area.width() * i / n, 0, area.width() / n, area.height());
        else
          sub->setGeometry(0, area.height() * i / n, area.width(), area.height() / n);
      }
      break;
    }
    case Arrangement::kCascade:
      mdi_->cascadeSubWindows();
      break;
    case Arrangement::kArrangeIcons: {
      // Minimised screens line up along the bottom edge.
      int x = 0;
      const int bottom = mdi_->viewport()->height();
      for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (!sub->isMinimized()) continue;
        sub->move(x, bottom - sub->height());
        x += sub->width();
      }
      break;
    }
  }
  CenterScreensAfterArrange();
}

void MainWindow::BuildHelpMenu() {
  QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  AddCommand(
      help, "M_HelpTopics", QStringLiteral("ﾄﾋﾟｯｸの検索(&H)"), [] { ui::ShowHelpSearch(); },
      QKeySequence(Qt::Key_F1));
  AddCommand(help, "M_QuickLesson", QStringLiteral("ｸｲｯｸ ﾚｯｽﾝ(&Q)"),
             [] { ui::ShowHelpTopic(ui::kQuickLesson); });
  help->addSeparator();
  // The handbook travels with the program, so "online" help opens it too.
  AddCommand(help, "M_OnlineHelp", QStringLiteral("ｵﾝﾗｲﾝ･ﾍﾙﾌﾟ(&O)"),
             [] { ui::ShowHelpTopic(ui::kHelpContents); });
  AddCommand(help, "M_WebInfo", QStringLiteral("Web情報(&I)..."), [this] {
    OpenExternal(Utf8(settings_.user().URL),
                 QStringLiteral("サポート情報を得るためのWebブラウザを起動できません．"));
  });
  AddCommand(help, "M_SendMail", QStringLiteral("メールを送る(&M)..."), [this] {
    OpenExternal(QStringLiteral("mailto:") + QLatin1String(kSupportMailAddress),
                 QStringLiteral("メールを送るためのプログラムを起動できません．"));
  });
  help->addSeparator();
  AddCommand(help, "M_About", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."), [this] { ShowAbout(); });
}

void MainWindow::OpenExternal(const QString& address, const QString& failure) {
  const QUrl url(address.trimmed());
  bool opened = false;
  if (!address.trimmed().isEmpty() && url.isValid()) {
    opened = options_.open_url ? options_.open_url(url) : QDesktopServices::openUrl(url);
  }
  if (!opened) questions_->ShowError(this, failure);
}

QString AboutText() {
  QString text =
      QStringLiteral("<p><b>Sorvane</b> バージョン %1<br>").arg(QStringLiteral(QZARN_VERSION));
  text += QStringLiteral(
      "座標平面の作図と関数のグラフのための数学教材ソフト．<br>"
      "ファイル形式 Q-ZARN V1.05 (.qzl)．</p>"
      "<p>使用しているライブラリとそのライセンス：</p><ul>");
  const struct {
    QString name;
    QString licence;
  } libraries[] = {
      {QStringLiteral("Qt %1 (Core, Gui, Widgets, PrintSupport, Svg, Network)")
           .arg(QString::fromLatin1(qVersion())),
       QStringLiteral("GNU LGPL version 3")},
      {QStringLiteral("liblhasa (LZH 書庫の読み込み)"), QStringLiteral("ISC ライセンス")},
      {QStringLiteral("libjpeg-turbo (JPEG 画像)"),
       QStringLiteral("IJG ライセンスと修正 BSD ライセンス．"
                      "This software is based in part on the work of the Independent JPEG Group.")},
      {QStringLiteral("IPA フォント (日本語の表示)"),
       QStringLiteral("IPA フォントライセンス v1.0")},
  };
  for (const auto& library : libraries)
    text += QStringLiteral("<li>%1 — %2</li>").arg(library.name, library.licence);
  text += QStringLiteral("</ul>");
  return text;
}

void MainWindow::ShowAbout() {
  QMessageBox box(this);
  box.setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
  box.setAccessibleName(ui::SpokenName(box.windowTitle()));
  box.setIconPixmap(windowIcon().pixmap(64, 64));
  box.setTextFormat(Qt::RichText);
  box.setText(AboutText());
  box.exec();
}

void MainWindow::RebuildRecentFiles() {
  for (QAction* action : recent_actions_) {
    file_menu_->removeAction(action);
    removeAction(action);
    action->deleteLater();
  }
  recent_actions_.clear();
  QAction* before = nullptr;
  const QList<QAction*> all = file_menu_->actions();
  const qsizetype at = all.indexOf(recent_separator_);
  if (at >= 0 && at + 1 < all.size()) before = all[at + 1];
  const std::string home = QDir::homePath().toStdString();
  int number = 1;
  for (const forms::RecentEntry& entry : recent_.MenuEntries(home)) {
    auto* action = new QAction(Utf8(entry.caption), this);
    action->setObjectName(QStringLiteral("RecentFile%1").arg(number++));
    const QString file = Utf8(entry.path);
    action->setStatusTip(file);
    connect(action, &QAction::triggered, this, [this, file] { OpenDocumentFile(file); });
    file_menu_->insertAction(before, action);
    recent_actions_ << action;
  }
  recent_separator_->setVisible(!recent_actions_.isEmpty());
}

bool MainWindow::CloseAllClick() {
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (!sub->close()) return false;
  return true;
}

}  // namespace qzarn::shell
