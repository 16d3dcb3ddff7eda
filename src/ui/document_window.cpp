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
#include <string>

#include "engine/engine_ui.h"
#include "engine/function_sampling.h"
#include "engine/locus.h"
#include "engine/recompute.h"
#include "engine/references.h"
#include "forms/figure_list.h"
#include "forms/locus_settings.h"
#include "interact/drag_redraw.h"
#include "interact/hit_test.h"
#include "platform/image_codec.h"
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

constexpr int kMinZoom = 10;
// Transparent layers kept while a figure is dragged: each costs one picture of
// memory and one blend per step; a drag needing more redraws the whole picture.
constexpr int kMostDragLayers = 4;
constexpr int kMaxZoom = 1000;
// The name popup is at most this wide (pixels) and sits just left of and below the cursor.
constexpr int kHintMaxWidth = 100;

// An inequality region (an implicit function with a relation other than "= 0").
bool IsImplicitRegion(const FigureRecord& record) {
  const FunctionRecord* f = record.function();
  return f != nullptr && f->FuncKind == kImplicitCurve && f->Mode != 0;
}

bool ClipboardHasImage() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return data != nullptr && data->hasImage();
}

// The coordinate-system dialog's tabs a double click on an axis opens.
constexpr int kXAxisTab = 1;
constexpr int kYAxisTab = 2;

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
  if (!picture_canvas_) {
    picture_painter_ = std::make_unique<QPainter>(&picture_);
    picture_canvas_ = std::make_unique<QtCanvas>(*picture_painter_, SurfaceSize());
  }
  return *picture_canvas_;
}

void DocumentWindow::RefreshScreen() {
  if (!undoable_ || printing_) return;
  if (undoable_->screen().ActiveObject >= 0) return;
  drag_picture_.Clear();
  DrawWholePicture(true);
}

void DocumentWindow::DrawWholePicture(bool recompute) {
  Screen& s = undoable_->screen();
  FitSurfaceToScreen();
  EndPicturePainter();
  {
    QPainter painter(&picture_);
    QtCanvas canvas(painter, SurfaceSize());
    render::DrawScreenInputs inputs;
    if (recompute)
      inputs.recompute = [this](Screen& screen) { env_.engine.RecomputeScreen(screen); };
    inputs.picture = BackgroundPicture();
    render::DrawScreen(canvas, &s, env_.render, inputs);
  }
  surface_->update();
}

void DocumentWindow::DrawPictureSteps(render::Canvas& canvas,
                                      std::span<const render::PictureStep> steps) {
  render::DrawScreenInputs inputs;
  inputs.picture = BackgroundPicture();
  render::DrawPictureSteps(canvas, undoable_->screen(), env_.render, inputs, steps);
}

void DocumentWindow::StartDragPicture() {
  Screen& s = undoable_->screen();
  drag_picture_.Clear();
  env_.engine.RecomputeScreen(s);
  std::optional<render::DragLayerPlan> plan;
  std::optional<std::vector<int>> changing = interact::DragChangingFigures(s, s.SelectedIndex);
  if (changing)
    plan = render::PlanDragLayers(render::PictureOrder(s.Figures), *changing, kMostDragLayers);
  if (!plan) {
    DrawWholePicture(false);
    return;
  }
  const auto draw = [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
    DrawPictureSteps(canvas, steps);
  };
  drag_picture_.Build(picture_, SurfaceSize(), std::move(*plan), std::move(*changing), draw);
  drag_picture_.Compose(picture_, draw);
  surface_->update();
}

void DocumentWindow::RefreshDraggedFigure() {
  if (!undoable_ || printing_) return;
  Screen& s = undoable_->screen();
  if (s.ActiveObject >= 0) return;
  FitSurfaceToScreen();
  EndPicturePainter();
  if (drag_picture_.empty() || !drag_picture_.Fits(picture_)) {
    StartDragPicture();
    return;
  }
  // A pass that meets the computation limit must report as the full pass does.
  if (!env_.engine.RecomputeFigures(s, drag_picture_.changing())) {
    RefreshScreen();
    return;
  }
  drag_picture_.Compose(picture_,
                        [this](render::Canvas& canvas, std::span<const render::PictureStep> steps) {
                          DrawPictureSteps(canvas, steps);
                        });
  surface_->update();
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
  mime->setImageData(picture_);
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

// ---- Pop-up menu ----

void DocumentWindow::BuildPopup() {
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupProperty"));
  const auto add = [this](const char* caption, auto slot) {
    QAction* action = popup_->addAction(QString::fromUtf8(caption));
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  clear_all_loci_ = add("全図形の軌跡の消去(&S)", [this] {
    ClearAllLoci(undoable_->screen());
    undoable_->screen().Modified = true;
    RefreshScreen();
  });
  figure_separator_ = popup_->addSeparator();
  figure_settings_ = add("図形の設定(&P)...", [this] { EditSelectedFigure(); });
  object_settings_ = add("ｵﾌﾟｼﾞｪｸﾄの設定(&P)...", [this] { EditSelectedFigure(); });
  object_edit_ = add("ｵﾌﾞｼﾞｪｸﾄの編集(&E)", [this] {
    BeginObjectEdit(undoable_->screen(), undoable_->screen().SelectedIndex);
  });
  locus_settings_ = add("軌跡の設定(&K)...", [this] {
    Screen& s = undoable_->screen();
    if (hooks_.locus_dialog && hooks_.locus_dialog(s, s.SelectedIndex)) {
      s.Modified = true;
      RefreshScreen();
      TakeUndoSnapshot(s);
    }
  });
  locus_clear_ = add("軌跡の消去(&L)", [this] {
    Screen& s = undoable_->screen();
    if (FigureRecord* record = s.Figures.record(s.SelectedIndex)) {
      ClearLocus(*record);
      s.Modified = true;
      RefreshScreen();
    }
  });
  const auto run = [](const std::function<void()>& hook) {
    return [&hook] {
      if (hook) hook();
    };
  };
  popup_->addSeparator();
  coordinate_system_ = add("座標系の設定(&Z)...", [this] { M_ZahyoClick(); });
  coordinate_system_->setEnabled(static_cast<bool>(hooks_.coordinate_dialog));
  equations_ = add("中間式(&F)...", run(hooks_.edit_equations));
  equations_->setEnabled(static_cast<bool>(hooks_.edit_equations));
  popup_->addSeparator();
  // No keys here: the main window's commands own Ctrl+X, C and V.
  cut_ = add("切り取り(&T)", run(hooks_.cut_figure));
  copy_ = add("コピー(&C)", run(hooks_.copy_figure));
  paste_ = add("貼り付け(&P)", run(hooks_.paste_figure));
  popup_->addSeparator();
  popup_->addAction(undo_);
  popup_->addAction(redo_);
  popup_->addAction(temporary_save_);
}

void DocumentWindow::M_ZahyoClick() {
  Screen& s = undoable_->screen();
  if (hooks_.coordinate_dialog && hooks_.coordinate_dialog(s, 0)) {
    RefreshScreen();
    TakeUndoSnapshot(s);
  }
}

void DocumentWindow::PopupPropertyPopup() {
  if (!undoable_) return;
  UpdateCommandState();
  const Screen& s = undoable_->screen();
  const FigureRecord* record = s.Figures.record(s.SelectedIndex);
  const bool any_locus = AnyLocusOn(s);
  clear_all_loci_->setVisible(any_locus);
  figure_separator_->setVisible(record != nullptr || any_locus);
  const bool object = record != nullptr && record->type() == kOleFigure;
  figure_settings_->setVisible(record != nullptr && !object);
  object_settings_->setVisible(object);
  object_edit_->setVisible(object);
  const bool locus =
      record != nullptr && LocusDialogOf(*record).has_value() && !IsImplicitRegion(*record);
  locus_settings_->setVisible(locus);
  locus_settings_->setEnabled(static_cast<bool>(hooks_.locus_dialog));
  locus_clear_->setVisible(locus && LocusOn(*record));
  cut_->setEnabled(record != nullptr && hooks_.cut_figure);
  copy_->setEnabled(record != nullptr && hooks_.copy_figure);
  paste_->setEnabled(hooks_.paste_figure && hooks_.has_copied_figure && hooks_.has_copied_figure());
}

bool DocumentWindow::SaveAsPicture(const QString& path, QString& written, QString& error) {
  if (!undoable_) return false;
  EndPicturePainter();
  std::string written_path;
  std::string why;
  if (!render::SaveAsPicture(FromQImage(picture_), path.toStdString(), written_path, why)) {
    error = Utf8(why);
    return false;
  }
  written = Utf8(written_path);
  return true;
}

bool DocumentWindow::ExportPicture(const PictureRequest& request, const QString& path,
                                   QString& error) {
  if (!undoable_) return false;
  render::DrawScreenInputs inputs;
  inputs.recompute = [this](Screen& screen) { env_.engine.RecomputeScreen(screen); };
  inputs.picture = BackgroundPicture();
  std::string why;
  if (!ExportScreenPicture(undoable_->screen(), env_.render, inputs, request, path.toStdString(),
                           why)) {
    error = Utf8(why);
    return false;
  }
  return true;
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

// ---- Mouse ----------------------------------------------------------------------------

interact::PointerEvent DocumentWindow::EventAt(QPoint at, Qt::KeyboardModifiers modifiers,
                                               bool left) const {
  interact::PointerEvent e;
  e.x = at.x();
  e.y = at.y();
  e.shift = modifiers.testFlag(Qt::ShiftModifier);
  e.left = left;
  return e;
}

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

void DocumentWindow::SyncHitSettings() {
  ctx_.hit.tool_armed = env_.current_tool >= 0;
}

void DocumentWindow::ImageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                    QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  const bool left = button == Qt::LeftButton, right = button == Qt::RightButton;
  interact::BeginPress(ctx_, state_, s, at.x(), at.y());
  setFocus(Qt::MouseFocusReason);
  HideFigureHint();

  if (env_.web_mode && right) {
    if (hooks_.coordinate_dialog && hooks_.coordinate_dialog(s, 0)) RefreshScreen();
    return;
  }

  SyncHitSettings();
  if (s.SelectedIndex >= 0 && (left || right)) {
    const interact::HitResult hit =
        interact::HitSelected(s, ctx_.hit, s.SelectedIndex, at.x(), at.y());
    if (!hit.hit()) {
      EndObjectEdit();
      s.SelectedIndex = -1;
    }
    // Dragging a text box to another screen belongs to the figure clipboard,
    // which is not part of this window.
  }

  if (env_.current_tool >= 0) {
    SetCursor(interact::PointerCursor::kDefault);
    interact::ToolMouseDown(ctx_, state_, s, EventAt(at, modifiers, left));
    ClearPromptsOfEndedTool();
    ShowPicture();
    if (s.SelectedIndex >= 0) UpdateCommandState();
    return;
  }
  if (!left && !right) return;
  if (s.SelectedIndex < 0) s.SelectedIndex = interact::PickFigure(s, ctx_.hit, at.x(), at.y()).slot;
  UpdateCommandState();
  if (s.SelectedIndex < 0) {
    env_.current_tool = interact::kPanningTool;
    SetCursor(interact::PointerCursor::kDefault);
  } else {
    // A pan that never saw its release must not turn this press into one.
    if (env_.current_tool == interact::kPanningTool) env_.current_tool = interact::kNoTool;
    SetCursor(interact::PointerCursor::kHandPoint);
  }
  RefreshScreen();
}

bool DocumentWindow::MouseCursorFeedback(Qt::MouseButtons buttons, QPoint at) {
  Screen& s = undoable_->screen();
  const FigureRecord* record = s.Figures.record(s.SelectedIndex);
  const interact::HitResult hit =
      record ? interact::HitSelected(s, ctx_.hit, s.SelectedIndex, at.x(), at.y())
             : interact::HitResult{};
  if (!hit.hit()) {
    SetCursor(interact::PointerCursor::kDefault);
    return false;
  }
  const bool framed = record->type() == kCharFigure || record->type() == kOleFigure;
  if (!framed || buttons != Qt::NoButton) {
    SetCursor(interact::PointerCursor::kHandPoint);
    return true;
  }
  // Over a frame without a button: the cursor shows what a drag would move.
  Qt::CursorShape shape = Qt::ArrowCursor;
  switch (hit.handle) {
    case 0:  // bottom-left
    case 8:  // top-right
      shape = Qt::SizeBDiagCursor;
      break;
    case 2:  // top-left
    case 6:  // bottom-right
      shape = Qt::SizeFDiagCursor;
      break;
    case 1:
    case 7:
      shape = Qt::SizeHorCursor;
      break;
    case 3:
    case 5:
      shape = Qt::SizeVerCursor;
      break;
    case interact::kFrameBorderHandle:
      shape = Qt::PointingHandCursor;
      break;
    case interact::kFrameInsideHandle:
      if (record->type() == kCharFigure) shape = Qt::PointingHandCursor;
      break;
    default:
      break;
  }
  surface_->setCursor(shape);
  s.GrabbedHandle = hit.handle;
  return true;
}

void DocumentWindow::ImageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                                    QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  if (s.ActiveObject >= 0) return;
  SyncHitSettings();
  if (env_.current_tool < 0) {
    const bool over = MouseCursorFeedback(buttons, at);
    const FigureRecord* record = s.Figures.record(s.SelectedIndex);
    const bool framed =
        record != nullptr && (record->type() == kCharFigure || record->type() == kOleFigure);
    if (over && !framed && buttons == Qt::NoButton)
      ShowFigureHint(at);
    else if (!over)
      HideFigureHint();
  }

  const bool left = buttons.testFlag(Qt::LeftButton);
  // Leaving the window with the button down hands the selected figure to the
  // screen it is dropped on; without a main window to remember the source
  // there is no other screen to take it.
  if (left && env_.drag_drop && hooks_.drag_source_changed && isVisible() &&
      env_.current_tool == interact::kNoTool && s.Figures.record(s.SelectedIndex) != nullptr &&
      !scroll_->viewport()->rect().contains(surface_->mapTo(scroll_->viewport(), at))) {
    StartFigureDrag();
    return;
  }
  if (env_.current_tool >= 0) {
    interact::ToolMouseMove(ctx_, state_, s, EventAt(at, modifiers, left));
  } else if (left) {
    interact::DragSelected(ctx_, state_, s, EventAt(at, modifiers, true));
  }
  interact::ShowPosition(ctx_, s, at.x(), at.y());
  ShowPicture();
}

void DocumentWindow::ImageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                  QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  state_.grab_x = state_.grab_y = -1;
  SetCursor(interact::PointerCursor::kDefault);
  s.SnapFine = false;
  ctx_.hit.free_positioning = false;
  SyncHitSettings();
  const int tool = env_.current_tool;
  if (tool >= 0) {
    if (interact::ToolMouseUp(ctx_, state_, s, EventAt(at, modifiers, button == Qt::LeftButton))) {
      TakeUndoSnapshot(s);
      RefreshScreen();
    }
    ClearPromptsOfEndedTool();
  } else if (tool == interact::kPanningTool) {
    // The pan ends with its button.
    env_.current_tool = interact::kNoTool;
  }
  if (s.SelectedIndex >= 0) {
    // The layered picture of the drag ends with the drag: the released picture
    // is drawn whole, exactly.
    if (!s.View().FullRedraw || !drag_picture_.empty()) RefreshScreen();
    s.GrabbedHandle = -1;
    UpdateCommandState();
  }
  ShowPicture();
}

void DocumentWindow::ImageDblClick(QPoint at) {
  if (!undoable_) return;
  Screen& s = undoable_->screen();
  HideFigureHint();
  if (s.SelectedIndex < 0 && s.View().ShowAxes) {
    const render::ViewParams params = render::ViewParamsFromScreen(s, nullptr);
    const double x_axis_py = params.view.PlaneToPixelY(0);
    const double y_axis_px = params.view.PlaneToPixelX(0);
    int tab = -1;
    if (std::fabs(at.y() - x_axis_py) <= params.axes.x.width / 2.0 + 2)
      tab = kXAxisTab;
    else if (std::fabs(at.x() - y_axis_px) <= params.axes.y.width / 2.0 + 2)
      tab = kYAxisTab;
    if (tab >= 0) {
      if (hooks_.coordinate_dialog && hooks_.coordinate_dialog(s, tab)) {
        RefreshScreen();
        TakeUndoSnapshot(s);
      }
      SetCursor(interact::PointerCursor::kDefault);
      return;
    }
  }
  EditSelectedFigure();
  if (!env_.drag_drop) interact::ActivateObjectAt(ctx_, s, state_.press_x, state_.press_y);
  ShowPicture();
  SetCursor(interact::PointerCursor::kDefault);
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
