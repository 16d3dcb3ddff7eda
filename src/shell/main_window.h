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
#include "settings/settings_store.h"
#include "ui/document_window.h"
#include "ui/property_dialog.h"

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QTemporaryDir;

namespace qzarn::shell {

inline constexpr const char* kCaption = "Sorvane";
inline constexpr const char* kOpenDialogTitle = "ファイルを開く";
inline constexpr const char* kOpenFilter = "Sorvaneファイル (*.qzl)";

// "“" + path + "” が見つかりません．"
QString NotFoundMessage(const QString& path);

struct ShellOptions {
  SettingsLocations settings;
  std::string undo_folder;  // the private folder of undo snapshots
  // Answers the questions; null: message boxes and file dialogs.
  ui::DocumentQuestions* questions = nullptr;
};

// The engine's notices and questions go through the window questions, so tests
// answer them the same way.
class QuestionsEngineUi final : public EngineUi {
 public:
  explicit QuestionsEngineUi(ui::DocumentQuestions& questions) : questions_(questions) {}
  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;

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
  SettingsStore& settings() { return settings_; }

  QAction& newAction() { return *new_; }
  QAction& openAction() { return *open_; }
  QAction& saveAction() { return *save_; }
  QAction& saveAsAction() { return *save_as_; }
  QAction& closeAction() { return *close_; }
  QAction& exitAction() { return *exit_; }
  QAction& undoAction() { return *undo_; }
  QAction& redoAction() { return *redo_; }
  QAction& temporarySaveAction() { return *temporary_save_; }
  // The zoom box: a percentage for the active screen.
  QComboBox& zoomBox() { return *zoom_; }
  void ZoomBoxEntered();

  // "図形リスト(&O)...": the figure list of the active screen; its "設定(&P)"
  // opens the property dialogs.
  void ShowFigureListClick();
  // The variable table window the property dialogs' "変数(&H)" opens; while
  // it is not connected the button is disabled.
  std::function<bool(QWidget* parent, SettingsBlock& block, const QString& caption)>
      edit_variables_hook;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  ui::DocumentWindow* AddWindow(std::unique_ptr<Screen> screen);
  // The property dialogs' connections to the other windows.
  ui::PropertyDialogHooks PropertyHooks();
  void UpdateCommandState();
  void ShowStatus(int panel, const QString& text);
  bool SaveTo(ui::DocumentWindow& window, const QString& path);
  void ReportSettingsProblems(const std::vector<SettingsProblem>& problems);

  ShellOptions options_;
  std::unique_ptr<ui::DocumentQuestions> own_questions_;
  ui::DocumentQuestions* questions_;
  SettingsStore settings_;
  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
  QuestionsEngineUi engine_ui_;
  FigureEngine engine_{expressions_, engine_ui_};
  render::RenderOptions render_;
  FigureDefaults defaults_;
  int current_tool_ = -1;
  ScreenTitleCounter titles_;
  std::unique_ptr<QTemporaryDir> fallback_folder_;
  std::optional<UndoSession> session_;
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
  QComboBox* zoom_ = nullptr;
};

}  // namespace qzarn::shell
