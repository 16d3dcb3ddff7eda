#include "ui/print_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The tray names the print system knows; anything else counts as unknown.
std::optional<std::string> TrayName(QPrinter::PaperSource source) {
  switch (source) {
    case QPrinter::Auto:
      return "自動";
    case QPrinter::Upper:  // also the only tray of a one-tray printer
      return "上段";
    case QPrinter::Middle:
      return "中段";
    case QPrinter::Lower:
      return "下段";
    case QPrinter::Manual:
      return "手差し";
    case QPrinter::Envelope:
      return "封筒";
    case QPrinter::LargeCapacity:
      return "大容量";
    default:
      return std::nullopt;
  }
}

}  // namespace

forms::PrinterFacts PrinterFactsOf(const QPrinter& printer) {
  forms::PrinterFacts facts;
  const QPrinterInfo info(printer);
  facts.name = printer.printerName().toStdString();
  // Without a printer queue the page goes to a PDF file: say so instead of an empty name.
  if (facts.name.empty() && printer.outputFormat() == QPrinter::PdfFormat)
    facts.name = std::string(forms::kPdfPrinterName);
  facts.location = info.isNull() ? std::string() : info.location().toStdString();
  facts.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  // The paper is named only when it is one the printer lists.
  const QPageSize current = printer.pageLayout().pageSize();
  const QList<QPageSize> sizes = info.isNull() ? QList<QPageSize>{} : info.supportedPageSizes();
  for (const QPageSize& size : sizes)
    if (size.isEquivalentTo(current)) facts.paper = size.name().toStdString();
  if (info.isNull() && printer.outputFormat() == QPrinter::PdfFormat)
    facts.paper = current.name().toStdString();
  facts.tray = TrayName(printer.paperSource());
  return facts;
}

PrintPreviewPanel::PrintPreviewPanel(QWidget* parent) : QWidget(parent) {
  setMinimumSize(220, 220);
  setAccessibleName(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"));
}

void PrintPreviewPanel::Show(const QImage& picture, double page_width, double page_height,
                             int percent, bool frame_black) {
  picture_ = picture;
  page_width_ = page_width;
  page_height_ = page_height;
  percent_ = percent;
  frame_black_ = frame_black;
  update();
}

void PrintPreviewPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  const forms::PrintPreview p =
      forms::PrintPreviewGeometry({width(), height()}, page_width_, page_height_,
                                  {picture_.width(), picture_.height()}, percent_);
  auto rect_of = [](const render::Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); };
  if (p.page.width() <= 0) return;
  painter.fillRect(rect_of(p.shadow), Qt::darkGray);
  painter.fillRect(rect_of(p.page), Qt::white);
  if (!picture_.isNull() && p.picture.width() > 0) {
    painter.save();
    painter.setClipRect(rect_of(p.page));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect_of(p.picture), picture_);
    painter.restore();
  }
  painter.setPen(frame_black_ ? Qt::black : Qt::white);
  painter.drawRect(rect_of(p.page).adjusted(0, 0, -1, -1));
}

TPrintInput::TPrintInput(QPrinter& printer, const QString& caption, const QImage& picture,
                         int copies, int percent, PrintOptionFlags options,
                         PrintDialogServices services, QWidget* parent)
    : QDialog(parent),
      printer_(printer),
      picture_(picture),
      options_(options),
      services_(std::move(services)) {
  setWindowTitle(Q(forms::PrintWindowTitle(caption.toStdString())));
  setAccessibleName(SpokenName(Q(forms::kPrintCaption)));
  auto* form = new QFormLayout;
  auto label = [&](const char* name) {
    auto* l = new QLabel(this);
    l->setAccessibleName(SpokenName(QString::fromUtf8(name)));
    form->addRow(QString::fromUtf8(name), l);
    return l;
  };
  printer_label_ = label("ﾌﾟﾘﾝﾀ：");
  location_label_ = label("場所：");
  orientation_label_ = label("印刷の向き：");
  paper_label_ = label("用紙サイズ：");
  tray_label_ = label("用紙トレイ：");
  colours_label_ = label("色：");
  widths_label_ = label("線の太さ：");

  copies_ = new QSpinBox(this);
  copies_->setRange(forms::kMinCopies, forms::kMaxCopies);
  copies_->setSingleStep(1);
  copies_->setValue(forms::ClampCopies(copies));
  copies_->setAccessibleName(SpokenName(QStringLiteral("部数(&C)")));
  form->addRow(QStringLiteral("部数(&C)"), copies_);
  size_ = new QSpinBox(this);
  size_->setRange(forms::kMinPrintSize, forms::kMaxPrintSize);
  size_->setSingleStep(forms::kPrintSizeStep);
  size_->setSuffix(QStringLiteral(" %"));
  size_->setValue(forms::ClampPrintSize(percent));
  size_->setAccessibleName(SpokenName(QStringLiteral("印刷サイズ(&Z)")));
  form->addRow(QStringLiteral("印刷サイズ(&Z)"), size_);
  connect(size_, &QSpinBox::valueChanged, this, [this] { Refresh(); });

  preview_ = new PrintPreviewPanel(this);
  auto* setup = new QPushButton(QStringLiteral("ﾌﾟﾘﾝﾀの設定(&S)..."), this);
  auto* opts = new QPushButton(QStringLiteral("ｵﾌﾟｼｮﾝ(&O)..."), this);
  auto* look = new QPushButton(QStringLiteral("ﾌﾟﾚﾋﾞｭｰ(&V)..."), this);
  for (QPushButton* b : {setup, opts, look})
    b->setAccessibleName(SpokenName(b->text()));
  setup->setEnabled(static_cast<bool>(services_.printer_setup));
  opts->setEnabled(static_cast<bool>(services_.options));
  look->setEnabled(static_cast<bool>(services_.preview));
  connect(setup, &QPushButton::clicked, this, [this] { PrinterSetupClick(); });
  connect(opts, &QPushButton::clicked, this, [this] { OptionsClick(); });
  connect(look, &QPushButton::clicked, this, [this] { PreviewClick(); });

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  ok->setAccessibleName(SpokenName(ok->text()));
  cancel->setAccessibleName(SpokenName(cancel->text()));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* side = new QVBoxLayout;
  side->addLayout(form);
  side->addWidget(setup);
  side->addWidget(opts);
  side->addWidget(look);
  side->addStretch();
  auto* row = new QHBoxLayout;
  row->addLayout(side);
  row->addWidget(preview_, 1);
  auto* all = new QVBoxLayout(this);
  all->addLayout(row, 1);
  all->addWidget(buttons);
  resize(560, 360);
  Refresh();
  NameParts(*this);
}

int TPrintInput::copies() const {
  return forms::ClampCopies(copies_->value());
}
int TPrintInput::printSize() const {
  return forms::ClampPrintSize(size_->value());
}

void TPrintInput::Refresh() {
  labels_ = forms::MakePrintLabels(PrinterFactsOf(printer_), options_.black, options_.line_width);
  printer_label_->setText(Q(labels_.printer));
  location_label_->setText(Q(labels_.location));
  orientation_label_->setText(Q(labels_.orientation));
  paper_label_->setText(Q(labels_.paper));
  tray_label_->setText(Q(labels_.tray));
  colours_label_->setText(Q(labels_.colours));
  widths_label_->setText(Q(labels_.widths));
  const QSizeF page = printer_.pageLayout().fullRect(QPageLayout::Millimeter).size();
  preview_->Show(picture_, page.width(), page.height(), printSize(), options_.box_line);
}

void TPrintInput::PrinterSetupClick() {
  if (services_.printer_setup) services_.printer_setup(this, printer_);
  Refresh();
}

void TPrintInput::OptionsClick() {
  if (services_.options) options_ = services_.options(this);
  Refresh();
}

void TPrintInput::PreviewClick() {
  if (services_.preview && services_.preview(this, printer_, copies(), printSize())) accept();
}

}  // namespace qzarn::ui
