#include "ui/legacy_import_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/help_window.h"

#include <algorithm>
#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kUsedRole = Qt::UserRole;
constexpr int kDetailRole = Qt::UserRole + 1;

// A stored function's row: its number and title in bold (grey for an empty entry), and for
// a used entry the two expressions below in plain type; a grey line above every row but the
// first.
class FunctionRowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int line = option.fontMetrics.height();
    const bool used = index.data(kUsedRole).toBool();
    return QSize(200, line * (used ? 3 : 1) + 6);
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect,
                      option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    if (index.row() > 0) {
      painter->setPen(QColor(0x80, 0x80, 0x80));
      painter->drawLine(option.rect.topLeft(), option.rect.topRight());
    }
    const bool used = index.data(kUsedRole).toBool();
    const QColor text = selected ? option.palette.color(QPalette::HighlightedText)
                                 : option.palette.color(QPalette::Text);
    QFont bold = option.font;
    bold.setBold(true);
    const int line = option.fontMetrics.height();
    QRect r = option.rect.adjusted(4, 3, -4, 0);
    r.setHeight(line);
    painter->setFont(bold);
    painter->setPen(used ? text : QColor(0x80, 0x80, 0x80));
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());
    if (used) {
      painter->setFont(option.font);
      painter->setPen(text);
      for (const QString& detail : index.data(kDetailRole).toStringList()) {
        r.translate(0, line);
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, detail);
      }
    }
    painter->restore();
  }
};

// Title bar, page row, the all-pages box, the button row and the margins
// that share the dialog's height with the preview; the folder tree and the
// list that share its width.
constexpr int kRowsBesidePreview = 150;
constexpr int kPanesBesidePreview = 560;

// The page at its own size when the desktop has room for it; on a smaller or
// more magnified desktop the whole page, scaled down to fit.
QSize PreviewShownSize(const QWidget& dialog) {
  const QSize page(import::kPreviewWidth, import::kPreviewHeight);
  const QScreen* display = dialog.screen();
  if (display == nullptr) return page;
  const QRect desk = display->availableGeometry();
  const QSize room(std::max(desk.width() - kPanesBesidePreview, page.width() / 4),
                   std::max(desk.height() - kRowsBesidePreview, page.height() / 4));
  if (room.width() >= page.width() && room.height() >= page.height()) return page;
  return page.scaled(room, Qt::KeepAspectRatio);
}

QPushButton* Button(const char* caption, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setAccessibleName(SpokenName(b->text()));
  return b;
}

}  // namespace

LegacyImportDialog::LegacyImportDialog(const QString& caption, int help_context,
                                       const QString& start_folder, QWidget* parent)
    : QDialog(parent), folder_(start_folder) {
  setWindowTitle(caption);
  setAccessibleName(SpokenName(caption));
  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QDir::rootPath());
  tree_ = new QTreeView(this);
  tree_->setAccessibleName(QStringLiteral("ﾌｫﾙﾀﾞ"));
  tree_->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column)
    tree_->hideColumn(column);
  tree_->header()->hide();
  tree_->setMinimumWidth(220);
  list_ = new QListWidget(this);
  list_->setAccessibleName(QStringLiteral("一覧"));
  list_->setMinimumWidth(280);
  side_ = new QWidget(this);
  message_ = new QLabel(this);
  message_->setAccessibleName(QStringLiteral("ﾒｯｾｰｼﾞ"));
  message_->setWordWrap(true);
  import_ = Button("ｲﾝﾎﾟｰﾄ(&I)", this);
  import_->setEnabled(false);
  QPushButton* close = Button("閉じる(&C)", this);
  QPushButton* help = Button("ﾍﾙﾌﾟ(&H)", this);

  auto* panes = new QHBoxLayout;
  panes->addWidget(tree_, 1);
  panes->addWidget(list_, 2);
  panes->addWidget(side_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(message_, 1);
  buttons->addWidget(import_);
  buttons->addWidget(close);
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(panes, 1);
  layout->addLayout(buttons);

  connect(import_, &QPushButton::clicked, this, [this] { Import(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  connect(help, &QPushButton::clicked, this, [help_context] { ShowHelpTopic(help_context); });
  // The start folder is shown before the tree reports choices: the list is filled by the
  // derived dialog once it exists.
  if (!folder_.isEmpty()) {
    const QModelIndex start = model_->index(folder_);
    tree_->setCurrentIndex(start);
    tree_->scrollTo(start);
  }
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) { ChooseFolder(model_->filePath(current)); });
}

void LegacyImportDialog::ChooseFolder(const QString& path) {
  if (path.isEmpty() || !QDir(path).exists()) return;
  folder_ = path;
  message_->clear();
  list_->clear();
  ReadFolder(std::filesystem::path(path.toStdString()));
  import_->setEnabled(list_->currentRow() >= 0);
}

void LegacyImportDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F5) {
    // The tree watches the folders it shows; re-reading the root catches new drives and mounts.
    model_->setRootPath(QString());
    model_->setRootPath(QDir::rootPath());
    ChooseFolder(folder_);
    return;
  }
  QDialog::keyPressEvent(event);
}

void LegacyImportDialog::ShowMessage(const std::string& utf8) {
  message_->setText(Utf8(utf8));
}

// ---- Functions --------------------------------------------------------------------------------

Tdlg_Dos2::Tdlg_Dos2(const QString& start_folder,
                     std::function<void(const import::FunctionEntry&)> import, QWidget* parent)
    : LegacyImportDialog(QStringLiteral("関数のｲﾝﾎﾟｰﾄ"), kFunctionImportHelpContext, start_folder,
                         parent),
      import_(std::move(import)) {
  setObjectName(QStringLiteral("dlg_Dos2"));
  list().setItemDelegate(new FunctionRowDelegate(&list()));
  connect(&list(), &QListWidget::currentRowChanged, this,
          [this](int row) { importButton().setEnabled(row >= 0); });
  connect(&list(), &QListWidget::itemDoubleClicked, this, [this] { Import(); });
  resize(760, 460);
  if (!folder().isEmpty()) ChooseFolder(folder());
  NameParts(*this);
}

void Tdlg_Dos2::ReadFolder(const std::filesystem::path& folder) {
  std::string error;
  if (!import::LoadFunctionFolder(folder, entries_, error)) {
    ShowMessage(error);
    return;
  }
  for (const import::FunctionEntry& e : entries_) {
    auto* item = new QListWidgetItem(Utf8(import::FunctionRowTitle(e)), &list());
    item->setData(kUsedRole, e.used);
    item->setData(kDetailRole, QStringList{QStringLiteral("x=") + Utf8(import::Display(e.x)),
                                           QStringLiteral("y=") + Utf8(import::Display(e.y))});
  }
}

void Tdlg_Dos2::Import() {
  const int row = list().currentRow();
  if (row < 0 || row >= static_cast<int>(entries_.size()) || !import_) return;
  import_(entries_[static_cast<std::size_t>(row)]);
}

// ---- Figures ----------------------------------------------------------------------------------

Tdlg_Dos::Tdlg_Dos(const QString& start_folder, std::unique_ptr<import::PageReader> reader,
                   ImportPages import, QWidget* parent)
    : LegacyImportDialog(QStringLiteral("図形のｲﾝﾎﾟｰﾄ"), kFigureImportHelpContext, start_folder,
                         parent),
      reader_(std::move(reader)),
      import_(std::move(import)) {
  setObjectName(QStringLiteral("dlg_Dos"));
  preview_ = new QLabel(&side());
  preview_->setAccessibleName(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"));
  preview_->setFixedSize(PreviewShownSize(*this));
  preview_->setScaledContents(true);
  page_label_ = new QLabel(QStringLiteral("ﾍﾟｰｼﾞ(&G)"), &side());
  page_label_->setAccessibleName(SpokenName(page_label_->text()));
  page_ = new QSpinBox(&side());
  page_->setAccessibleName(SpokenName(page_label_->text()));
  page_->setRange(1, import::kMaxImportPages);
  page_label_->setBuddy(page_);
  page_range_ = new QLabel(&side());
  page_range_->setAccessibleName(QStringLiteral("ﾍﾟｰｼﾞ数"));
  all_ = new QCheckBox(QStringLiteral("全ﾍﾟｰｼﾞ(&A)"), &side());
  all_->setAccessibleName(SpokenName(all_->text()));
  auto* pages = new QHBoxLayout;
  pages->addWidget(page_label_);
  pages->addWidget(page_);
  pages->addWidget(page_range_);
  pages->addStretch();
  auto* layout = new QVBoxLayout(&side());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(preview_);
  layout->addLayout(pages);
  layout->addWidget(all_);
  layout->addStretch();

  connect(&list(), &QListWidget::currentRowChanged, this, [this] { SelectionChanged(); });
  connect(page_, &QSpinBox::valueChanged, this, [this] { ShowPage(); });
  connect(all_, &QCheckBox::toggled, this, [this] { UpdateControls(); });
  const int desk_width = screen() != nullptr ? screen()->availableGeometry().width() : 900;
  resize(std::max(minimumSizeHint().width(), std::min(900, desk_width)), sizeHint().height());
  if (!folder().isEmpty()) ChooseFolder(folder());
  UpdateControls();
  NameParts(*this);
}

void Tdlg_Dos::ReadFolder(const std::filesystem::path& folder) {
  folder_path_ = folder;
  page_count_ = 0;
  std::string error;
  if (!import::LoadFigureFolder(folder, entries_, error)) {
    ShowMessage(error);
  } else {
    for (const import::FigureEntry& e : entries_)
      list().addItem(Utf8(import::FigureRowText(e)));
  }
  UpdateControls();
}

void Tdlg_Dos::SelectionChanged() {
  const int row = list().currentRow();
  page_count_ = 0;
  if (row >= 0 && row < static_cast<int>(entries_.size())) {
    std::string message;
    if (reader_->Load(folder_path_, entries_[static_cast<std::size_t>(row)], message)) {
      page_count_ = std::max(reader_->PageCount(), 1);
      ShowMessage(page_count_ > import::kMaxImportPages ? import::PageCapMessage(page_count_)
                                                        : std::string());
    } else {
      // The page data cannot be read: the selection goes, and the reason stays readable.
      ShowMessage(message);
      const QSignalBlocker quiet(&list());
      list().setCurrentRow(-1);
      list().clearSelection();
    }
  }
  {
    const QSignalBlocker quiet(page_);
    page_->setValue(1);
  }
  UpdateControls();
  ShowPage();
}

void Tdlg_Dos::ShowPage() {
  if (page_count_ <= 0) {
    QPixmap grey(import::kPreviewWidth, import::kPreviewHeight);
    grey.fill(QColor(0xC0, 0xC0, 0xC0));
    preview_->setPixmap(grey);
    return;
  }
  const RgbImage picture = reader_->Preview(page_->value());
  const QImage image(picture.pixels.data(), picture.width, picture.height,
                     static_cast<qsizetype>(picture.stride()), QImage::Format_RGB888);
  preview_->setPixmap(QPixmap::fromImage(image.copy()));
}

void Tdlg_Dos::UpdateControls() {
  const bool selected = page_count_ > 0;
  importButton().setEnabled(selected);
  page_->setEnabled(selected);
  page_->setMaximum(selected ? std::min(page_count_, import::kMaxImportPages) : 1);
  page_label_->setEnabled(selected && !all_->isChecked());
  page_range_->setEnabled(selected);
  page_range_->setText(selected ? QStringLiteral("(1～%1)").arg(page_count_) : QString());
  all_->setEnabled(selected);
  if (!selected) ShowPage();
}

void Tdlg_Dos::Import() {
  const int row = list().currentRow();
  if (page_count_ <= 0 || row < 0 || row >= static_cast<int>(entries_.size()) || !import_) return;
  const import::PageSelection selection =
      import::SelectPages(all_->isChecked(), page_->value(), page_count_);
  if (selection.capped)
    QMessageBox::information(this, windowTitle(), Utf8(import::PageCapMessage(page_count_)));
  QApplication::setOverrideCursor(Qt::WaitCursor);
  import_(entries_[static_cast<std::size_t>(row)], *reader_, selection.pages);
  QApplication::restoreOverrideCursor();
}

}  // namespace qzarn::ui
