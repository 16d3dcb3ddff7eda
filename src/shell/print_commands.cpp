// Printing, the printer set-up, the print preview and saving the screen as a
// picture file: the main window's commands around a document window's picture.
#include "forms/picture_export_form.h"
#include "forms/print_form.h"
#include "shell/main_window.h"
#include "ui/picture_export_dialog.h"
#include "ui/print_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "ui/spoken_name.h"

namespace qzarn::shell {

namespace {

QString Utf8Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The page's printable area in device pixels.
render::Size PageOf(QPrinter& printer) {
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  return {page.width(), page.height()};
}

}  // namespace

bool MainWindow::PrintingAvailable() {
  return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QPrinter& MainWindow::printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void MainWindow::PrinterSetupClick() {
  if (!PrintingAvailable()) return;
  QPrintDialog dialog(&printer(), this);
  dialog.setWindowTitle(QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
  dialog.setAccessibleName(ui::SpokenName(dialog.windowTitle()));
  dialog.exec();
}

void MainWindow::PrintScreenCommand() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr || !PrintingAvailable()) return;
  Screen& screen = *w->screen();
  const UserSettings& user = settings_.user();
  ui::PrintOptionFlags flags{user.PrintBlackColor, user.PrintLineWidth, user.PrintBoxLine};
  ui::PrintDialogServices services;
  services.printer_setup = [](QWidget* parent, QPrinter& p) {
    QPrintDialog dialog(&p, parent);
    dialog.setAccessibleName(QStringLiteral("ﾌﾟﾘﾝﾀの設定"));
    return dialog.exec() == QDialog::Accepted;
  };
  services.options = [this](QWidget* parent) {
    OpenOptions(true, parent);
    const UserSettings& u = settings_.user();
    return ui::PrintOptionFlags{u.PrintBlackColor, u.PrintLineWidth, u.PrintBoxLine};
  };
  services.preview = [w](QWidget* parent, QPrinter& p, int, int percent) {
    QPrintPreviewDialog preview(&p, parent);
    preview.setAccessibleName(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, parent,
                     [w, percent](QPrinter* target) {
                       QPainter painter;
                       if (!painter.begin(target)) return;
                       w->PrintScreen(painter, PageOf(*target), percent, true);
                       painter.end();
                     });
    preview.exec();
  };
  ui::TPrintInput dialog(printer(), w->windowTitle(), w->picture(), screen.View().PrintCopies,
                         screen.View().PrintSize, flags, services, this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintActiveScreen(printer(), dialog.copies(), dialog.printSize());
}

bool MainWindow::PrintActiveScreen(QPrinter& target, int copies, int percent) {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  w->RefreshScreen();
  ViewSettings& view = w->screen()->View();
  view.PrintCopies = forms::ClampCopies(copies);
  view.PrintSize = forms::ClampPrintSize(percent);
  const std::string caption = w->windowTitle().toStdString();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ShowStatus(2, Utf8Text(forms::PrintingStatus(caption)));
  target.setCopyCount(view.PrintCopies);
  target.setDocName(Utf8Text(forms::PrintJobTitle(caption)));
  bool printed = false;
  {
    QPainter painter;
    if (painter.begin(&target)) {
      w->PrintScreen(painter, PageOf(target), view.PrintSize, true);
      printed = painter.end();
      if (!printed) target.abort();
    }
  }
  ShowStatus(2, QString());
  QApplication::restoreOverrideCursor();
  w->RefreshScreen();
  if (!printed)
    questions_->ShowError(this, QStringLiteral("「") + w->windowTitle() +
                                    QStringLiteral("」を印刷できませんでした．"));
  return printed;
}

bool MainWindow::SaveAsPictureClick() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  const std::string caption = w->windowTitle().toStdString();
  const QString title = Utf8Text(forms::SavePictureTitle(caption));
  const QString path = QFileDialog::getSaveFileName(
      this, title, QDir::current().filePath(Utf8Text(forms::SavePictureDefaultName(caption))),
      Utf8Text(forms::kSavePictureFilters));
  if (path.isEmpty()) return false;
  const forms::ExportTarget target = forms::ResolveExportTarget(path.toStdString());
  forms::PictureExportForm form(
      {w->screen()->View().ScreenWidth, w->screen()->View().ScreenHeight});
  form.antialiasing = render_.antialiasing;
  ui::PictureExportDialog options(form, target.kind, title, this);
  if (options.exec() != QDialog::Accepted) return false;
  return SavePictureTo(path, form);
}

bool MainWindow::SavePictureTo(const QString& requested, const forms::PictureExportForm& form) {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  const forms::ExportTarget target = forms::ResolveExportTarget(requested.toStdString());
  PictureRequest request;
  request.kind = target.kind;
  request.size = form.PictureSize(target.kind);
  request.antialiasing = form.antialiasing;
  request.pdf_dpi = form.dpi;
  const QString written = QString::fromStdString(target.path);
  QString error;
  if (!w->ExportPicture(request, written, error)) {
    questions_->ShowError(this, Utf8Text(forms::kSavePictureFailed) + QStringLiteral("\n") + error);
    return false;
  }
  ShowStatus(2, QStringLiteral("“") + written + QStringLiteral("” に保存しました．"));
  return true;
}

}  // namespace qzarn::shell
