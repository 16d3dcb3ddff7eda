#include "ui/standard_palette.h"

#include "ui/document_window.h"
#include "ui/help_window.h"
#include "ui/palette_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

template <class W>
W* Named(W* w, const QString& name) {
  w->setAccessibleName(SpokenName(name));
  return w;
}

QString Utf8(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace

TEditValue::TEditValue(FigureExpressions& expressions, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), expressions_(expressions) {
  setObjectName(QStringLiteral("EditValue"));
  setWindowTitle(QStringLiteral("変数"));
  setAccessibleName(QStringLiteral("変数"));

  list_ = Named(new QComboBox(this), QStringLiteral("変数"));
  list_->setMinimumContentsLength(3);
  value_ = Named(new QLineEdit(this), QStringLiteral("値"));
  value_->setMaxLength(kPaletteValueMaxLength);
  value_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9.]*")), value_));
  value_->installEventFilter(this);
  value_->setMinimumWidth(90);
  up_ = Named(new QToolButton(this), QStringLiteral("増やす"));
  up_->setArrowType(Qt::UpArrow);
  down_ = Named(new QToolButton(this), QStringLiteral("減らす"));
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFixedSize(18, 11);
  }
  step_ = Named(new QComboBox(this), QStringLiteral("ステップ"));
  step_->setEditable(true);
  for (const char* s : kPaletteSteps)
    step_->addItem(QString::fromLatin1(s));
  step_->lineEdit()->setMaxLength(kPaletteStepMaxLength);
  step_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), step_));
  step_->setMinimumContentsLength(5);

  auto* spin = new QVBoxLayout;
  spin->setSpacing(0);
  spin->addWidget(up_);
  spin->addWidget(down_);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(4, 4, 4, 4);
  row->setSpacing(3);
  row->addWidget(list_);
  row->addWidget(value_);
  row->addLayout(spin);
  row->addWidget(step_);

  connect(list_, &QComboBox::currentIndexChanged, this, &TEditValue::ListChange);
  connect(up_, &QToolButton::clicked, this, [this] { SpinClick(true); });
  connect(down_, &QToolButton::clicked, this, [this] { SpinClick(false); });
  connect(value_, &QLineEdit::editingFinished, this, &TEditValue::ValueExit);
  connect(step_, &QComboBox::currentTextChanged, this, &TEditValue::StepChange);
  ShowScreen(nullptr);
  NameParts(*this);
}

Screen* TEditValue::screen() const {
  return window_ ? window_->screen() : nullptr;
}

void TEditValue::ShowScreen(DocumentWindow* window) {
  window_ = window;
  Refresh();
}

void TEditValue::Refresh() {
  Screen* s = screen();
  loading_ = true;
  list_->clear();
  if (s != nullptr) {
    setWindowTitle(window_->windowTitle());
    form_.Load(*s);
    for (PaletteVariable v : form_.list())
      list_->addItem(Utf8(PaletteVariableName(v)));
    list_->setCurrentIndex(form_.selected());
    step_->setEditText(Utf8(FormatPaletteStep(s->View().PaletteStep)));
  } else {
    form_ = StandardPaletteForm();
    setWindowTitle(QStringLiteral("変数"));
  }
  const bool on = s != nullptr && form_.enabled();
  for (QWidget* w : std::initializer_list<QWidget*>{list_, value_, up_, down_})
    w->setEnabled(on);
  loading_ = false;
  ShowValue();
}

void TEditValue::ShowValue() {
  // A text the user is typing stays until Enter or leaving the field.
  if (value_->isModified() && value_->hasFocus()) return;
  const Screen* s = screen();
  value_->setText(s != nullptr ? Utf8(form_.ValueText(*s)) : QString());
  value_->setModified(false);
}

void TEditValue::ListChange(int index) {
  Screen* s = screen();
  if (loading_ || s == nullptr || index < 0) return;
  form_.Select(*s, index);
  value_->setModified(false);
  ShowValue();
}

void TEditValue::SpinClick(bool up) {
  Screen* s = screen();
  if (s == nullptr || !form_.enabled()) return;
  const std::string field = value_->text().toStdString();
  const bool applied =
      up ? form_.SpinUp(*s, field, expressions_) : form_.SpinDown(*s, field, expressions_);
  value_->setModified(false);
  Changed(applied);
}

void TEditValue::ValueExit() {
  Screen* s = screen();
  // Leaving the field applies only a text the user changed: an untouched
  // value beyond ±100 (set by the table or an equation) stays as it is.
  if (s == nullptr || !value_->isModified()) return;
  const bool applied = form_.EnterValue(*s, value_->text().toStdString(), expressions_);
  value_->setModified(false);
  Changed(applied);
}

void TEditValue::Changed(bool applied) {
  if (applied && window_) window_->RefreshAfterVariableStep();
  ShowValue();
}

void TEditValue::StepChange() {
  Screen* s = screen();
  if (loading_ || s == nullptr) return;
  StandardPaletteForm::SetStep(*s, step_->currentText().toStdString());
}

bool TEditValue::eventFilter(QObject* watched, QEvent* event) {
  if (watched == value_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      SpinClick(key == Qt::Key_Up);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TEditValue::FillPopupMenu(QMenu& menu) {
  menu.setAccessibleName(QStringLiteral("変数ﾊﾟﾚｯﾄ"));
  QAction* user = menu.addAction(QStringLiteral("ﾕｰｻﾞｰ定義のﾊﾟﾚｯﾄ(&U)"), this, [this] {
    if (switch_to_user) switch_to_user();
  });
  user->setEnabled(static_cast<bool>(switch_to_user));
  QAction* edit = menu.addAction(QStringLiteral("変数ﾊﾟﾚｯﾄの編集(&E)..."), this, [this] {
    if (edit_palette) edit_palette();
  });
  edit->setEnabled(static_cast<bool>(edit_palette) && screen() != nullptr);
  menu.addSeparator();
  menu.addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this,
                 [] { ShowHelpTopic(kStandardPaletteHelpContext); });
  menu.addAction(QStringLiteral("閉じる(&C)"), this, [this] { close(); })->setEnabled(!restricted_);
}

void TEditValue::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  FillPopupMenu(menu);
  menu.exec(event->globalPos());
}

void TEditValue::mousePressEvent(QMouseEvent* event) {
  drag_.Press(*this, *event);
  QWidget::mousePressEvent(event);
}

void TEditValue::mouseMoveEvent(QMouseEvent* event) {
  drag_.Move(*this, *event);
}

void TEditValue::PlaceAtBottomRight(const QRect& area) {
  adjustSize();
  ui::PlaceAtBottomRight(*this, area);
}

void TEditValue::closeEvent(QCloseEvent* event) {
  if (AcceptPaletteClose(*this, *event, restricted_, screen(), window_) && closed_by_user)
    closed_by_user();
}

}  // namespace qzarn::ui
