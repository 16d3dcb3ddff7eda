#pragma once
// The print preview (印刷ﾌﾟﾚﾋﾞｭｰ): the page exactly as the printing pass draws
// it on the chosen printer or PDF page, paper, margins and print size
// included, with a command that prints from there.

#include <QDialog>
#include <functional>

class QPainter;
class QPrinter;
class QPrintPreviewWidget;

namespace qzarn::ui {

class PrintPreviewWindow final : public QDialog {
  Q_OBJECT

 public:
  // `paint` draws the page on a painter opened on `printer` (the preview's copy of it).
  PrintPreviewWindow(QPrinter& printer, const QString& caption,
                     std::function<void(QPainter&, QPrinter&)> paint, QWidget* parent = nullptr);

  // True when the user chose 印刷 from the preview (the dialog is then accepted).
  bool printRequested() const { return result() == QDialog::Accepted; }
  QPrintPreviewWidget& view() { return *view_; }

 private:
  QPrintPreviewWidget* view_ = nullptr;
  std::function<void(QPainter&, QPrinter&)> paint_;
};

}  // namespace qzarn::ui
