#include "ui/toolbar_setup_dialog.h"
#include "forms/command_catalogue.h"
#include "ui/help_window.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

constexpr int kNumberRole = Qt::UserRole;
// Rows of commands already on a bar.
const QColor kPlacedText(0xC0, 0xC0, 0xC0);

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The icon in the shadow colour wherever it is drawn: a command that cannot be
// placed twice.
QIcon Greyed(const QIcon& icon, const QColor& shadow) {
  // Drawn at twice the size so that it stays crisp on a high-density screen.
  QImage image = icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0)
        image.setPixel(x, y, qRgba(shadow.red(), shadow.green(), shadow.blue(), 255));
  QPixmap greyed = QPixmap::fromImage(image);
  greyed.setDevicePixelRatio(2.0);
  return QIcon(greyed);
}

// The list: its rows are dragged as commands, and buttons dragged from a bar
// are dropped back onto it.
class CommandList final : public QListWidget {
 public:
  std::function<void(const CommandDrag&)> dropped;

 protected:
  QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override {
    if (items.isEmpty()) return nullptr;
    return CommandDragData(items.front()->data(kNumberRole).toInt());
  }
  QStringList mimeTypes() const override { return {QString::fromLatin1(kCommandDragFormat)}; }
  void dragEnterEvent(QDragEnterEvent* event) override { AcceptFromBar(event); }
  void dragMoveEvent(QDragMoveEvent* event) override { AcceptFromBar(event); }
  void dropEvent(QDropEvent* event) override {
    const CommandDrag drag = ReadCommandDrag(*event->mimeData());
    if (drag.number < 0 || drag.from_bar == 0) return event->ignore();
    event->acceptProposedAction();
    if (dropped) dropped(drag);
  }

 private:
  static void AcceptFromBar(QDropEvent* event) {
    const CommandDrag drag = ReadCommandDrag(*event->mimeData());
    if (drag.number >= 0 && drag.from_bar != 0)
      event->acceptProposedAction();
    else
      event->ignore();
  }
};

}  // namespace

QMimeData* CommandDragData(int number, int from_bar, int from_position) {
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kCommandDragFormat),
                QStringLiteral("%1 %2 %3").arg(number).arg(from_bar).arg(from_position).toLatin1());
  return data;
}

CommandDrag ReadCommandDrag(const QMimeData& data) {
  CommandDrag drag;
  const QList<QByteArray> parts = data.data(QString::fromLatin1(kCommandDragFormat)).split(' ');
  if (parts.size() != 3) return drag;
  bool ok[3] = {};
  const int number = parts[0].toInt(&ok[0]);
  const int bar = parts[1].toInt(&ok[1]);
  const int position = parts[2].toInt(&ok[2]);
  if (!ok[0] || !ok[1] || !ok[2] || forms::CatalogueEntry(number) == nullptr || bar < 0 ||
      bar > forms::kToolbarCount)
    return drag;
  return {number, bar, position};
}

TdlgTool::TdlgTool(ToolbarSetupHooks hooks, QWidget* parent)
    : QDialog(parent, Qt::Tool), hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("Tdlg_Tool"));
  setWindowTitle(QStringLiteral("ﾂｰﾙﾊﾞｰの設定"));
  setAccessibleName(SpokenName(windowTitle()));
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  // Japanese has no spaces to wrap at: the lines are broken here.
  auto* hint =
      new QLabel(QStringLiteral("一覧の行をツールバーへドラッグすると追加されます。\n"
                                "ツールバーのボタンをここへドラッグすると\n"
                                "取り除かれます。"));
  hint->setAccessibleName(SpokenName(hint->text()));
  layout->addWidget(hint);

  auto* list = new CommandList;
  list->dropped = [this](const CommandDrag& drag) {
    if (hooks_.remove_from_bar) hooks_.remove_from_bar(drag.from_bar, drag.from_position);
    RefreshRows();
  };
  list_ = list;
  list_->setObjectName(QStringLiteral("CommandList"));
  list_->setAccessibleName(QStringLiteral("コマンド"));
  list_->setDragEnabled(true);
  list_->setAcceptDrops(true);
  list_->setDragDropMode(QAbstractItemView::DragDrop);
  list_->setDefaultDropAction(Qt::MoveAction);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setIconSize(QSize(16, 16));
  list_->setMinimumSize(300, 360);
  for (const forms::CommandEntry& e : forms::CommandCatalogue()) {
    if (!e.defined()) continue;
    auto* item = new QListWidgetItem(Utf8(e.LongName), list_);
    item->setData(kNumberRole, e.Number);
    item->setToolTip(Utf8(e.Hint));
  }
  layout->addWidget(list_);

  auto* buttons = new QHBoxLayout;
  auto* reset = new QPushButton(QStringLiteral("既定に戻す(&S)"));
  reset->setAccessibleName(QStringLiteral("既定に戻す"));
  reset->setObjectName(QStringLiteral("ResetButton"));
  connect(reset, &QPushButton::clicked, this, [this] {
    if (hooks_.reset) hooks_.reset();
    RefreshRows();
  });
  auto* help = new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  help->setAccessibleName(QStringLiteral("ﾍﾙﾌﾟ"));
  connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(kToolbarSetupHelp); });
  auto* close = new QPushButton(QStringLiteral("閉じる(&C)"));
  close->setAccessibleName(QStringLiteral("閉じる"));
  close->setObjectName(QStringLiteral("CloseButton"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(reset);
  buttons->addStretch();
  buttons->addWidget(help);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  RefreshRows();
  NameParts(*this);
}

int TdlgTool::NumberAt(int row) const {
  const QListWidgetItem* item = list_->item(row);
  return item ? item->data(kNumberRole).toInt() : -1;
}

void TdlgTool::RefreshRows() {
  const QColor shadow = palette().color(QPalette::Dark);
  for (int row = 0; row < list_->count(); ++row) {
    QListWidgetItem* item = list_->item(row);
    const int number = item->data(kNumberRole).toInt();
    // Separators may be placed any number of times.
    const bool placed = number != 0 && hooks_.placed && hooks_.placed(number);
    const QIcon icon = hooks_.icon ? hooks_.icon(number) : QIcon();
    item->setIcon(placed && !icon.isNull() ? Greyed(icon, shadow) : icon);
    item->setForeground(placed ? QBrush(kPlacedText) : palette().brush(QPalette::Text));
  }
}

void TdlgTool::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    grip_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
  QDialog::mousePressEvent(event);
}

void TdlgTool::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) move(event->globalPosition().toPoint() - grip_);
  QDialog::mouseMoveEvent(event);
}

}  // namespace qzarn::ui
