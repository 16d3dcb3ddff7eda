#include "ui/function_catalogue_dialog.h"

#include <QAbstractButton>
#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <string>

#include "expr/function_catalogue.h"
#include "qt/qt_fonts.h"

#include "ui/spoken_name.h"

namespace qzarn {

namespace {

// Sizes of the list at 96 dpi; they grow with the screen's resolution.
constexpr int kFormatColumnWidth = 96;
constexpr int kDescriptionMargin = 7;  // kept free right of the description column
constexpr int kGridWidth = 470;
constexpr int kVisibleRows = 16;
constexpr int kFontPixels = 12;
constexpr int kRowHeight = 18;
// The list is drawn in the proportional Japanese UI face the catalogue texts
// were laid out for; the font substitutions map it to an installed face.
constexpr char kGridFontFamily[] = "ＭＳ Ｐゴシック";

QString FromUtf16(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Each cell is set off from the grid line by one space.
QTableWidgetItem* CellItem(std::u16string_view text) {
  auto* item = new QTableWidgetItem(QStringLiteral(" ") + FromUtf16(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

int Scaled(int pixels, double scale) {
  return static_cast<int>(std::lround(pixels * scale));
}

}  // namespace

TdlgFuncSel::TdlgFuncSel(QWidget* parent) : QDialog(parent) {
  InstallFontSubstitutions();
  setWindowTitle(QStringLiteral("関数ﾘｽﾄ"));
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  setModal(true);

  BuildGrid();

  insert_button_ = new QPushButton(QStringLiteral("挿入(&I)"), this);
  insert_button_->setObjectName(QStringLiteral("InsertBtn"));
  insert_button_->setDefault(true);
  insert_button_->setAutoDefault(true);
  close_button_ = new QPushButton(QStringLiteral("閉じる(&C)"), this);
  close_button_->setObjectName(QStringLiteral("CloseBtn"));
  close_button_->setAutoDefault(false);
  connect(insert_button_, &QPushButton::clicked, this, &TdlgFuncSel::InsertBtnClick);
  connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(insert_button_);
  buttons->addWidget(close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(grid_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  ApplyScreenMetrics();
  SelectRow(0);
  ui::NameParts(*this);
}

void TdlgFuncSel::BuildGrid() {
  const auto& catalogue = FunctionCatalogue();
  grid_ = new QTableWidget(static_cast<int>(catalogue.size()), 2, this);
  grid_->setObjectName(QStringLiteral("FuncGrid"));
  grid_->setHorizontalHeaderLabels(
      {QStringLiteral("書     式"), QStringLiteral("説               明")});
  for (int row = 0; row < grid_->rowCount(); ++row) {
    const FunctionCatalogueEntry& entry = catalogue[static_cast<std::size_t>(row)];
    grid_->setItem(row, 0, CellItem(entry.format));
    grid_->setItem(row, 1, CellItem(entry.description));
  }
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setMinimumSectionSize(1);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->horizontalHeader()->setMinimumSectionSize(1);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setWordWrap(false);
  // A format wider than its column is cut at the column's edge, as in the
  // description column, rather than shortened with an ellipsis.
  grid_->setTextElideMode(Qt::ElideNone);
  grid_->setCornerButtonEnabled(false);
  connect(grid_, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int /*column*/) { GridDblClick(row); });
  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int /*column*/, int, int) {
            if (row >= 0) selected_row_ = row;
          });
}

// Font, row height and column widths follow the logical resolution of the
// screen the window is on, so the list keeps its proportions on dense screens.
void TdlgFuncSel::ApplyScreenMetrics() {
  QScreen* on = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  const double scale = on != nullptr ? on->logicalDotsPerInch() / 96.0 : 1.0;

  QFont font = grid_->font();
  font.setFamily(QString::fromUtf8(kGridFontFamily));
  font.setPixelSize(Scaled(kFontPixels, scale));
  grid_->setFont(font);
  grid_->horizontalHeader()->setFont(font);

  const int row_height = Scaled(kRowHeight, scale);
  grid_->verticalHeader()->setDefaultSectionSize(row_height);
  grid_->horizontalHeader()->setFixedHeight(row_height);

  const int scroll_bar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
  const int width = Scaled(kGridWidth, scale);
  const int format_width = Scaled(kFormatColumnWidth, scale);
  grid_->setColumnWidth(0, format_width);
  grid_->setColumnWidth(1, width - format_width - scroll_bar - Scaled(kDescriptionMargin, scale));
  grid_->setFixedSize(width, row_height * (kVisibleRows + 1) + 2 * grid_->frameWidth());
}

void TdlgFuncSel::CentreOnScreen() {
  QScreen* on = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
  if (on == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(on->availableGeometry().center());
  move(frame.topLeft());
}

void TdlgFuncSel::showEvent(QShowEvent* event) {
  ApplyScreenMetrics();
  adjustSize();
  CentreOnScreen();
  SelectRow(selected_row_);
  grid_->setFocus(Qt::OtherFocusReason);
  QDialog::showEvent(event);
}

void TdlgFuncSel::SetTarget(const QString& text, int caret) {
  text_ = text;
  caret_ = caret;
}

int TdlgFuncSel::SelectedRow() const {
  return selected_row_;
}

void TdlgFuncSel::SelectRow(int row) {
  if (row < 0 || row >= grid_->rowCount()) return;
  selected_row_ = row;
  grid_->setCurrentCell(row, 0);
  grid_->selectRow(row);
  grid_->scrollToItem(grid_->item(row, 0));
}

void TdlgFuncSel::InsertBtnClick() {
  const CatalogueInsertion result =
      InsertCatalogueEntry(text_.toStdU16String(), caret_, static_cast<std::size_t>(selected_row_));
  text_ = QString::fromStdU16String(result.text);
  caret_ = result.caret;
  accept();
}

void TdlgFuncSel::GridDblClick(int row) {
  SelectRow(row);
  InsertBtnClick();
}

bool OpenFunctionCatalogue(TdlgFuncSel& dialog, QLineEdit& field) {
  dialog.SetTarget(field.text(), field.cursorPosition());
  const bool inserted = dialog.exec() == QDialog::Accepted;
  if (inserted) field.setText(dialog.Text());
  field.activateWindow();
  field.setFocus(Qt::OtherFocusReason);
  field.setCursorPosition(dialog.Caret());
  return inserted;
}

void ConnectFunctionCatalogueButton(QAbstractButton& button, QLineEdit& field,
                                    TdlgFuncSel& dialog) {
  QObject::connect(&button, &QAbstractButton::clicked, &field,
                   [&field, &dialog] { OpenFunctionCatalogue(dialog, field); });
}

}  // namespace qzarn
