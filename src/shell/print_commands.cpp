// Printing, the printer set-up, the print preview and saving the screen as a
// picture file: the main window's commands around a document window's picture.
// Printing never needs a printer queue: without one the page goes to a PDF
// file, and the preview is always there.
#include "forms/picture_export_form.h"
#include "forms/print_form.h"
#include "shell/main_window.h"
#include "ui/picture_export_dialog.h"
#include "ui/print_dialog.h"
#include "ui/print_preview.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "ui/file_dialog.h"
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
  if (!printer_) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // No printer queue: the page goes to a PDF file named when printing.
    if (forms::PrintCommandsFor(true, PrintingAvailable()).to_pdf_file)
      printer_->setOutputFormat(QPrinter::PdfFormat);
  }
  return *printer_;
}

bool MainWindow::SetUpPrinter(QPrinter& target, QWidget* parent) {
  const QString title = QStringLiteral("ﾌﾟﾘﾝﾀの設定");
  if (target.outputFormat() == QPrinter::PdfFormat) {
    // A PDF page has no driver settings: paper and orientation are what there is to set.
    QPageSetupDialog dialog(&target, parent);
    dialog.setWindowTitle(title);
    dialog.setAccessibleName(ui::SpokenName(title));
    // Qt's drop-downs without a label of their own are named here; the others take their
    // labels' names.
    const std::pair<const char*, const char*> unnamed[] = {
        {"unitCombo", "単位"},
        {"pagesPerSheetCombo", "1枚あたりのﾍﾟｰｼﾞ数"},
        {"pagesPerSheetLayoutCombo", "ﾍﾟｰｼﾞの並べ方"}};
    for (const auto& [object, name] : unnamed)
      if (auto* part = dialog.findChild<QWidget*>(QString::fromLatin1(object)))
        part->setAccessibleName(QString::fromUtf8(name));
    ui::NameParts(dialog);
    return dialog.exec() == QDialog::Accepted;
  }
  QPrintDialog dialog(&target, parent);
  dialog.setWindowTitle(title);
  dialog.setAccessibleName(ui::SpokenName(title));
  ui::NameParts(dialog);
  return dialog.exec() == QDialog::Accepted;
}

void MainWindow::PrinterSetupClick() {
  SetUpPrinter(printer(), this);
}

void MainWindow::PrintScreenCommand() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return;
  Screen& screen = *w->screen();
  const UserSettings& user = settings_.user();
  ui::PrintOptionFlags flags{user.PrintBlackColor, user.PrintLineWidth, user.PrintBoxLine};
  ui::PrintDialogServices services;
  services.printer_setup = [this](QWidget* parent, QPrinter& p) { return SetUpPrinter(p, parent); };
  services.options = [this](QWidget* parent) {
    OpenOptions(true, parent);
    const UserSettings& u = settings_.user();
    return ui::PrintOptionFlags{u.PrintBlackColor, u.PrintLineWidth, u.PrintBoxLine};
  };
  services.preview = [this](QWidget* parent, QPrinter& p, int, int percent) {
    return ShowPrintPreview(p, percent, parent);
  };
  ui::TPrintInput dialog(printer(), w->windowTitle(), w->picture(), screen.View().PrintCopies,
                         screen.View().PrintSize, flags, services, this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintToChosenTarget(dialog.copies(), dialog.printSize());
}

void MainWindow::PrintPreviewCommand() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return;
  const ViewSettings& view = w->screen()->View();
  if (ShowPrintPreview(printer(), view.PrintSize, this))
    PrintToChosenTarget(view.PrintCopies, view.PrintSize);
}

bool MainWindow::ShowPrintPreview(QPrinter& target, int percent, QWidget* parent) {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  // The preview draws with the same pass, page and print size as printing does.
  QPointer<ui::DocumentWindow> window(w);
  const int size = forms::ClampPrintSize(percent);
  ui::PrintPreviewWindow preview(
      target, w->windowTitle(),
      [window, size](QPainter& painter, QPrinter& page) {
        if (window) window->PrintScreen(painter, PageOf(page), size, true);
      },
      parent);
  if (options_.preview_shown) options_.preview_shown(preview);
  return preview.exec() == QDialog::Accepted;
}

bool MainWindow::PrintToChosenTarget(int copies, int percent) {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->screen() == nullptr) return false;
  QPrinter& target = printer();
  if (target.outputFormat() == QPrinter::PdfFormat) {
    const std::string caption = w->windowTitle().toStdString();
    const QString title = Utf8Text(forms::PrintToFileTitle(caption));
    const QString proposed =
        QDir(DialogFolder()).filePath(Utf8Text(forms::PrintToFileDefaultName(caption)));
    ui::FileDialogSpec dialog;
    dialog.title = title;
    dialog.start = proposed;
    dialog.filters = QStringLiteral("PDF (*.pdf)");
    dialog.save = true;
    const QString path = options_.ask_print_file ? options_.ask_print_file(this, title, proposed)
                                                 : ui::AskFilePath(this, dialog);
    if (path.isEmpty()) return false;
    target.setOutputFileName(path);
  }
  return PrintActiveScreen(target, copies, percent);
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
  ui::FileDialogSpec dialog;
  dialog.title = title;
  dialog.start = QDir::current().filePath(Utf8Text(forms::SavePictureDefaultName(caption)));
  dialog.filters = Utf8Text(forms::kSavePictureFilters);
  dialog.save = true;
  const QString path = ui::AskFilePath(this, dialog);
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
