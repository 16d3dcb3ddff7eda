#include "ui/coordinate_system_dialog.h"

#include "platform/image_codec.h"
#include "render/background.h"
#include "render/draw_axes.h"
#include "render/draw_screen.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt/qt_canvas.h"
#include "qt/qt_image.h"
#include "ui/dialog_choosers.h"
#include "ui/help_window.h"

#include "ui/file_dialog.h"
#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename W>
W* Named(W* widget, const QString& caption) {
  QString plain = caption;
  plain.remove(QLatin1Char('&'));
  widget->setAccessibleName(SpokenName(plain));
  return widget;
}

QComboBox* EditableList(QWidget* parent, const QString& caption, const QStringList& items) {
  auto* box = Named(new QComboBox(parent), caption);
  box->setEditable(true);
  box->addItems(items);
  return box;
}

template <std::size_t N>
QStringList Items(const std::array<std::string_view, N>& items) {
  QStringList list;
  for (std::string_view s : items)
    list << Utf8(s);
  return list;
}

template <std::size_t N>
QStringList Items(const std::array<int, N>& items) {
  QStringList list;
  for (int v : items)
    list << QString::number(v);
  return list;
}

double ListValue(const QComboBox* box) {
  return forms::LenientNumber(box->currentText().toStdString());
}

int ListInt(const QComboBox* box) {
  const double v = ListValue(box);
  return static_cast<int>(std::clamp(std::lround(v), -100000L, 100000L));
}

QString NumberText(double v) {
  return Utf8(forms::ListNumberText(v));
}

// Where the dialog was last while the program runs; first centred on the desktop.
std::optional<QPoint>& RememberedPosition() {
  static std::optional<QPoint> position;
  return position;
}

}  // namespace

// The live preview: axes, grid, labels and picture as the edited settings draw them.
class CoordinatePreview final : public QWidget {
 public:
  CoordinatePreview(TEditGlid& dialog, const forms::CoordinateSystemForm& form,
                    const render::RenderOptions& render)
      : QWidget(&dialog), dialog_(dialog), form_(form), render_(render) {
    setFixedSize(240, 200);
    setAccessibleName(QStringLiteral("見本"));
  }

  QImage Render() const {
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    RgbImage picture;
    std::string error;
    const bool has_picture =
        !form_.picture.empty() && DecodeImage(form_.picture.bytes, picture, error);
    const render::ViewParams params =
        forms::PreviewParams(form_, width(), height(), has_picture ? &picture : nullptr);
    render::RenderOptions options = render_;
    options.layout = form_.EditedLayout();
    QPainter painter(&image);
    QtCanvas canvas(painter, render::Size{width(), height()});
    render::DrawContext ctx(canvas, params, options);
    render::DrawBackground(ctx);
    render::DrawAxes(ctx);
    render::DrawAxisLabels(ctx);
    // A sample point "A" with its label, as figures sit on the plane.
    const double ax = params.view.PlaneToPixelX(1.6), ay = params.view.PlaneToPixelY(1.2);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QPointF(ax, ay), 2.5, 2.5);
    painter.drawText(QPointF(ax + 4, ay - 4), QStringLiteral("A"));
    // The canvas must set its pen and brush again after the painter was used directly.
    canvas.ForgetPainterState();
    if (params.FrameOn()) render::DrawOuterFrame(ctx);
    ctx.End();
    return image;
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, Render());
  }
  void mousePressEvent(QMouseEvent* event) override {
    dialog_.PreviewClicked(event->position().toPoint().x(), event->position().toPoint().y());
  }

 private:
  TEditGlid& dialog_;
  const forms::CoordinateSystemForm& form_;
  const render::RenderOptions& render_;
};

TEditGlid::TEditGlid(forms::CoordinateSystemForm& form, const QString& screen_caption,
                     const render::RenderOptions& render, CoordinateDialogServices services,
                     QWidget* parent)
    : QDialog(parent), form_(form), render_(render), services_(std::move(services)) {
  setObjectName(QStringLiteral("EditGlid"));
  setWindowTitle(Utf8(forms::CoordinateDialogTitle(screen_caption.toStdString())));
  setAccessibleName(SpokenName(Utf8(forms::kCoordinateFormCaption)));
  tabs_ = new QTabWidget(this);
  tabs_->setAccessibleName(QStringLiteral("ページ"));
  tabs_->addTab(BuildGeneralTab(), Utf8(forms::kCoordinateTabCaptions[0]));
  tabs_->addTab(BuildAxisTab(false), Utf8(forms::kCoordinateTabCaptions[1]));
  tabs_->addTab(BuildAxisTab(true), Utf8(forms::kCoordinateTabCaptions[2]));
  tabs_->addTab(BuildGridTab(), Utf8(forms::kCoordinateTabCaptions[3]));
  tabs_->addTab(BuildPictureTab(), Utf8(forms::kCoordinateTabCaptions[4]));
  tabs_->addTab(BuildLayoutTab(), Utf8(forms::kCoordinateTabCaptions[5]));
  tabs_->setTabVisible(5, form_.LayoutTabVisible());
  // Every page's tab in sight: behind scroll arrows the layout page (and its
  // line styles) is hard to find. The dialog grows to the tabs' width.
  tabs_->tabBar()->setUsesScrollButtons(false);
  tabs_->tabBar()->setElideMode(Qt::ElideNone);

  preview_ = new CoordinatePreview(*this, form_, render_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok->setDefault(true);
  Named(ok, QStringLiteral("OK"));
  Named(buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole),
        QStringLiteral("ｷｬﾝｾﾙ"));
  help_ = Named(buttons->addButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), QDialogButtonBox::HelpRole),
                QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  help_->setVisible(form_.HelpVisible());
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this,
          [] { ShowHelpTopic(forms::kCoordinateSystemHelpContext); });

  auto* top = new QHBoxLayout;
  top->addWidget(tabs_, 1);
  auto* side = new QVBoxLayout;
  side->addWidget(preview_);
  side->addStretch(1);
  top->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  ShowForm();
  if (RememberedPosition()) move(*RememberedPosition());
  NameParts(*this);
}

TEditGlid::~TEditGlid() = default;

QWidget* TEditGlid::BuildGeneralTab() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  auto* coordinates = Named(new QGroupBox(QStringLiteral("座標(&A)"), page), "座標(&A)");
  auto* cl = new QHBoxLayout(coordinates);
  cartesian_ =
      Named(new QRadioButton(Utf8(forms::kCoordinateItems[0])), Utf8(forms::kCoordinateItems[0]));
  polar_ =
      Named(new QRadioButton(Utf8(forms::kCoordinateItems[1])), Utf8(forms::kCoordinateItems[1]));
  cl->addWidget(cartesian_);
  cl->addWidget(polar_);
  form->addRow(coordinates);
  kind_box_ = Named(new QGroupBox(QStringLiteral("種類(&T)"), page), "種類(&T)");
  auto* kl = new QHBoxLayout(kind_box_);
  for (int i = 0; i < 4; ++i) {
    kinds_[i] = Named(new QRadioButton(Utf8(forms::kKindItems[i])), Utf8(forms::kKindItems[i]));
    kl->addWidget(kinds_[i]);
    connect(kinds_[i], &QRadioButton::toggled, this, [this] { Changed(); });
  }
  form->addRow(kind_box_);
  connect(polar_, &QRadioButton::toggled, this, [this] { Changed(); });

  sensitivity_ =
      EditableList(page, QStringLiteral("マウスの感度(&M)"), Items(forms::kSensitivityItems));
  form->addRow(QStringLiteral("マウスの感度(&M)"), sensitivity_);
  zoom_ = Named(new QSpinBox(page), QStringLiteral("画面のズーム(&Z)"));
  zoom_->setRange(forms::kDialogZoomRange.low, forms::kDialogZoomRange.high);
  zoom_->setSingleStep(10);
  zoom_->setSuffix(QStringLiteral("%"));
  zoom_label_ = new QLabel(QStringLiteral("画面のズーム(&Z)"), page);
  zoom_label_->setBuddy(zoom_);
  form->addRow(zoom_label_, zoom_);
  zoom_label_->setVisible(form_.ZoomVisible());
  zoom_->setVisible(form_.ZoomVisible());

  auto* size_box = Named(new QGroupBox(QStringLiteral("画面のサイズ"), page), "画面のサイズ");
  auto* sl = new QFormLayout(size_box);
  width_ = Named(new QSpinBox(size_box), QStringLiteral("横(&X)"));
  height_ = Named(new QSpinBox(size_box), QStringLiteral("縦(&Y)"));
  for (QSpinBox* spin : {width_, height_}) {
    spin->setRange(forms::kSurfaceRange.low, forms::kSurfaceRange.high);
    spin->setSingleStep(10);
    connect(spin, &QSpinBox::valueChanged, this, [this] { Changed(); });
  }
  sl->addRow(QStringLiteral("横(&X)"), width_);
  sl->addRow(QStringLiteral("縦(&Y)"), height_);
  form->addRow(size_box);
  frame_ = Named(new QCheckBox(QStringLiteral("画面の外枠(&W)"), page), "画面の外枠(&W)");
  show_axes_ = Named(new QCheckBox(QStringLiteral("座標軸を表示(&Z)"), page), "座標軸を表示(&Z)");
  show_grid_ = Named(new QCheckBox(QStringLiteral("ｸﾞﾘｯﾄﾞを表示(&G)"), page), "ｸﾞﾘｯﾄﾞを表示(&G)");
  for (QCheckBox* box : {frame_, show_axes_, show_grid_}) {
    form->addRow(box);
    connect(box, &QCheckBox::toggled, this, [this] { Changed(); });
  }
  auto* font = Named(new QPushButton(QStringLiteral("座標軸のﾌｫﾝﾄ(&F)"), page), "座標軸のﾌｫﾝﾄ(&F)");
  connect(font, &QPushButton::clicked, this, [this] {
    std::optional<forms::AxisFontChoice> chosen;
    if (services_.choose_font) {
      chosen = services_.choose_font(this, form_.font);
    } else if (const std::optional<FontPick> f =
                   PickFont(this, {form_.font.name, form_.font.size, form_.font.style})) {
      chosen = form_.font;
      chosen->name = f->name;
      chosen->size = f->size;
      chosen->style = f->style;
    }
    if (chosen) {
      form_.font = *chosen;
      Changed();
    }
  });
  form->addRow(font);
  form->addRow(
      ColourButton(QStringLiteral("背景色(&C)"), &forms::CoordinateSystemForm::back_colour));
  connect(sensitivity_, &QComboBox::currentTextChanged, this, [this] { Changed(); });
  connect(zoom_, &QSpinBox::valueChanged, this, [this] { Changed(); });
  return page;
}

QWidget* TEditGlid::BuildAxisTab(bool y_axis) {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  AxisWidgets& w = axes_[y_axis ? 1 : 0];
  const QString tab = Utf8(forms::kCoordinateTabCaptions[y_axis ? 2 : 1]);
  w.automatic = Named(new QCheckBox(QStringLiteral("自動的に目盛を表示(&A)"), page),
                      tab + QStringLiteral(" 自動的に目盛を表示(&A)"));
  form->addRow(w.automatic);
  w.interval = EditableList(page, tab + QStringLiteral(" 目盛の間隔(&W)"),
                            y_axis ? Items(forms::kYIntervalItems) : Items(forms::kXIntervalItems));
  form->addRow(QStringLiteral("目盛の間隔(&W)"), w.interval);
  w.label_step =
      EditableList(page, tab + QStringLiteral(" 文字の振り方(&J)"), Items(forms::kLabelStepItems));
  form->addRow(QStringLiteral("文字の振り方(&J)"), w.label_step);
  w.style = Named(new QComboBox(page), tab + QStringLiteral(" 線のｽﾀｲﾙ(&T)"));
  w.style->addItems(Items(forms::kLineStyleItems));
  form->addRow(QStringLiteral("線のｽﾀｲﾙ(&T)"), w.style);
  w.width = EditableList(page, tab + QStringLiteral(" 線の太さ(&S)"), Items(forms::kWidthItems));
  form->addRow(QStringLiteral("線の太さ(&S)"), w.width);
  w.name = EditableList(page, tab + QStringLiteral(" 軸の名前(&N)"), Items(forms::kAxisNameItems));
  form->addRow(QStringLiteral("軸の名前(&N)"), w.name);
  w.colour = AxisColourButton(y_axis);
  form->addRow(w.colour);
  connect(w.automatic, &QCheckBox::toggled, this, [this] { Changed(); });
  for (QComboBox* box : {w.interval, w.label_step, w.width, w.name})
    connect(box, &QComboBox::currentTextChanged, this, [this] { Changed(); });
  connect(w.style, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  return page;
}

QWidget* TEditGlid::BuildGridTab() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  grid_width_ =
      EditableList(page, QStringLiteral("ｸﾞﾘｯﾄﾞ 線の太さ(&S)"), Items(forms::kWidthItems));
  grid_width_label_ = new QLabel(page);
  grid_width_label_->setBuddy(grid_width_);
  form->addRow(grid_width_label_, grid_width_);
  grid_style_ = Named(new QComboBox(page), QStringLiteral("ｸﾞﾘｯﾄﾞ 線のｽﾀｲﾙ(&T)"));
  grid_style_->addItems(Items(forms::kLineStyleItems));
  form->addRow(QStringLiteral("線のｽﾀｲﾙ(&T)"), grid_style_);
  grid_colour_ =
      ColourButton(QStringLiteral("線の色(&C)"), &forms::CoordinateSystemForm::grid_colour);
  form->addRow(grid_colour_);
  grid_points_ = Named(new QCheckBox(QStringLiteral("点で表示(&Z)"), page), "点で表示(&Z)");
  form->addRow(grid_points_);
  connect(grid_width_, &QComboBox::currentTextChanged, this, [this] { Changed(); });
  connect(grid_style_, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  connect(grid_points_, &QCheckBox::toggled, this, [this] { Changed(); });
  return page;
}

QWidget* TEditGlid::BuildPictureTab() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* form = new QFormLayout;
  picture_mode_ = Named(new QComboBox(page), QStringLiteral("表示(&V)"));
  picture_mode_->addItems(Items(forms::kPictureModeItems));
  form->addRow(QStringLiteral("表示(&V)"), picture_mode_);
  layout->addLayout(form);
  auto* row = new QHBoxLayout;
  auto* open = Named(new QPushButton(QStringLiteral("開く(&O)..."), page), "開く(&O)...");
  auto* clear = Named(new QPushButton(QStringLiteral("ｸﾘｱ(&C)"), page), "ｸﾘｱ(&C)");
  row->addWidget(open);
  row->addWidget(clear);
  row->addStretch(1);
  layout->addLayout(row);
  picture_view_ = Named(new QLabel(page), QStringLiteral("背景の図"));
  picture_view_->setFixedSize(200, 150);
  picture_view_->setAlignment(Qt::AlignCenter);
  picture_view_->setFrameShape(QFrame::Box);
  layout->addWidget(picture_view_);
  layout->addStretch(1);
  connect(open, &QPushButton::clicked, this, [this] { OpenPictureClick(); });
  connect(clear, &QPushButton::clicked, this, [this] { ClearPictureClick(); });
  connect(picture_mode_, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
  return page;
}

QWidget* TEditGlid::BuildLayoutTab() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  static const char* const kCaptions[forms::kLayoutValueCount] = {
      "横軸名の位置： 横", "横軸名の位置： 縦", "縦軸名の位置： 横",
      "縦軸名の位置： 縦", "原点の位置：",      "目盛の長さ：",
      "矢印の長さ： 横",   "矢印の長さ： 縦",   "点と文字の間隔："};
  for (int i = 0; i < forms::kLayoutValueCount; ++i) {
    const forms::IntRange range = forms::LayoutRange(static_cast<forms::LayoutValue>(i));
    layout_[i] = Named(new QSpinBox(page), QString::fromUtf8(kCaptions[i]));
    layout_[i]->setRange(range.low, range.high);
    form->addRow(QString::fromUtf8(kCaptions[i]), layout_[i]);
    connect(layout_[i], &QSpinBox::valueChanged, this, [this] { Changed(); });
  }
  point_zoom_ = Named(new QCheckBox(QStringLiteral("点の大きさを自動的に拡大(&Z)"), page),
                      "点の大きさを自動的に拡大(&Z)");
  form->addRow(point_zoom_);
  connect(point_zoom_, &QCheckBox::toggled, this, [this] { Changed(); });
  auto* row = new QHBoxLayout;
  auto* defaults = Named(new QPushButton(QStringLiteral("初期値(&I)"), page), "初期値(&I)");
  auto* styles = Named(new QPushButton(QStringLiteral("線ｽﾀｲﾙ(&S)"), page), "線ｽﾀｲﾙ(&S)");
  row->addWidget(defaults);
  row->addWidget(styles);
  form->addRow(row);
  form->addRow(new QLabel(QStringLiteral("変更は全画面に影響します．"), page));
  connect(defaults, &QPushButton::clicked, this, [this] { LayoutDefaultsClick(); });
  connect(styles, &QPushButton::clicked, this, [this] { LineStyleClick(); });
  return page;
}

QPushButton* TEditGlid::ColourButton(const QString& caption,
                                     ColorRef forms::CoordinateSystemForm::*member) {
  auto* button = Named(new QPushButton(caption, this), caption);
  connect(button, &QPushButton::clicked, this, [this, member] { ChooseColour(form_.*member); });
  colour_buttons_ << button;
  return button;
}

QPushButton* TEditGlid::AxisColourButton(bool y_axis) {
  const QString tab = Utf8(forms::kCoordinateTabCaptions[y_axis ? 2 : 1]);
  auto* button =
      Named(new QPushButton(QStringLiteral("色(&C)"), this), tab + QStringLiteral(" 色(&C)"));
  connect(button, &QPushButton::clicked, this,
          [this, y_axis] { ChooseColour((y_axis ? form_.y : form_.x).colour); });
  colour_buttons_ << button;
  return button;
}

void TEditGlid::ChooseColour(ColorRef& colour) {
  std::optional<ColorRef> chosen;
  if (services_.choose_colour) {
    chosen = services_.choose_colour(this, colour);
  } else {
    chosen = PickColour(this, colour);
  }
  if (!chosen) return;
  colour = *chosen;
  Changed();
}

void TEditGlid::PaintColourButtons() {
  auto swatch = [](QPushButton* button, ColorRef colour) {
    QPixmap pixmap(14, 14);
    pixmap.fill(ToQColor(colour));
    button->setIcon(QIcon(pixmap));
  };
  swatch(colour_buttons_[0], form_.back_colour);
  swatch(axes_[0].colour, form_.x.colour);
  swatch(axes_[1].colour, form_.y.colour);
  swatch(grid_colour_, form_.grid_colour);
}

void TEditGlid::ShowForm() {
  loading_ = true;
  polar_->setChecked(form_.polar);
  cartesian_->setChecked(!form_.polar);
  kinds_[std::clamp(form_.kind_item, 0, 3)]->setChecked(true);
  sensitivity_->setEditText(NumberText(form_.sensitivity));
  zoom_->setValue(form_.zoom);
  width_->setValue(form_.surface_width);
  height_->setValue(form_.surface_height);
  frame_->setChecked(form_.frame);
  show_axes_->setChecked(form_.show_axes);
  show_grid_->setChecked(form_.show_grid);
  for (int i = 0; i < 2; ++i) {
    const forms::AxisControls& a = i == 0 ? form_.x : form_.y;
    AxisWidgets& w = axes_[i];
    w.automatic->setChecked(a.automatic);
    w.interval->setEditText(NumberText(a.interval));
    w.label_step->setEditText(QString::number(a.label_step));
    w.style->setCurrentIndex(a.style);
    w.width->setEditText(QString::number(a.width));
    w.name->setEditText(Utf8(a.name));
  }
  grid_width_->setEditText(QString::number(form_.grid_width));
  grid_style_->setCurrentIndex(form_.grid_style);
  grid_points_->setChecked(form_.grid_as_points);
  picture_mode_->setCurrentIndex(form_.picture_mode);
  for (int i = 0; i < forms::kLayoutValueCount; ++i)
    layout_[i]->setValue(form_.layout[i]);
  point_zoom_->setChecked(form_.point_zoom);
  loading_ = false;
  UpdateRules();
}

void TEditGlid::ReadControls() {
  form_.polar = polar_->isChecked();
  for (int i = 0; i < 4; ++i)
    if (kinds_[i]->isChecked()) form_.kind_item = i;
  form_.sensitivity = ListValue(sensitivity_);
  form_.zoom = zoom_->value();
  form_.surface_width = width_->value();
  form_.surface_height = height_->value();
  form_.frame = frame_->isChecked();
  form_.show_axes = show_axes_->isChecked();
  form_.show_grid = show_grid_->isChecked();
  for (int i = 0; i < 2; ++i) {
    forms::AxisControls& a = i == 0 ? form_.x : form_.y;
    const AxisWidgets& w = axes_[i];
    a.automatic = w.automatic->isChecked();
    a.interval = ListValue(w.interval);
    a.label_step = ListInt(w.label_step);
    a.style = w.style->currentIndex();
    a.width = ListInt(w.width);
    a.name = w.name->currentText().toStdString();
  }
  form_.grid_width = ListInt(grid_width_);
  form_.grid_style = grid_style_->currentIndex();
  form_.grid_as_points = grid_points_->isChecked();
  form_.picture_mode = picture_mode_->currentIndex();
  for (int i = 0; i < forms::kLayoutValueCount; ++i)
    form_.layout[i] = layout_[i]->value();
  form_.point_zoom = point_zoom_->isChecked();
}

void TEditGlid::UpdateRules() {
  kind_box_->setEnabled(form_.KindEnabled());
  if (form_.polar) {
    // Polar shows "標準" in the disabled kind radio.
    const QSignalBlocker block(kinds_[0]);
    kinds_[0]->setChecked(true);
  }
  for (int i = 0; i < 2; ++i) {
    axes_[i].interval->setEnabled(form_.IntervalEnabled(i == 1));
    axes_[i].label_step->setEnabled(form_.LabelStepEnabled(i == 1));
  }
  grid_width_label_->setText(Utf8(form_.GridWidthCaption()));
  grid_width_->setAccessibleName(SpokenName(
      QStringLiteral("ｸﾞﾘｯﾄﾞ ") + Utf8(form_.GridWidthCaption()).remove(QLatin1Char('&'))));
  grid_colour_->setText(Utf8(form_.GridColourCaption()));
  grid_style_->setEnabled(form_.GridStyleEnabled());
  PaintColourButtons();
  if (form_.picture.empty()) {
    picture_view_->setPixmap(QPixmap());
    picture_view_->setText(Utf8(forms::kPictureModeItems[0]));
  } else {
    RgbImage image;
    std::string error;
    if (DecodeImage(form_.picture.bytes, image, error))
      picture_view_->setPixmap(QPixmap::fromImage(ToQImage(image))
                                   .scaled(picture_view_->size() - QSize(4, 4), Qt::KeepAspectRatio,
                                           Qt::SmoothTransformation));
  }
  preview_->update();
}

void TEditGlid::Changed() {
  if (loading_) return;
  ReadControls();
  UpdateRules();
}

void TEditGlid::SelectTab(forms::CoordinateTab tab) {
  tabs_->setCurrentIndex(static_cast<int>(tab));
}

QImage TEditGlid::PreviewImage() const {
  return preview_->Render();
}

void TEditGlid::PreviewClicked(int x, int y) {
  const render::ViewParams p =
      forms::PreviewParams(form_, preview_->width(), preview_->height(), nullptr);
  SelectTab(forms::PreviewTabAt(p.view, p.axes, x, y));
}

void TEditGlid::OpenPictureClick() {
  std::optional<QString> path;
  if (services_.choose_picture_file) {
    path = services_.choose_picture_file(this);
  } else {
    QFileDialog dialog(this, Utf8(forms::kPictureDialogTitle));
    dialog.setNameFilter(QStringLiteral(
        "すべてのﾌｧｲﾙ (*.bmp *.jpg *.jpeg *.png *.ico *.emf *.wmf);;すべてのﾌｧｲﾙ (*)"));
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    NameFileDialogParts(dialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      path = dialog.selectedFiles().front();
  }
  if (!path) return;
  QFile file(*path);
  std::optional<BackgroundPicture> picture;
  if (file.open(QIODevice::ReadOnly) && file.size() <= (64 << 20)) {
    const QByteArray content = file.readAll();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(content.data()),
                                              static_cast<std::size_t>(content.size()));
    picture = forms::PictureFromFile(bytes, [](std::span<const std::uint8_t> b) {
      forms::DecodedPicture d;
      const QImage image = QImage::fromData(b.data(), static_cast<int>(b.size()));
      if (!image.isNull() && image.width() <= kMaxImageSide && image.height() <= kMaxImageSide) {
        // Transparent parts (icons) show the white of a plain picture.
        QImage opaque(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter p(&opaque);
        p.drawImage(0, 0, image);
        p.end();
        d.image = FromQImage(opaque);
        d.ok = true;
      }
      return d;
    });
  }
  if (!picture) {
    const QString text = Utf8(forms::kPictureLoadFailedMessage);
    if (services_.show_error)
      services_.show_error(this, text);
    else
      QMessageBox::critical(this, QString(), text);
    return;
  }
  form_.SetPicture(std::move(*picture));
  ShowForm();
}

void TEditGlid::ClearPictureClick() {
  form_.ClearPicture();
  ShowForm();
}

void TEditGlid::LayoutDefaultsClick() {
  const QString question = Utf8(forms::kLayoutResetQuestion);
  const bool yes =
      services_.ask_yes_no ? services_.ask_yes_no(this, question) : AskYesNoBox(this, question);
  if (!yes) return;
  form_.ResetLayout();
  ShowForm();
}

void TEditGlid::LineStyleClick() {
  if (services_.edit_line_styles) services_.edit_line_styles(this);
  preview_->update();
}

QWidget* TEditGlid::control(const QString& caption) const {
  for (QWidget* w : findChildren<QWidget*>())
    if (w->accessibleName() == caption) return w;
  return nullptr;
}

void TEditGlid::done(int result) {
  if (result == QDialog::Accepted) ReadControls();
  RememberedPosition() = pos();
  QDialog::done(result);
}

bool EditCoordinateSystem(Screen& screen, UserSettings& settings, bool restricted,
                          const render::RenderOptions& render,
                          const CoordinateDialogServices& services, int tab, QWidget* parent) {
  forms::CoordinateSystemForm form(screen, settings, restricted);
  TEditGlid dialog(form, QString::fromStdString(screen.Title), render, services, parent);
  dialog.SelectTab(tab == 1   ? forms::CoordinateTab::kXAxis
                   : tab == 2 ? forms::CoordinateTab::kYAxis
                              : forms::CoordinateTab::kGeneral);
  if (!RememberedPosition()) {
    if (QScreen* desktop = dialog.screen()) {
      dialog.adjustSize();
      dialog.move(desktop->availableGeometry().center() - dialog.rect().center());
    }
  }
  if (dialog.exec() != QDialog::Accepted) return false;
  form.Apply(screen, settings);
  return true;
}

}  // namespace qzarn::ui
