#include "ui/document_window.h"
#include "ui/screen_accessible.h"

#include "import/page_import.h"
#include "render/save_picture.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/engine_ui.h"
#include "engine/function_sampling.h"
#include "engine/locus.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "engine/variable_reach.h"
#include "forms/figure_list.h"
#include "forms/locus_settings.h"
#include "interact/drag_redraw.h"
#include "interact/hit_test.h"
#include "platform/image_codec.h"
#include "qt/qt_canvas_bands.h"
#include "qt/qt_image.h"
#include "render/draw_screen.h"

#include "ui/file_dialog.h"
#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr const char* kObjectNotCreatedMessage = "ｵﾌﾞｼﾞｪｸﾄが作成できませんでした．";
constexpr const char* kNoObjectServiceMessage =
    "このｵﾌﾞｼﾞｪｸﾄを編集するための機能がｾｯﾄｱｯﾌﾟされていません．";
constexpr const char* kReplacePictureQuestion = "現在の画像と置き換えますか？";
constexpr const char* kCopyPictureCaption = "画面をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰ(&B)";
constexpr const char* kPastePictureCaption = "画像をｸﾘｯﾌﾟﾎﾞｰﾄﾞから貼り付け(&V)";

// Transparent layers kept over a variable step's picture, as for a drag.
constexpr int kMostPictureLayers = 4;
// The whole picture follows a run of variable steps once it has paused this long.
constexpr int kSettleDelayMs = 250;

constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;
// The name popup is at most this wide (pixels) and sits just left of and below the cursor.
constexpr int kHintMaxWidth = 100;

bool ClipboardHasImage() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasImage();
}

}  // namespace

QString SaveChangesQuestion(const QString& caption) {
  return QStringLiteral("“") + caption + QStringLiteral("” が変更されています．保存しますか？");
}

QString SaveDialogTitle(const QString& caption) {
  return QStringLiteral("ﾌｧｲﾙ名を付けて保存 [") + caption + QStringLiteral("]");
}

int ZoomFromText(const QString& text) {
  QString digits = text.trimmed();
  if (digits.endsWith(QLatin1Char('%'))) digits.chop(1);
  bool ok = false;
  const qlonglong value = digits.trimmed().toLongLong(&ok);
  return static_cast<int>(std::clamp<qlonglong>(ok ? value : 0, kMinZoom, kMaxZoom));
}

QString ZoomText(int percent) {
  return QString::number(percent) + QLatin1Char('%');
}

// ---- Questions ------------------------------------------------------------------------

SaveChoice DialogQuestions::AskSaveChanges(QWidget* parent, const QString& caption) {
  const auto answer = QMessageBox::question(
      parent, QString::fromUtf8(kMessageCaption), SaveChangesQuestion(caption),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  if (answer == QMessageBox::Yes) return SaveChoice::kYes;
  if (answer == QMessageBox::No) return SaveChoice::kNo;
  return SaveChoice::kCancel;
}

std::optional<QString> DialogQuestions::AskSavePath(QWidget* parent, const QString& caption) {
  QFileDialog dialog(parent, SaveDialogTitle(caption));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QString::fromUtf8(kSaveFilter));
  dialog.setDefaultSuffix(QStringLiteral("qzl"));
  dialog.selectFile(caption + QStringLiteral(".qzl"));
  NameFileDialogParts(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

void DialogQuestions::ShowError(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QString::fromUtf8(kMessageCaption), text);
}

bool DialogQuestions::AskYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::question(parent, QString::fromUtf8(kMessageCaption), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool DialogQuestions::AskWarningYesNo(QWidget* parent, const QString& text) {
  return QMessageBox::warning(parent, QString::fromUtf8(kMessageCaption), text,
                              QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) == QMessageBox::Yes;
}

// ---- Surface --------------------------------------------------------------------------

ScreenSurface::ScreenSurface(DocumentWindow& window) : QWidget(nullptr), window_(window) {
  setObjectName(QStringLiteral("Image"));
  setMouseTracking(true);
  setAcceptDrops(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
  InstallScreenAccessibility();
}

const Screen* ScreenSurface::screen() const {
  return window_.screen();
}

void ScreenSurface::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& picture = window_.picture();
  if (picture.isNull()) {
    painter.fillRect(event->rect(), Qt::white);
    return;
  }
  // The picture may have more pixels than the surface (high-resolution
  // display): its device pixel ratio maps it onto the surface.
  painter.setClipRect(event->rect());
  painter.drawImage(QPoint(0, 0), picture);
}

void ScreenSurface::mousePressEvent(QMouseEvent* event) {
  window_.ImageMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void ScreenSurface::mouseMoveEvent(QMouseEvent* event) {
  window_.ImageMouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
}

void ScreenSurface::mouseReleaseEvent(QMouseEvent* event) {
  window_.ImageMouseUp(event->button(), event->modifiers(), event->position().toPoint());
}

// A double click arrives in place of the second press: the window first handles
// the double click and then the press, as the platform's own order has it.
void ScreenSurface::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  window_.ImageDblClick(at);
  if (!window_.closed()) window_.ImageMouseDown(event->button(), event->modifiers(), at);
}

void ScreenSurface::contextMenuEvent(QContextMenuEvent* event) {
  if (window_.closed()) return;
  window_.PopupPropertyPopup();
  window_.popupMenu().exec(event->globalPos());
}

void ScreenSurface::dragEnterEvent(QDragEnterEvent* event) {
  if (window_.ImageDragOver(*event->mimeData())) event->acceptProposedAction();
}

void ScreenSurface::dragMoveEvent(QDragMoveEvent* event) {
  if (window_.ImageDragOver(*event->mimeData())) event->acceptProposedAction();
}

void ScreenSurface::dropEvent(QDropEvent* event) {
  if (window_.ImageDragDrop(*event->mimeData())) event->acceptProposedAction();
}

// ---- Window ---------------------------------------------------------------------------

DocumentWindow::DocumentWindow(DocumentEnvironment& env, std::unique_ptr<Screen> screen,
                               DocumentHooks hooks, QWidget* parent)
    : QWidget(parent),
      env_(env),
      hooks_(std::move(hooks)),
      undoable_(std::make_unique<UndoableScreen>(env.undo, std::move(screen))),
      ctx_{env.engine,   env.expressions, *this,           env.render,
           env.defaults, attributes_,     env.current_tool} {
  setObjectName(QStringLiteral("TMDIChildForm"));
  setFocusPolicy(Qt::StrongFocus);
  TakeEnvironmentOptions();

  Screen& s = undoable_->screen();
  setWindowTitle(Utf8(s.Title));

  scroll_ = new QScrollArea(this);
  scroll_->setWidgetResizable(false);
  scroll_->setFocusPolicy(Qt::NoFocus);
  surface_ = new ScreenSurface(*this);
  scroll_->setWidget(surface_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll_);

  // The window's commands carry no shortcuts: the main window's menu items own
  // the keys and forward to the active window, so no key has two owners.
  const auto make_action = [this](const char* caption, auto slot) {
    auto* action = new QAction(QString::fromUtf8(caption), this);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  undo_ = make_action(kUndoCaption, [this] { M_UndoClick(); });
  redo_ = make_action(kRedoCaption, [this] { M_RepeatClick(); });
  temporary_save_ = make_action(kTemporarySaveCaption, [this] { M_SaveDoClick(); });
  jump_home_ = make_action(kJumpToHomeCaption, [this] { JumpToHomeClick(); });
  copy_picture_ = make_action(kCopyPictureCaption, [this] { CopyToClipboardClick(); });
  paste_picture_ = make_action(kPastePictureCaption, [this] { PasteBitmapClick(); });
  for (const InsertItem& item : kInsertItems) {
    QAction* action =
        make_action(item.caption, [this, tool = item.tool] { InsertPointClick(tool); });
    action->setObjectName(QString::fromLatin1(item.name));
    insert_actions_.push_back(action);
  }

  kept_picture_timer_ = new QTimer(this);
  kept_picture_timer_->setSingleShot(true);
  connect(kept_picture_timer_, &QTimer::timeout, this, [this] { BuildKeptPiece(); });
  settle_timer_ = new QTimer(this);
  settle_timer_->setSingleShot(true);
  connect(settle_timer_, &QTimer::timeout, this, [this] { RefreshScreen(); });

  BuildPopup();
  // A picture can arrive on the clipboard from anywhere (this window's copy,
  // another program): the paste command follows it at once.
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
          [this] { UpdateCommandState(); });
  s.SelectedIndex = -1;
  s.GrabbedHandle = -1;
  s.BitmapWidth = s.View().ScreenWidth;
  s.BitmapHeight = s.View().ScreenHeight;
  s.Ready = true;
  RefreshScreen();
  UpdateCommandState();
  NameParts(*this);
}

DocumentWindow::~DocumentWindow() {
  EndPicturePainter();
}

Screen* DocumentWindow::screen() {
  return undoable_ ? &undoable_->screen() : nullptr;
}
const Screen* DocumentWindow::screen() const {
  return undoable_ ? &undoable_->screen() : nullptr;
}

QString DocumentWindow::statusText(int panel) const {
  if (panel < 0 || panel >= static_cast<int>(status_.size())) return {};
  return status_[static_cast<std::size_t>(panel)];
}

// ---- Picture --------------------------------------------------------------------------

void DocumentWindow::FitSurfaceToScreen() {
  Screen& s = undoable_->screen();
  // A damaged or hostile document must not make us allocate gigabytes.
  const int width = std::clamp<int>(s.View().ScreenWidth, 1, 10000);
  const int height = std::clamp<int>(s.View().ScreenHeight, 1, 10000);
  s.BitmapWidth = width;
  s.BitmapHeight = height;
  // On a high-resolution display the picture has the display's pixels; drawing
  // and the mouse keep working in surface pixels (the painter scales).
  const qreal ratio = std::max<qreal>(1.0, surface_->devicePixelRatioF());
  const QSize device(static_cast<int>(std::ceil(width * ratio)),
                     static_cast<int>(std::ceil(height * ratio)));
  if (picture_.size() != device || picture_.devicePixelRatio() != ratio) {
    EndPicturePainter();
    picture_ = QImage(device, QImage::Format_RGB32);
    picture_.setDevicePixelRatio(ratio);
    picture_.fill(Qt::white);
  }
  if (surface_->width() != width || surface_->height() != height)
    surface_->setFixedSize(width, height);
}

const RgbImage* DocumentWindow::BackgroundPicture() {
  const Screen& s = undoable_->screen();
  if (s.Background.empty()) return nullptr;
  if (background_source_ != s.Background.bytes) {
    background_source_ = s.Background.bytes;
    std::string error;
    background_ok_ = DecodeImage(background_source_, background_, error);
  }
  return background_ok_ ? &background_ : nullptr;
}

void DocumentWindow::EndPicturePainter() {
  picture_canvas_.reset();
  if (picture_painter_) picture_painter_->end();
  picture_painter_.reset();
}

void DocumentWindow::ShowPicture() {
  EndPicturePainter();
  surface_->update();
}

render::Size DocumentWindow::SurfaceSize() const {
  return {surface_->width(), surface_->height()};
}

render::Canvas& DocumentWindow::PictureCanvas() {
  SettlePicture();
  if (!picture_canvas_) {
    picture_painter_ = std::make_unique<QPainter>(&picture_);
    picture_canvas_ = std::make_unique<QtCanvas>(*picture_painter_, SurfaceSize());
  }
  return *picture_canvas_;
}

void DocumentWindow::RefreshScreen() {
  if (!undoable_ || printing_) return;
  if (undoable_->screen().ActiveObject >= 0) return;
  settle_timer_->stop();
  drag_picture_.Clear();
  variable_layers_ = false;
  DrawWholePicture(true);
}

void DocumentWindow::RefreshAfterVariableStep() {
  if (!undoable_ || printing_) return;
  Screen& s = undoable_->screen();
  if (s.ActiveObject >= 0) return;
  last_variable_step_ = VariableStepPicture::Drawing::kWhole;
  FitSurfaceToScreen();
  EndPicturePainter();
  // Only a change of variable values since the last picture is known to
  // reach no further than the figures reading them.
  if (!shown_variables_ || !PictureKeyIs(shown_key_, false)) {
    RefreshScreen();
    return;
  }
  std::vector<VariableRef> cells;
  for (int row = 0; row < kVariableRows; ++row)
    for (int column = 1; column <= kVariableColumns; ++column)
      if (std::memcmp(&s.Variables().cell(row, column), &shown_variables_->cell(row, column),
                      sizeof(VariableCell)) != 0)
        cells.push_back({row, column});
  std::optional<std::vector<int>> reached = FiguresReachedBy(s, env_.expressions, cells);
  if (!reached) {
    RefreshScreen();
    return;
  }
  const auto draw = [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
    DrawPictureSteps(canvas, steps);
  };
  const bool same_layers = variable_layers_ && !drag_picture_.empty() &&
                           drag_picture_.Fits(picture_) && drag_picture_.changing() == *reached;
  // Where the figures lie depends on the screen, its variables (values shown
  // in text boxes) and how the picture is drawn.
  // The screen by the count of its changes (the step below is one).
  const auto key = [this](std::uint64_t serial, const VariableTable& variables) {
    std::vector<std::uint8_t> bytes;
    const auto add = [&bytes](const void* from, std::size_t size) {
      const auto* start = static_cast<const std::uint8_t*>(from);
      bytes.insert(bytes.end(), start, start + size);
    };
    add(&serial, sizeof serial);
    add(&variables, sizeof variables);
    add(&env_.render.antialiasing, sizeof env_.render.antialiasing);
    add(env_.render.window_font.data(), env_.render.window_font.size());
    return bytes;
  };
  VariableStepPicture::Step step;
  step.before = key(shown_serial_, *shown_variables_);
  // A pass that meets the computation limit must report as the full pass does.
  if (!env_.engine.RecomputeFigures(s, *reached)) {
    RefreshScreen();
    return;
  }
  // Whatever was kept for a press showed the values before the step.
  if (!same_layers) DropKeptPicture();
  step.picture = &picture_;
  step.surface = SurfaceSize();
  step.figures = &s.Figures;
  step.reached = std::move(*reached);
  step.after = key(shown_serial_ + 1, s.Variables());
  step.layers = &drag_picture_;
  step.layers_reusable = same_layers;
  step.most_layers = kMostPictureLayers;
  step.draw = draw;
  const VariableStepPicture::Drawing drawing = variable_step_.Draw(step);
  variable_layers_ = variable_layers_ || drawing == VariableStepPicture::Drawing::kLayers;
  last_variable_step_ = drawing;
  surface_->update();
  RememberShownScreen(true);
  if (drawing == VariableStepPicture::Drawing::kLayers) {
    settle_timer_->start(kSettleDelayMs);
  } else {
    // The picture is exactly a whole redraw's: nothing to settle, and the
    // pieces a press lays out from may be drawn once the steps pause.
    settle_timer_->stop();
    ScheduleKeptPicture();
  }
}

void DocumentWindow::RememberShownScreen(bool stepped) {
  const Screen& s = undoable_->screen();
  if (!shown_variables_) shown_variables_ = std::make_unique<VariableTable>();
  *shown_variables_ = s.Variables();
  // A step counts as a change (the figures it recomputed); a redraw of the
  // same screen keeps the count, and with it what a step learnt of the
  // picture.
  if (stepped || shown_key_.empty() || !PictureKeyIs(shown_key_, false)) {
    PictureKeyInto(false, shown_key_);
    ++shown_serial_;
  }
}

void DocumentWindow::DrawWholePicture(bool recompute) {
  Screen& s = undoable_->screen();
  FitSurfaceToScreen();
  EndPicturePainter();
  {
    render::DrawScreenInputs inputs;
    if (recompute)
      inputs.recompute = [this](Screen& screen) { env_.engine.RecomputeScreen(screen); };
    inputs.picture = BackgroundPicture();
    DrawScreenPicture(picture_, SurfaceSize(), &s, env_.render, inputs);
  }
  surface_->update();
  if (recompute)
    RememberShownScreen();
  else
    shown_variables_.reset();
  ScheduleKeptPicture();
}

void DocumentWindow::DrawPictureSteps(render::Canvas& canvas,
                                      std::span<const render::PictureStep> steps) {
  render::DrawScreenInputs inputs;
  inputs.picture = BackgroundPicture();
  render::DrawPictureSteps(canvas, undoable_->screen(), env_.render, inputs, steps);
}

// ---- PointerUi ------------------------------------------------------------------------

void DocumentWindow::SetCursor(interact::PointerCursor cursor) {
  surface_->setCursor(cursor == interact::PointerCursor::kHandPoint ? Qt::PointingHandCursor
                                                                    : Qt::ArrowCursor);
}

void DocumentWindow::SetStatus(int panel, std::string_view text) {
  if (panel < 0 || panel >= static_cast<int>(status_.size())) return;
  const QString value = Utf8(text);
  status_[static_cast<std::size_t>(panel)] = value;
  emit statusChanged(panel, value);
}

bool DocumentWindow::EditFigureDialog(Screen& screen, int index) {
  // Not connected: nothing was confirmed, so a new figure is discarded again.
  if (!hooks_.figure_dialog) return false;
  EndPicturePainter();
  return hooks_.figure_dialog(screen, index);
}

void DocumentWindow::TakeUndoSnapshot(Screen&) {
  if (!undoable_) return;
  ReportUndo(undoable_->RecordEdit());
  UpdateCommandState();
}

void DocumentWindow::CreateObjectFigure(Screen& screen, int index, int tool) {
  EndPicturePainter();
  if (hooks_.create_object) {
    hooks_.create_object(screen, index, tool);
    return;
  }
  // Without an object service no object can result: the frame goes again, and the
  // screen is as it was before the tool was used.
  FreeFigure(screen.Figures, index);
  if (screen.SelectedIndex == index) screen.SelectedIndex = -1;
  screen.ActiveObject = -1;
  env_.questions.ShowError(this, QString::fromUtf8(kObjectNotCreatedMessage));
  RefreshScreen();
}

void DocumentWindow::BeginObjectEdit(Screen& screen, int) {
  EndPicturePainter();
  // No application here can open the object: editing does not start, and the figure with
  // its stored object stays as it is.
  screen.ActiveObject = -1;
  env_.questions.ShowError(this, QString::fromUtf8(kNoObjectServiceMessage));
  RefreshScreen();
}

void DocumentWindow::EndObjectEdit() {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  if (hooks_.end_object_edit) hooks_.end_object_edit(s);
  s.ActiveObject = -1;
}

void DocumentWindow::ReportUndo(const UndoResult& result) {
  if (result.status == UndoStatus::kWriteFailed || result.status == UndoStatus::kLoadFailed)
    env_.questions.ShowError(this, Utf8(result.message));
}

// ---- Commands -------------------------------------------------------------------------

void DocumentWindow::UpdateCommandState() {
  if (!undoable_) return;
  undo_->setEnabled(undoable_->CanUndo());
  redo_->setEnabled(undoable_->CanRedo());
  temporary_save_->setEnabled(true);
  paste_picture_->setEnabled(ClipboardHasImage());
  const bool free_slot = HasFreeSlot(undoable_->screen().Figures);
  for (QAction* action : insert_actions_)
    action->setEnabled(free_slot);
  if (hooks_.command_state_changed) hooks_.command_state_changed();
  emit commandStateChanged();
}

void DocumentWindow::M_UndoClick() {
  if (!undoable_ || !undoable_->CanUndo()) return;
  ReportUndo(undoable_->Undo());
  RefreshScreen();
  UpdateCommandState();
}

void DocumentWindow::M_RepeatClick() {
  if (!undoable_ || !undoable_->CanRedo()) return;
  ReportUndo(undoable_->Redo());
  RefreshScreen();
  UpdateCommandState();
}

void DocumentWindow::M_SaveDoClick() {
  TakeUndoSnapshot(undoable_->screen());
}

void DocumentWindow::JumpToHomeClick() {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  s.View().PanX = 0;
  s.View().PanY = 0;
  RefreshScreen();
}

void DocumentWindow::SetZoom(int percent) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  const auto zoom = static_cast<std::int16_t>(std::clamp(percent, kMinZoom, kMaxZoom));
  if (s.View().Zoom == zoom) return;
  s.View().Zoom = zoom;
  s.Modified = true;
  RefreshScreen();
  UpdateCommandState();
}

void DocumentWindow::ClearPromptsOfEndedTool() {
  if (interact::IsMouseTool(env_.current_tool)) return;
  SetStatus(interact::kPromptPanel, {});
  SetStatus(interact::kHintPanel, {});
}

void DocumentWindow::InsertPointClick(int tool) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  env_.current_tool = tool;
  if (interact::DropPendingPoint(state_, s)) RefreshScreen();
  // A newly armed tool starts without the key hint of the tool before it.
  SetStatus(interact::kHintPanel, {});
  if (!interact::IsMouseTool(tool)) {
    if (interact::InsertByDialog(ctx_, s)) TakeUndoSnapshot(s);
    RefreshScreen();
  }
  UpdateCommandState();
}

void DocumentWindow::CopyToClipboardClick() {
  if (hooks_.drop_copied_figure) hooks_.drop_copied_figure();
  // The bitmap for every program, and the same picture as SVG for those that
  // take vector graphics. Setting new data replaces only what was there; the
  // clipboard is not cleared first.
  auto* mime = new QMimeData;
  mime->setImageData(picture());
  if (undoable_) {
    render::DrawScreenInputs inputs;
    inputs.recompute = [this](Screen& screen) { env_.engine.RecomputeScreen(screen); };
    inputs.picture = BackgroundPicture();
    const QByteArray svg = ScreenPictureSvg(undoable_->screen(), env_.render, inputs);
    if (!svg.isEmpty()) mime->setData(QStringLiteral("image/svg+xml"), svg);
  }
  QGuiApplication::clipboard()->setMimeData(mime);
}

void DocumentWindow::PasteBitmapClick() {
  if (!undoable_ || !ClipboardHasImage()) return;
  Screen& s = undoable_->screen();
  const QImage image = QGuiApplication::clipboard()->image();
  if (image.isNull()) return;
  if (!s.Background.empty() &&
      !env_.questions.AskYesNo(this, QString::fromUtf8(kReplacePictureQuestion)))
    return;
  // Centred with the outer frame, whatever placement the old picture had.
  s.View().BackgroundMode = 1;
  s.Background.format = BackgroundPicture::Format::kBmp;
  s.Background.bytes = EncodeBmp(FromQImage(image));
  s.Modified = true;
  RefreshScreen();
}

bool DocumentWindow::ImportFunction(const import::FunctionEntry& entry) {
  if (!undoable_) return false;
  Screen& s = undoable_->screen();
  EndObjectEdit();
  const std::optional<int> index =
      import::AddImportedFunction(s.Figures, env_.defaults, env_.font, entry);
  if (!index) return false;
  const bool kept = EditFigureDialog(s, *index);
  if (kept) {
    s.Modified = true;
    if (FunctionRecord* f = s.Figures.record(*index)->function()) f->CurveValid = 0;
    TakeUndoSnapshot(s);
  } else {
    FreeFigure(s.Figures, *index);
  }
  RefreshScreen();
  UpdateCommandState();
  return kept;
}

void DocumentWindow::DeleteSelectedFigure() {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  const int index = s.SelectedIndex;
  if (s.Figures.record(index) == nullptr) return;
  s.Modified = true;
  if (!DeleteWithDependents(s, index, env_.engine_ui)) return;
  EndObjectEdit();
  s.SelectedIndex = -1;
  s.GrabbedHandle = -1;
  RefreshScreen();
  UpdateCommandState();
  SetCursor(interact::PointerCursor::kDefault);
  TakeUndoSnapshot(s);
}

void DocumentWindow::EditSelectedFigure() {
  Screen& s = undoable_->screen();
  if (interact::EditSelected(ctx_, state_, s)) TakeUndoSnapshot(s);
  UpdateCommandState();
  ShowPicture();
}

bool DocumentWindow::ApplyFigureAttributes(const forms::FigureAttributes& controls) {
  if (!undoable_) return false;
  Screen& s = undoable_->screen();
  FigureRecord* record = s.Figures.record(s.SelectedIndex);
  if (record == nullptr || !forms::ApplyFigureAttributes(*record, controls)) return false;
  if (ctx_.cont_attrib) ctx_.attributes.Remember(*record);
  s.Modified = true;
  TakeUndoSnapshot(s);
  RefreshScreen();
  UpdateCommandState();
  return true;
}

// ---- Name popup ----

void DocumentWindow::ShowFigureHint(QPoint at) {
  if (!env_.hint_popup || hint_ != nullptr) return;
  const Screen& s = undoable_->screen();
  const QString text = Utf8(FigureDisplayName(s, s.SelectedIndex)).trimmed();
  if (text.isEmpty()) return;
  hint_ = new QLabel(text, this, Qt::ToolTip);
  hint_->setObjectName(QStringLiteral("FigureHint"));
  hint_->setWordWrap(true);
  hint_->setMaximumWidth(kHintMaxWidth);
  hint_->adjustSize();
  const QPoint cursor = surface_->mapToGlobal(at);
  hint_->move(cursor.x() - hint_->width() - 8, cursor.y() + 3);
  hint_->show();
}

void DocumentWindow::HideFigureHint() {
  if (hint_ == nullptr) return;
  hint_->hide();
  hint_->deleteLater();
  hint_ = nullptr;
}

// ---- Environment ----------------------------------------------------------------------

void DocumentWindow::TakeEnvironmentOptions() {
  const bool armed = ctx_.hit.tool_armed, fine = ctx_.hit.free_positioning;
  ctx_.hit = env_.hit;
  ctx_.hit.tool_armed = armed;
  ctx_.hit.free_positioning = fine;
  ctx_.edit_attr = env_.edit_attr;
  ctx_.cont_attrib = env_.cont_attrib;
  ctx_.font = env_.font;
}

void DocumentWindow::ApplyEnvironment() {
  if (!undoable_) return;
  TakeEnvironmentOptions();
  RefreshScreen();
}

// ---- Keyboard -------------------------------------------------------------------------

bool DocumentWindow::InsertAtCentre() {
  if (!undoable_ || !interact::IsMouseTool(env_.current_tool)) return false;
  const int tool = env_.current_tool;
  const QRect visible = scroll_->viewport()->rect();
  QPoint centre = surface_->mapFrom(scroll_->viewport(), visible.center());
  centre.setX(std::clamp(centre.x(), 0, std::max(0, surface_->width() - 1)));
  centre.setY(std::clamp(centre.y(), 0, std::max(0, surface_->height() - 1)));
  ImageMouseDown(Qt::LeftButton, Qt::NoModifier, centre);
  if (env_.current_tool == tool && interact::IsMouseTool(tool)) {
    // The second point one plane unit away, at least a few pixels, so that
    // the figure is never degenerate.
    const ViewSettings& v = undoable_->screen().View();
    const double unit =
        (v.Scale.get() > 0 ? v.Scale.get() : 25) * (v.Zoom.get() > 0 ? v.Zoom.get() : 100) / 100.0;
    const int step = std::max(8, static_cast<int>(unit));
    const QPoint end = centre + QPoint(step, -step);
    ImageMouseMove(Qt::LeftButton, Qt::NoModifier, end);
    ImageMouseUp(Qt::LeftButton, Qt::NoModifier, end);
  }
  UpdateCommandState();
  return true;
}

void DocumentWindow::keyPressEvent(QKeyEvent* event) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  const int key = event->key();
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier &&
      InsertAtCentre()) {
    event->accept();
    return;
  }
  s.SnapFine = key == Qt::Key_Alt;
  shift_down_ = key == Qt::Key_Shift;
  if (shift_down_ && env_.current_tool == interact::kLineTool) {
    interact::ToggleLineSegment(ctx_, state_, s);
    ShowPicture();
  }
  ctrl_down_ = event->modifiers() == Qt::ControlModifier;
  HideFigureHint();
  if (!ctrl_down_) {
    if (key == Qt::Key_Home) {
      JumpToHomeClick();
    } else if (key == Qt::Key_Delete) {
      DeleteSelectedFigure();
    }
  }
  event->accept();
}

void DocumentWindow::keyReleaseEvent(QKeyEvent* event) {
  if (!undoable_) return;
  undoable_->screen().SnapFine = false;
  // Cut, copy and paste with Ctrl belong to the figure clipboard, which is not
  // part of this window; their shortcuts reach it through the main window.
  ctrl_down_ = false;
  event->accept();
}

void DocumentWindow::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  UpdateCommandState();
}

// ---- Closing --------------------------------------------------------------------------

bool DocumentWindow::SaveTo(const QString& path) {
  Screen& s = undoable_->screen();
  SaveOptions options = env_.save;
  options.target_is_current_file = !s.FilePath.empty() && path.toStdString() == s.FilePath;
  const SaveResult result = SaveDocument(s, path.toStdString(), options);
  if (!result.ok) {
    env_.questions.ShowError(this, Utf8(result.message));
    return false;
  }
  s.FilePath = path.toStdString();
  s.Modified = false;
  return true;
}

bool DocumentWindow::ConfirmClose() {
  EndObjectEdit();
  Screen& s = undoable_->screen();
  if (s.Modified && !env_.web_mode) {
    const QString caption = windowTitle();
    switch (env_.questions.AskSaveChanges(this, caption)) {
      case SaveChoice::kCancel:
        return false;
      case SaveChoice::kYes: {
        // The user asked to keep the changes: a save dialog dismissed without a
        // name, or a failed save, keeps the window open instead of closing and
        // losing the work unsaved.
        const std::optional<QString> path = env_.questions.AskSavePath(this, caption);
        if (!path || !SaveTo(*path)) return false;
        break;
      }
      case SaveChoice::kNo:
        break;
    }
  }
  return true;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
  if (!undoable_) {
    event->accept();
    return;
  }
  if (!ConfirmClose()) {
    event->ignore();
    return;
  }
  undoable_->screen().SelectedIndex = -1;
  HideFigureHint();
  EndPicturePainter();
  // Deletes the snapshot files; the screen and its figures go with it.
  undoable_->Close();
  undoable_.reset();
  setEnabled(false);
  event->accept();
}

}  // namespace qzarn::ui
