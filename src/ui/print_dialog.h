#pragma once
// The print dialog (印刷): the printer, orientation, paper and tray, the colour
// and line-width options, copies and print size, and a preview of the page.
// Its buttons open the printer set-up, the options dialog's print tab and the
// print preview through the services the main window hands over.

// The core headers come before Qt's (see document_window.h).
#include "forms/print_form.h"

#include <QDialog>
#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPrinter;
class QSpinBox;

namespace qzarn::ui {

struct PrintOptionFlags {
  bool black = false;      // PrintBlackColor
  bool line_width = true;  // PrintLineWidth
  bool box_line = true;    // PrintBoxLine: the preview's page frame
};

struct PrintDialogServices {
  // The system's printer set-up; true when confirmed.
  std::function<bool(QWidget*, QPrinter&)> printer_setup;
  // The options dialog's print tab; the options in force afterwards.
  std::function<PrintOptionFlags(QWidget*)> options;
  // A print preview of the page at the given copies and size; true when the
  // user chose to print from it (the dialog then closes as by OK).
  std::function<bool(QWidget*, QPrinter&, int copies, int percent)> preview;
};

// What the printer says about its settings, for the labels.
forms::PrinterFacts PrinterFactsOf(const QPrinter& printer);

// The page with its shadow and the screen picture (drawn by the dialog).
class PrintPreviewPanel final : public QWidget {
 public:
  explicit PrintPreviewPanel(QWidget* parent = nullptr);
  void Show(const QImage& picture, double page_width, double page_height, int percent,
            bool frame_black);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  double page_width_ = 210, page_height_ = 297;
  int percent_ = 100;
  bool frame_black_ = true;
};

class TPrintInput final : public QDialog {
  Q_OBJECT

 public:
  TPrintInput(QPrinter& printer, const QString& caption, const QImage& picture, int copies,
              int percent, PrintOptionFlags options, PrintDialogServices services,
              QWidget* parent = nullptr);

  int copies() const;
  int printSize() const;
  const forms::PrintLabels& labels() const { return labels_; }
  PrintPreviewPanel& preview() { return *preview_; }
  QSpinBox& copiesBox() { return *copies_; }
  QSpinBox& sizeBox() { return *size_; }

  void PrinterSetupClick();
  void OptionsClick();
  void PreviewClick();

 private:
  void Refresh();

  QPrinter& printer_;
  QImage picture_;
  PrintOptionFlags options_;
  PrintDialogServices services_;
  forms::PrintLabels labels_;
  QLabel* printer_label_ = nullptr;
  QLabel* location_label_ = nullptr;
  QLabel* orientation_label_ = nullptr;
  QLabel* paper_label_ = nullptr;
  QLabel* tray_label_ = nullptr;
  QLabel* colours_label_ = nullptr;
  QLabel* widths_label_ = nullptr;
  QSpinBox* copies_ = nullptr;
  QSpinBox* size_ = nullptr;
  PrintPreviewPanel* preview_ = nullptr;
};

}  // namespace qzarn::ui
