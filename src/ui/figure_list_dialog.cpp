#include "ui/figure_list_dialog.h"

#include "ui/message_caption.h"

#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <optional>
#include <string_view>

#include "engine/engine_ui.h"
#include "qt/qt_fonts.h"

#include "ui/spoken_name.h"

namespace qzarn {

namespace {

enum Column { kNumberColumn, kNameColumn, kContentColumn, kShownColumn, kLocusColumn };
constexpr int kNumberWidth = 44;
constexpr int kNameWidth = 88;
constexpr int kMarkWidth = 33;
constexpr int kInitialWidth = 520;
constexpr int kInitialHeight = 380;

// Where the list was and how big it was when it last closed (the grid follows
// the window's size); kept for the run only. Unset until the first use, which
// centres the list.
std::optional<QPoint> g_last_position;
std::optional<QSize> g_last_size;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The list's questions as message boxes: warning icon, Yes and No.
class MessageBoxUi final : public EngineUi {
 public:
  explicit MessageBoxUi(QWidget* parent) : parent_(parent) {}
  void ShowMessage(std::string_view text) override {
    QMessageBox::critical(parent_, QString::fromUtf8(ui::kMessageCaption), FromUtf8(text));
  }
  bool AskYesNo(std::string_view text) override {
    return QMessageBox::warning(parent_, QString::fromUtf8(ui::kMessageCaption), FromUtf8(text),
                                QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
  }

 private:
  QWidget* parent_;
};

}  // namespace

TFigureList::TFigureList(Screen& screen, FigureListHooks hooks, QWidget* parent)
    : QDialog(parent), model_(screen), hooks_(std::move(hooks)) {
  InstallFontSubstitutions();
  setWindowTitle(QStringLiteral("図形リスト [") + hooks_.window_caption + QStringLiteral("]"));
  setModal(true);
  if (hooks_.ui == nullptr) message_boxes_ = std::make_unique<MessageBoxUi>(this);

  BuildGrid();

  ok_button_ = new QPushButton(QStringLiteral("OK"), this);
  ok_button_->setObjectName(QStringLiteral("OKBtn"));
  ok_button_->setDefault(true);
  cancel_button_ = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  cancel_button_->setObjectName(QStringLiteral("CancelBtn"));
  set_button_ = new QPushButton(QStringLiteral("設定(&P)"), this);
  set_button_->setObjectName(QStringLiteral("SetBtn"));
  del_button_ = new QPushButton(QStringLiteral("削除(&D)"), this);
  del_button_->setObjectName(QStringLiteral("DelBtn"));
  for (QPushButton* b : {cancel_button_, set_button_, del_button_})
    b->setAutoDefault(false);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);
  connect(set_button_, &QPushButton::clicked, this, &TFigureList::SetBtnClick);
  connect(del_button_, &QPushButton::clicked, this, &TFigureList::DelBtnClick);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(set_button_);
  buttons->addWidget(del_button_);
  buttons->addStretch(1);
  buttons->addWidget(ok_button_);
  buttons->addWidget(cancel_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_, 1);
  layout->addLayout(buttons);

  resize(g_last_size.value_or(QSize(kInitialWidth, kInitialHeight)));
  FillGrid();
  SelectRow(0);
  ui::NameParts(*this);
}

TFigureList::~TFigureList() = default;

void TFigureList::BuildGrid() {
  grid_ = new QTableWidget(kFigureSlots, 5, this);
  grid_->setObjectName(QStringLiteral("FigGrid"));
  grid_->setAccessibleName(QStringLiteral("図形の一覧"));
  grid_->setHorizontalHeaderLabels({QStringLiteral(" No."), QStringLiteral(" 図形"),
                                    QStringLiteral(" 内容"), QStringLiteral("表示"),
                                    QStringLiteral("軌跡")});
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid_->setWordWrap(false);
  grid_->setCornerButtonEnabled(false);
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
  grid_->setColumnWidth(kNumberColumn, kNumberWidth);
  grid_->setColumnWidth(kNameColumn, kNameWidth);
  grid_->setColumnWidth(kShownColumn, kMarkWidth);
  grid_->setColumnWidth(kLocusColumn, kMarkWidth);
  // The content column takes whatever width the other four leave, also when
  // the window is resized.
  grid_->viewport()->installEventFilter(this);
  connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int /*column*/) {
    SelectRow(row);
    SetBtnClick();
  });
  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int, int, int, int) { UpdateButtons(); });
}

bool TFigureList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_->viewport() && event->type() == QEvent::Resize) FitContentColumn();
  return QDialog::eventFilter(watched, event);
}

void TFigureList::FitContentColumn() {
  const int rest = grid_->viewport()->width() - kNumberWidth - kNameWidth - 2 * kMarkWidth;
  grid_->setColumnWidth(kContentColumn, rest > 20 ? rest : 20);
}

void TFigureList::FillGrid() {
  const auto& rows = model_.rows();
  for (int r = 0; r < grid_->rowCount(); ++r) {
    const FigureListRow& row = rows[static_cast<std::size_t>(r)];
    const std::string_view texts[] = {row.number, row.name, row.content, row.shown, row.locus};
    for (int c = 0; c < 5; ++c) {
      QTableWidgetItem* item = grid_->item(r, c);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (c == kNumberColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid_->setItem(r, c, item);
      }
      item->setText(FromUtf8(texts[c]));
    }
  }
  UpdateButtons();
}

int TFigureList::SelectedRow() const {
  return grid_->currentRow();
}

void TFigureList::SelectRow(int row) {
  if (row < 0 || row >= grid_->rowCount()) return;
  grid_->setCurrentCell(row, kNameColumn);
  grid_->selectRow(row);
  UpdateButtons();
}

void TFigureList::UpdateButtons() {
  const bool figure = model_.SlotOfRow(SelectedRow()) >= 0;
  set_button_->setEnabled(figure);
  del_button_->setEnabled(figure);
}

void TFigureList::SetBtnClick() {
  const int slot = model_.SlotOfRow(SelectedRow());
  if (slot < 0) return;
  if (hooks_.edit_figure) {
    const std::function<bool(int)> removed = [this](int s) { return model_.Deleted(s); };
    hooks_.edit_figure(model_.screen(), slot, removed, this);
  }
  model_.Refill();
  FillGrid();
}

void TFigureList::DelBtnClick() {
  const int row = SelectedRow();
  const int slot = model_.SlotOfRow(row);
  if (slot < 0) return;
  EngineUi& ui = hooks_.ui != nullptr ? *hooks_.ui : *message_boxes_;
  if (model_.Delete(slot, ui) == 0) return;
  FillGrid();
  // Stay on the same row, which now shows the next figure (or the last one).
  int keep = row;
  while (keep > 0 && model_.SlotOfRow(keep) < 0)
    --keep;
  SelectRow(keep);
}

void TFigureList::showEvent(QShowEvent* event) {
  if (g_last_position) {
    move(*g_last_position);
  } else if (QScreen* on = QGuiApplication::primaryScreen(); on != nullptr) {
    QRect frame = frameGeometry();
    frame.moveCenter(on->availableGeometry().center());
    move(frame.topLeft());
  }
  FitContentColumn();
  grid_->setFocus(Qt::OtherFocusReason);
  QDialog::showEvent(event);
}

void TFigureList::done(int result) {
  g_last_position = pos();
  g_last_size = size();
  QDialog::done(result);
}

bool ShowFigureList(Screen& screen, const FigureListHooks& hooks, QWidget* parent) {
  TFigureList dialog(screen, hooks, parent);
  const bool ok = dialog.exec() == QDialog::Accepted;
  if (ok) dialog.model().Apply(hooks.take_snapshot);
  if (hooks.redraw) hooks.redraw();
  return ok;
}

}  // namespace qzarn
