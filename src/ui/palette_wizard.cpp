// The palette wizard window (変数ﾊﾟﾚｯﾄ・ｳｨｻﾞｰﾄﾞ, TEditWizard).

// The core headers (through palette_editor.h) come before Qt's.
#include "ui/palette_editor.h"

#include "ui/help_window.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QDoubleSpinBox* NumberBox(double low, double high, double step, int decimals, double value) {
  auto* box = new QDoubleSpinBox;
  box->setRange(low, high);
  box->setSingleStep(step);
  box->setDecimals(decimals);
  box->setValue(value);
  return box;
}

template <class W>
W* Captioned(QFormLayout& form, const char* caption, W* w) {
  auto* label = new QLabel(QString::fromUtf8(caption));
  label->setBuddy(w);
  w->setAccessibleName(SpokenName(QString::fromUtf8(caption)));
  form.addRow(label, w);
  return w;
}

}  // namespace

PaletteFont& TEditWizard::RememberedFont(const std::string& init_font_name) {
  static std::optional<PaletteFont> font;
  if (!font) font = InitialPaletteFont(init_font_name);
  return *font;
}

TEditWizard::TEditWizard(const WizardSettings& s, const std::vector<VariableUse>& uses,
                         const std::vector<int>& ticked, PaletteEditorQuestions questions,
                         QWidget* parent)
    : QDialog(parent), questions_(std::move(questions)) {
  FillDefaultQuestions(questions_);
  setObjectName(QStringLiteral("EditWizard"));
  setWindowTitle(QStringLiteral("変数ﾊﾟﾚｯﾄ・ｳｨｻﾞｰﾄﾞ"));
  setAccessibleName(QStringLiteral("変数ﾊﾟﾚｯﾄ・ｳｨｻﾞｰﾄﾞ"));
  font_ = RememberedFont("");

  auto* form = new QFormLayout;
  max_ = Captioned(*form, "最大値(&M)", NumberBox(-10000, 10000, 1, 3, s.maximum));
  min_ = Captioned(*form, "最小値(&N)", NumberBox(-10000, 10000, 1, 3, s.minimum));
  initial_ = Captioned(*form, "初期値(&I)", NumberBox(-10000, 10000, 1, 3, s.initial));
  step_ = Captioned(*form, "間隔(&W)", NumberBox(-100, 100, 0.01, 3, s.step));
  names_ = new QCheckBox(QStringLiteral("変数名をつける(&V)"));
  names_->setAccessibleName(SpokenName(names_->text()));
  names_->setChecked(s.names);
  vertical_ = new QCheckBox(QStringLiteral("縦方向に配置(&T)"));
  vertical_->setAccessibleName(SpokenName(vertical_->text()));
  vertical_->setChecked(s.vertical);
  form->addRow(names_);
  form->addRow(vertical_);
  rows_ = Captioned(*form, "行(&L)", new QSpinBox);
  columns_ = Captioned(*form, "列(&R)", new QSpinBox);
  auto* font = new QPushButton(QStringLiteral("ﾌｫﾝﾄ(&F)..."));
  font->setAccessibleName(SpokenName(QStringLiteral("ﾌｫﾝﾄ(&F)...")));
  form->addRow(font);
  rows_->setRange(1, 999);
  columns_->setRange(1, 999);
  rows_->setValue(s.rows);
  columns_->setValue(s.columns);

  auto* caption = new QLabel(QStringLiteral("作成する変数名にチェックをつけてください．"));
  list_ = new QListWidget;
  list_->setAccessibleName(SpokenName(caption->text()));
  caption->setBuddy(list_);
  list_->setFlow(QListView::LeftToRight);
  list_->setWrapping(true);
  list_->setResizeMode(QListView::Adjust);
  list_->setGridSize(QSize(64, 20));
  list_->setFixedWidth(4 * 64 + list_->verticalScrollBar()->sizeHint().width() + 6);
  for (int i = 0; i < kPaletteVariableCount; ++i) {
    auto* item = new QListWidgetItem(QString::fromStdString(VariableIndexName(i)), list_);
    const VariableUse use = uses[static_cast<std::size_t>(i)];
    if (use == VariableUse::kNotFree) {
      // Crossed out in red: a variable the screen computes cannot be ticked.
      QFont crossed = item->font();
      crossed.setStrikeOut(true);
      item->setFont(crossed);
      item->setForeground(Qt::red);
      item->setFlags(Qt::ItemIsEnabled);
      continue;
    }
    if (use == VariableUse::kUsed) item->setBackground(QColor(0x90, 0xee, 0x90));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    const bool on = std::find(ticked.begin(), ticked.end(), i) != ticked.end();
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }

  auto* ok = new QPushButton(QStringLiteral("OK"));
  auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"));
  auto* help = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  for (QPushButton* b : {ok, cancel, help})
    b->setAccessibleName(SpokenName(b->text()));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &TEditWizard::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kPaletteWizardHelpContext); });
  connect(font, &QPushButton::clicked, this, [this] { FontClick(); });
  connect(vertical_, &QCheckBox::toggled, this, [this] { UpdateLimits(); });
  connect(names_, &QCheckBox::toggled, this, [this] { UpdateLimits(); });

  auto* right = new QVBoxLayout;
  right->addWidget(caption);
  right->addWidget(list_, 1);
  auto* top = new QHBoxLayout;
  top->addLayout(form);
  top->addLayout(right, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);
  auto* whole = new QVBoxLayout(this);
  whole->addLayout(top, 1);
  whole->addLayout(buttons);
  resize(560, 380);
  UpdateLimits();
  NameParts(*this);
}

WizardMetrics TEditWizard::metrics() const {
  const QFontMetrics fm(ToQFont(font_));
  const WizardTextSizes sizes{fm.horizontalAdvance(QStringLiteral("88888")),
                              fm.horizontalAdvance(QStringLiteral("W8")), fm.height()};
  return MakeWizardMetrics(sizes, font_.bold(), names_->isChecked());
}

void TEditWizard::UpdateLimits() {
  const WizardMetrics m = metrics();
  // A count above its limit is lowered to it.
  rows_->setMaximum(WizardRowLimit(m));
  columns_->setMaximum(WizardColumnLimit(m));
  rows_->setEnabled(vertical_->isChecked());
  columns_->setEnabled(!vertical_->isChecked());
}

void TEditWizard::FontClick() {
  const FontPick initial{font_.name, font_.size, font_.style};
  if (const std::optional<FontPick> pick = questions_.pick_font(this, initial)) {
    font_.name = pick->name;
    font_.size = pick->size;
    font_.style = pick->style;
    RememberedFont("") = font_;
    UpdateLimits();
  }
}

WizardSettings TEditWizard::settings() const {
  WizardSettings s;
  s.maximum = max_->value();
  s.minimum = min_->value();
  s.initial = initial_->value();
  s.step = step_->value();
  s.names = names_->isChecked();
  s.vertical = vertical_->isChecked();
  s.rows = rows_->value();
  s.columns = columns_->value();
  return s;
}

std::vector<int> TEditWizard::ticked() const {
  std::vector<int> on;
  for (int i = 0; i < list_->count(); ++i)
    if (list_->item(i)->checkState() == Qt::Checked) on.push_back(i);
  return on;
}

void TEditWizard::accept() {
  // Without a ticked variable there is nothing to make.
  if (ticked().empty()) return;
  if (const std::optional<std::string> refusal = CheckWizardSettings(settings())) {
    questions_.error(this, QString::fromStdString(*refusal));
    return;
  }
  QDialog::accept();
}

}  // namespace qzarn::ui
