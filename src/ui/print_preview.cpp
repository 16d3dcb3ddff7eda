#include "ui/print_preview.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "forms/print_form.h"

namespace qzarn::ui {

PrintPreviewWindow::PrintPreviewWindow(QPrinter& printer, const QString& caption,
                                       std::function<void(QPainter&, QPrinter&)> paint,
                                       QWidget* parent)
    : QDialog(parent), paint_(std::move(paint)) {
  const std::string_view name = forms::kPrintPreviewCaption;
  const QString title = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
  setWindowTitle(title + QStringLiteral(" [") + caption + QStringLiteral("]"));
  setAccessibleName(title);
  view_ = new QPrintPreviewWidget(&printer, this);
  view_->setAccessibleName(QStringLiteral("印刷されるﾍﾟｰｼﾞ"));
  view_->fitInView();
  connect(view_, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter* target) {
    QPainter painter;
    if (!painter.begin(target)) return;
    if (paint_) paint_(painter, *target);
    painter.end();
  });

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* print =
      buttons->addButton(QStringLiteral("印刷(&P)..."), QDialogButtonBox::AcceptRole);
  QPushButton* close = buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
  print->setObjectName(QStringLiteral("PreviewPrint"));
  print->setAccessibleName(QStringLiteral("印刷"));
  close->setAccessibleName(close->text());
  print->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addWidget(buttons);
  // As tall as the screen comfortably allows, in the page's proportions.
  QSize size(520, 700);
  if (const QScreen* screen = parent != nullptr && parent->screen() != nullptr
                                  ? parent->screen()
                                  : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
  resize(size);
}

}  // namespace qzarn::ui
