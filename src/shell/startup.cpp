#include "shell/startup.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTranslator>
#include <algorithm>

#include "forms/command_line.h"
#include "shell/main_window.h"

namespace qzarn::shell {

void ScrollToMiddle(QScrollArea& area) {
  for (QScrollBar* bar : {area.horizontalScrollBar(), area.verticalScrollBar()})
    bar->setValue((bar->minimum() + bar->maximum()) / 2);
}

void ScrollToMiddleSoon(ui::DocumentWindow& window) {
  ScrollToMiddle(window.scrollArea());
  // The ranges are known only once the window is laid out at its final size.
  QPointer<ui::DocumentWindow> guard(&window);
  QTimer::singleShot(0, &window, [guard] {
    if (guard && !guard->closed()) ScrollToMiddle(guard->scrollArea());
  });
}

QStringList DroppedDocuments(const QList<QUrl>& urls) {
  QStringList paths;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (forms::IsDocumentName(path.toStdString()) && QFileInfo(path).isFile())
      paths.push_back(path);
  }
  return paths;
}

QTranslator* LoadQtJapanese(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return nullptr;
  }
  QCoreApplication::installTranslator(translator);
  return translator;
}

// ---- MainWindow: the start-up steps that need the shown frame ------------------------

void MainWindow::ShowPlaced() {
  if (start_.web_mode) {
    // Only the system menu and the minimise button; centred on the screen.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    show();
  } else if (settings_.user().WindowState == 2) {
    showMaximized();
  } else if (settings_.user().WindowState == 3) {
    showMinimized();
  } else {
    show();
  }
  FinishStartup();
}

void MainWindow::FinishStartup() {
  ui::DocumentWindow* active = activeDocument();
  if (active != nullptr) {
    QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(active->parentWidget());
    if (sub != nullptr) {
      if (settings_.user().WindowMaximize) {
        sub->showMaximized();
      } else {
        const QSize area = mdi_->size();
        sub->showNormal();
        sub->resize(area.width() * 8 / 10, area.height() * 8 / 10);
      }
    }
    ScrollToMiddleSoon(*active);
    ShowStartPalette(*active);
  }
  if (!start_.web_mode) return;
  for (QToolBar* bar : findChildren<QToolBar*>())
    bar->hide();
  statusBar()->hide();
  layout()->activate();  // the client area without the bars
  // The client size from "/X=" and "/Y=", otherwise from the active screen.
  QSize client(start_.client_width.value_or(0), start_.client_height.value_or(0));
  if (!start_.client_width && active != nullptr && active->screen() != nullptr)
    client = QSize(active->screen()->View().ScreenWidth, active->screen()->View().ScreenHeight);
  if (client.isValid()) {
    const int chrome = height() - mdi_->height();
    resize(client.width(), client.height() + std::max(0, chrome));
  }
  if (const QScreen* display = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(display->availableGeometry().center());
    move(frame.topLeft());
  }
}

int MainWindow::OpenFiles(const QStringList& paths) {
  int opened = 0;
  for (const QString& path : paths)
    if (forms::IsDocumentName(path.toStdString()) && QFileInfo(path).isFile() &&
        OpenDocumentFile(path))
      ++opened;
  if (ui::DocumentWindow* w = activeDocument()) w->RefreshScreen();
  return opened;
}

void MainWindow::CenterScreensAfterArrange() {
  if (!settings_.user().ArrangeCenter) return;
  for (ui::DocumentWindow* w : documents())
    ScrollToMiddleSoon(*w);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !DroppedDocuments(event->mimeData()->urls()).isEmpty())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedDocuments(event->mimeData()->urls());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  OpenFiles(paths);
}

}  // namespace qzarn::shell
