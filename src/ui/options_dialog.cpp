#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/dialog_choosers.h"
#include "ui/help_window.h"

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Plain(const QString& caption) {
  QString plain = caption;
  return plain.remove(QLatin1Char('&'));
}

template <std::size_t N>
QStringList Items(const std::array<std::string_view, N>& items) {
  QStringList list;
  for (std::string_view s : items)
    list << Utf8(s);
  return list;
}

QComboBox* EditableList(QWidget* page, const QString& caption, const QStringList& items) {
  auto* box = new QComboBox(page);
  box->setEditable(true);
  box->addItems(items);
  box->setAccessibleName(SpokenName(Plain(caption)));
  box->setInsertPolicy(QComboBox::NoInsert);
  return box;
}

}  // namespace

TdlgOption::TdlgOption(forms::OptionsForm& form, OptionsDialogServices services, QWidget* parent)
    : QDialog(parent), form_(form), services_(std::move(services)) {
  setObjectName(QStringLiteral("dlgOption"));
  setWindowTitle(Utf8(forms::kOptionsCaption));
  setAccessibleName(SpokenName(Utf8(forms::kOptionsCaption)));
  tabs_ = new QTabWidget(this);
  tabs_->setAccessibleName(QStringLiteral("ページ"));
  QWidget* pages[] = {BuildGeneralTab(), BuildNewTab(),  BuildEditTab(),
                      BuildPrintTab(),   BuildSaveTab(), BuildFigureTab()};
  for (int i = 0; i < 6; ++i) {
    tabs_->addTab(pages[i], Utf8(forms::kOptionsTabCaptions[i]));
    tabs_->setTabVisible(i, form_.TabVisible(static_cast<forms::OptionsTab>(i)));
  }
  tabs_->setCurrentIndex(form_.print_only() ? static_cast<int>(forms::OptionsTab::kPrint) : 0);

  auto* buttons = new QDialogButtonBox(this);
  auto add = [&](const QString& caption, QDialogButtonBox::ButtonRole role) {
    QPushButton* b = buttons->addButton(caption, role);
    b->setAccessibleName(SpokenName(Plain(caption)));
    return b;
  };
  add(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
  add(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
  add(QStringLiteral("ﾍﾙﾌﾟ(&H)"), QDialogButtonBox::HelpRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::helpRequested, this,
          [] { ShowHelpTopic(forms::kOptionsHelpContext); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons);
  ShowForm();
  NameParts(*this);
}

QCheckBox* TdlgOption::Check(QWidget* page, const char* caption, bool forms::OptionsForm::*member) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), page);
  box->setAccessibleName(SpokenName(Plain(QString::fromUtf8(caption))));
  checks_.append({box, member});
  connect(box, &QCheckBox::toggled, this, [this] {
    if (loading_) return;
    ReadControls();
    UpdateRules();
  });
  return box;
}

QPushButton* TdlgOption::ColourButton(QWidget* page, const char* caption,
                                      ColorRef forms::OptionsForm::*member) {
  auto* button = new QPushButton(QString::fromUtf8(caption), page);
  button->setAccessibleName(SpokenName(Plain(QString::fromUtf8(caption))));
  colours_.append({button, member});
  connect(button, &QPushButton::clicked, this, [this, member] {
    std::optional<ColorRef> chosen;
    if (services_.choose_colour) {
      chosen = services_.choose_colour(this, form_.*member);
    } else {
      chosen = PickColour(this, form_.*member);
    }
    if (!chosen) return;
    form_.*member = *chosen;
    UpdateRules();
  });
  return button;
}

QWidget* TdlgOption::BuildGeneralTab() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  file_use_ = Check(page, "最近使ったﾌｧｲﾙの一覧(&F)", &forms::OptionsForm::file_use);
  file_max_ = new QSpinBox(page);
  file_max_->setRange(0, 9);
  file_max_->setAccessibleName(QStringLiteral("個まで表示"));
  auto* row = new QHBoxLayout;
  row->addWidget(file_use_);
  row->addWidget(file_max_);
  row->addWidget(new QLabel(QStringLiteral("個まで表示"), page));
  row->addStretch(1);
  form->addRow(row);
  connect(file_max_, &QSpinBox::valueChanged, this, [this](int v) {
    if (loading_) return;
    ReadControls();  // what was typed elsewhere stays
    form_.SetFileMax(v);
    ShowForm();
  });
  palette_ = new QComboBox(page);
  palette_->addItems(Items(forms::kPaletteItems));
  palette_->setAccessibleName(QStringLiteral("起動時に表示する変数ﾊﾟﾚｯﾄ(P)"));
  auto* palette_label = new QLabel(QStringLiteral("起動時に表示する変数ﾊﾟﾚｯﾄ(&P)"), page);
  palette_label->setBuddy(palette_);
  form->addRow(palette_label, palette_);
  form->addRow(
      Check(page, "ｳｨﾝﾄﾞｳ整列時に画面を中央に移動(&W)", &forms::OptionsForm::arrange_center));
  form->addRow(Check(page, "起動時に画面を最大化(&M)", &forms::OptionsForm::window_maximize));
  form->addRow(Check(page, "ロード時に画面を中央に移動(&L)", &forms::OptionsForm::move_center));
  return page;
}

QWidget* TdlgOption::BuildNewTab() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  zoom_ = EditableList(page, QStringLiteral("画面のｽﾞｰﾑ(&W)"), Items(forms::kZoomItems));
  form->addRow(QStringLiteral("画面のｽﾞｰﾑ(&W)"), zoom_);
  clip_ = EditableList(page, QStringLiteral("ﾏｳｽの感度(&M)"), Items(forms::kClipItems));
  form->addRow(QStringLiteral("ﾏｳｽの感度(&M)"), clip_);
  // The combo boxes keep the focus and hand keys to their line edits
  // directly, past any filter there: the keys are caught on the boxes.
  for (QComboBox* box : {zoom_, clip_})
    box->installEventFilter(this);
  connect(zoom_->lineEdit(), &QLineEdit::returnPressed, this, [this] { NormaliseZoom(); });
  connect(zoom_, &QComboBox::activated, this, [this] { NormaliseZoom(); });
  form->addRow(new QLabel(QStringLiteral("画面サイズ："), page));
  screen_x_ = EditableList(page, QStringLiteral("横(&X)"), Items(forms::kScreenSizeItems));
  screen_y_ = EditableList(page, QStringLiteral("縦(&Y)"), Items(forms::kScreenSizeItems));
  form->addRow(QStringLiteral("横(&X)"), screen_x_);
  form->addRow(QStringLiteral("縦(&Y)"), screen_y_);
  form->addRow(Check(page, "座標軸を表示(&Z)", &forms::OptionsForm::init_axis));
  form->addRow(Check(page, "ｸﾞﾘｯﾄﾞを表示(&G)", &forms::OptionsForm::init_grid));
  form->addRow(Check(page, "ｸﾞﾘｯﾄﾞを点で表示(&P)", &forms::OptionsForm::init_grid_point));
  auto* colours = new QHBoxLayout;
  colours->addWidget(ColourButton(page, "背景(&B)", &forms::OptionsForm::back_colour));
  colours->addWidget(ColourButton(page, "座標軸(&A)", &forms::OptionsForm::axis_colour));
  colours->addWidget(ColourButton(page, "ｸﾞﾘｯﾄﾞ(&R)", &forms::OptionsForm::grid_colour));
  form->addRow(colours);
  auto* font_row = new QHBoxLayout;
  auto* font = new QPushButton(QStringLiteral("ﾌｫﾝﾄ(&F)"), page);
  font->setAccessibleName(QStringLiteral("ﾌｫﾝﾄ(F)"));
  font_label_ = new QLabel(page);
  font_row->addWidget(font);
  font_row->addWidget(font_label_, 1);
  form->addRow(font_row);
  connect(font, &QPushButton::clicked, this, [this] {
    std::optional<forms::OptionsFont> chosen;
    if (services_.choose_font) {
      chosen = services_.choose_font(this, form_.font);
    } else if (const std::optional<FontPick> f =
                   PickFont(this, {form_.font.name, form_.font.size, form_.font.style})) {
      chosen = form_.font;
      chosen->name = f->name;
      chosen->size = f->size;
      chosen->style = f->style;
    }
    if (!chosen) return;
    ReadControls();
    form_.font = *chosen;
    UpdateRules();
  });
  auto* defaults = new QPushButton(QStringLiteral("初期値(&I)"), page);
  defaults->setAccessibleName(QStringLiteral("初期値(I)"));
  form->addRow(defaults);
  connect(defaults, &QPushButton::clicked, this, [this] { ResetNewTabClick(); });
  return page;
}

QWidget* TdlgOption::BuildEditTab() {
  auto* page = new QWidget;
  auto* form = new QVBoxLayout(page);
  form->addWidget(Check(page, "ｵﾌﾞｼﾞｪｸﾄを画面内で編集(&E)", &forms::OptionsForm::ole_mode));
  form->addWidget(
      Check(page, "選択した図形名をﾎﾟｯﾌﾟｱｯﾌﾟ表示(&P)", &forms::OptionsForm::hint_popup));
  form->addWidget(
      Check(page, "直前に編集した図形の属性を継承(&A)", &forms::OptionsForm::cont_attrib));
  form->addWidget(
      Check(page, "ドラッグ・アンド・ドロップ編集を行う(&D)", &forms::OptionsForm::drag_drop));
  form->addWidget(Check(page, "選択した図形の色を反転(&R)", &forms::OptionsForm::sel_color_rev));
  form->addWidget(Check(page, "表示中の図形だけ探索(&F)", &forms::OptionsForm::find_disp));
  form->addStretch(1);
  return page;
}

QWidget* TdlgOption::BuildPrintTab() {
  auto* page = new QWidget;
  auto* form = new QVBoxLayout(page);
  form->addWidget(Check(page, "ﾌﾟﾘﾝﾀの精度にあわせて線の太さを拡大(&Z)",
                        &forms::OptionsForm::print_line_width));
  form->addWidget(Check(page, "すべての図形を黒色で印刷(&B)", &forms::OptionsForm::print_black));
  form->addWidget(Check(page, "外枠を印刷(&W)", &forms::OptionsForm::print_box));
  form->addStretch(1);
  return page;
}

QWidget* TdlgOption::BuildSaveTab() {
  auto* page = new QWidget;
  auto* form = new QVBoxLayout(page);
  jpeg_ = Check(page, "座標系の図をJPEG形式で保存(&J)", &forms::OptionsForm::back_bitmap);
  form->addWidget(jpeg_);
  auto* row = new QHBoxLayout;
  quality_low_ = new QLabel(QStringLiteral("画質 低／ﾌｧｲﾙ 小"), page);
  quality_high_ = new QLabel(QStringLiteral("画質 高／ﾌｧｲﾙ 大"), page);
  quality_ = new QSlider(Qt::Horizontal, page);
  quality_->setRange(1, 100);
  quality_->setTickInterval(10);
  quality_->setTickPosition(QSlider::TicksBelow);
  quality_->setAccessibleName(QStringLiteral("画質"));
  row->addWidget(quality_low_);
  row->addWidget(quality_, 1);
  row->addWidget(quality_high_);
  form->addLayout(row);
  connect(quality_, &QSlider::valueChanged, this, [this](int v) {
    if (!loading_) form_.quality = v;
  });
  form->addWidget(Check(page, "圧縮してファイルを保存(&C)", &forms::OptionsForm::compress));
  form->addStretch(1);
  return page;
}

QWidget* TdlgOption::BuildFigureTab() {
  auto* page = new QWidget;
  auto* form = new QFormLayout(page);
  tangent_ = new QDoubleSpinBox(page);
  tangent_->setRange(1, 10000);
  tangent_->setSingleStep(1);
  tangent_->setDecimals(4);
  tangent_->setLocale(QLocale::c());
  tangent_->setAccessibleName(QStringLiteral("陽関数で不連続点とみなす値(Y)"));
  auto* tangent_label = new QLabel(QStringLiteral("陽関数で不連続点とみなす値(&Y)"), page);
  tangent_label->setBuddy(tangent_);
  form->addRow(tangent_label, tangent_);
  precision_ = new QSpinBox(page);
  precision_->setRange(0, 10);
  precision_->setAccessibleName(QStringLiteral("座標の表示小数(D)"));
  auto* precision_label = new QLabel(QStringLiteral("座標の表示小数(&D)"), page);
  precision_label->setBuddy(precision_);
  form->addRow(precision_label, precision_);
  form->addRow(Check(page, "点の大きさを画面に合わせて拡大(&P)", &forms::OptionsForm::point_zoom));
  return page;
}

void TdlgOption::ShowForm() {
  loading_ = true;
  for (auto& [box, member] : checks_)
    box->setChecked(form_.*member);
  file_max_->setValue(form_.file_max);
  palette_->setCurrentIndex(form_.palette);
  zoom_->setEditText(QString::fromStdString(form_.zoom_text));
  clip_->setEditText(QString::fromStdString(form_.clip_text));
  screen_x_->setEditText(QString::fromStdString(form_.screen_x_text));
  screen_y_->setEditText(QString::fromStdString(form_.screen_y_text));
  quality_->setValue(form_.quality);
  tangent_->setValue(form_.tangent);
  precision_->setValue(form_.axis_precision);
  loading_ = false;
  UpdateRules();
}

void TdlgOption::ReadControls() {
  for (auto& [box, member] : checks_)
    form_.*member = box->isChecked();
  form_.file_max = file_max_->value();
  form_.palette = palette_->currentIndex();
  form_.zoom_text = zoom_->currentText().toStdString();
  form_.clip_text = clip_->currentText().toStdString();
  form_.screen_x_text = screen_x_->currentText().toStdString();
  form_.screen_y_text = screen_y_->currentText().toStdString();
  form_.quality = quality_->value();
  form_.tangent = tangent_->value();
  form_.axis_precision = precision_->value();
}

void TdlgOption::UpdateRules() {
  file_max_->setEnabled(form_.FileMaxEnabled());
  for (QWidget* w : {static_cast<QWidget*>(quality_), static_cast<QWidget*>(quality_low_),
                     static_cast<QWidget*>(quality_high_)})
    w->setEnabled(form_.QualityEnabled());
  for (auto& [button, member] : colours_) {
    QPixmap swatch(14, 14);
    swatch.fill(ToQColor(form_.*member));
    button->setIcon(QIcon(swatch));
  }
  font_label_->setText(QString::fromStdString(form_.font.name) + QStringLiteral(" ") +
                       QString::number(form_.font.size));
}

void TdlgOption::NormaliseZoom() {
  zoom_->setEditText(Utf8(forms::OptionsZoomText(zoom_->currentText().toStdString())));
  zoom_->lineEdit()->selectAll();
}

void TdlgOption::ResetNewTabClick() {
  const QString question = Utf8(forms::kOptionsResetQuestion);
  const bool yes =
      services_.ask_yes_no ? services_.ask_yes_no(this, question) : AskYesNoBox(this, question);
  if (!yes) return;
  ReadControls();
  form_.ResetNewTab();
  ShowForm();
}

bool TdlgOption::eventFilter(QObject* watched, QEvent* event) {
  const bool zoom = watched == zoom_;
  if (zoom || watched == clip_) {
    if (event->type() == QEvent::KeyPress) {
      const QString text = static_cast<QKeyEvent*>(event)->text();
      // Keys that type nothing (arrows, Enter) pass; typed characters must be digits or ".".
      for (QChar c : text)
        if (!forms::OptionsNumberKeyAccepted(c.unicode())) return true;
    } else if (event->type() == QEvent::FocusOut && zoom) {
      NormaliseZoom();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TdlgOption::done(int result) {
  if (result == QDialog::Accepted) {
    ReadControls();
    if (const std::optional<forms::OptionsError> error = form_.Validate()) {
      QComboBox* field = error->field == forms::OptionsField::kScreenX ? screen_x_ : screen_y_;
      tabs_->setCurrentIndex(static_cast<int>(forms::OptionsTab::kNew));
      if (services_.show_error)
        services_.show_error(this, Utf8(error->message));
      else
        QMessageBox::critical(this, QString(), Utf8(error->message));
      field->setFocus();
      field->lineEdit()->selectAll();
      return;
    }
  }
  QDialog::done(result);
}

QWidget* TdlgOption::control(const QString& caption) const {
  for (QWidget* w : findChildren<QWidget*>())
    if (w->accessibleName() == caption) return w;
  return nullptr;
}

bool ShowOptions(UserSettings& settings, bool print_only, const OptionsDialogServices& services,
                 QWidget* parent, bool* tangent_changed) {
  forms::OptionsForm form(settings, print_only);
  TdlgOption dialog(form, services, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const bool changed = form.Apply(settings);
  if (tangent_changed != nullptr) *tangent_changed = changed;
  return true;
}

}  // namespace qzarn::ui
