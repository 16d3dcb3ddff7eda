#include "ui/line_style_dialog.h"

#include "render/line_style_dash.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "qt/qt_canvas.h"
#include "ui/dialog_choosers.h"
#include "ui/help_window.h"

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

constexpr int kCellPitch = 15;  // cells sit 15 pixels apart, drawn as 16-pixel squares
constexpr int kCellSide = 16;
constexpr int kLineStyleHelpContext = 2000;  // opened from the coordinate-system dialog

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// The row of cells of the current style.
class LineCellsView final : public QWidget {
 public:
  explicit LineCellsView(TEditLineBit& dialog) : QWidget(&dialog), dialog_(dialog) {
    setFixedSize(kCellPitch * forms::kLineStyleCells + 1, kCellSide);
    setAccessibleName(QStringLiteral("線のパターン"));
    setCursor(Qt::PointingHandCursor);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const forms::LineCellRow& row = dialog_.form().cells(dialog_.form().current());
    for (int i = 0; i < forms::kLineStyleCells; ++i) {
      const QRect r(i * kCellPitch, 0, kCellSide - 1, kCellSide - 1);
      p.setPen(Qt::black);
      p.setBrush(row[i] == forms::LineCell::kMark ? QColor(160, 160, 160) : QColor(Qt::white));
      p.drawRect(r);
      if (row[i] == forms::LineCell::kEmpty) p.drawLine(r.topLeft(), r.bottomRight());
    }
  }
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    dialog_.ClickCell(TEditLineBit::CellAt(at.x(), at.y()));
  }

 private:
  TEditLineBit& dialog_;
};

// The current style at the preview widths, stepped like every dashed line.
class LineStylePreview final : public QWidget {
 public:
  explicit LineStylePreview(const forms::LineStyleForm& form) : form_(form) {
    setFixedSize(kCellPitch * forms::kLineStyleCells + 1, 120);
    setAccessibleName(QStringLiteral("見本"));
  }

  QImage Render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtCanvas canvas(painter, render::Size{width(), height()});
    const render::LineStyleTable& table = form_.table();
    render::LineSurface surface{&canvas,
                                static_cast<double>(width()),
                                static_cast<double>(height()),
                                false,
                                1,
                                &table,
                                nullptr,
                                {}};
    static constexpr render::PenStyle kStyles[] = {render::PenStyle::kDash, render::PenStyle::kDot,
                                                   render::PenStyle::kDashDot,
                                                   render::PenStyle::kDashDotDot};
    const int n = static_cast<int>(forms::kLineStylePreviewWidths.size());
    for (int i = 0; i < n; ++i) {
      const int w = forms::kLineStylePreviewWidths[i];
      canvas.SetPen(render::Pen{render::kBlack, w, kStyles[form_.current()]});
      render::LinePainter line(surface);
      line.BeginDash();
      const double y = (i + 0.5) * height() / n;
      line.DrawDeviceSegment({8, y}, {width() - 8.0, y});
    }
    return image;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, Render());
  }

 private:
  const forms::LineStyleForm& form_;
};

TEditLineBit::TEditLineBit(forms::LineStyleForm& form,
                           std::function<bool(QWidget*, const QString&)> ask_yes_no,
                           QWidget* parent)
    : QDialog(parent), form_(form), ask_yes_no_(std::move(ask_yes_no)) {
  setObjectName(QStringLiteral("EditLineBit"));
  setWindowTitle(Utf8(forms::kLineStyleEditorCaption));
  setAccessibleName(SpokenName(Utf8(forms::kLineStyleEditorCaption)));
  styles_ = new QComboBox(this);
  styles_->setAccessibleName(QStringLiteral("線の種類(L)"));
  for (std::string_view item : forms::kDashStyleItems)
    styles_->addItem(Utf8(item));
  gap_ = new QDoubleSpinBox(this);
  gap_->setAccessibleName(QStringLiteral("空白の間隔(W)"));
  gap_->setRange(forms::kMinGapFactor, forms::kMaxGapFactor);
  gap_->setSingleStep(0.1);
  gap_->setDecimals(1);
  gap_->setLocale(QLocale::c());
  cells_ = new LineCellsView(*this);
  preview_ = new LineStylePreview(form_);

  auto* fields = new QFormLayout;
  auto* style_label = new QLabel(QStringLiteral("線の種類(&L)"), this);
  style_label->setBuddy(styles_);
  fields->addRow(style_label, styles_);
  auto* gap_label = new QLabel(QStringLiteral("空白の間隔(&W)"), this);
  gap_label->setBuddy(gap_);
  fields->addRow(gap_label, gap_);

  auto* buttons = new QDialogButtonBox(this);
  auto add = [&](const QString& caption, QDialogButtonBox::ButtonRole role) {
    QPushButton* b = buttons->addButton(caption, role);
    QString plain = caption;
    b->setAccessibleName(SpokenName(plain.remove(QLatin1Char('&'))));
    return b;
  };
  add(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  add(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  QPushButton* reset = add(QStringLiteral("ﾘｾｯﾄ(&R)"), QDialogButtonBox::ResetRole);
  QPushButton* defaults = add(QStringLiteral("初期値(&I)"), QDialogButtonBox::ResetRole);
  add(QStringLiteral("ﾍﾙﾌﾟ(&H)"), QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this,
          [] { ShowHelpTopic(kLineStyleHelpContext); });
  connect(reset, &QPushButton::clicked, this, [this] { ResetClick(); });
  connect(defaults, &QPushButton::clicked, this, [this] { DefaultsClick(); });
  connect(styles_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!loading_) SelectStyle(i);
  });
  connect(gap_, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (loading_) return;
    form_.SetGapFactor(v);
    preview_->update();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(cells_);
  layout->addWidget(preview_);
  layout->addWidget(buttons);
  ShowForm();
  NameParts(*this);
}

int TEditLineBit::CellAt(int x, int y) {
  if (x < 0 || y < 0 || y >= kCellSide) return -1;
  const int index = x / kCellPitch;
  return index < forms::kLineStyleCells ? index : -1;
}

void TEditLineBit::ClickCell(int index) {
  form_.ClickCell(index);
  ShowForm();
}

void TEditLineBit::SelectStyle(int style) {
  form_.SetCurrent(style);
  ShowForm();
}

void TEditLineBit::ResetClick() {
  form_.ResetCurrent();
  ShowForm();
}

void TEditLineBit::DefaultsClick() {
  const QString question = Utf8(forms::kLineStyleResetQuestion);
  const bool yes = ask_yes_no_ ? ask_yes_no_(this, question) : AskYesNoBox(this, question);
  if (!yes) return;
  form_.ResetAll();
  ShowForm();
}

QImage TEditLineBit::PreviewImage() const {
  return preview_->Render();
}

void TEditLineBit::ShowForm() {
  loading_ = true;
  styles_->setCurrentIndex(form_.current());
  gap_->setValue(form_.gap_factor());
  loading_ = false;
  cells_->update();
  preview_->update();
}

std::optional<render::LineStyleTable> EditLineStyles(
    const render::LineStyleTable& table, QWidget* parent,
    std::function<bool(QWidget*, const QString&)> ask_yes_no) {
  forms::LineStyleForm form(table);
  TEditLineBit dialog(form, std::move(ask_yes_no), parent);
  if (QScreen* desktop = dialog.screen()) {
    dialog.adjustSize();
    dialog.move(desktop->availableGeometry().center() - dialog.rect().center());
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return form.table();
}

}  // namespace qzarn::ui
