#pragma once
// The frame of the desktop program: a multiple-document area holding one
// DocumentWindow per open screen, the File and Edit menus, the status bar and
// the start-up and exit steps of a run.

// The core headers come before Qt's (see document_window.h).
#include "document/figure_defaults.h"
#include "document/undo_session.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "forms/command_line.h"
#include "forms/figure_attributes.h"
#include "forms/figure_clipboard.h"
#include "forms/picture_export_form.h"
#include "forms/program_options.h"
#include "forms/recent_files.h"
#include "import/page_import.h"
#include "settings/settings_store.h"
#include "ui/anime_window.h"
#include "ui/document_window.h"
#include "ui/equation_window.h"
#include "ui/palette_editor.h"
#include "ui/property_dialog.h"
#include "ui/standard_palette.h"
#include "ui/toolbar_setup_dialog.h"
#include "ui/user_palette.h"

#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

class QAction;
class QPrinter;
class QComboBox;
class QSpinBox;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;
class QPixmap;
class QTemporaryDir;
class QDialog;
class QTimer;
class QDragEnterEvent;
class QDropEvent;

namespace qzarn::shell {

inline constexpr const char* kCaption = "Sorvane";
inline constexpr const char* kOpenDialogTitle = "ファイルを開く";
inline constexpr const char* kOpenFilter = "Sorvaneファイル (*.qzl)";

// "“" + path + "” が見つかりません．"
QString NotFoundMessage(const QString& path);

struct ShellOptions {
  SettingsLocations settings;
  std::string undo_folder;  // the private folder of undo snapshots
  // The private folder on disk where changed screens are kept for recovery; empty: beside the
  // snapshots.
  std::string recovery_folder;
  // Answers the questions; null: message boxes and file dialogs.
  ui::DocumentQuestions* questions = nullptr;
  // Hands a web or mail address to the desktop; false when nothing could take
  // it. Null: the desktop's URL handler.
  std::function<bool(const QUrl&)> open_url;
  // The PDF file to print to when no printer queue exists (title, proposed path); an empty
  // answer cancels. Null: the save dialog.
  std::function<QString(QWidget*, const QString&, const QString&)> ask_print_file;
  // Called with the print preview before it runs (tests look at it and close it).
  std::function<void(QDialog&)> preview_shown;
  // How often modified screens get a recovery copy (changes that took no snapshot).
  int recovery_interval_ms = 15000;
};

// The text of the about box: version, file format, and the libraries the
// program uses with their licences.
QString AboutText();

// The maker's support address the Help menu's mail command writes to.
inline constexpr const char* kSupportMailAddress = "support@qzarn.example.org";

// The engine's notices and questions go through the window questions, so tests
// answer them the same way.
class QuestionsEngineUi final : public EngineUi {
 public:
  explicit QuestionsEngineUi(ui::DocumentQuestions& questions) : questions_(questions) {}
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  // Notes of a pass (a curve traced coarser) go to the status bar.
  void ShowStatus(std::string_view text) override;
  std::function<void(const QString&)> status;

 private:
  ui::DocumentQuestions& questions_;
};

class MainWindow final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(ShellOptions options, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs the start-up steps: settings, the undo session, then the documents
  // named in `arguments` (the program name excluded) or one new screen.
  void Start(const QStringList& arguments);
  // Shows the window as the settings placed it (or as the restricted start
  // mode asks), then sizes and centres the screens (FinishStartup).
  void ShowPlaced();
  // The start-up steps that need the shown frame: the active screen maximised
  // or at 80 % of the frame, scrolled to the middle; the restricted mode's size.
  void FinishStartup();
  // Puts the settings into effect: drawing, hit testing, the engine, new
  // figures, saving and every open window. Called at start-up and after the
  // options change.
  void ApplySettings();
  // Opens documents dropped on the window or handed over by another start:
  // existing ".qzl" files only; the active screen is refreshed afterwards.
  // Returns how many opened.
  int OpenFiles(const QStringList& paths);
  // The recent-file list (kept in the user settings).
  forms::RecentFiles& recentFiles() { return recent_; }
  bool webMode() const { return start_.web_mode; }
  // After arranging the screens: each is scrolled to its middle when
  // ArrangeCenter is on.
  void CenterScreensAfterArrange();

  // 新規: a new empty screen in a new window.
  ui::DocumentWindow* NewScreen();
  // Opens the document at path into a window; false (after telling the user)
  // when it is missing or cannot be read.
  bool OpenDocumentFile(const QString& path);
  void OpenClick();
  // 上書き保存 / 名前を付けて保存; false when nothing was saved.
  bool SaveClick();
  bool SaveAsClick();

  ui::DocumentWindow* activeDocument() const;
  QList<ui::DocumentWindow*> documents() const;
  QMdiArea& mdiArea() { return *mdi_; }
  QString statusText(int panel) const;
  // Whether undo snapshots could be kept in the private folder this run.
  bool undoAvailable() const { return undo_ok_; }
  // Start-up: screens that ended runs left with unsaved changes are offered once; on Yes each
  // comes back as an unsaved screen with its title and file. Whatever the answer, those runs'
  // files are deleted afterwards. Returns how many screens came back.
  int OfferRecovery();
  // Writes a recovery copy of every screen changed since its last snapshot or copy (a timer
  // runs this while the program runs).
  void KeepRecoveryCopies();
  SettingsStore& settings() { return settings_; }
  // What the document windows work with (null before Start).
  const ui::DocumentEnvironment* environment() const { return env_.get(); }
  const ExprEngine& expressionEngine() const { return expr_; }

  QAction& newAction() { return *new_; }
  QAction& openAction() { return *open_; }
  QAction& saveAction() { return *save_; }
  QAction& saveAsAction() { return *save_as_; }
  QAction& closeAction() { return *close_; }
  QAction& exitAction() { return *exit_; }
  QAction& undoAction() { return *undo_; }
  QAction& redoAction() { return *redo_; }
  QAction& temporarySaveAction() { return *temporary_save_; }
  // Any menu command by its object name (e.g. "M_Close", "InsertPoint").
  QAction* command(const QString& name) const;
  // The recent-file entries shown in the File menu, in order.
  QList<QAction*> recentFileActions() const;
  // すべて閉じる: closes every screen; false when one of them stayed open.
  bool CloseAllClick();
  // ｲﾒｰｼﾞとして保存: writes the active screen's picture to an image file (BMP,
  // JPEG, PNG, SVG or PDF by the name's extension) at a chosen size.
  bool SaveAsPictureClick();
  // Every open screen as one self-contained lesson page.
  bool SaveAsWebPageClick();
  // Writes the active screen's picture to the name (".BMP" appended to a name
  // without a known extension) with the form's size; reports a failure.
  bool SavePictureTo(const QString& requested, const forms::PictureExportForm& form);

  // 印刷: the print dialog, then the printing pass (PrintScreenCommand); nothing
  // when the system has no printer.
  void PrintScreenCommand();
  // The printing step of PrintScreenCommand on a set-up printer: stores copies
  // and print size in the screen, shows the status text while printing and
  // restores everything afterwards. False (reported) when the printer refused.
  bool PrintActiveScreen(QPrinter& printer, int copies, int percent);
  // ﾌﾟﾘﾝﾀの設定: the system's printer set-up for the program's printer.
  void PrinterSetupClick();
  // 印刷ﾌﾟﾚﾋﾞｭｰ: the page as it will print; printing from there goes on as 印刷 after OK.
  void PrintPreviewCommand();
  // 印刷 after the dialog: to the printer, or, without a queue, to a PDF file asked for.
  bool PrintToChosenTarget(int copies, int percent);
  // Whether the system has a printer to print on.
  static bool PrintingAvailable();
  // The program's printer (its settings live as long as the program).
  QPrinter& printer();
  // The four arrange commands of the Window menu.
  enum class Arrangement { kTileHorizontally, kTileVertically, kCascade, kArrangeIcons };
  void ArrangeClick(Arrangement arrangement);
  // The zoom box: a percentage for the active screen.
  QComboBox& zoomBox() { return *zoom_; }
  // The tool bars (1..3) and the command catalogue: places the control of a
  // command at `position` (-1: at the end); false when the bar is full, the
  // number has no command or the command is already placed.
  bool AddCommand(int bar, int number, int position);
  void ClearToolbar(int bar);
  void LoadToolbar(int bar, std::string_view layout);
  std::string SaveToolbar(int bar) const;
  int ToolbarControlCount(int bar) const;
  bool CommandPlaced(int number) const;
  void LoadToolbarsFromSettings();
  void StoreToolbarsInSettings();
  void ZoomBoxEntered();
  // The attribute controls (null while not on a bar): ShowFigureAttributes
  // loads them from the active screen's selected figure, ApplyFigureAttributes
  // writes them into it (false when nothing changed or a size was refused).
  QComboBox* attributeControl(forms::AttributeControl control) const;
  // "ﾂｰﾙﾊﾞｰの設定(&U)": the customisation window (one at a time, modeless).
  void ToolBarSetupClick();
  ui::TdlgTool* toolbarSetup() const { return tool_setup_.data(); }
  // "既定に戻す(&S)": asks, then every bar gets its default layout.
  bool ResetToolbars();
  // A command dragged onto bar 1..3 at x (bar coordinates): from the list it
  // is added, from a bar it is moved. False when it was not placed.
  bool DropCommand(int bar, const ui::CommandDrag& drag, int x);
  // The control at `position` of a bar leaves it.
  void RemoveFromToolbar(int bar, int position);
  // A double click on the figure band: the bands go to the other edge.
  void MoveBands();
  bool bandsAtBottom() const { return bands_at_bottom_; }
  // The bands' background picture (ToolBar/Bitmap); a path whose picture
  // cannot be shown is forgotten when `forget_unreadable`.
  void SetToolbarBackground(const QString& path, bool forget_unreadable);
  const QString& toolbarBackground() const { return toolbar_bitmap_; }
  // The bars' pop-up menu, its entries brought in line with the display.
  QMenu& ToolbarMenu();
  // The icon of a catalogue entry (16 x 16 design, drawn as SVG).
  static QIcon CommandIconOf(int number);
  // Whether the application's palette makes the bars dark (icons are inked light for them).
  static bool BarsAreDark();
  void ShowFigureAttributes();
  bool ApplyFigureAttributes();

  // MS-DOS版からｲﾝﾎﾟｰﾄ: "図形のｲﾝﾎﾟｰﾄ(&P)..." makes one new screen per stored page,
  // "関数のｲﾝﾎﾟｰﾄ(&F)..." adds a stored function to the active screen. Each dialog starts
  // in the folder it was closed in last (the home folder the first time).
  void ImportFiguresClick();
  void ImportFunctionsClick();
  // The import step of the figure dialog: a new screen per page, titled and marked
  // modified when its page was converted.
  void ImportFigurePages(const import::FigureEntry& entry, const import::PageReader& reader,
                         std::span<const int> pages);

  // "図形リスト(&O)...": the figure list of the active screen; its "設定(&P)"
  // opens the property dialogs.
  void ShowFigureListClick();
  // "変数ﾃｰﾌﾞﾙ(&T)...": the variable table of the active screen.
  void ShowVariableTableClick();
  // 表示 → 変数ﾊﾟﾚｯﾄ → "標準のﾊﾟﾚｯﾄ(&S)": shows the standard palette for the
  // active screen, or closes it when it is shown (the screen's PaletteMode).
  void StandardPaletteClick();
  // The standard palette window, made on first use.
  ui::TEditValue& standardPalette();
  // 表示 → 変数ﾊﾟﾚｯﾄ → "ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ(&U)": shows the user-defined palette,
  // or closes it when it is shown.
  void UserPaletteClick();
  // The tool-bar button: standard → user-defined → none → standard.
  void CyclePaletteClick();
  // The user-defined palette window, made on first use.
  ui::TEditValue2& userPalette();
  // A right click on box `index` of the user-defined palette: the animation
  // player for it.
  void OpenAnimation(std::size_t index);
  // "変数ﾊﾟﾚｯﾄの編集(&E)...": the palette editor for the active screen; the
  // palette shown before comes back on Cancel, the user-defined one on OK.
  void EditPaletteClick();
  // Runs the palette editor modally (tests answer it); empty: exec().
  std::function<int(ui::TEditValue_E&)> run_palette_editor;
  // The editor's questions; error and Yes/No default to the window questions.
  ui::PaletteEditorQuestions palette_questions;
  // "中間式(&F)...": the intermediate-equation window for the active screen.
  void EditEquClick();
  ui::TdlgEquation& equationWindow();
  // The animation player that the user-defined palette's boxes open.
  ui::Tdlg_Anime& animeWindow();
  // The variable table window the property dialogs' "変数(&H)" opens; while
  // it is not connected the button is disabled.
  std::function<bool(QWidget* parent, SettingsBlock& block, const QString& caption)>
      edit_variables_hook;

  // "座標系の設定(&Z)...": the coordinate-system dialog of the screen, opened on the
  // tab (0 general, 1 X axis, 2 Y axis). On OK the settings file is written.
  bool EditCoordinateSystemOf(Screen& screen, int tab);
  // "線ｽﾀｲﾙ(&S)": the line style editor; its OK reaches every open screen.
  void EditLineStylesClick(QWidget* parent = nullptr);
  // "ｵﾌﾟｼｮﾝ(&S)...": the options dialog.
  void AjustOptionClick();
  // The options dialog, or its print tab alone (print_only: opened from the print
  // dialog). Returns whether the user confirmed.
  bool OpenOptions(bool print_only, QWidget* parent = nullptr);
  // Told after a settings dialog was confirmed, before its settings are applied
  // and every screen is redrawn.
  std::function<void()> apply_settings;
  const render::LineStyleTable& lineStyles() const { return line_styles_; }

 signals:
  // The recent-file list changed (a document was opened or saved).
  void recentFilesChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildFigureMenu();
  void BuildSettingsMenu();
  void BuildViewMenu();
  void BuildWindowMenu();
  void BuildHelpMenu();
  void BuildToolBars();
  QWidget* MakeAttributeControl(forms::AttributeControl control, int width);
  void RemoveControl(QToolBar& toolbar, QAction* control);
  int BarOf(const QObject* object) const;
  // Inks the commands' icons again when the bars changed between light and dark (a palette or
  // desktop theme change while the program runs).
  void ReinkIconsIfNeeded();
  bool ToolbarEvent(QToolBar& bar, QEvent* event);
  bool ControlEvent(QWidget& control, QEvent* event);
  void StartControlDrag(int bar, int position, int number, const QPixmap& picture);
  void ToolbarBackgroundClick();
  void RebuildRecentFiles();
  void MirrorSettingsMenu();
  // The restricted start mode shows no 編集, 図形 and 設定 menus.
  void HideEditingMenus();
  void ShowAbout();
  // Opens the address through open_url (or the desktop); shows `failure` when
  // the address is empty or nothing took it.
  void OpenExternal(const QString& address, const QString& failure);
  // An action of the menus: caption, object name and what it does.
  QAction* AddCommand(QMenu* menu, const char* name, const QString& caption,
                      std::function<void()> run, QKeySequence keys = {});
  // A command whose window is not part of the program yet: shown, never enabled.
  QAction* AddUnavailable(QMenu* menu, const char* name, const QString& caption);
  ui::DocumentWindow* AddWindow(std::unique_ptr<Screen> screen);
  // The printer set-up for `target`: the system's print dialog, or the page set-up of a PDF page.
  bool SetUpPrinter(QPrinter& target, QWidget* parent);
  // The print preview of the active screen on `target`; true when printing was chosen there.
  bool ShowPrintPreview(QPrinter& target, int percent, QWidget* parent);
  // The property dialogs' connections to the other windows.
  ui::PropertyDialogHooks PropertyHooks();
  void UpdateCommandState();
  // Shows the palette of the active screen's PaletteMode when another screen
  // became active, and refreshes the shown palette otherwise.
  void SyncPalettes();
  // The equation window follows the active screen and goes with the last one.
  void SyncEquationWindow();
  // At the end of start-up: the palette the ValuePalette setting chooses.
  void ShowStartPalette(ui::DocumentWindow& active);
  void ShowStatus(int panel, const QString& text);
  bool SaveTo(ui::DocumentWindow& window, const QString& path);
  void ReportSettingsProblems(const std::vector<SettingsProblem>& problems);
  // The settings new screens start from, with the real display size.
  NewScreenDefaults NewScreenSettings() const;
  // Window section: placement and state of the frame, read and written.
  void PlaceFromSettings();
  void StoreWindowPlacement();
  // Loading and saving remember the folder and the file.
  void RememberFile(const QString& path);
  // Where the open dialog starts (RecentFile section).
  QString DialogFolder() const;
  ui::DocumentHooks DocumentHooksForWindow();
  // The figure clipboard commands on the active screen.
  void CopyFigure();
  void CutFigure();
  void PasteFigure();
  // Takes the layout values, dash patterns and jump threshold from the settings into
  // the drawing options and redraws every screen.
  void ApplyDialogSettings();

  ShellOptions options_;
  QString figure_import_folder_;
  QString function_import_folder_;
  std::unique_ptr<ui::DocumentQuestions> own_questions_;
  ui::DocumentQuestions* questions_;
  SettingsStore settings_;
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
  QuestionsEngineUi engine_ui_;
  FigureEngine engine_{expressions_, engine_ui_};
  render::RenderOptions render_;
  std::unique_ptr<QPrinter> printer_;
  QAction* print_ = nullptr;
  QAction* printer_setup_ = nullptr;
  QAction* print_preview_ = nullptr;
  render::LineStyleTable line_styles_ = render::DefaultLineStyles();
  forms::RecentFiles recent_{settings_.user()};
  forms::StartRequest start_;
  FigureDefaults defaults_;
  int current_tool_ = -1;
  ScreenTitleCounter titles_;
  std::unique_ptr<QTemporaryDir> fallback_folder_;
  std::optional<UndoSession> session_;
  QTimer* recovery_timer_ = nullptr;
  bool icons_dark_ = false;  // the bars' darkness the icons were inked for
  std::unique_ptr<ui::DocumentEnvironment> env_;
  bool undo_ok_ = false;
  bool started_ = false;

  QMdiArea* mdi_ = nullptr;
  QLabel* panels_[3] = {};
  QAction* new_ = nullptr;
  QAction* open_ = nullptr;
  QAction* save_ = nullptr;
  QAction* save_as_ = nullptr;
  QAction* close_ = nullptr;
  QAction* exit_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* temporary_save_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  // The figure clipboard of all screens, and the window a figure drag left.
  forms::CopiedFigure copied_figure_;
  QPointer<ui::DocumentWindow> drag_source_;
  QComboBox* zoom_ = nullptr;
  ui::TEditValue* standard_palette_ = nullptr;
  QAction* standard_palette_action_ = nullptr;
  ui::TEditValue2* user_palette_ = nullptr;
  QAction* user_palette_action_ = nullptr;
  // A palette goes to the main window's corner the first time it shows; after
  // that it keeps the place the user gave it.
  bool standard_palette_placed_ = false;
  bool user_palette_placed_ = false;
  // Shows the palette of the mode for the window (1 standard, 2 user-defined),
  // hiding the other one; 0 hides both.
  void ShowPaletteMode(ui::DocumentWindow* w, int mode);
  // The document window the palettes were last synchronised with.
  QPointer<ui::DocumentWindow> palette_window_;
  QPointer<QSpinBox> zoom_spin_;
  QMenu* file_menu_ = nullptr;
  QAction* recent_separator_ = nullptr;
  QList<QAction*> recent_actions_;
  QMenu* settings_menu_ = nullptr;
  QMenu* edit_menu_ = nullptr;
  QMenu* figure_menu_ = nullptr;
  // Commands enabled only while a screen exists.
  QList<QAction*> screen_commands_;
  ui::TdlgEquation* equation_window_ = nullptr;
  ui::Tdlg_Anime* anime_window_ = nullptr;
  // Commands shown but not available in this version.
  QList<QAction*> unavailable_;
  QList<QAction*> insert_commands_;
  QToolBar* tool_bars_[3] = {};
  std::array<QPointer<QComboBox>, forms::kAttributeControlCount> attribute_controls_;
  forms::FigureAttributes shown_attributes_;
  QString refused_size_;  // the size text last refused
  QPointer<ui::TdlgTool> tool_setup_;
  QPoint drag_press_;
  bool bands_at_bottom_ = false;
  QString toolbar_bitmap_;
  QMenu* toolbar_menu_ = nullptr;
  QAction* toolbar_background_ = nullptr;
  QAction* toolbar_background_clear_ = nullptr;
};

// For tests that kill the program: sets the zoom of each screen in window order
// ("150!,75": 150 % then a snapshot on the first, 75 % on the second) and, when
// `dump_folder` is given, writes each screen's document there as screen-N.qzl,
// then a file "ready".
void ApplyScriptedEdits(MainWindow& window, const QString& script, const QString& dump_folder);

}  // namespace qzarn::shell
