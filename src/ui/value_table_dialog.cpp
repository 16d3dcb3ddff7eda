#include "ui/value_table_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValidator>
#include <string>

#include "qt/qt_fonts.h"
#include "ui/help_window.h"

#include "ui/spoken_name.h"

namespace qzarn {

namespace {

constexpr int kValueColumnWidth = 112;
constexpr int kEditLength = 20;

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Lets through only what a cell accepts (digits, "-" and "."), also when a
// text is pasted.
class TableValueValidator final : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    for (const QChar c : input)
      if (!IsTableValueCharacter(c.unicode())) return Invalid;
    return Acceptable;
  }
};

class TableValueDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      line->setValidator(new TableValueValidator(line));
      line->setMaxLength(kEditLength);
      line->setAccessibleName(QStringLiteral("値"));
    }
    return editor;
  }
};

}  // namespace

TValueTable::TValueTable(const VariableTable& variables, const QString& screen_caption,
                         QWidget* parent)
    : QDialog(parent), form_(variables) {
  InstallFontSubstitutions();
  const QString caption = FromUtf8(ValueTableCaption(screen_caption.toStdString()));
  setWindowTitle(caption);
  setAccessibleName(ui::SpokenName(caption));
  setObjectName(QStringLiteral("ValueTable"));
  setModal(true);

  BuildGrid();

  ok_button_ = new QPushButton(QStringLiteral("OK"), this);
  ok_button_->setObjectName(QStringLiteral("OKBtn"));
  ok_button_->setDefault(true);
  cancel_button_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cancel_button_->setObjectName(QStringLiteral("CancelBtn"));
  help_button_ = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this);
  help_button_->setObjectName(QStringLiteral("HelpBtn"));
  for (QPushButton* b : {ok_button_, cancel_button_, help_button_})
    b->setAccessibleName(ui::SpokenName(b->text()));
  cancel_button_->setAutoDefault(false);
  help_button_->setAutoDefault(false);
  connect(ok_button_, &QPushButton::clicked, this, &TValueTable::OKBtnClick);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);
  connect(help_button_, &QPushButton::clicked, this,
          [] { ui::ShowHelpTopic(kValueTableHelpContext); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  buttons->addWidget(help_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);

  const int width = grid_->verticalHeader()->sizeHint().width() +
                    kValueTableSubscripts * kValueColumnWidth +
                    grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 24;
  // Tall enough for all 26 rows without scrolling.
  const int height = grid_->horizontalHeader()->sizeHint().height() +
                     kValueTableLetters * grid_->verticalHeader()->defaultSectionSize() +
                     ok_button_->sizeHint().height() + 40;
  resize(width, height);
  ui::NameParts(*this);
}

void TValueTable::BuildGrid() {
  grid_ = new QTableWidget(kValueTableLetters, kValueTableSubscripts, this);
  grid_->setObjectName(QStringLiteral("ValueGrid"));
  grid_->setAccessibleName(ui::SpokenName(windowTitle()));
  QStringList columns;
  for (int sub = 0; sub < kValueTableSubscripts; ++sub)
    columns << FromUtf8(ValueTableColumnHeading(sub));
  grid_->setHorizontalHeaderLabels(columns);
  QStringList rows;
  for (int letter = 0; letter < kValueTableLetters; ++letter)
    rows << FromUtf8(ValueTableRowHeading(letter));
  grid_->setVerticalHeaderLabels(rows);
  grid_->horizontalHeader()->setDefaultSectionSize(kValueColumnWidth);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->verticalHeader()->setHighlightSections(false);
  grid_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  grid_->setItemDelegate(new TableValueDelegate(grid_));
  grid_->setWordWrap(false);
  for (int letter = 0; letter < kValueTableLetters; ++letter)
    for (int sub = 0; sub < kValueTableSubscripts; ++sub) {
      auto* item = new QTableWidgetItem(FromUtf8(form_.Text(letter, sub)));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid_->setItem(letter, sub, item);
    }
  connect(grid_, &QTableWidget::itemChanged, this, &TValueTable::GridItemChanged);
  grid_->setCurrentCell(0, 0);
}

void TValueTable::GridItemChanged(QTableWidgetItem* item) {
  form_.SetText(item->row(), item->column(), item->text().toStdString());
}

void TValueTable::OKBtnClick() {
  // Moving off the current cell hands an open editor's text to the grid.
  grid_->setCurrentIndex(QModelIndex());
  accept();
}

bool EditVariableTable(QWidget* parent, SettingsBlock& block, const QString& caption) {
  TValueTable dialog(block.Variables, caption, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  dialog.form().WriteChanged(block.Variables);
  return true;
}

bool EditScreenVariables(QWidget* parent, Screen& screen, const QString& caption) {
  TValueTable dialog(screen.Variables(), caption, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  ApplyValueTable(dialog.form(), screen);
  return true;
}

}  // namespace qzarn
