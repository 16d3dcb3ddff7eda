#pragma once
// The document window: one screen shown on a surface the size of the screen's
// drawing area, inside a scroll area, as a child of the main window's
// multiple-document area. The window owns the screen (through an
// UndoableScreen, so its snapshot files go when the window goes), keeps the
// off-screen picture up to date and turns mouse and keyboard input into calls
// on the pointer tools.
//
// What the window needs from the rest of the program arrives as a
// DocumentEnvironment (program-wide engine, options, undo session, tool code)
// and a DocumentHooks (dialogs and services owned by other windows). A hook
// that is not connected makes its command unavailable; it never pretends that
// a dialog ran.

// The core headers come before Qt's: the figure table has a member named like a
// Qt keyword macro.
#include "document/document_file.h"
#include "document/figure_defaults.h"
#include "document/undo_session.h"
#include "forms/figure_attributes.h"
#include "import/legacy_data.h"
#include "interact/pointer_tools.h"
#include "platform/rgb_image.h"
#include "qt/drag_picture.h"
#include "qt/picture_chunks.h"
#include "qt/picture_export.h"
#include "qt/variable_step_picture.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "qt/qt_canvas.h"
#include "ui/message_caption.h"

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QMimeData;

namespace qzarn {

class EngineUi;
class FigureEngine;
class FigureExpressions;

namespace ui {

inline constexpr const char* kUndoCaption = "元に戻す(&U)";
inline constexpr const char* kRedoCaption = "やり直し(&R)";
inline constexpr const char* kTemporarySaveCaption = "一時保存(&A)";
inline constexpr const char* kJumpToHomeCaption = "原点を中央へ移動(&H)";
inline constexpr const char* kSaveFilter = "Sorvaneファイル (*.qzl)";

// The closing question: "“" + caption + "” が変更されています．保存しますか？".
QString SaveChangesQuestion(const QString& caption);
// The title of the save dialog offered on closing.
QString SaveDialogTitle(const QString& caption);

enum class SaveChoice { kYes, kNo, kCancel };

// The questions the window asks the user. The desktop program answers with
// message boxes and the file dialog; tests answer them directly.
class DocumentQuestions {
 public:
  virtual ~DocumentQuestions() = default;
  // Yes, No and Cancel for a modified screen being closed.
  virtual SaveChoice AskSaveChanges(QWidget* parent, const QString& caption) = 0;
  // The file to save to; nothing when the user cancels the dialog.
  virtual std::optional<QString> AskSavePath(QWidget* parent, const QString& caption) = 0;
  // A failure the user must see (error icon, OK).
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
  // The same with the warning icon, for questions whose Yes loses figures
  // (deleting a figure together with the figures that refer to it).
  virtual bool AskWarningYesNo(QWidget* parent, const QString& text) {
    return AskYesNo(parent, text);
  }
};

// Message boxes and the save dialog.
class DialogQuestions final : public DocumentQuestions {
 public:
  SaveChoice AskSaveChanges(QWidget* parent, const QString& caption) override;
  std::optional<QString> AskSavePath(QWidget* parent, const QString& caption) override;
  void ShowError(QWidget* parent, const QString& text) override;
  bool AskYesNo(QWidget* parent, const QString& text) override;
  bool AskWarningYesNo(QWidget* parent, const QString& text) override;
};

// Program-wide parts every document window works with. All references must
// outlive the windows.
struct DocumentEnvironment {
  FigureEngine& engine;
  FigureExpressions& expressions;
  EngineUi& engine_ui;  // the delete question and the engine's notices
  UndoSession& undo;
  const render::RenderOptions& render;
  const FigureDefaults& defaults;
  int& current_tool;  // the application's CurrentTool
  DocumentQuestions& questions;
  interact::HitSettings hit{};  // the Find factors and point zoom of the settings
  SaveOptions save{};           // CompressMode and the picture options
  bool web_mode = false;        // the restricted start mode
  bool drag_drop = true;  // DragDrop: "ドラッグ・アンド・ドロップ編集を行う(&D)"
  bool hint_popup = true;  // HintPopup: "選択した図形名をﾎﾟｯﾌﾟｱｯﾌﾟ表示(&P)"
  bool edit_attr = true;    // EditAttr
  bool cont_attrib = true;  // ContAttrib
  NewFigureFont font{};     // InitFont ...: the label font of new figures
};

class DocumentWindow;

// Dialogs and services of other windows. Empty members are not connected yet:
// the property dialog then counts as cancelled (a new figure is discarded),
// the coordinate-system dialog does not open, and object editing reports that
// the object cannot be edited.
struct DocumentHooks {
  // The property dialog of the figure in the slot; true when confirmed.
  std::function<bool(Screen&, int)> figure_dialog;
  // The coordinate-system dialog, opened on the given tab (0: general, 1: X axis,
  // 2: Y axis); true when confirmed.
  std::function<bool(Screen&, int)> coordinate_dialog;
  // Ends in-place editing of the screen's embedded object.
  std::function<void(Screen&)> end_object_edit;
  // Creates the embedded object of a new frame figure (tool 65, 81 or 82); must
  // remove the figure again when no object results.
  std::function<void(Screen&, int, int)> create_object;
  // Refreshes the main window's controls (zoom box, palettes, attribute bar).
  std::function<void()> command_state_changed;
  // The locus dialog of the figure in the slot; true when confirmed.
  std::function<bool(Screen&, int)> locus_dialog;
  // The figure clipboard: whether a copied figure is held, and dropping it
  // when the screen picture goes to the clipboard instead.
  std::function<bool()> has_copied_figure;
  std::function<void()> drop_copied_figure;
  // The main window's figure commands, offered by the pop-up menu too.
  std::function<void()> cut_figure;
  std::function<void()> copy_figure;
  std::function<void()> paste_figure;
  // The intermediate-equation window of this screen (the pop-up's "中間式").
  std::function<void()> edit_equations;
  // Dragging a figure to another screen: remembers the window a drag left
  // (none when the drag ends) and tells it.
  std::function<void(DocumentWindow*)> drag_source_changed;
  std::function<DocumentWindow*()> drag_source;
};

// The zoom box: a whole number with or without "%", clamped to 10..1000; any
// other text reads as 0 and so gives 10.
int ZoomFromText(const QString& text);
QString ZoomText(int percent);

// The Insert menu items of the window: object name, caption and the tool they arm.
struct InsertItem {
  const char* name;
  const char* caption;
  int tool;
};
inline constexpr InsertItem kInsertItems[] = {
    {"InsertPoint", "点(&P)", 51},
    {"InsertBunten", "分点(&B)...", 52},
    {"InsertCross", "交点(&K)...", 53},
    {"InsertSuisen", "垂線の足(&U)...", 54},
    {"InsertAngle", "角の等分(&T)...", 55},
    {"InsertAngle2", "角度(&A)...", 56},
    {"MenuLineP2", "２点指定(&P)", 57},
    {"MenuLineK2", "一般形(&K)...", 68},
    {"MenuLineH2", "標準形(&H)...", 69},
    {"MenuCircleP2", "中心指定(&P)", 58},
    {"MenuCircleP3", "３点指定(&S)...", 74},
    {"MenuCircleK2", "一般形(&K)...", 75},
    {"MenuCircleH2", "標準形(&H)...", 76},
    {"MenuIHoubP2", "頂点指定(&P)", 59},
    {"MenuIHoubK2", "一般形(&K)...", 71},
    {"MenuIHoubS2", "標準形(&H)...", 72},
    {"InsertPoly", "多角形(&V)...", 64},
    {"InsertSpline", "スプライン曲線(&C)...", 83},
    {"I_FuncYo", "陽関数(&Y)...", 77},
    {"I_FuncIn", "陰関数/領域(&I)...", 78},
    {"I_FuncBi", "媒介変数の関数(&B)...", 79},
    {"I_FuncKy", "極方程式(&K)...", 80},
    {"InsertCross2", "関数の交点(&N)...", 61},
    {"InsertMenseki", "関数の面積(&S)...", 63},
    {"InsertSessen", "関数の接線(&E)...", 62},
    {"InsertChar", "文字(&R)...", 66},
    {"InsertOLE", "ｵﾌﾟｼﾞｪｸﾄ(&O)...", 65},
};

class DocumentWindow;

// The paint box: shows the window's picture and hands its mouse events over.
class ScreenSurface final : public QWidget {
 public:
  explicit ScreenSurface(DocumentWindow& window);

  DocumentWindow& document() const { return window_; }
  // The screen shown; null once the window has closed.
  const Screen* screen() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  DocumentWindow& window_;
};

class DocumentWindow final : public QWidget, private interact::PointerUi {
  Q_OBJECT

 public:
  // Takes over the screen (new or loaded); its state becomes the first undo
  // snapshot. The caption is the screen's title.
  DocumentWindow(DocumentEnvironment& env, std::unique_ptr<Screen> screen, DocumentHooks hooks = {},
                 QWidget* parent = nullptr);
  ~DocumentWindow() override;

  // The screen; null once the window has closed.
  Screen* screen();
  const Screen* screen() const;
  bool closed() const { return undoable_ == nullptr; }

  ScreenSurface& surface() { return *surface_; }
  QScrollArea& scrollArea() { return *scroll_; }
  // The off-screen picture of the screen.
  // The picture as shown; a drag's first step is put together here when it
  // has not been yet.
  const QImage& picture() const {
    SettlePicture();
    return picture_;
  }
  // Whether the current drag's picture is put together from kept layers
  // rather than drawn whole on every step.
  bool dragPictureLayered() const { return !drag_picture_.empty(); }
  // Whether the pieces a press lays a drag's layers out from are made for
  // the picture as it stands.
  bool keptPictureReady() const { return kept_picture_.ready(); }
  // The text last written to status panel 0..2.
  QString statusText(int panel) const;

  // Recomputes, draws the whole screen into the picture and shows it.
  void RefreshScreen() override;
  // After a palette or animation step changed variable values and nothing
  // else: recomputes only what the changed variables reach and redraws the
  // picture where those figures were and are (or from kept layers, and then
  // whole once the steps pause; or whole, whichever costs least). Anything
  // else changed since the last picture: RefreshScreen.
  void RefreshAfterVariableStep();
  // Whether the last variable step was put together from kept layers.
  bool variableStepLayered() const { return variable_layers_ && !drag_picture_.empty(); }
  // How the last variable step was drawn.
  VariableStepPicture::Drawing lastVariableStep() const { return last_variable_step_; }
  // Enables the window's commands from its state and tells the main window.
  void UpdateCommandState();
  // Takes the environment's options again (after the settings changed) and redraws.
  void ApplyEnvironment();

  // Commands of the window (menu items and shortcuts).
  QAction& undoAction() { return *undo_; }
  QAction& redoAction() { return *redo_; }
  QAction& temporarySaveAction() { return *temporary_save_; }
  QAction& jumpToHomeAction() { return *jump_home_; }
  QAction& copyPictureAction() { return *copy_picture_; }
  QAction& pastePictureAction() { return *paste_picture_; }
  // The Insert items, in the order of kInsertItems.
  const std::vector<QAction*>& insertActions() const { return insert_actions_; }
  void M_UndoClick();
  void M_RepeatClick();
  void M_SaveDoClick();
  void JumpToHomeClick();
  void DeleteSelectedFigure();
  // Arms the tool of an Insert item; a tool whose figure is defined in a dialog
  // creates it at once.
  void InsertPointClick(int tool);
  void CopyToClipboardClick();
  // Brings the pop-up menu of the surface in line with the selection.
  void PopupPropertyPopup();
  QMenu& popupMenu() { return *popup_; }
  void PasteBitmapClick();
  // The figure clipboard of the window's screen. A copy of the selected record,
  // or nothing with nothing selected.
  std::optional<FigureRecord> SelectedFigureCopy() const;
  // Cuts the selected figure after `copy` took it (one undo step).
  void CutSelectedFigure(const std::function<void()>& copy);
  // Inserts a detached copy of the record, confirmed in its property dialog:
  // cancelling removes it again. Returns whether a figure was added.
  bool PasteFigure(const FigureRecord& record);
  // A stored function of the text-mode edition as a new parametric function, confirmed
  // in its property dialog: cancelling removes it again. Nothing when the table is full.
  bool ImportFunction(const import::FunctionEntry& entry);
  // "図形の設定(&P)...": the property dialog of the selected figure.
  void EditSelectedFigure();
  // The tool bars' attribute controls written into the selected figure: one
  // undo step and a redraw when it changed; the attributes are remembered for
  // the next figure of its type while ContAttrib is on. Returns whether it changed.
  bool ApplyFigureAttributes(const forms::FigureAttributes& controls);
  // "座標系の設定(&Z)...": the coordinate-system dialog on its general tab.
  void M_ZahyoClick();
  // Writes the screen picture as an image file (the format by the extension);
  // `written` is the file actually written.
  bool SaveAsPicture(const QString& path, QString& written, QString& error);
  // The screen drawn afresh into a picture file of the requested kind and size.
  bool ExportPicture(const PictureRequest& request, const QString& path, QString& error);
  // The printing pass on a page of `page` device pixels (PrintScreen); while it
  // runs, redraws of the screen do nothing. Returns the print factor.
  double PrintScreen(QPainter& painter, render::Size page, int percent, bool white_out);
  bool printing() const { return printing_; }
  // Writes a recovery copy when the screen changed since its last snapshot or copy.
  bool KeepForRecovery(std::string& error);
  // The items of the pop-up menu, which the main window's 設定 menu mirrors.
  QAction& clearAllLociAction() { return *clear_all_loci_; }
  QAction& figureSettingsAction() { return *figure_settings_; }
  QAction& objectSettingsAction() { return *object_settings_; }
  QAction& objectEditAction() { return *object_edit_; }
  QAction& locusSettingsAction() { return *locus_settings_; }
  QAction& locusClearAction() { return *locus_clear_; }
  QAction& coordinateSystemAction() { return *coordinate_system_; }
  // Sets the zoom in percent (clamped to 10..1000) and redraws when it changed.
  void SetZoom(int percent);

  // Mouse input in surface pixels (the surface calls these).
  void ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
  void ImageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
  void ImageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint at);
  void ImageDblClick(QPoint at);
  // The armed drawing tool used from the keyboard: the figure is placed at the
  // centre of the visible part of the screen (a two-point figure from there
  // one unit right and up) and its property dialog opens, as after a click.
  // False when no drawing tool is armed.
  bool InsertAtCentre();
  // A figure dragged in from another document window.
  bool ImageDragOver(const QMimeData& data) const;
  bool ImageDragDrop(const QMimeData& data);

 signals:
  // A status bar panel (0 prompt, 1 position, 2 hints) has new text.
  void statusChanged(int panel, const QString& text);
  void commandStateChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  friend class ScreenSurface;

  // PointerUi
  render::Canvas& PictureCanvas() override;
  void RefreshDraggedFigure() override;
  void SetCursor(interact::PointerCursor cursor) override;
  void SetStatus(int panel, std::string_view text) override;
  bool EditFigureDialog(Screen& screen, int index) override;
  void TakeUndoSnapshot(Screen& screen) override;
  // Empties the prompt and key-hint panels once no drawing tool is armed: they
  // speak of a tool that has finished.
  void ClearPromptsOfEndedTool();
  void CreateObjectFigure(Screen& screen, int index, int tool) override;
  void BeginObjectEdit(Screen& screen, int index) override;

  // Ends drawing on the picture and shows it.
  void ShowPicture();
  // Recomputes (unless told not to) and draws the whole screen into the picture.
  void DrawWholePicture(bool recompute);
  // The first drag step with the whole picture redrawn: a full pass, then the
  // kept parts of the picture drawn once, or the whole picture when only that is exact.
  void StartDragPicture();
  // At a press on a figure with FullRedraw on: the drag's layers put together
  // from the kept pieces and the selection drawn, without a pass; false (and
  // nothing done) when the pieces are not there or the screen has changed.
  bool StartDragFromKeptPicture();
  // After a whole picture: its pieces are made once the screen stands still.
  void ScheduleKeptPicture();
  void DropKeptPicture();
  void BuildKeptPiece();
  // What the kept pieces were drawn from: any difference makes them stale.
  std::vector<std::uint8_t> KeptPictureKey() const;
  // The same without the variable table, which a variable step compares cell by cell.
  std::vector<std::uint8_t> PictureKey(bool with_variables) const;
  // PictureKey into `key`, whose room is reused.
  void PictureKeyInto(bool with_variables, std::vector<std::uint8_t>& key) const;
  // Whether `key` is PictureKey(with_variables), without building it.
  bool PictureKeyIs(const std::vector<std::uint8_t>& key, bool with_variables) const;
  // Whether the kept pieces fit the picture and show the screen as it is.
  bool KeptPictureCurrent() const;
  // Puts together a drag step the press left for the next look at the picture.
  void SettlePicture() const;
  // Remembers what the picture now shows, for the next variable step
  // (`stepped`: drawn by one, which changed the screen).
  void RememberShownScreen(bool stepped = false);
  void DrawPictureSteps(render::Canvas& canvas, std::span<const render::PictureStep> steps);
  void EndPicturePainter();
  void FitSurfaceToScreen();
  // The picture's size in surface pixels.
  render::Size SurfaceSize() const;
  const RgbImage* BackgroundPicture();
  interact::PointerEvent EventAt(QPoint at, Qt::KeyboardModifiers modifiers, bool left) const;
  // Refreshes the hit settings from the window and program state.
  void SyncHitSettings();
  // Copies the program-wide options of the environment into the pointer context.
  void TakeEnvironmentOptions();
  void ReportUndo(const UndoResult& result);
  // FormClose: asks about saving; false when the window stays open.
  bool ConfirmClose();
  bool SaveTo(const QString& path);
  void EndObjectEdit();
  void StartFigureDrag();
  void BuildPopup();
  // Returns whether the pointer is over the selected figure.
  bool MouseCursorFeedback(Qt::MouseButtons buttons, QPoint at);
  void ShowFigureHint(QPoint at);
  void HideFigureHint();

  DocumentEnvironment& env_;
  DocumentHooks hooks_;
  std::unique_ptr<UndoableScreen> undoable_;
  AttributeMemory attributes_;
  interact::PointerContext ctx_;
  interact::PointerState state_;

  QScrollArea* scroll_ = nullptr;
  ScreenSurface* surface_ = nullptr;
  QImage picture_;
  // The kept parts of the picture while a figure is dragged with FullRedraw on;
  // any other redraw drops them.
  DragPicture drag_picture_;
  // The still picture in pieces (drawn without a selection) and its key.
  PictureChunks kept_picture_;
  std::vector<std::uint8_t> kept_picture_key_;
  QTimer* kept_picture_timer_ = nullptr;
  // What the picture shows, for a variable step: the variable table and the
  // rest of what a picture is drawn from (empty: unknown, draw whole), and
  // a count that moves on whenever the rest changes, so that a step names
  // the screen it was drawn from without copying a megabyte of records.
  std::unique_ptr<VariableTable> shown_variables_;
  std::vector<std::uint8_t> shown_key_;
  std::uint64_t shown_serial_ = 0;
  // drag_picture_ holds a variable step's layers, not a drag's.
  bool variable_layers_ = false;
  // Draws the whole picture once variable steps pause: the layered picture
  // may differ from it by a shade where thin lines cross.
  QTimer* settle_timer_ = nullptr;
  // Where each figure of the picture lies, for redrawing a step's changes.
  VariableStepPicture variable_step_;
  VariableStepPicture::Drawing last_variable_step_ = VariableStepPicture::Drawing::kWhole;
  bool printing_ = false;  // the printer owns the drawing pass
  // Open while a pointer tool draws erasably on the picture during one event.
  std::unique_ptr<QPainter> picture_painter_;
  std::unique_ptr<QtCanvas> picture_canvas_;

  RgbImage background_;
  std::vector<std::uint8_t> background_source_;
  bool background_ok_ = false;

  std::array<QString, 3> status_;
  bool ctrl_down_ = false;
  bool shift_down_ = false;

  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* temporary_save_ = nullptr;
  QAction* jump_home_ = nullptr;
  QAction* copy_picture_ = nullptr;
  QAction* paste_picture_ = nullptr;
  std::vector<QAction*> insert_actions_;
  QMenu* popup_ = nullptr;
  QAction* clear_all_loci_ = nullptr;
  QAction* figure_separator_ = nullptr;
  QAction* cut_ = nullptr;
  QAction* copy_ = nullptr;
  QAction* paste_ = nullptr;
  QAction* figure_settings_ = nullptr;
  QAction* object_settings_ = nullptr;
  QAction* object_edit_ = nullptr;
  QAction* locus_settings_ = nullptr;
  QAction* equations_ = nullptr;
  QAction* locus_clear_ = nullptr;
  QAction* coordinate_system_ = nullptr;
  // The name popup of the selected figure; shown once per hover.
  QLabel* hint_ = nullptr;
};

}  // namespace ui
}  // namespace qzarn
