#include "ui/anime_window.h"

#include "document/screen.h"
#include "engine/locus.h"
#include "ui/document_window.h"
#include "ui/palette_window.h"

#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

constexpr int kClientWidth = 220;
constexpr int kClientHeight = 24;
constexpr int kButtonSize = 22;

enum Button { kAback, kBack, kStop, kPause, kPlay, kAplay };

// The six buttons' pictures: triangles for the directions, a bar for single
// steps, a square for stop and two bars for pause.
QIcon ButtonIcon(int button) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x20, 0x20, 0x60));
  const auto triangle = [&p](double x, bool right) {
    QPainterPath path;
    path.moveTo(right ? x : x + 6, 3);
    path.lineTo(right ? x + 6 : x, 8);
    path.lineTo(right ? x : x + 6, 13);
    path.closeSubpath();
    p.drawPath(path);
  };
  switch (button) {
    case kAback:
      triangle(1.5, false);
      triangle(7.5, false);
      break;
    case kBack:
      p.drawRect(QRectF(3, 3, 2, 10));
      triangle(6, false);
      break;
    case kStop:
      p.drawRect(QRectF(3.5, 3.5, 9, 9));
      break;
    case kPause:
      p.drawRect(QRectF(4, 3, 3, 10));
      p.drawRect(QRectF(9, 3, 3, 10));
      break;
    case kPlay:
      triangle(4, true);
      p.drawRect(QRectF(11, 3, 2, 10));
      break;
    default:
      triangle(1.5, true);
      triangle(7.5, true);
      break;
  }
  return QIcon(pixmap);
}

}  // namespace

Tdlg_Anime::Tdlg_Anime(FigureExpressions& expressions, double pause, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), expressions_(expressions) {
  setObjectName(QStringLiteral("dlg_Anime"));
  setWindowTitle(QStringLiteral("変数"));
  setAccessibleName(QStringLiteral("変数"));
  setFixedSize(kClientWidth, kClientHeight);

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  connect(timer1_, &QTimer::timeout, this, [this] { Tick(true); });
  connect(timer2_, &QTimer::timeout, this, [this] { Tick(false); });

  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(1, 1, 2, 1);
  row->setSpacing(0);
  struct Spec {
    const char* name;
    const char* hint;
    void (Tdlg_Anime::*click)();
  } const specs[] = {
      {"btAback", "戻る", &Tdlg_Anime::btAbackClick},
      {"btBack", "一つ戻る", &Tdlg_Anime::btBackClick},
      {"btStop", "停止", &Tdlg_Anime::btStopClick},
      {"btPause", "一時停止", &Tdlg_Anime::btPauseClick},
      {"btPlay", "一つ進む", &Tdlg_Anime::btPlayClick},
      {"btAplay", "進む", &Tdlg_Anime::btAplayClick},
  };
  for (int i = 0; i < 6; ++i) {
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(specs[i].name));
    b->setToolTip(QString::fromUtf8(specs[i].hint));
    b->setAccessibleName(SpokenName(QString::fromUtf8(specs[i].hint)));
    b->setIcon(ButtonIcon(i));
    b->setAutoRaise(true);
    b->setFixedSize(kButtonSize, kButtonSize);
    connect(b, &QToolButton::clicked, this, specs[i].click);
    buttons_[i] = b;
    row->addWidget(b);
  }
  row->addSpacing(4);
  pause_ = new QDoubleSpinBox(this);
  pause_->setObjectName(QStringLiteral("SpinEdit21"));
  pause_->setAccessibleName(QStringLiteral("秒"));
  pause_->setRange(0.0, kAnimePauseMaximum);
  pause_->setSingleStep(kAnimePauseIncrement);
  pause_->setDecimals(2);
  pause_->setFixedHeight(kButtonSize);
  // Changed only with its arrows: typed characters never reach the field. The
  // spin box has the focus and hands keys to its line edit directly, so the
  // filter sits on both.
  pause_->installEventFilter(this);
  pause_->findChild<QLineEdit*>()->installEventFilter(this);
  pause_->setContextMenuPolicy(Qt::NoContextMenu);
  row->addWidget(pause_, 1);
  auto* unit = new QLabel(QStringLiteral("秒"), this);
  unit->setAccessibleName(QStringLiteral("秒"));
  row->addSpacing(2);
  row->addWidget(unit);
  SetPause(pause);
  // The new pace holds at once for both timers, also while playing.
  connect(pause_, &QDoubleSpinBox::valueChanged, this, [this] {
    timer1_->setInterval(interval());
    timer2_->setInterval(interval());
  });
  UpdateButtons();
  NameParts(*this);
}

double Tdlg_Anime::pause() const {
  return ClampAnimePause(pause_->value());
}

void Tdlg_Anime::SetPause(double seconds) {
  pause_->setValue(ClampAnimePause(seconds));
  timer1_->setInterval(interval());
  timer2_->setInterval(interval());
}

int Tdlg_Anime::interval() const {
  return AnimeInterval(pause());
}

bool Tdlg_Anime::forwardTimerActive() const {
  return timer1_->isActive();
}

bool Tdlg_Anime::backwardTimerActive() const {
  return timer2_->isActive();
}

// ---- Target ------------------------------------------------------------------------

void Tdlg_Anime::OpenFor(AnimeTarget target) {
  StopTimers();
  target_ = std::move(target);
  setWindowTitle(QString::fromStdString(AnimeCaption(target_.entry.variable)));
  UpdateButtons();
  show();
  if (target_.box) PlaceBesidePalette();
  raise();
}

void Tdlg_Anime::PlaceBesidePalette() {
  // Beside the palette, level with the box: on top of the box the player would
  // hide the palette's other boxes while it plays. Left of the palette when
  // there is room on the desktop, otherwise right of it.
  const QRect palette = target_.box->window()->frameGeometry();
  const QRect box(target_.box->mapToGlobal(QPoint(0, 0)), target_.box->size());
  const QSize frame = frameGeometry().size();
  const QScreen* display = QGuiApplication::screenAt(box.center());
  if (display == nullptr) display = QGuiApplication::primaryScreen();
  const QRect desk = display != nullptr ? display->availableGeometry() : QRect();
  int x = palette.left() - frame.width();
  if (desk.isValid() && x < desk.left()) x = palette.right() + 1;
  int y = box.center().y() - frame.height() / 2;
  if (desk.isValid()) {
    x = std::clamp(x, desk.left(), std::max(desk.left(), desk.right() + 1 - frame.width()));
    y = std::clamp(y, desk.top(), std::max(desk.top(), desk.bottom() + 1 - frame.height()));
  }
  // A window's position is that of its frame.
  move(QPoint(x, y) + (pos() - frameGeometry().topLeft()));
}

void Tdlg_Anime::Detach() {
  StopTimers();
  target_ = AnimeTarget{};
  // Closed by its palette rather than by its own close button: the pause the
  // user set is kept all the same.
  if (isVisible() && pause_stored) pause_stored(pause());
  hide();
}

Screen* Tdlg_Anime::screen() const {
  return target_.window ? target_.window->screen() : nullptr;
}

bool Tdlg_Anime::Attached() const {
  return target_.box && screen() != nullptr;
}

double Tdlg_Anime::BoxValue() const {
  if (target_.shown) return target_.shown();
  const Screen* s = screen();
  return s != nullptr
             ? s->Variables().read(target_.entry.variable.row, target_.entry.variable.column())
             : 0.0;
}

void Tdlg_Anime::UpdateButtons() {
  // A step of 0 or below never reaches the end of the range: such a box is
  // neither played nor stepped, and the buttons say so by being off.
  const bool playable = target_.entry.range().playable();
  for (int i : {kAback, kBack, kPlay, kAplay})
    buttons_[i]->setEnabled(playable);
}

// ---- Playing -----------------------------------------------------------------------

void Tdlg_Anime::StopTimers() {
  timer1_->stop();
  timer2_->stop();
  player_.Halt();
}

void Tdlg_Anime::StartTimer(bool forward) {
  (forward ? timer2_ : timer1_)->stop();
  const bool started =
      Attached() && (forward ? player_.PlayForward(target_.entry.range(), BoxValue())
                             : player_.PlayBackward(target_.entry.range(), BoxValue()));
  if (!started) {
    StopTimers();
    return;
  }
  QTimer* timer = forward ? timer1_ : timer2_;
  timer->setInterval(interval());
  timer->start();
}

void Tdlg_Anime::btAplayClick() {
  StartTimer(true);
}

void Tdlg_Anime::btAbackClick() {
  StartTimer(false);
}

void Tdlg_Anime::Tick(bool forward) {
  (forward ? timer2_ : timer1_)->stop();
  // A tick that arrives while a step is still being drawn (a message box of
  // the recompute runs its own loop) is dropped: steps never nest.
  if (in_step_) return;
  in_step_ = true;
  const std::optional<double> value = player_.Tick();
  const bool shown = value.has_value() && Apply(*value);
  in_step_ = false;
  if (!shown || !player_.playing()) StopTimers();
}

bool Tdlg_Anime::Apply(double value) {
  Screen* s = screen();
  if (!target_.box || s == nullptr) {
    Detach();
    return false;
  }
  if (target_.show) target_.show(value);
  if (ApplyBoxValue(*s, target_.entry, value, expressions_))
    target_.window->RefreshAfterVariableStep();
  if (target_.box) target_.box->repaint();
  return true;
}

void Tdlg_Anime::btPlayClick() {
  StopTimers();
  if (!Attached()) return;
  if (const std::optional<double> v = AnimeStepForward(target_.entry.range(), BoxValue()))
    Apply(*v);
}

void Tdlg_Anime::btBackClick() {
  StopTimers();
  if (!Attached()) return;
  if (const std::optional<double> v = AnimeStepBack(target_.entry.range(), BoxValue())) Apply(*v);
}

void Tdlg_Anime::btStopClick() {
  StopTimers();
  if (!Attached()) return;
  Apply(target_.entry.initial);
  if (Screen* s = screen()) {
    ClearAllLoci(*s);
    s->Modified = true;
    target_.window->RefreshScreen();
  }
}

void Tdlg_Anime::btPauseClick() {
  StopTimers();
}

bool Tdlg_Anime::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                       key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown;
    if (!arrow && !key->text().isEmpty()) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void Tdlg_Anime::closeEvent(QCloseEvent* event) {
  StopTimers();
  if (pause_stored) pause_stored(pause());
  QWidget::closeEvent(event);
}

}  // namespace qzarn::ui
