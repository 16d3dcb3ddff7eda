// The eight attribute controls of the tool bars: they show the selected
// figure's colours, size, style, fill and font, and a choice in one of them is
// written into the figure at once (one undo step). What each control means
// for a figure type is decided in forms::ShowFigureAttributes.
#include "forms/figure_attributes.h"
#include "platform/text_encoding.h"
#include "shell/main_window.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

namespace qzarn::shell {

namespace {

using forms::AttributeControl;

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QColor ColourOf(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t BgrOf(const QColor& c) {
  return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
         static_cast<std::uint32_t>(c.blue()) << 16;
}

struct NamedColour {
  const char* name;
  std::uint32_t bgr;
};
// The sixteen colours every colour list offers (stored 0x00BBGGRR).
constexpr NamedColour kColours[] = {
    {"黒", 0x000000},   {"白", 0xFFFFFF},   {"赤", 0x0000FF},   {"緑", 0x008000},
    {"青", 0xFF0000},   {"黄", 0x00FFFF},   {"水色", 0xFFFF00}, {"赤紫", 0xFF00FF},
    {"灰色", 0x808080}, {"銀色", 0xC0C0C0}, {"茶", 0x000080},   {"ｵﾘｰﾌﾞ", 0x008080},
    {"紺", 0x800000},   {"紫", 0x800080},   {"青緑", 0x808000}, {"黄緑", 0x00FF00},
};
const char* const kOtherColour = "その他...";
const char* const kCustomColour = "任意の色";
constexpr int kSwatch = 12;

QIcon Swatch(std::uint32_t bgr) {
  QPixmap pixmap(kSwatch, kSwatch);
  pixmap.fill(ColourOf(bgr));
  QPainter painter(&pixmap);
  painter.setPen(Qt::darkGray);
  painter.drawRect(0, 0, kSwatch - 1, kSwatch - 1);
  return QIcon(pixmap);
}

bool IsColour(AttributeControl c) {
  return c == AttributeControl::kColour || c == AttributeControl::kFontColour ||
         c == AttributeControl::kSecondColour;
}
bool IsSize(AttributeControl c) {
  return c == AttributeControl::kSize || c == AttributeControl::kFontSize;
}

// Selects the colour in a colour list; a colour not in the list takes the
// custom entry just before "その他...".
void ShowColour(QComboBox& combo, std::uint32_t bgr) {
  const int found = combo.findData(QVariant::fromValue(bgr));
  if (found >= 0 && combo.itemText(found) != QString::fromUtf8(kCustomColour)) {
    combo.setCurrentIndex(found);
    return;
  }
  int custom = combo.findText(QString::fromUtf8(kCustomColour));
  if (custom < 0) {
    custom = combo.count() - 1;
    combo.insertItem(custom, QString::fromUtf8(kCustomColour));
  }
  combo.setItemIcon(custom, Swatch(bgr));
  combo.setItemData(custom, QVariant::fromValue(bgr));
  combo.setCurrentIndex(custom);
}

std::optional<std::uint32_t> ColourIn(const QComboBox& combo) {
  const QVariant v = combo.currentData();
  if (combo.currentIndex() < 0 || !v.isValid()) return std::nullopt;
  return v.value<std::uint32_t>();
}

std::optional<std::int32_t> IndexIn(const QComboBox& combo) {
  if (combo.currentIndex() < 0) return std::nullopt;
  return combo.currentIndex();
}

}  // namespace

QComboBox* MainWindow::attributeControl(forms::AttributeControl control) const {
  return attribute_controls_[static_cast<std::size_t>(control)].data();
}

QWidget* MainWindow::MakeAttributeControl(forms::AttributeControl control, int width) {
  QComboBox* combo = nullptr;
  if (control == AttributeControl::kFontName) {
    auto* fonts = new QFontComboBox;
    fonts->setEditable(true);
    combo = fonts;
  } else {
    combo = new QComboBox;
  }
  combo->setFixedWidth(width + 20);
  combo->setEnabled(false);
  combo->setInsertPolicy(QComboBox::NoInsert);
  const auto apply = [this] { ApplyFigureAttributes(); };
  if (IsColour(control)) {
    for (const NamedColour& c : kColours)
      combo->addItem(Swatch(c.bgr), QString::fromUtf8(c.name), QVariant::fromValue(c.bgr));
    combo->addItem(QString::fromUtf8(kOtherColour));
    connect(combo, &QComboBox::activated, this, [this, combo, control](int index) {
      if (index == combo->count() - 1) {
        // The last entry asks for any colour, starting from the figure's;
        // cancelling shows the figure's colour again.
        const forms::FigureAttributes& a = shown_attributes_;
        const std::optional<std::uint32_t> now = control == AttributeControl::kColour ? a.colour
                                                 : control == AttributeControl::kFontColour
                                                     ? a.font_colour
                                                     : a.second_colour;
        const QColor chosen =
            QColorDialog::getColor(ColourOf(now.value_or(0)), this, QString::fromUtf8("色の設定"));
        if (!chosen.isValid()) {
          ShowFigureAttributes();
          return;
        }
        const QSignalBlocker quiet(combo);
        ShowColour(*combo, BgrOf(chosen));
      }
      ApplyFigureAttributes();
    });
  } else if (IsSize(control)) {
    combo->setEditable(true);
    const char* sizes = control == AttributeControl::kSize
                            ? "1 2 3 4 5 6 8 10 15 20 30 50"
                            : "8 9 10 11 12 14 16 18 20 24 28 36 48 72";
    combo->addItems(QString::fromLatin1(sizes).split(QLatin1Char(' ')));
    connect(combo, &QComboBox::activated, this, apply);
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this, apply);
  } else if (control == AttributeControl::kFontName) {
    connect(combo, &QComboBox::activated, this, apply);
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this, apply);
  } else {
    const auto items = control == AttributeControl::kStyle
                           ? std::span<const std::string_view>(forms::kAttributeStyles)
                           : std::span<const std::string_view>(forms::kAttributeFills);
    for (std::string_view item : items)
      combo->addItem(Utf8(item));
    connect(combo, &QComboBox::activated, this, apply);
  }
  attribute_controls_[static_cast<std::size_t>(control)] = combo;
  // The controls show the figure selected now, not the blank they start with.
  QMetaObject::invokeMethod(
      this, [this] { ShowFigureAttributes(); }, Qt::QueuedConnection);
  return combo;
}

void MainWindow::ShowFigureAttributes() {
  ui::DocumentWindow* w = activeDocument();
  const std::optional<FigureRecord> selected =
      w != nullptr && !w->closed() ? w->SelectedFigureCopy() : std::nullopt;
  shown_attributes_ = forms::ShowFigureAttributes(selected ? &*selected : nullptr);
  const forms::FigureAttributes& a = shown_attributes_;
  for (int i = 0; i < forms::kAttributeControlCount; ++i) {
    const auto control = static_cast<AttributeControl>(i);
    QComboBox* combo = attributeControl(control);
    if (combo == nullptr) continue;
    // A field being typed in is not overwritten by a refresh.
    if (combo->isEditable() && combo->lineEdit()->hasFocus() && combo->isEnabled()) continue;
    const QSignalBlocker quiet(combo);
    combo->setEnabled(a.is_enabled(control));
    combo->setCurrentIndex(-1);
    if (combo->isEditable()) combo->setEditText(QString());
    if (!a.is_enabled(control)) continue;
    switch (control) {
      case AttributeControl::kColour:
        if (a.colour) ShowColour(*combo, *a.colour);
        break;
      case AttributeControl::kFontColour:
        if (a.font_colour) ShowColour(*combo, *a.font_colour);
        break;
      case AttributeControl::kSecondColour:
        if (a.second_colour) ShowColour(*combo, *a.second_colour);
        break;
      case AttributeControl::kSize:
        if (a.size) combo->setEditText(QString::number(*a.size));
        break;
      case AttributeControl::kFontSize:
        if (a.font_size) combo->setEditText(QString::number(*a.font_size));
        break;
      case AttributeControl::kStyle:
        if (a.style) combo->setCurrentIndex(*a.style);
        break;
      case AttributeControl::kFill:
        if (a.fill) combo->setCurrentIndex(*a.fill);
        break;
      case AttributeControl::kFontName:
        if (a.font_name) combo->setEditText(Utf8(cp932_to_utf8(*a.font_name)));
        break;
    }
  }
  if (QComboBox* second = attributeControl(AttributeControl::kSecondColour))
    second->setToolTip(Utf8(a.second_hint));
}

bool MainWindow::ApplyFigureAttributes() {
  ui::DocumentWindow* w = activeDocument();
  if (w == nullptr || w->closed()) return false;
  forms::FigureAttributes controls;
  controls.enabled = shown_attributes_.enabled;
  // A size field still showing the stored value passes unchanged (even a
  // stored value outside 1..99); what the user typed must be 1..99.
  const auto size_in = [this](QComboBox* combo, const std::optional<std::int32_t>& shown,
                              std::optional<std::int32_t>& into) {
    if (combo == nullptr || combo->currentText().trimmed().isEmpty()) return true;
    if (shown && combo->currentText().trimmed() == QString::number(*shown)) {
      into = shown;
      return true;
    }
    into = forms::ParseAttributeSize(combo->currentText().toStdString());
    if (into) return true;
    // One Enter reaches both the field and the list: one message per entry.
    if (refused_size_ != combo->currentText())
      questions_->ShowError(this, Utf8(forms::kAttributeSizeMessage));
    refused_size_ = combo->currentText();
    return false;
  };
  if (!size_in(attributeControl(AttributeControl::kSize), shown_attributes_.size, controls.size) ||
      !size_in(attributeControl(AttributeControl::kFontSize), shown_attributes_.font_size,
               controls.font_size)) {
    ShowFigureAttributes();
    return false;
  }
  if (QComboBox* c = attributeControl(AttributeControl::kColour)) controls.colour = ColourIn(*c);
  if (QComboBox* c = attributeControl(AttributeControl::kFontColour))
    controls.font_colour = ColourIn(*c);
  if (QComboBox* c = attributeControl(AttributeControl::kSecondColour))
    controls.second_colour = ColourIn(*c);
  if (QComboBox* c = attributeControl(AttributeControl::kStyle)) controls.style = IndexIn(*c);
  if (QComboBox* c = attributeControl(AttributeControl::kFill)) controls.fill = IndexIn(*c);
  if (QComboBox* c = attributeControl(AttributeControl::kFontName);
      c != nullptr && !c->currentText().trimmed().isEmpty())
    controls.font_name = utf8_to_cp932(c->currentText().trimmed().toStdString()).bytes;
  refused_size_.clear();
  const bool changed = w->ApplyFigureAttributes(controls);
  ShowFigureAttributes();
  return changed;
}

}  // namespace qzarn::shell
