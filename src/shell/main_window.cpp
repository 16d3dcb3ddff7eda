#include "shell/main_window.h"

#include "forms/print_form.h"

#include "shell/startup.h"
#include "ui/figure_list_dialog.h"
#include "ui/help_window.h"
#include "ui/screen_keeper.h"
#include "ui/value_table_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "ui/file_dialog.h"
#include "ui/spoken_name.h"

namespace qzarn::shell {

namespace {

// What each status bar panel shows: the tool's prompt, the pointer's position, key hints.
constexpr const char* kStatusPanelNames[] = {"操作の案内", "ﾏｳｽの位置", "ﾋﾝﾄ"};

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The screen title a file gives: its name without the extension.
QString TitleOf(const QString& path) {
  return QFileInfo(path).completeBaseName();
}

}  // namespace

QString NotFoundMessage(const QString& path) {
  return QStringLiteral("“") + path + QStringLiteral("” が見つかりません．");
}

void QuestionsEngineUi::ShowMessage(std::string_view text) {
  questions_.ShowError(nullptr, Utf8(text));
}

void QuestionsEngineUi::ShowStatus(std::string_view text) {
  if (status) status(Utf8(text));
}

bool QuestionsEngineUi::AskYesNo(std::string_view text) {
  // The engine asks only before deleting dependent figures: a warning.
  return questions_.AskWarningYesNo(QApplication::activeWindow(), Utf8(text));
}

MainWindow::MainWindow(ShellOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      own_questions_(options_.questions == nullptr ? std::make_unique<ui::DialogQuestions>()
                                                   : nullptr),
      questions_(options_.questions != nullptr ? options_.questions : own_questions_.get()),
      settings_(options_.settings),
      engine_ui_(*questions_) {
  // Before any drop-down exists: a screen reader's view of a control is made once.
  ui::InstallNamedComboBoxes();
  setWindowTitle(QString::fromUtf8(kCaption));
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  mdi_->setAccessibleName(QStringLiteral("画面"));
  statusBar()->setAccessibleName(QStringLiteral("ｽﾃｰﾀｽﾊﾞｰ"));
  for (std::size_t i = 0; i < std::size(panels_); ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setMinimumWidth(120);
    panels_[i]->setAccessibleName(QString::fromUtf8(kStatusPanelNames[i]));
  }
  statusBar()->addWidget(panels_[0], 2);
  statusBar()->addWidget(panels_[1], 1);
  statusBar()->addWidget(panels_[2], 2);
  BuildMenus();
  ui::NameParts(*this);
  connect(this, &MainWindow::recentFilesChanged, this, &MainWindow::RebuildRecentFiles);
  engine_ui_.status = [this](const QString& text) { ShowStatus(2, text); };
  // The property dialogs' "変数(&H)" shows the table of the screen being edited.
  edit_variables_hook = [this](QWidget* owner, SettingsBlock& block, const QString&) {
    ui::DocumentWindow* w = activeDocument();
    return EditVariableTable(owner, block, w != nullptr ? w->windowTitle() : QString());
  };
  ui::SetHelpWindowOwner(this);
  ui::SetHelpDocumentOpener([this](const QString& path) { OpenDocumentFile(path); });
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandState(); });
  UpdateCommandState();
  resize(1024, 768);
  // Every window of the program, dialogs and palettes included, stays on the desktop.
  ui::ScreenKeeper::Install();
}

MainWindow::~MainWindow() {
  ui::SetHelpDocumentOpener(nullptr);
  // The windows hold their screens through the undo session: they go first.
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    delete sub;
}

void MainWindow::ZoomBoxEntered() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return;
  w->SetZoom(ui::ZoomFromText(zoom_->currentText()));
  // Shows the value the screen took (clamped, or 10 for text that is no number).
  zoom_->setEditText(ui::ZoomText(w->screen()->View().Zoom));
}

void MainWindow::Start(const QStringList& arguments) {
  if (started_) return;
  started_ = true;
  // Settings first: a file that cannot be read is reported and left alone.
  ReportSettingsProblems(settings_.load());
  LoadToolbarsFromSettings();
  defaults_ = FigureDefaults(settings_.program_file());
  ApplyDialogSettings();
  RebuildRecentFiles();
  std::vector<std::string> words;
  for (const QString& a : arguments)
    words.push_back(a.toStdString());
  start_ = forms::ParseStartArguments(
      words, [](const std::string& p) { return QFileInfo::exists(QString::fromStdString(p)); });
  PlaceFromSettings();
  setAcceptDrops(true);
  if (webMode()) HideEditingMenus();

  // The undo session deletes the snapshots of ended runs. When the private
  // folder cannot be used, snapshots go to a folder of this run only.
  std::string error;
  std::string recovery_notice;
  session_ = UndoSession::StartWithRecovery(options_.undo_folder, options_.recovery_folder, error,
                                            &recovery_notice);
  undo_ok_ = session_.has_value();
  if (session_ && !recovery_notice.empty())
    ShowStatus(2, QStringLiteral("復元用の控えを置くフォルダを使えません (") +
                      Utf8(recovery_notice) +
                      QStringLiteral(")．控えは電源が切れると失われる場所に置きます．"));
  if (!session_) {
    fallback_folder_ = std::make_unique<QTemporaryDir>();
    std::string fallback_error;
    if (fallback_folder_->isValid())
      session_ =
          UndoSession::Start((fallback_folder_->path() + "/undo").toStdString(), fallback_error);
    ShowStatus(2, QStringLiteral("作業用フォルダを使えません (") + Utf8(error) +
                      QStringLiteral(")．元に戻す操作の記録は今回の実行だけの場所に置きます．"));
  }
  if (!session_) {
    questions_->ShowError(this, QStringLiteral("作業用フォルダを使えません: ") + Utf8(error));
    return;
  }
  env_ = std::make_unique<ui::DocumentEnvironment>(
      ui::DocumentEnvironment{engine_, expressions_, engine_ui_, *session_, render_, defaults_,
                              current_tool_, *questions_});
  env_->web_mode = start_.web_mode;

  ApplySettings();
  OfferRecovery();

  // The command line: each argument is one path (see forms/command_line.h).
  // Processing ends at the first name that is not a document or does not exist.
  bool opened = false;
  for (const std::string& name : start_.files) {
    if (!OpenDocumentFile(QString::fromStdString(name))) break;
    opened = true;
  }
  // The first failing file ends processing silently; later ones are reported.
  if (start_.missing && opened)
    questions_->ShowError(this, NotFoundMessage(QString::fromStdString(*start_.missing)));
  if (!opened && documents().isEmpty()) NewScreen();
}

ui::PropertyDialogHooks MainWindow::PropertyHooks() {
  ui::PropertyDialogHooks hooks;
  hooks.edit_variables = edit_variables_hook;
  return hooks;
}

void MainWindow::ShowFigureListClick() {
  ui::DocumentWindow* window = activeDocument();
  if (window == nullptr || window->screen() == nullptr) return;
  FigureListHooks hooks;
  hooks.window_caption = window->windowTitle();
  hooks.ui = &engine_ui_;
  hooks.edit_figure = [this](Screen& screen, int slot, const std::function<bool(int)>& removed,
                             QWidget* parent) {
    ui::PropertyDialogHooks dialog_hooks = PropertyHooks();
    dialog_hooks.removed = removed;
    ui::OpenPropertyDialog(screen, slot, expr_, parent, dialog_hooks);
  };
  hooks.take_snapshot = [window] { window->M_SaveDoClick(); };
  hooks.redraw = [window] {
    window->RefreshScreen();
    window->UpdateCommandState();
  };
  Screen& screen = *window->screen();
  ShowFigureList(screen, hooks, this);
  // The selected figure may have been deleted in the list.
  if (screen.Figures.record(screen.SelectedIndex) == nullptr) screen.SelectedIndex = -1;
  window->UpdateCommandState();
}

void MainWindow::ShowVariableTableClick() {
  ui::DocumentWindow* window = activeDocument();
  if (window == nullptr || window->screen() == nullptr) return;
  if (!EditScreenVariables(this, *window->screen(), window->windowTitle())) return;
  window->RefreshScreen();
  window->M_SaveDoClick();
}

void MainWindow::ReportSettingsProblems(const std::vector<SettingsProblem>& problems) {
  for (const SettingsProblem& p : problems)
    questions_->ShowError(this, Utf8(settings_problem_message(p)));
}

ui::DocumentWindow* MainWindow::AddWindow(std::unique_ptr<Screen> screen) {
  if (!env_) return nullptr;
  auto* window = new ui::DocumentWindow(*env_, std::move(screen), DocumentHooksForWindow());
  // Drawing a loaded document computes its curves, which counts as a change;
  // a screen just opened or created has none the user made.
  if (window->screen() != nullptr) window->screen()->Modified = false;
  window->setAttribute(Qt::WA_DeleteOnClose);
  QMdiSubWindow* sub = mdi_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // The frame buttons' keys (Ctrl+F4 …) of every screen would otherwise meet in
  // the main window and cancel each other out once two screens are open.
  if (QMenu* system = sub->systemMenu())
    for (QAction* action : system->actions())
      action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(window, &ui::DocumentWindow::statusChanged, this,
          [this, window](int panel, const QString& text) {
            if (window == activeDocument()) ShowStatus(panel, text);
          });
  connect(window, &ui::DocumentWindow::commandStateChanged, this, [this] { UpdateCommandState(); });
  connect(window, &QObject::destroyed, this,
          [this] { QTimer::singleShot(0, this, [this] { UpdateCommandState(); }); });
  const QSize area = mdi_->size();
  sub->resize(std::max(320, area.width() * 8 / 10), std::max(240, area.height() * 8 / 10));
  sub->show();
  mdi_->setActiveSubWindow(sub);
  UpdateCommandState();
  return window;
}

ui::DocumentWindow* MainWindow::NewScreen() {
  return AddWindow(Screen::Create(NewScreenSettings(), titles_));
}

bool MainWindow::OpenDocumentFile(const QString& path) {
  if (!QFileInfo::exists(path)) {
    questions_->ShowError(this, NotFoundMessage(path));
    return false;
  }
  const QString title = TitleOf(path);
  // The screen already showing this file is replaced rather than opened twice.
  // Only the same file counts: another file with the same name opens beside it.
  const QString full = QFileInfo(path).canonicalFilePath();
  ui::DocumentWindow* target = nullptr;
  for (ui::DocumentWindow* w : documents())
    if (w->screen() != nullptr && !w->screen()->FilePath.empty() &&
        QFileInfo(Utf8(w->screen()->FilePath)).canonicalFilePath() == full)
      target = w;
  if (target != nullptr && target->screen()->Modified &&
      !questions_->AskYesNo(
          this, QStringLiteral("同名で “") + title +
                    QStringLiteral("” が編集されています．\n編集中の画面と置き換えますか？")))
    return false;

  auto screen = Screen::Create(NewScreenSettings(), titles_);
  LoadOptions options;
  options.make_record = [this](std::int32_t type) { return defaults_.Record(type); };
  const LoadResult r = LoadDocument(*screen, path.toStdString(), options);
  if (!r.ok()) {
    if (r.error != LoadError::kWrongExtension)
      questions_->ShowError(this,
                            Utf8(kLoadFailedMessageHead) + path + Utf8(kLoadFailedMessageTail));
    return false;
  }
  screen->Title = title.toStdString();
  screen->FilePath = QFileInfo(path).absoluteFilePath().toStdString();
  screen->Modified = false;
  RememberFile(path);

  // An untouched new screen is replaced by the document.
  if (target == nullptr) {
    const QList<ui::DocumentWindow*> open = documents();
    if (open.size() == 1 && open.front()->screen() != nullptr &&
        open.front()->screen()->FilePath.empty() && !open.front()->screen()->Modified)
      target = open.front();
  }
  if (target != nullptr) {
    QWidget* sub = target->parentWidget();
    target->screen()->Modified = false;  // already asked
    sub->close();
  }
  ui::DocumentWindow* window = AddWindow(std::move(screen));
  if (window != nullptr && settings_.user().WindowMoveCenter) ScrollToMiddleSoon(*window);
  return window != nullptr;
}

void MainWindow::OpenClick() {
  ui::FileDialogSpec dialog;
  dialog.title = QString::fromUtf8(kOpenDialogTitle);
  dialog.start = DialogFolder();
  dialog.filters = QString::fromUtf8(kOpenFilter);
  const QString path = ui::AskFilePath(this, dialog);
  if (!path.isEmpty()) OpenDocumentFile(path);
}

bool MainWindow::SaveTo(ui::DocumentWindow& window, const QString& path) {
  Screen* s = window.screen();
  if (s == nullptr) return false;
  SaveOptions options = env_->save;
  options.target_is_current_file = !s->FilePath.empty() && path.toStdString() == s->FilePath;
  const SaveResult result = SaveDocument(*s, path.toStdString(), options);
  if (!result.ok) {
    questions_->ShowError(this, Utf8(result.message));
    return false;
  }
  // Saved, with something the user should know (the owner could not be kept).
  if (!result.notice.empty()) ShowStatus(2, Utf8(result.notice));
  s->FilePath = path.toStdString();
  s->Title = TitleOf(path).toStdString();
  s->Modified = false;
  RememberFile(path);
  window.setWindowTitle(TitleOf(path));
  window.UpdateCommandState();
  return true;
}

bool MainWindow::SaveClick() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  if (w->screen()->FilePath.empty()) return SaveAsClick();
  return SaveTo(*w, Utf8(w->screen()->FilePath));
}

bool MainWindow::SaveAsClick() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  const std::optional<QString> path = questions_->AskSavePath(this, w->windowTitle());
  if (!path) return false;
  return SaveTo(*w, *path);
}

ui::DocumentWindow* MainWindow::activeDocument() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (sub == nullptr) {
    const QList<QMdiSubWindow*> all = mdi_->subWindowList();
    if (all.isEmpty()) return nullptr;
    sub = all.back();
  }
  return qobject_cast<ui::DocumentWindow*>(sub->widget());
}

QList<ui::DocumentWindow*> MainWindow::documents() const {
  QList<ui::DocumentWindow*> result;
  for (QMdiSubWindow* sub : mdi_->subWindowList())
    if (auto* w = qobject_cast<ui::DocumentWindow*>(sub->widget()); w != nullptr && !w->closed())
      result.push_back(w);
  return result;
}

QString MainWindow::statusText(int panel) const {
  return panel >= 0 && panel < 3 ? panels_[panel]->text() : QString();
}

void MainWindow::ShowStatus(int panel, const QString& text) {
  if (panel < 0 || panel >= 3) return;
  panels_[panel]->setText(text);
  // A screen reader reads a label by its name alone, so the name carries what the panel shows.
  const QString name = QString::fromUtf8(kStatusPanelNames[panel]);
  panels_[panel]->setAccessibleName(text.isEmpty() ? name : name + QLatin1Char(' ') + text);
}

void MainWindow::UpdateCommandState() {
  ui::DocumentWindow* w = activeDocument();
  const bool any = w != nullptr && !w->closed();
  for (QAction* a : screen_commands_)
    a->setEnabled(any);
  for (QAction* a : unavailable_)
    a->setEnabled(false);
  const forms::PrintCommands printing = forms::PrintCommandsFor(any, PrintingAvailable());
  print_->setEnabled(printing.print);
  print_preview_->setEnabled(printing.preview);
  printer_setup_->setEnabled(printing.setup);
  const bool free_slot = any && w->screen() != nullptr && HasFreeSlot(w->screen()->Figures);
  for (QAction* a : insert_commands_)
    a->setEnabled(free_slot);
  MirrorSettingsMenu();
  undo_->setEnabled(any && w->undoAction().isEnabled());
  redo_->setEnabled(any && w->redoAction().isEnabled());
  temporary_save_->setEnabled(any && w->temporarySaveAction().isEnabled());
  const bool selected = any && w->SelectedFigureCopy().has_value();
  cut_->setEnabled(selected);
  copy_->setEnabled(selected);
  paste_->setEnabled(any && copied_figure_.held());
  zoom_->setEnabled(any);
  if (any && w->screen() != nullptr && !zoom_->lineEdit()->hasFocus())
    zoom_->setEditText(ui::ZoomText(w->screen()->View().Zoom));
  if (zoom_spin_ != nullptr) {
    zoom_spin_->setEnabled(any);
    if (any && w->screen() != nullptr && !zoom_spin_->hasFocus()) {
      const QSignalBlocker quiet(zoom_spin_.data());
      zoom_spin_->setValue(w->screen()->View().Zoom);
    }
  }
  ShowFigureAttributes();
  if (any)
    for (int panel = 0; panel < 3; ++panel)
      if (!w->statusText(panel).isEmpty()) ShowStatus(panel, w->statusText(panel));
  SyncPalettes();
  SyncEquationWindow();
}

// Hints of the menu item or control under the mouse go to the third panel
// instead of covering the whole status bar.
bool MainWindow::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ShowStatus(2, static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  const bool handled = QMainWindow::event(event);
  switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
    case QEvent::PaletteChange:
    case QEvent::ThemeChange:
    case QEvent::StyleChange:
      ReinkIconsIfNeeded();
      break;
    default:
      break;
  }
  return handled;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Every screen may ask about its changes; one that stays open cancels the exit.
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (!sub->close()) {
      event->ignore();
      UpdateCommandState();
      return;
    }
  }
  StoreWindowPlacement();
  if (!start_.web_mode) StoreToolbarsInSettings();
  ReportSettingsProblems(settings_.save());
  event->accept();
}

}  // namespace qzarn::shell
