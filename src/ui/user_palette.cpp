#include "ui/user_palette.h"

#include "platform/text_encoding.h"
#include "ui/dialog_choosers.h"
#include "ui/document_window.h"
#include "ui/help_window.h"
#include "ui/palette_editor.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QStyle>

#include <algorithm>
#include <cstring>
#include <utility>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

// The palette keeps this far from the desktop's right and bottom edges.
constexpr int kDesktopMargin = 5;
constexpr int kBoxTextLength = 10;

QFont PaletteQFont(const std::string& cp932_name, int size, int style) {
  PaletteFont f;
  f.name = cp932_to_utf8(cp932_name);
  f.size = size;
  f.style = style;
  return ToQFont(f);
}

void SetTextColour(QWidget& w, std::uint32_t colour) {
  QPalette p = w.palette();
  p.setColor(QPalette::WindowText, ToQColor(colour));
  p.setColor(QPalette::Text, ToQColor(colour));
  p.setColor(QPalette::Base, Qt::white);
  w.setPalette(p);
}

std::vector<std::uint8_t> EntryBytes(const Screen& s) {
  std::vector<std::uint8_t> bytes(sizeof s.PaletteItems + 2 * sizeof(std::int32_t));
  std::memcpy(bytes.data(), s.PaletteItems.data(), sizeof s.PaletteItems);
  const std::int32_t size[2] = {s.View().PaletteWidth, s.View().PaletteHeight};
  std::memcpy(bytes.data() + sizeof s.PaletteItems, size, sizeof size);
  return bytes;
}

// Widest room kept for the caption; a longer one is shortened by the title bar.
constexpr int kMostCaptionRoom = 240;

// A box's stored size is a pixel size chosen for a font in points ("font size
// + 5" high from the wizard): at this screen's resolution and with its arrow
// buttons that may cut the digits. The box keeps its stored top-left corner,
// so a name label beside it stays beside its digits, and grows to the size
// its font and range need.
QRect GrownToNeed(const QRect& stored, const QSize& need) {
  return {stored.left(), stored.top(), std::max({1, stored.width(), need.width()}),
          std::max({1, stored.height(), need.height()})};
}

QRect BoxPlace(const PaletteSpinBox& box, const UserPaletteBox& b) {
  return GrownToNeed({b.left, b.top, b.width, b.height}, box.minimumSizeHint());
}

// Client width that leaves the title bar room for the caption besides its
// buttons (a palette of one box is about 84 pixels wide).
int CaptionRoom(const QWidget& w) {
  const int bar = w.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &w);
  const int text = QFontMetrics(w.font()).horizontalAdvance(w.windowTitle());
  return std::min(kMostCaptionRoom, text + 2 * bar + 16);
}

}  // namespace

QRect ShownBoxPlace(const QFont& font, double minimum, double maximum, double value,
                    const QRect& stored) {
  PaletteSpinBox box(nullptr);
  box.setFont(font);
  box.setRange(minimum, std::max(minimum, maximum));
  box.setValue(value);
  return GrownToNeed(stored, box.minimumSizeHint());
}

PaletteSpinBox::PaletteSpinBox(QWidget* parent) : QDoubleSpinBox(parent) {
  setDecimals(10);
  setKeyboardTracking(true);
  lineEdit()->setMaxLength(kBoxTextLength);
}

QString PaletteSpinBox::textFromValue(double value) const {
  return QString::fromStdString(FormatPaletteValue(value));
}

double PaletteSpinBox::valueFromText(const QString& text) const {
  return ParsePaletteValue(text.toStdString());
}

QValidator::State PaletteSpinBox::validate(QString& text, int&) const {
  bool digit = false;
  for (QChar c : text) {
    if (!IsPaletteValueCharacter(c.unicode())) return QValidator::Invalid;
    digit = digit || c.isDigit();
  }
  // "", "-", "." and "-." are a number being typed, not 0: the variable keeps
  // its value until a digit follows. Any other text of these characters is
  // taken; out-of-range values show clamped.
  return digit ? QValidator::Acceptable : QValidator::Intermediate;
}

void PaletteSpinBox::fixup(QString& text) const {
  text = textFromValue(value());
}

TEditValue2::TEditValue2(FigureExpressions& expressions, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), expressions_(expressions) {
  setObjectName(QStringLiteral("EditValue2"));
  setAccessibleName(QStringLiteral("ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ"));
  setWindowTitle(QStringLiteral("ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ"));
  setAutoFillBackground(true);
}

Screen* TEditValue2::screen() const {
  return window_ ? window_->screen() : nullptr;
}

void TEditValue2::ShowScreen(DocumentWindow* window) {
  if (window != nullptr && window == window_ && screen() != nullptr) {
    Refresh();
    return;
  }
  window_ = window;
  Build();
}

void TEditValue2::Rebuild() {
  Build();
}

void TEditValue2::Refresh() {
  const Screen* s = screen();
  if (s == nullptr || EntryBytes(*s) != built_from_) {
    Build();
    return;
  }
  setWindowTitle(window_->windowTitle());
  layout_ = ReadUserPalette(*s);
  ShowValues();
}

void TEditValue2::Build() {
  if (close_animation) close_animation();
  // The boxes leave the list before they are deleted: a box's line edit sends
  // events through this window's filter while the box is being destroyed.
  const std::vector<PaletteSpinBox*> old_boxes = std::exchange(spins_, {});
  for (PaletteSpinBox* b : old_boxes) {
    b->removeEventFilter(this);
    b->editor()->removeEventFilter(this);
    delete b;
  }
  for (QLabel* l : labels_)
    delete l;
  labels_.clear();
  const Screen* s = screen();
  if (s == nullptr) {
    layout_ = {};
    built_from_.clear();
    setWindowTitle(QStringLiteral("ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ"));
    return;
  }
  // The boxes show the variables' present values: nothing is written back,
  // so a change made elsewhere while another screen was active stays.
  layout_ = ReadUserPalette(*s);
  built_from_ = EntryBytes(*s);
  setWindowTitle(window_->windowTitle());
  // The client area is the stored size, grown where a box had to grow or the
  // caption needs room (the boxes and labels keep their stored places).
  QSize client(std::max(1, layout_.width), std::max(1, layout_.height));
  for (const UserPaletteLabel& l : layout_.labels) {
    const QString caption = QString::fromStdString(cp932_to_utf8(l.caption));
    auto* label = new QLabel(caption, this);
    label->setAccessibleName(SpokenName(caption));
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setWordWrap(false);
    label->setFont(PaletteQFont(l.font_name, l.font_size, l.font_style));
    SetTextColour(*label, l.font_colour);
    label->adjustSize();
    label->move(l.left, l.top);
    client = client.expandedTo({label->geometry().right() + 1, label->geometry().bottom() + 1});
    label->show();
    labels_.push_back(label);
  }
  loading_ = true;
  for (std::size_t i = 0; i < layout_.boxes.size(); ++i) {
    const UserPaletteBox& b = layout_.boxes[i];
    auto* box = new PaletteSpinBox(this);
    box->setAccessibleName(SpokenName(QString::fromStdString(PaletteVariableName(b.variable))));
    box->setFont(PaletteQFont(b.font_name, b.font_size, b.font_style));
    SetTextColour(*box, b.font_colour);
    box->setRange(b.minimum, std::max(b.minimum, b.maximum));
    box->setSingleStep(b.step);
    box->setValue(b.value);
    const QRect place = BoxPlace(*box, b);
    box->setGeometry(place);
    client = client.expandedTo({place.right() + 1, place.bottom() + 1});
    box->installEventFilter(this);
    box->editor()->installEventFilter(this);
    connect(box, &QDoubleSpinBox::valueChanged, this,
            [this, i](double value) { BoxChange(i, value); });
    box->show();
    spins_.push_back(box);
  }
  loading_ = false;
  client.setWidth(std::max(client.width(), CaptionRoom(*this)));
  setFixedSize(client);
  KeepOnDesktop(*this, kDesktopMargin);
  NameParts(*this);
}

void TEditValue2::ShowValues() {
  loading_ = true;
  for (std::size_t i = 0; i < spins_.size() && i < layout_.boxes.size(); ++i)
    if (!spins_[i]->hasFocus() || !spins_[i]->editor()->isModified())
      spins_[i]->setValue(layout_.boxes[i].value);
  loading_ = false;
}

void TEditValue2::BoxChange(std::size_t index, double value) {
  Screen* s = screen();
  if (loading_ || s == nullptr || index >= layout_.boxes.size()) return;
  if (ApplyBoxValue(*s, layout_.boxes[index], value, expressions_)) {
    // The entry changed with the value: what the palette was built from follows.
    built_from_ = EntryBytes(*s);
    window_->RefreshAfterVariableStep();
  }
}

void TEditValue2::ResetAllClick() {
  Screen* s = screen();
  if (s == nullptr) return;
  const int changed = ResetUserPalette(*s, expressions_);
  built_from_ = EntryBytes(*s);
  layout_ = ReadUserPalette(*s);
  ShowValues();
  if (changed > 0) window_->RefreshScreen();
}

void TEditValue2::FillPopupMenu(QMenu& menu) {
  menu.setAccessibleName(QStringLiteral("ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ"));
  menu.addAction(QStringLiteral("すべての値を初期値に戻す(&R)"), this, [this] { ResetAllClick(); })
      ->setEnabled(screen() != nullptr);
  menu.addAction(QStringLiteral("標準のﾊﾟﾚｯﾄ(&S)"), this,
                 [this] {
                   if (switch_to_standard) switch_to_standard();
                 })
      ->setEnabled(static_cast<bool>(switch_to_standard));
  menu.addAction(QStringLiteral("変数ﾊﾟﾚｯﾄの編集(&E)..."), this,
                 [this] {
                   if (edit_palette) edit_palette();
                 })
      ->setEnabled(static_cast<bool>(edit_palette) && screen() != nullptr);
  menu.addSeparator();
  menu.addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this, [] { ShowHelpTopic(kUserPaletteHelpContext); });
  menu.addAction(QStringLiteral("閉じる(&C)"), this, [this] { close(); })->setEnabled(!restricted_);
}

bool TEditValue2::eventFilter(QObject* watched, QEvent* event) {
  for (std::size_t i = 0; i < spins_.size(); ++i) {
    PaletteSpinBox* box = spins_[i];
    if (watched != box && watched != box->editor()) continue;
    if (event->type() == QEvent::ContextMenu) {
      if (open_animation && i < layout_.boxes.size()) open_animation(i);
      return true;
    }
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && close_animation)
      close_animation();
    break;
  }
  return QWidget::eventFilter(watched, event);
}

void TEditValue2::contextMenuEvent(QContextMenuEvent* event) {
  if (restricted_) return;
  QMenu menu(this);
  FillPopupMenu(menu);
  menu.exec(event->globalPos());
}

void TEditValue2::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && close_animation) close_animation();
  drag_.Press(*this, *event);
  QWidget::mousePressEvent(event);
}

void TEditValue2::mouseMoveEvent(QMouseEvent* event) {
  drag_.Move(*this, *event);
}

void TEditValue2::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && edit_palette && !restricted_ && screen() != nullptr)
    edit_palette();
}

void TEditValue2::PlaceAtBottomRight(const QRect& area) {
  ui::PlaceAtBottomRight(*this, area);
  KeepOnDesktop(*this, kDesktopMargin);
}

void TEditValue2::hideEvent(QHideEvent* event) {
  if (close_animation) close_animation();
  QWidget::hideEvent(event);
}

void TEditValue2::closeEvent(QCloseEvent* event) {
  if (AcceptPaletteClose(*this, *event, restricted_, screen(), window_) && closed_by_user)
    closed_by_user();
}

}  // namespace qzarn::ui
