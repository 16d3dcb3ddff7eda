#include "ui/property_dialog.h"

#include "ui/dialog_choosers.h"

#include "engine/equations.h"

// Core headers first (see the header).
#include "expr/engine.h"
#include "forms/accessible_name.h"
#include "forms/arrow_settings.h"
#include "platform/text_encoding.h"
#include "qt/qt_fonts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>

#include "ui/function_catalogue_dialog.h"
#include "ui/help_window.h"
#include "ui/label_font_chooser.h"
#include "ui/property_subdialogs.h"

#include "ui/spoken_name.h"

namespace qzarn::ui {

using forms::ControlKind;
using forms::ControlSpec;

namespace {

QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::array<QPoint, kRememberedPositions>& Positions() {
  static std::array<QPoint, kRememberedPositions> positions = [] {
    std::array<QPoint, kRememberedPositions> p;
    p.fill(QPoint(-1, -1));
    return p;
  }();
  return positions;
}

// Holds the pages. It asks for the pages' whole size, so the dialog opens as
// large as they are, but lets the dialog shrink below it: on a small or
// strongly scaled desktop (1280 x 800 at 150 %) the tallest page is taller
// than the screen, and the window keeper can then fit the dialog onto the
// screen with the pages scrolling instead of the OK row going off its edge.
class PageScroller final : public QScrollArea {
 public:
  explicit PageScroller(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
  }
  QSize sizeHint() const override {
    return widget() != nullptr ? widget()->sizeHint() : QScrollArea::sizeHint();
  }
};

void PaintSwatch(QPushButton& button, std::uint32_t bgr) {
  QPixmap swatch(14, 14);
  swatch.fill(ToQColor(bgr));
  button.setIcon(QIcon(swatch));
}

// An editable list box keeps a current item apart from the text it shows, and
// Return puts that item's text back: a proposed name "D" became the list's
// first name "A" (taken) when the dialog was confirmed with Return. The item
// follows the text (none when the text is not in the list).
void ShowEditText(QComboBox& combo, const QString& text) {
  {
    const QSignalBlocker quiet(&combo);
    combo.setCurrentIndex(combo.findText(text));
  }
  combo.setEditText(text);
}

}  // namespace

// ---- Messages ------------------------------------------------------------------------

bool MessageBoxPrompts::AskYesNo(std::string_view message) {
  return QMessageBox::question(parent_, QString::fromUtf8(kMessageCaption), Q(message),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxPrompts::Inform(std::string_view message) {
  QMessageBox::information(parent_, QString::fromUtf8(kMessageCaption), Q(message));
}

void ShowPropertyError(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kMessageCaption), message,
                  QMessageBox::Ok, parent);
  box.setAccessibleName(QString::fromUtf8(kMessageCaption));
  box.exec();
}

QPoint RememberedPosition(int index) {
  if (index < 0 || index >= kRememberedPositions) return QPoint(-1, -1);
  return Positions()[static_cast<std::size_t>(index)];
}

void ForgetPositions() {
  Positions().fill(QPoint(-1, -1));
}

TdlgFuncSel& FunctionCatalogueWindow() {
  static TdlgFuncSel* window = new TdlgFuncSel();
  return *window;
}

// ---- The dialog ---------------------------------------------------------------------

struct PropertyDialog::Bound {
  int index = -1;
  QWidget* widget = nullptr;
  QLabel* label = nullptr;
  QLabel* suffix = nullptr;
  QToolButton* catalogue = nullptr;
};

PropertyDialog::PropertyDialog(forms::PropertyForm& form, FigureRecord& target, ExprEngine& engine,
                               PropertyDialogHooks hooks, QWidget* parent)
    : QDialog(parent), form_(form), target_(target), engine_(engine), hooks_(std::move(hooks)) {
  const QString caption = Q(form_.spec().caption);
  setWindowTitle(caption);
  setAccessibleName(caption);
  setObjectName(Q(form_.spec().class_name));
  auto* layout = new QVBoxLayout(this);
  auto* scroller = new PageScroller(this);
  pages_ = new QTabWidget(scroller);
  pages_->setAccessibleName(caption);
  scroller->setWidget(pages_);
  layout->addWidget(scroller);
  BuildPages();

  auto* buttons = new QHBoxLayout();
  auto add_button = [&](std::string_view text, auto handler) {
    auto* b = new QPushButton(Q(text), this);
    b->setAccessibleName(Q(forms::SpokenCaption(text)));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, handler);
    buttons->addWidget(b);
    buttons_.push_back(b);
    return b;
  };
  if (form_.locus()) add_button(forms::kLocusButtonCaption, [this] { EditLocus(); });
  if (form_.arrow()) add_button(forms::kArrowButtonCaption, [this] { EditArrow(); });
  buttons->addStretch();
  QPushButton* ok = add_button(forms::kOkCaption, [this] { accept(); });
  ok->setDefault(true);
  add_button(forms::kCancelCaption, [this] { reject(); });
  const int help = form_.spec().help_context;
  add_button("ﾍﾙﾌﾟ", [help] { ShowHelpTopic(help); });
  layout->addLayout(buttons);
  RefreshEnabled();
  NameParts(*this);
}

PropertyDialog::~PropertyDialog() = default;

void PropertyDialog::BuildPages() {
  std::vector<QVBoxLayout*> page_layouts;
  for (std::string_view title : form_.spec().pages) {
    auto* page = new QWidget(pages_);
    page->setAccessibleName(Q(title));
    page_layouts.push_back(new QVBoxLayout(page));
    pages_->addTab(page, Q(title));
  }
  QHBoxLayout* row = nullptr;
  int row_page = -1;
  for (int i = 0; i < form_.ControlCount(); ++i) {
    const ControlSpec& c = form_.control(i);
    const int page_index = std::clamp(c.page, 0, static_cast<int>(page_layouts.size()) - 1);
    QWidget* page = pages_->widget(page_index);
    if (row == nullptr || (c.flags & forms::kSameRow) == 0 || row_page != page_index) {
      if (row != nullptr) row->addStretch();
      row = new QHBoxLayout();
      page_layouts[static_cast<std::size_t>(page_index)]->addLayout(row);
      row_page = page_index;
    }
    Bound b;
    b.index = i;
    const bool captioned_widget = c.kind == ControlKind::kCheck || c.kind == ControlKind::kColour ||
                                  c.kind == ControlKind::kFont;
    if (!captioned_widget && !c.caption.empty()) {
      b.label = new QLabel(Q(c.caption), page);
      row->addWidget(b.label);
    }
    b.widget = MakeControl(i, page);
    const QString name = b.widget->accessibleName();
    if (b.label != nullptr) {
      b.label->setBuddy(b.widget);
      // A label that is a piece of the formula ("(", "≦") is read as the
      // field it stands for.
      if (forms::PunctuationOnly(c.caption)) b.label->setAccessibleName(name);
    }
    // Expressions and text lines take the row's width: a text box line holds up
    // to 60 characters and would otherwise show a third of them.
    const bool wide = c.kind == ControlKind::kExpression || c.kind == ControlKind::kText;
    row->addWidget(b.widget, wide ? 1 : 0);
    if (c.kind == ControlKind::kExpression) {
      b.catalogue = new QToolButton(page);
      b.catalogue->setText(QStringLiteral("▲"));
      b.catalogue->setAccessibleName(QStringLiteral("関数の挿入 (%1)").arg(name));
      ConnectFunctionCatalogueButton(*b.catalogue, *static_cast<QLineEdit*>(b.widget),
                                     FunctionCatalogueWindow());
      row->addWidget(b.catalogue);
    }
    if (!c.suffix.empty()) {
      b.suffix = new QLabel(Q(c.suffix), page);
      if (forms::PunctuationOnly(c.suffix)) b.suffix->setAccessibleName(name);
      row->addWidget(b.suffix);
    }
    bound_.push_back(b);
  }
  if (row != nullptr) row->addStretch();
  // "変数(&H)" sits on the last page, beside the font button.
  QVBoxLayout* last = page_layouts.empty() ? nullptr : page_layouts.back();
  if (last != nullptr) {
    auto* variables =
        new QPushButton(Q(forms::kVariablesCaption), pages_->widget(pages_->count() - 1));
    variables->setAccessibleName(Q(forms::SpokenCaption(forms::kVariablesCaption)));
    variables->setAutoDefault(false);
    variables->setEnabled(static_cast<bool>(hooks_.edit_variables));
    connect(variables, &QPushButton::clicked, this, [this] { EditVariables(); });
    auto* r = new QHBoxLayout();
    r->addWidget(variables);
    r->addStretch();
    last->addLayout(r);
    buttons_.push_back(variables);
  }
  for (QVBoxLayout* l : page_layouts)
    l->addStretch();
}

QWidget* PropertyDialog::MakeControl(int i, QWidget* page) {
  const ControlSpec& c = form_.control(i);
  const forms::ControlValue& v = form_.value(i);
  const QString caption = Q(c.caption);
  QWidget* made = nullptr;
  switch (c.kind) {
    case ControlKind::kExpression:
    case ControlKind::kText: {
      auto* edit = new QLineEdit(Q(v.text), page);
      if (c.max_length > 0) edit->setMaxLength(c.max_length);
      if (c.kind == ControlKind::kExpression)
        edit->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[\\x20-\\x7E]*")), edit));
      // Every change counts, typed or not: assistive technology, an input
      // method's commit and scripted input all set the text without typing.
      connect(edit, &QLineEdit::textChanged, this, [this, i](const QString& text) {
        form_.SetText(i, text.toStdString());
        RefreshEnabled();
      });
      made = edit;
      break;
    }
    case ControlKind::kName:
    case ControlKind::kSize:
    case ControlKind::kAngle:
    case ControlKind::kNumber:
    case ControlKind::kDecimals: {
      auto* combo = new QComboBox(page);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      if (c.kind == ControlKind::kName) {
        for (const std::string& name : form_.NameSuggestions())
          combo->addItem(Q(name));
      } else {
        for (std::string_view choice : c.choices)
          combo->addItem(Q(choice));
      }
      QLineEdit* edit = combo->lineEdit();
      if (c.max_length > 0) edit->setMaxLength(c.max_length);
      if (c.kind == ControlKind::kSize || c.kind == ControlKind::kDecimals)
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
      ShowEditText(*combo, Q(v.text));
      connect(combo, &QComboBox::editTextChanged, this, [this, i, combo](const QString& text) {
        form_.SetText(i, text.toStdString());
        const QString shown = Q(form_.value(i).text);
        if (shown != text) {
          const int caret = combo->lineEdit()->cursorPosition();
          combo->setEditText(shown);
          combo->lineEdit()->setCursorPosition(std::min(caret, static_cast<int>(shown.size())));
        }
      });
      connect(edit, &QLineEdit::editingFinished, this, [this, i] {
        form_.Leave(i);
        RefreshControl(i);
      });
      combo->installEventFilter(this);
      made = combo;
      break;
    }
    case ControlKind::kChoice:
    case ControlKind::kReference: {
      auto* combo = new QComboBox(page);
      if (c.kind == ControlKind::kChoice) {
        for (std::string_view choice : c.choices)
          combo->addItem(Q(choice));
      } else {
        for (const forms::Candidate& candidate : v.candidates)
          combo->addItem(Q(candidate.label));
      }
      combo->setCurrentIndex(v.position);
      connect(combo, &QComboBox::currentIndexChanged, this, [this, i](int position) {
        form_.SetPosition(i, position);
        ReactToChange(i);
      });
      made = combo;
      break;
    }
    case ControlKind::kCheck: {
      auto* box = new QCheckBox(caption, page);
      box->setChecked(v.checked);
      connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
        form_.SetChecked(i, on);
        ReactToChange(i);
      });
      made = box;
      break;
    }
    case ControlKind::kColour: {
      auto* button = new QPushButton(caption, page);
      button->setAutoDefault(false);
      PaintSwatch(*button, v.colour);
      connect(button, &QPushButton::clicked, this, [this, i] { ChooseColour(i); });
      made = button;
      break;
    }
    case ControlKind::kFont: {
      auto* button = new QPushButton(caption, page);
      button->setAutoDefault(false);
      connect(button, &QPushButton::clicked, this, [this] { ChooseFont(); });
      made = button;
      break;
    }
  }
  made->setObjectName(Q(c.id));
  made->setAccessibleName(Q(forms::ControlName(form_.spec(), c)));
  // The edit of a drop-down that takes typing is what a screen reader lands on.
  if (auto* combo = qobject_cast<QComboBox*>(made);
      combo != nullptr && combo->lineEdit() != nullptr)
    combo->lineEdit()->setAccessibleName(made->accessibleName());
  return made;
}

QWidget* PropertyDialog::controlWidget(std::string_view id) const {
  const int i = form_.IndexOf(id);
  for (const Bound& b : bound_)
    if (b.index == i) return b.widget;
  return nullptr;
}

QPushButton* PropertyDialog::button(std::string_view caption) const {
  for (QPushButton* b : buttons_)
    if (b->text() == Q(caption)) return b;
  return nullptr;
}

void PropertyDialog::RefreshEnabled() {
  for (const Bound& b : bound_) {
    const bool on = form_.Enabled(b.index);
    b.widget->setEnabled(on);
    if (b.label != nullptr) b.label->setEnabled(on);
    if (b.suffix != nullptr) b.suffix->setEnabled(on);
    if (b.catalogue != nullptr) b.catalogue->setEnabled(on);
  }
}

// The member may answer a change by asking and by changing other controls (the
// recurrence question fills the first range).
void PropertyDialog::ReactToChange(int i) {
  MessageBoxPrompts boxes(this);
  form_.Changed(i, hooks_.prompts != nullptr ? *hooks_.prompts : boxes);
  for (const Bound& b : bound_)
    if (b.index != i) RefreshControl(b.index);
  RefreshEnabled();
}

void PropertyDialog::RefreshControl(int i) {
  for (const Bound& b : bound_) {
    if (b.index != i) continue;
    if (auto* combo = qobject_cast<QComboBox*>(b.widget); combo && combo->isEditable())
      ShowEditText(*combo, Q(form_.value(i).text));
    else if (auto* edit = qobject_cast<QLineEdit*>(b.widget))
      edit->setText(Q(form_.value(i).text));
  }
}

void PropertyDialog::ChooseColour(int i) {
  const QColor chosen =
      QColorDialog::getColor(ToQColor(form_.value(i).colour), this, Q(form_.control(i).caption));
  if (!chosen.isValid()) return;
  form_.SetColour(i, FromQColor(chosen));
  for (const Bound& b : bound_)
    if (b.index == i) PaintSwatch(*static_cast<QPushButton*>(b.widget), form_.value(i).colour);
}

void PropertyDialog::ChooseFont() {
  forms::FontValue font = form_.font();
  const ChosenFont initial{font.name, font.colour, font.size, font.style};
  const std::optional<ChosenFont> chosen = ChooseLabelFont(this, initial, Q(forms::kFontCaption));
  if (!chosen || *chosen == initial) return;
  font.name = chosen->name;
  font.colour = chosen->colour;
  font.size = chosen->size;
  font.style = chosen->style;
  // A new family is the default character set's; the same one keeps its own.
  if (chosen->name != initial.name) font.charset = 1;
  form_.SetFont(font);
}

void PropertyDialog::EditLocus() {
  LocusSettings settings = *form_.locus();
  const bool function = LocusDialogOf(form_.working()) == LocusDialogKind::kFunction;
  if (EditLocusSettings(this, settings, Q(form_.LocusCaption()), function))
    form_.SetLocus(settings);
}

void PropertyDialog::EditArrow() {
  forms::ArrowSettings settings = *form_.arrow();
  if (EditArrowSettings(this, settings, Q(forms::kArrowButtonCaption))) form_.SetArrow(settings);
}

void PropertyDialog::EditVariables() {
  if (!hooks_.edit_variables) return;
  hooks_.edit_variables(this, form_.settings(), windowTitle());
}

void PropertyDialog::ReadControls() {
  for (const Bound& b : bound_) {
    QString shown;
    if (auto* combo = qobject_cast<QComboBox*>(b.widget); combo && combo->isEditable())
      shown = combo->currentText();
    else if (auto* edit = qobject_cast<QLineEdit*>(b.widget))
      shown = edit->text();
    else
      continue;
    if (shown.toStdString() == form_.value(b.index).text) continue;
    form_.SetText(b.index, shown.toStdString());
    form_.Leave(b.index);
    RefreshControl(b.index);
  }
}

bool PropertyDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isEnabled()) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PropertyDialog::accept() {
  ReadControls();
  // A field being typed in counts as left.
  if (QWidget* focused = focusWidget())
    for (const Bound& b : bound_)
      if (b.widget == focused || b.widget->isAncestorOf(focused)) {
        form_.Leave(b.index);
        RefreshControl(b.index);
      }
  MessageBoxPrompts boxes(this);
  forms::FormPrompts& prompts = hooks_.prompts != nullptr ? *hooks_.prompts : boxes;
  const auto result = form_.Confirm(target_, engine_, prompts);
  if (const auto* failure = std::get_if<forms::FormFailure>(&result)) {
    const QString message = Q(failure->message);
    if (hooks_.show_error)
      hooks_.show_error(this, message);
    else
      ShowPropertyError(this, message);
    pages_->setCurrentIndex(failure->page);
    if (QWidget* w = controlWidget(failure->control)) w->setFocus(Qt::OtherFocusReason);
    return;
  }
  stored_ = true;
  QDialog::accept();
}

int PropertyDialog::PositionSlot() const {
  const auto members = forms::AllMembers();
  for (std::size_t k = 0; k < members.size(); ++k)
    if (members[k] == &form_.spec()) return static_cast<int>(k % kRememberedPositions);
  return -1;
}

void PropertyDialog::showEvent(QShowEvent* event) {
  const QPoint at = RememberedPosition(PositionSlot());
  if (at != QPoint(-1, -1)) {
    move(at);
  } else if (QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  pages_->setCurrentIndex(0);
  if (QWidget* name = controlWidget("Name")) name->setFocus(Qt::OtherFocusReason);
  QDialog::showEvent(event);
}

void PropertyDialog::done(int result) {
  if (const int slot = PositionSlot(); slot >= 0)
    Positions()[static_cast<std::size_t>(slot)] = pos();
  QDialog::done(result);
}

// ---- Opening ----------------------------------------------------------------------

bool OpenPropertyDialog(Screen& screen, int slot, ExprEngine& engine, QWidget* parent,
                        const PropertyDialogHooks& hooks) {
  FigureRecord* record = screen.Figures.record(slot);
  if (record == nullptr) return false;
  auto refuse = [&](const QString& message) {
    if (hooks.show_error)
      hooks.show_error(parent, message);
    else
      ShowPropertyError(parent, message);
    return false;
  };
  const forms::MemberSpec* spec = forms::FindMember(*record);
  if (spec == nullptr) return refuse(QStringLiteral("この図形の設定はできません．"));
  forms::PropertyForm form(*spec, *record,
                           forms::FormScreen{screen.Figures, screen.Settings, slot, hooks.removed});
  if (const std::optional<std::string> missing = form.Open()) return refuse(Q(*missing));
  PropertyDialog dialog(form, *record, engine, hooks, parent);
  if (dialog.exec() != QDialog::Accepted || !dialog.stored()) return false;
  // Curves that read a changed variable are sampled again in the next pass.
  if (form.ApplyVariables(screen.Settings) > 0) InvalidateAllCurves(screen);
  screen.Modified = true;
  return true;
}

}  // namespace qzarn::ui
