// Printing to Qt's PDF output, the print dialog and saving the screen as a picture.
#include "shell/main_window.h"
#include "ui/main_window_fixture.h"
#include "ui/picture_export_dialog.h"
#include "ui/print_dialog.h"

#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <cmath>

namespace qzarn::shell {
namespace {

const QString kExamples = QStringLiteral(QZARN_SOURCE_DIR "/examples/");

// The PDF output of the print system, on A4 at 300 dpi.
void ToPdf(QPrinter& printer, const QString& path) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  printer.setResolution(300);
  printer.setPageSize(QPageSize(QPageSize::A4));
}

TEST_F(MainWindowTest, PrintingWritesThePageAndLeavesPrintMode) {
  // Set PRINT_SHOTS to a folder to keep the pages for looking at.
  const QString keep = qEnvironmentVariable("PRINT_SHOTS");
  for (const char* name : {"areas", "circles", "lines"}) {
    MainWindow w(Options());
    w.Start({kExamples + name + ".qzl"});
    ui::DocumentWindow* doc = w.activeDocument();
    ASSERT_NE(doc, nullptr);
    QPrinter printer(QPrinter::HighResolution);
    const QString pdf = (keep.isEmpty() ? temp_.path() : keep) + "/" + name + ".pdf";
    ToPdf(printer, pdf);
    ASSERT_TRUE(w.PrintActiveScreen(printer, 12, 50)) << name;
    EXPECT_FALSE(doc->printing());
    // Copies and size are clamped and kept in the screen.
    EXPECT_EQ(doc->screen()->View().PrintCopies, 10);
    EXPECT_EQ(doc->screen()->View().PrintSize, 50);
    EXPECT_TRUE(w.statusBar()->findChildren<QLabel*>().size() > 0);
    for (QLabel* l : w.statusBar()->findChildren<QLabel*>())
      EXPECT_FALSE(l->text().contains(QStringLiteral("印刷中"))) << name;
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
    EXPECT_GT(file.size(), 1000);
  }
}

TEST_F(MainWindowTest, PrintFailureIsReportedAndLeavesPrintMode) {
  MainWindow w(Options());
  w.Start({kExamples + "lines.qzl"});
  ui::DocumentWindow* doc = w.activeDocument();
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer, temp_.path() + "/no/such/folder/x.pdf");
  EXPECT_FALSE(w.PrintActiveScreen(printer, 1, 100));
  EXPECT_FALSE(doc->printing());
  ASSERT_EQ(questions_.errors.size(), 1u);
  EXPECT_TRUE(questions_.errors[0].contains(QStringLiteral("印刷できませんでした")));
}

TEST_F(MainWindowTest, PrintPageWhitesOutBeyondTheSurfaceAndDrawsTheFrame) {
  MainWindow w(Options());
  w.Start({kExamples + "lines.qzl"});
  ui::DocumentWindow* doc = w.activeDocument();
  // A 640 x 480 surface on a 4800 x 6600 page at 50 %.
  QImage page(4800, 6600, QImage::Format_RGB32);
  page.fill(Qt::red);
  double scale = 0;
  {
    QPainter painter(&page);
    scale = doc->PrintScreen(painter, {4800, 6600}, 50, true);
  }
  EXPECT_DOUBLE_EQ(scale, 7.5 * 0.5 * 0.99);
  const int right = static_cast<int>(std::lround(640 * scale));
  const int bottom = static_cast<int>(std::lround(480 * scale));
  EXPECT_EQ(page.pixel(right + 2, 10), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(4799, 6599), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(10, bottom + 2), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(1, 100), qRgb(0, 0, 0));  // the frame
  EXPECT_EQ(page.pixel(right, 100), qRgb(0, 0, 0));
  EXPECT_NE(page.pixel(right / 3, bottom / 3), qRgb(255, 0, 0));  // drawn over
}

TEST_F(MainWindowTest, PrintDialogShowsThePrinterAndKeepsItsLimits) {
  MainWindow w(Options());
  w.Start({kExamples + "circles.qzl"});
  ui::DocumentWindow* doc = w.activeDocument();
  QPrinter printer(QPrinter::HighResolution);
  ToPdf(printer, temp_.path() + "/d.pdf");
  printer.setPageOrientation(QPageLayout::Landscape);
  bool options_opened = false;
  ui::PrintDialogServices services;
  services.options = [&](QWidget*) {
    options_opened = true;
    return ui::PrintOptionFlags{true, false, false};
  };
  ui::TPrintInput dialog(printer, QStringLiteral("circles"), doc->picture(), 0, 300,
                         ui::PrintOptionFlags{}, services);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("印刷 [circles]"));
  EXPECT_EQ(dialog.copies(), 1);
  EXPECT_EQ(dialog.printSize(), 100);
  EXPECT_EQ(dialog.labels().orientation, "横");
  EXPECT_EQ(dialog.labels().paper, "A4");
  EXPECT_EQ(dialog.labels().colours, "画面通りの色で印刷");
  // The spin buttons stop at the limits.
  dialog.sizeBox().stepBy(1);
  EXPECT_EQ(dialog.printSize(), 100);
  dialog.sizeBox().setValue(10);
  dialog.sizeBox().stepBy(-1);
  EXPECT_EQ(dialog.printSize(), 10);
  dialog.sizeBox().stepBy(1);
  EXPECT_EQ(dialog.printSize(), 15);
  dialog.copiesBox().stepBy(20);
  EXPECT_EQ(dialog.copies(), 10);
  dialog.OptionsClick();
  EXPECT_TRUE(options_opened);
  EXPECT_EQ(dialog.labels().colours, "すべての図形を黒色で印刷");
  EXPECT_EQ(dialog.labels().widths, "線の太さを拡大しない");
  dialog.sizeBox().setValue(60);
  if (const QString shots = qEnvironmentVariable("PRINT_SHOTS"); !shots.isEmpty())
    dialog.grab().save(shots + "/print_dialog.png");
}

TEST_F(MainWindowTest, SavingPicturesByKindAndSize) {
  MainWindow w(Options());
  w.Start({kExamples + "lines.qzl"});
  forms::PictureExportForm form({640, 480});
  form.SetWidth(320);
  const QString dir = temp_.path() + "/";
  for (const char* name : {"a.png", "b.bmp", "c.jpg", "d.svg", "e.pdf", "f.gif"})
    EXPECT_TRUE(w.SavePictureTo(dir + name, form)) << name;
  EXPECT_EQ(QImage(dir + "a.png").size(), QSize(320, 240));
  EXPECT_TRUE(QFile::exists(dir + "f.gif.BMP"));
  EXPECT_FALSE(QFile::exists(dir + "f.gif"));
  QFile svg(dir + "d.svg");
  ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svg.readAll().contains("viewBox=\"0 0 320 240\""));
  // A failure is reported with the message and leaves nothing behind.
  EXPECT_FALSE(w.SavePictureTo(dir + "none/x.svg", form));
  ASSERT_EQ(questions_.errors.size(), 1u);
  EXPECT_TRUE(questions_.errors[0].startsWith(QStringLiteral("ファイルの保存に失敗しました．")));
  // The dialog shows the form and keeps the proportions.
  ui::PictureExportDialog dialog(form, render::PictureKind::kPng, QStringLiteral("t"));
  EXPECT_EQ(dialog.widthBox().value(), 320);
  dialog.widthBox().setValue(1280);
  EXPECT_EQ(dialog.heightBox().value(), 960);
  EXPECT_FALSE(dialog.dpiBox().isEnabled());
}

// Without a printer queue (a school laptop): 印刷 and the preview still work and
// both end in a PDF file the user names.
TEST_F(MainWindowTest, WithoutAPrinterQueuePreviewAndPrintingGoToAPdfFile) {
  if (MainWindow::PrintingAvailable()) GTEST_SKIP() << "this machine has a printer queue";
  const QString keep = qEnvironmentVariable("PRINT_SHOTS");
  ShellOptions o = Options();
  std::vector<QString> asked;
  o.ask_print_file = [&](QWidget*, const QString& title, const QString& proposed) {
    asked.push_back(title);
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/lines.pdf"))) << proposed.toStdString();
    return temp_.path() + QStringLiteral("/out%1.pdf").arg(asked.size());
  };
  int previews = 0;
  o.preview_shown = [&](QDialog& preview) {
    ++previews;
    // Once shown: look at it, then print from it as the user does, with the keyboard.
    QTimer::singleShot(0, &preview, [&preview, keep] {
      auto* view = preview.findChild<QPrintPreviewWidget*>();
      ASSERT_NE(view, nullptr);
      EXPECT_EQ(view->pageCount(), 1);
      EXPECT_TRUE(preview.windowTitle().startsWith(QStringLiteral("印刷ﾌﾟﾚﾋﾞｭｰ [")));
      if (!keep.isEmpty()) preview.grab().save(keep + "/preview.png");
      auto* print = preview.findChild<QPushButton*>(QStringLiteral("PreviewPrint"));
      ASSERT_NE(print, nullptr);
      print->setFocus();
      QTest::keyClick(print, Qt::Key_Space);
    });
  };
  MainWindow w(std::move(o));
  w.Start({kExamples + "lines.qzl"});
  ASSERT_TRUE(w.command("M_PrintPreview")->isEnabled());
  w.command("M_PrintPreview")->trigger();
  EXPECT_EQ(previews, 1);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], QStringLiteral("PDF ファイルに印刷 [lines]"));

  // 印刷: the dialog names the PDF file as the printer; Enter prints.
  QString printer_label;
  QTimer::singleShot(0, &w, [&printer_label] {
    auto* dialog = qobject_cast<ui::TPrintInput*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    printer_label = QString::fromStdString(dialog->labels().printer);
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  w.command("M_Print")->trigger();
  EXPECT_EQ(printer_label, QStringLiteral("PDF ファイル"));
  ASSERT_EQ(asked.size(), 2u);
  for (const char* name : {"/out1.pdf", "/out2.pdf"}) {
    QFile pdf(temp_.path() + name);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly)) << name;
    EXPECT_TRUE(pdf.read(5) == "%PDF-") << name;
    EXPECT_GT(pdf.size(), 1000) << name;
  }
  EXPECT_TRUE(questions_.errors.empty());
}

}  // namespace
}  // namespace qzarn::shell
