#include "ui/palette_editor.h"

#include "ui/help_window.h"
#include "ui/message_caption.h"
#include "ui/whole_captions.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "ui/spoken_name.h"
#include "ui/document_window.h"  // the palette names the window it shows
#include "ui/user_palette.h"

namespace qzarn::ui {

namespace {

constexpr int kEditorWidth = 630;
constexpr int kEditorHeight = 421;
// Room beyond the design area for the surface's resize square.
constexpr int kSurfaceMargin = 8;
constexpr int kHandle = 6;

// Where the editor was last closed in this run of the program.
std::optional<QPoint>& LastEditorPosition() {
  static std::optional<QPoint> position;
  return position;
}

QString Utf8(const std::string& s) {
  return QString::fromStdString(s);
}

// The editor's messages break lines with "\r"; the message boxes want "\n".
QString MessageText(const char* text) {
  return QString::fromUtf8(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString NumberText(double v) {
  return Utf8(FormatPaletteValue(v));
}

FontPick ToPick(const PaletteFont& f) {
  return {f.name, f.size, f.style};
}

QRect ToQRect(const PaletteRect& r) {
  return {r.left, r.top, r.width, r.height};
}

QRect SurfaceHandle(const PaletteRect& s) {
  return {s.width - kHandle / 2, s.height - kHandle / 2, kHandle, kHandle};
}

}  // namespace

void FillDefaultQuestions(PaletteEditorQuestions& q) {
  if (!q.error)
    q.error = [](QWidget* p, const QString& t) {
      QMessageBox::critical(p, QString::fromUtf8(kMessageCaption), t);
    };
  if (!q.yes_no) q.yes_no = [](QWidget* p, const QString& t) { return AskYesNoBox(p, t); };
  if (!q.inform) q.inform = [](QWidget* p, const QString& t) { InformWithWholeLines(p, t); };
  if (!q.pick_font) q.pick_font = PickFont;
  if (!q.pick_colour) q.pick_colour = PickColour;
  if (!q.run_wizard) q.run_wizard = [](QDialog& d) { return d.exec(); };
}

PaletteFont InitialPaletteFont(const std::string& init_font_name) {
  PaletteFont f;
  f.name = init_font_name;
  f.size = 10;
  f.colour = 0;
  f.style = 0;
  f.charset = kShiftJisCharset;
  return f;
}

QFont ToQFont(const PaletteFont& f) {
  QFont font(Utf8(f.name));
  if (f.size > 0) font.setPointSize(f.size);
  font.setBold((f.style & 1) != 0);
  font.setItalic((f.style & 2) != 0);
  font.setUnderline((f.style & 4) != 0);
  font.setStrikeOut((f.style & 8) != 0);
  return font;
}

std::pair<int, int> MeasurePaletteText(const std::string& text, const PaletteFont& font) {
  const QFontMetrics fm(ToQFont(font));
  return {fm.horizontalAdvance(Utf8(text)), fm.height()};
}

// ---- Design surface ---------------------------------------------------------

PaletteDesignSurface::PaletteDesignSurface(TEditValue_E& editor)
    : QWidget(&editor), editor_(editor) {
  setAccessibleName(QStringLiteral("変数ﾊﾟﾚｯﾄ"));
  // Taking the focus on a click ends an entry in the property grid first.
  setFocusPolicy(Qt::ClickFocus);
  setFixedSize(sizeHint());
  setMouseTracking(false);
}

QSize PaletteDesignSurface::sizeHint() const {
  return {kDesignAreaWidth + kSurfaceMargin, kDesignAreaHeight + kSurfaceMargin};
}

QRect PaletteDesignSurface::ShownBox(const PaletteObject& o) const {
  const QRect stored = ToQRect(o.rect);
  const QFont font = ToQFont(o.font);
  const QString key =
      font.key() + QStringLiteral("|%1|%2|%3").arg(o.minimum).arg(o.maximum).arg(o.value);
  auto found = shown_sizes_.find(key);
  if (found == shown_sizes_.end()) {
    const QSize need = ShownBoxPlace(font, o.minimum, o.maximum, o.value, QRect(0, 0, 1, 1)).size();
    found = shown_sizes_.emplace(key, need).first;
  }
  return {stored.left(), stored.top(), std::max(stored.width(), found->second.width()),
          std::max(stored.height(), found->second.height())};
}

void PaletteDesignSurface::paintEvent(QPaintEvent*) {
  const PaletteEditorForm& form = editor_.form();
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Mid));
  const PaletteRect& s = form.surface();
  p.fillRect(0, 0, s.width, s.height, Qt::white);
  if (form.grid()) {
    p.setPen(Qt::gray);
    for (int y = 0; y < s.height; y += kPaletteGrid)
      for (int x = 0; x < s.width; x += kPaletteGrid)
        p.drawPoint(x, y);
  }
  p.setClipRect(0, 0, s.width, s.height);
  const auto& objects = form.objects();
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const PaletteObject& o = objects[i];
    const QRect r = ToQRect(o.rect);
    const bool marked = form.marked(static_cast<int>(i));
    p.setFont(ToQFont(o.font));
    if (o.box()) {
      // As the palette will show it, so that labels are placed against it.
      const QRect shown = ShownBox(o);
      p.fillRect(shown, marked ? QColor(Qt::cyan) : QColor(Qt::white));
      p.setPen(Qt::darkGray);
      p.drawRect(shown.adjusted(0, 0, -1, -1));
      p.setPen(ToQColor(o.font.colour));
      p.drawText(shown, Qt::AlignVCenter | Qt::AlignLeft,
                 QStringLiteral(" ") + Utf8(VariableIndexName(o.variable)));
    } else {
      if (marked) p.fillRect(r, Qt::cyan);
      p.setPen(ToQColor(o.font.colour));
      p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Utf8(o.caption));
    }
  }
  if (const int sel = form.selected(); sel >= 0) {
    const PaletteObject& o = objects[static_cast<std::size_t>(sel)];
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(ToQRect(o.rect).adjusted(-1, -1, 0, 0));
    if (o.box()) p.fillRect(ToQRect(PaletteEditorForm::SizeHandle(o.rect)), Qt::black);
  }
  if (drag_ == Drag::kBand) {
    p.setPen(QPen(Qt::blue, 1, Qt::DotLine));
    p.drawRect(QRect(press_, band_end_).normalized());
  }
  p.setClipping(false);
  p.fillRect(SurfaceHandle(s), Qt::black);
}

void PaletteDesignSurface::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  PaletteEditorForm& form = editor_.form();
  press_ = event->position().toPoint();
  const int x = press_.x();
  const int y = press_.y();
  // The selected box's square wins where it covers the surface's corner.
  if (form.OnSizeHandle(x, y)) {
    drag_ = Drag::kSize;
    const PaletteRect& r = form.objects()[static_cast<std::size_t>(form.selected())].rect;
    start_ = {r.width, r.height};
  } else if (SurfaceHandle(form.surface()).contains(press_)) {
    drag_ = Drag::kSurface;
    start_ = {form.surface().width, form.surface().height};
  } else if (const int hit = form.ObjectAt(x, y); hit >= 0) {
    form.Select(hit);
    drag_ = Drag::kMove;
    const PaletteRect& r = form.objects()[static_cast<std::size_t>(hit)].rect;
    start_ = {r.left, r.top};
  } else {
    form.Select(-1);
    drag_ = Drag::kBand;
    band_end_ = press_;
  }
  editor_.Changed();
}

void PaletteDesignSurface::mouseMoveEvent(QMouseEvent* event) {
  PaletteEditorForm& form = editor_.form();
  const QPoint delta = event->position().toPoint() - press_;
  switch (drag_) {
    case Drag::kMove: {
      const bool snap = form.grid() && !(event->modifiers() & Qt::AltModifier);
      form.DragTo(form.selected(), start_.x() + delta.x(), start_.y() + delta.y(), snap);
      break;
    }
    case Drag::kSize:
      form.ResizeSelected(start_.x() + delta.x(), start_.y() + delta.y());
      break;
    case Drag::kSurface:
      form.ResizeSurface(start_.x() + delta.x(), start_.y() + delta.y());
      break;
    case Drag::kBand:
      band_end_ = event->position().toPoint();
      break;
    case Drag::kNone:
      return;
  }
  update();
}

void PaletteDesignSurface::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_ == Drag::kBand) {
    const QPoint end = event->position().toPoint();
    editor_.form().MarkRectangle(press_.x(), press_.y(), end.x(), end.y());
  }
  drag_ = Drag::kNone;
  editor_.Changed();
}

void PaletteDesignSurface::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (editor_.form().ObjectAt(at.x(), at.y()) >= 0) editor_.FontClick();
}

// ---- Editor -----------------------------------------------------------------

TEditValue_E::TEditValue_E(Screen& screen, const QString& screen_caption,
                           const std::string& init_font_name, PaletteEditorQuestions questions,
                           QWidget* parent)
    : QDialog(parent),
      screen_(screen),
      questions_(std::move(questions)),
      init_font_name_(init_font_name),
      form_(MeasurePaletteText, InitialPaletteFont(init_font_name)) {
  setObjectName(QStringLiteral("EditValue_E"));
  const QString caption = QStringLiteral("変数ﾊﾟﾚｯﾄの編集 [") + screen_caption + QLatin1Char(']');
  setWindowTitle(caption);
  setAccessibleName(SpokenName(caption));
  resize(kEditorWidth, kEditorHeight);
  FillDefaultQuestions(questions_);
  TEditWizard::RememberedFont(init_font_name_);

  form_.Load(screen_);
  uses_ = ClassifyVariables(screen_);
  for (int i = 0; i < kPaletteVariableCount; ++i)
    if (uses_[static_cast<std::size_t>(i)] == VariableUse::kUsed) wizard_ticks_.push_back(i);

  tools_ = new QToolBar(this);
  tools_->setAccessibleName(QStringLiteral("ツールバー"));
  tools_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  struct Tool {
    const char* name;
    const char* caption;  // the hint; also the accessible name
    const char* button;   // the text on the button
    QKeySequence keys;
    std::function<void()> run;
  };
  const Tool tools[] = {
      {"Tool_New", "新規作成", "新規", {}, [this] { NewClick(); }},
      {"Tool_Grid",
       "グリッド",
       "グリッド",
       {},
       [this] { form_.SetGrid(action("Tool_Grid").isChecked()); }},
      {"ToolWizard", "変数ﾊﾟﾚｯﾄ・ｳｨｻﾞｰﾄﾞ", "ｳｨｻﾞｰﾄﾞ", {}, [this] { WizardClick(); }},
      {"Tool_Label", "ラベル作成", "ラベル", {}, [this] { form_.CreateLabel(); }},
      {"Tool_Value", "変数作成", "変数", {}, [this] { form_.CreateBox(); }},
      {"Tool_Cut", "カット(Ctrl+X)", "カット", QKeySequence::Cut, [this] { form_.Cut(); }},
      {"ToolCopy", "コピー(Ctrl+C)", "コピー", QKeySequence::Copy, [this] { form_.Copy(); }},
      {"ToolPaste", "貼り付け(Ctrl+V)", "貼り付け", QKeySequence::Paste, [this] { form_.Paste(); }},
      {"ToolHelp", "ﾍﾙﾌﾟ", "ﾍﾙﾌﾟ", {}, [] { ShowHelpTopic(kPaletteEditorHelpContext); }},
  };
  for (const Tool& t : tools) {
    QAction* a = tools_->addAction(QString::fromUtf8(t.caption));
    a->setObjectName(QString::fromLatin1(t.name));
    a->setIconText(QString::fromUtf8(t.button));
    a->setToolTip(QString::fromUtf8(t.caption));
    if (!t.keys.isEmpty()) {
      // The keys work wherever the focus is in the editor; a property entry
      // being typed keeps its own cut, copy and paste.
      a->setShortcut(t.keys);
      a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
      addAction(a);
    }
    connect(a, &QAction::triggered, this, [this, run = t.run] {
      run();
      Changed();
    });
  }
  action("Tool_Grid").setCheckable(true);
  action("Tool_Grid").setChecked(true);
  auto* remove = new QAction(this);
  remove->setShortcut(QKeySequence::Delete);
  remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(remove, &QAction::triggered, this, [this] {
    form_.DeleteSelection();
    Changed();
  });
  addAction(remove);

  surface_ = new PaletteDesignSurface(*this);
  grid_ = new QTableWidget(0, 2, this);
  grid_->setAccessibleName(QStringLiteral("プロパティ"));
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  grid_->setColumnWidth(0, 56);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setAccessibleName(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("OKBtn"));
  auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cancel->setAccessibleName(QStringLiteral("ｷｬﾝｾﾙ"));
  cancel->setObjectName(QStringLiteral("CancelBtn"));
  ok->setAutoDefault(false);
  cancel->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, [this] { OkClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* side = new QVBoxLayout;
  side->addWidget(grid_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  side->addLayout(buttons);
  auto* body = new QHBoxLayout;
  body->addWidget(surface_, 0, Qt::AlignTop);
  body->addLayout(side, 1);
  auto* whole = new QVBoxLayout(this);
  whole->setContentsMargins(4, 0, 4, 4);
  whole->addWidget(tools_);
  whole->addLayout(body, 1);

  if (LastEditorPosition()) {
    move(*LastEditorPosition());
  } else if (const QScreen* display = QGuiApplication::primaryScreen()) {
    move(display->availableGeometry().center() - QPoint(kEditorWidth / 2, kEditorHeight / 2));
  }
  Changed();
  NameParts(*this);
}

TEditValue_E::~TEditValue_E() = default;

QAction& TEditValue_E::action(const char* object_name) {
  return *tools_->findChild<QAction*>(QString::fromLatin1(object_name));
}

void TEditValue_E::done(int result) {
  LastEditorPosition() = pos();
  QDialog::done(result);
}

void TEditValue_E::keyPressEvent(QKeyEvent* event) {
  // Enter belongs to the property grid's entries, not to OK.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
  QDialog::keyPressEvent(event);
}

void TEditValue_E::Changed() {
  const PaletteEditorTools t = form_.tools();
  action("Tool_New").setEnabled(t.clear);
  action("Tool_Label").setEnabled(t.create);
  action("Tool_Value").setEnabled(t.create);
  action("Tool_Cut").setEnabled(t.cut);
  action("ToolCopy").setEnabled(t.copy);
  action("ToolPaste").setEnabled(t.paste);
  ShowProperties();
  surface_->update();
}

QWidget* TEditValue_E::propertyEditor(const QString& row) const {
  for (int r = 0; r < grid_->rowCount(); ++r)
    if (grid_->item(r, 0) != nullptr && grid_->item(r, 0)->text() == row)
      return grid_->cellWidget(r, 1);
  return nullptr;
}

void TEditValue_E::ShowProperties() {
  const int sel = form_.selected();
  const PaletteObject* o = sel >= 0 ? &form_.objects()[static_cast<std::size_t>(sel)] : nullptr;
  const bool rebuild = sel != shown_object_ || o == nullptr ||
                       (o->box() ? grid_->rowCount() != 7 : grid_->rowCount() != 3);
  if (rebuild) {
    shown_object_ = sel;
    grid_->setRowCount(0);
    if (o == nullptr) return;
    auto add_row = [this](const QString& name, QWidget* editor) {
      const int r = grid_->rowCount();
      grid_->insertRow(r);
      grid_->setItem(r, 0, new QTableWidgetItem(name));
      editor->setAccessibleName(SpokenName(name));
      grid_->setCellWidget(r, 1, editor);
    };
    if (!o->box()) {
      auto* name = new QLineEdit;
      name->setMaxLength(kPaletteCaptionBytes);
      connect(name, &QLineEdit::editingFinished, this, [this, name] {
        if (!name->isModified()) return;
        name->setModified(false);
        Report(form_.SetCaption(name->text().toStdString()));
        Changed();
      });
      add_row(QStringLiteral("名前"), name);
    } else {
      auto* variable = new QComboBox;
      for (int i = 0; i < kPaletteVariableCount; ++i)
        variable->addItem(Utf8(VariableListEntry(i, uses_[static_cast<std::size_t>(i)])));
      variable->setMaxVisibleItems(20);
      connect(variable, &QComboBox::activated, this, [this, variable](int index) {
        // An entry marked not usable is refused: the list returns to the box's variable.
        if (!variable->itemText(index).contains(QStringLiteral("不可")))
          form_.SetVariable(index, uses_);
        Changed();
      });
      add_row(QStringLiteral("変数名"), variable);
      for (const char* row : {"最小値", "最大値", "初期値", "間隔"}) {
        auto* edit = new QLineEdit;
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-0-9.]*")), edit));
        const QString label = QString::fromUtf8(row);
        connect(edit, &QLineEdit::editingFinished, this,
                [this, label, edit] { NumberEntered(label, edit); });
        add_row(label, edit);
      }
    }
    auto* font = new QPushButton;
    connect(font, &QPushButton::clicked, this, [this] { FontClick(); });
    add_row(QStringLiteral("ﾌｫﾝﾄ"), font);
    auto* colour = new QPushButton;
    connect(colour, &QPushButton::clicked, this, [this] { ColourClick(); });
    add_row(QStringLiteral("色"), colour);
  }
  if (o == nullptr) return;
  auto set_text = [this](const QString& row, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(propertyEditor(row))) {
      if (edit->hasFocus() && edit->isModified()) return;
      edit->setText(text);
      edit->setModified(false);
    }
  };
  if (!o->box()) {
    set_text(QStringLiteral("名前"), Utf8(o->caption));
  } else {
    if (auto* variable = qobject_cast<QComboBox*>(propertyEditor(QStringLiteral("変数名"))))
      variable->setCurrentIndex(o->variable);
    set_text(QStringLiteral("最小値"), NumberText(o->minimum));
    set_text(QStringLiteral("最大値"), NumberText(o->maximum));
    set_text(QStringLiteral("初期値"), NumberText(o->initial));
    set_text(QStringLiteral("間隔"), NumberText(o->step));
  }
  if (auto* font = qobject_cast<QPushButton*>(propertyEditor(QStringLiteral("ﾌｫﾝﾄ"))))
    font->setText(Utf8(o->font.name));
  if (auto* colour = qobject_cast<QPushButton*>(propertyEditor(QStringLiteral("色"))))
    colour->setStyleSheet(
        QStringLiteral("background-color: %1").arg(ToQColor(o->font.colour).name()));
}

void TEditValue_E::NumberEntered(const QString& row, QLineEdit* edit) {
  if (!edit->isModified()) return;
  edit->setModified(false);
  const std::string text = edit->text().toStdString();
  PropertyOutcome out;
  if (row == QStringLiteral("最小値")) out = form_.SetMinimum(text);
  if (row == QStringLiteral("最大値")) out = form_.SetMaximum(text);
  if (row == QStringLiteral("初期値")) out = form_.SetInitial(text);
  if (row == QStringLiteral("間隔")) out = form_.SetStep(text);
  Report(out);
  Changed();
}

void TEditValue_E::Report(const PropertyOutcome& outcome) {
  if (outcome.result == PropertyResult::kRefused) questions_.error(this, Utf8(outcome.message));
}

void TEditValue_E::FontClick() {
  const int sel = form_.selected();
  if (sel < 0) return;
  const PaletteFont current = form_.objects()[static_cast<std::size_t>(sel)].font;
  if (const std::optional<FontPick> pick = questions_.pick_font(this, ToPick(current))) {
    PaletteFont f = current;
    f.name = pick->name;
    f.size = pick->size;
    f.style = pick->style;
    form_.SetFont(f);
  }
  Changed();
}

void TEditValue_E::ColourClick() {
  const int sel = form_.selected();
  if (sel < 0) return;
  const std::uint32_t current = form_.objects()[static_cast<std::size_t>(sel)].font.colour;
  if (const std::optional<ColorRef> pick = questions_.pick_colour(this, current))
    form_.SetColour(*pick);
  Changed();
}

void TEditValue_E::NewClick() {
  if (form_.objects().empty()) return;
  if (questions_.yes_no(this, QString::fromUtf8(kDeleteAllQuestion))) form_.Clear();
}

void TEditValue_E::WizardClick() {
  TEditWizard wizard(wizard_, uses_, wizard_ticks_, questions_, this);
  if (questions_.run_wizard(wizard) != QDialog::Accepted) return;
  wizard_ = wizard.settings();
  wizard_ticks_ = wizard.ticked();
  bool replace = true;
  if (!form_.objects().empty())
    replace = questions_.yes_no(this, QString::fromUtf8(kDeleteAllQuestion));
  const WizardLayout layout =
      LayOutWizard(wizard_, wizard.metrics(), wizard.font(), wizard_ticks_, form_.grid());
  ApplyWizardLayout(form_, layout, replace);
  questions_.inform(this, MessageText(kWizardDoneMessage));
}

void TEditValue_E::OkClick() {
  // An entry still being typed counts.
  if (QWidget* focus = focusWidget()) focus->clearFocus();
  if (const std::optional<std::string> name = form_.DuplicateVariable()) {
    questions_.error(this, Utf8(DuplicateVariableMessage(*name)));
    return;
  }
  const bool any_box = std::any_of(form_.objects().begin(), form_.objects().end(),
                                   [](const PaletteObject& o) { return o.box(); });
  const bool use_current =
      any_box && questions_.yes_no(this, MessageText(kUseCurrentValuesQuestion));
  form_.Store(screen_, use_current);
  accept();
}

}  // namespace qzarn::ui
