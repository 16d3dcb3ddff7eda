// Customising the tool bars: the customisation window, commands dragged onto a
// bar and buttons dragged off it while that window is open, "既定に戻す(&S)",
// the bands moved between the top and the bottom of the window, and the
// bands' background picture.
#include "forms/command_catalogue.h"
#include "forms/icon_ink.h"
#include "shell/main_window.h"
#include "ui/toolbar_setup_dialog.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QSvgRenderer>
#include <QToolBar>

#include "ui/file_dialog.h"
#include "ui/spoken_name.h"

namespace qzarn::shell {

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Pictures are shown behind the bands only on displays with more than 256 colours.
bool DisplayHasColours() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && screen->depth() > 8;
}

}  // namespace

QIcon MainWindow::CommandIconOf(int number) {
  // Buttons show the icon of their entry; the separator and the controls have
  // pictures only for the customisation list.
  const forms::CommandEntry* e = forms::CatalogueEntry(number);
  if (e == nullptr) return {};
  const int picture = e->ImageIndex >= 0 ? e->ImageIndex : number;
  const QString path =
      QStringLiteral(":/icons/commands/%1.svg").arg(picture, 3, 10, QLatin1Char('0'));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  // Inked for the bars they stand on.
  const QByteArray svg =
      QByteArray::fromStdString(forms::InkedIcon(file.readAll().toStdString(), BarsAreDark()));
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) return {};
  QIcon icon;
  for (const int side : {16, 20, 24, 32, 48}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

bool MainWindow::BarsAreDark() {
  // The application's palette says whether the bars are light or dark.
  const QColor bar = QGuiApplication::palette().color(QPalette::Window);
  return forms::IsDarkColour(bar.rgb() & 0xFFFFFFu);
}

int MainWindow::BarOf(const QObject* object) const {
  for (int i = 0; i < forms::kToolbarCount; ++i)
    if (tool_bars_[i] == object) return i + 1;
  return 0;
}

void MainWindow::ToolBarSetupClick() {
  if (tool_setup_ != nullptr) {
    tool_setup_->raise();
    tool_setup_->activateWindow();
    return;
  }
  ui::ToolbarSetupHooks hooks;
  hooks.placed = [this](int number) { return CommandPlaced(number); };
  hooks.icon = [](int number) { return CommandIconOf(number); };
  hooks.reset = [this] { ResetToolbars(); };
  hooks.remove_from_bar = [this](int bar, int position) { RemoveFromToolbar(bar, position); };
  tool_setup_ = new ui::TdlgTool(std::move(hooks), this);
  tool_setup_->show();
}

bool MainWindow::ResetToolbars() {
  if (!questions_->AskYesNo(this, Utf8(forms::kResetToolbarsQuestion))) return false;
  for (int bar = 1; bar <= forms::kToolbarCount; ++bar)
    ClearToolbar(bar);
  for (int bar = 1; bar <= forms::kToolbarCount; ++bar)
    for (int number : forms::DefaultToolbarLayout(bar))
      AddCommand(bar, number, -1);
  UpdateCommandState();
  return true;
}

void MainWindow::RemoveFromToolbar(int bar, int position) {
  if (bar < 1 || bar > forms::kToolbarCount) return;
  const QList<QAction*> actions = tool_bars_[bar - 1]->actions();
  if (position < 0 || position >= actions.size()) return;
  RemoveControl(*tool_bars_[bar - 1], actions[position]);
  if (tool_setup_ != nullptr) tool_setup_->RefreshRows();
}

bool MainWindow::DropCommand(int bar, const ui::CommandDrag& drag, int x) {
  if (bar < 1 || bar > forms::kToolbarCount || drag.number < 0) return false;
  QToolBar& target = *tool_bars_[bar - 1];
  QAction* moved = nullptr;
  if (drag.from_bar != 0) {
    const QList<QAction*> from = tool_bars_[drag.from_bar - 1]->actions();
    if (drag.from_position < 0 || drag.from_position >= from.size()) return false;
    moved = from[drag.from_position];
  }
  // A button moved onto a full bar stays where it was.
  if (drag.from_bar != bar && ToolbarControlCount(bar) >= forms::kMaxToolbarControls) {
    questions_->ShowError(this, Utf8(forms::kToolbarFullMessage));
    return false;
  }
  std::vector<int> centres;
  for (QAction* a : target.actions()) {
    if (a == moved) continue;
    const QWidget* w = target.widgetForAction(a);
    centres.push_back(w ? w->geometry().center().x() : 0);
  }
  if (moved != nullptr) RemoveControl(*tool_bars_[drag.from_bar - 1], moved);
  const bool added = AddCommand(bar, drag.number, forms::ToolbarDropIndex(centres, x));
  if (tool_setup_ != nullptr) tool_setup_->RefreshRows();
  UpdateCommandState();
  return added;
}

void MainWindow::MoveBands() {
  bands_at_bottom_ = !bands_at_bottom_;
  const Qt::ToolBarArea area = bands_at_bottom_ ? Qt::BottomToolBarArea : Qt::TopToolBarArea;
  bool visible[forms::kToolbarCount] = {};
  for (int i = 0; i < forms::kToolbarCount; ++i)
    visible[i] = command(QStringLiteral("M_ToolBar%1").arg(i + 1))->isChecked();
  for (QToolBar* bar : tool_bars_)
    removeToolBar(bar);
  for (int i = 0; i < forms::kToolbarCount; ++i) {
    if (i > 0) addToolBarBreak(area);
    addToolBar(area, tool_bars_[i]);
  }
  for (int i = 0; i < forms::kToolbarCount; ++i) {
    tool_bars_[i]->setVisible(visible[i]);
    command(QStringLiteral("M_ToolBar%1").arg(i + 1))->setChecked(visible[i]);
  }
}

void MainWindow::SetToolbarBackground(const QString& path, bool forget_unreadable) {
  toolbar_bitmap_ = path;
  QPixmap picture;
  if (!path.isEmpty() && QFileInfo::exists(path) && DisplayHasColours()) picture.load(path);
  if (picture.isNull() && forget_unreadable) toolbar_bitmap_.clear();
  for (QToolBar* bar : tool_bars_) {
    QPalette palette = this->palette();
    if (!picture.isNull()) palette.setBrush(QPalette::Window, QBrush(picture));
    bar->setPalette(palette);
    bar->setAutoFillBackground(!picture.isNull());
    bar->update();
  }
}

void MainWindow::ToolbarBackgroundClick() {
  QFileDialog dialog(this, QStringLiteral("イメージを開く"));
  dialog.setAccessibleName(ui::SpokenName(dialog.windowTitle()));
  dialog.setNameFilter(QStringLiteral("すべてのﾌｧｲﾙ (*.dib *.bmp *.emf *.wmf *.png *.jpg)"));
  dialog.setDefaultSuffix(QStringLiteral("BMP"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  ui::NameFileDialogParts(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SetToolbarBackground(dialog.selectedFiles().front(), true);
}

bool MainWindow::ToolbarEvent(QToolBar& bar, QEvent* event) {
  const int number = BarOf(&bar);
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (ui::ReadCommandDrag(*drag->mimeData()).number < 0) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const ui::CommandDrag drag = ui::ReadCommandDrag(*drop->mimeData());
      if (drag.number < 0) return false;
      drop->acceptProposedAction();
      DropCommand(number, drag, static_cast<int>(drop->position().x()));
      return true;
    }
    case QEvent::MouseButtonDblClick:
      // A double click on the figure band moves the bands to the other edge.
      if (number != 2) return false;
      MoveBands();
      return true;
    default:
      return false;
  }
}

bool MainWindow::ControlEvent(QWidget& control, QEvent* event) {
  // While the customisation window is open, a button on a bar is not run but
  // picked up and dragged: onto a bar it moves, anywhere else it leaves.
  if (tool_setup_ == nullptr) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      drag_press_ = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
      return true;
    case QEvent::MouseMove: {
      const auto* move = static_cast<QMouseEvent*>(event);
      if (!(move->buttons() & Qt::LeftButton) ||
          (move->globalPosition().toPoint() - drag_press_).manhattanLength() <
              QApplication::startDragDistance())
        return true;
      auto* bar = qobject_cast<QToolBar*>(control.parentWidget());
      const QList<QAction*> actions = bar->actions();
      for (int i = 0; i < actions.size(); ++i) {
        if (bar->widgetForAction(actions[i]) != &control) continue;
        // The drag runs after this event: the control may leave the bar during it.
        const int number = actions[i]->property("qzarnCommand").toInt();
        QMetaObject::invokeMethod(
            this,
            [this, from = BarOf(bar), i, number, picture = control.grab()] {
              StartControlDrag(from, i, number, picture);
            },
            Qt::QueuedConnection);
      }
      drag_press_ = QPoint(-100000, -100000);
      return true;
    }
    default:
      return false;
  }
}

void MainWindow::StartControlDrag(int bar, int position, int number, const QPixmap& picture) {
  const QList<QAction*> actions = tool_bars_[bar - 1]->actions();
  if (position >= actions.size() || actions[position]->property("qzarnCommand").toInt() != number)
    return;
  auto* drag = new QDrag(this);
  drag->setMimeData(ui::CommandDragData(number, bar, position));
  drag->setPixmap(picture);
  if (drag->exec(Qt::MoveAction) == Qt::IgnoreAction) RemoveFromToolbar(bar, position);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (auto* bar = qobject_cast<QToolBar*>(watched); bar != nullptr && BarOf(bar) != 0)
    return ToolbarEvent(*bar, event);
  if (auto* control = qobject_cast<QWidget*>(watched);
      control != nullptr && BarOf(control->parentWidget()) != 0)
    return ControlEvent(*control, event);
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace qzarn::shell
