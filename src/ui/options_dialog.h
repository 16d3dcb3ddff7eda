#pragma once
// The options dialog (ｵﾌﾟｼｮﾝ): six tabs of program-wide settings, shown from an
// OptionsForm; opened from the print dialog it shows the "印刷" tab alone.

// The core headers come before Qt's (see document_window.h).
#include "forms/options_form.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace qzarn::ui {

struct OptionsDialogServices {
  std::function<bool(QWidget*, const QString&)> ask_yes_no;
  std::function<void(QWidget*, const QString&)> show_error;
  std::function<std::optional<ColorRef>(QWidget*, ColorRef)> choose_colour;
  std::function<std::optional<forms::OptionsFont>(QWidget*, const forms::OptionsFont&)> choose_font;
};

class TdlgOption final : public QDialog {
  Q_OBJECT

 public:
  TdlgOption(forms::OptionsForm& form, OptionsDialogServices services, QWidget* parent = nullptr);

  forms::OptionsForm& form() { return form_; }
  QTabWidget& tabs() { return *tabs_; }
  QWidget* control(const QString& caption) const;
  void ResetNewTabClick();
  // The zoom box after Enter or leaving it.
  void NormaliseZoom();

 protected:
  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* BuildGeneralTab();
  QWidget* BuildNewTab();
  QWidget* BuildEditTab();
  QWidget* BuildPrintTab();
  QWidget* BuildSaveTab();
  QWidget* BuildFigureTab();
  QCheckBox* Check(QWidget* page, const char* caption, bool forms::OptionsForm::*member);
  QPushButton* ColourButton(QWidget* page, const char* caption,
                            ColorRef forms::OptionsForm::*member);
  void ShowForm();
  void ReadControls();
  void UpdateRules();

  forms::OptionsForm& form_;
  OptionsDialogServices services_;
  bool loading_ = false;
  QTabWidget* tabs_ = nullptr;
  QList<std::pair<QCheckBox*, bool forms::OptionsForm::*>> checks_;
  QList<std::pair<QPushButton*, ColorRef forms::OptionsForm::*>> colours_;
  QCheckBox* file_use_ = nullptr;
  QSpinBox* file_max_ = nullptr;
  QComboBox* palette_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QComboBox* clip_ = nullptr;
  QComboBox* screen_x_ = nullptr;
  QComboBox* screen_y_ = nullptr;
  QLabel* font_label_ = nullptr;
  QCheckBox* jpeg_ = nullptr;
  QSlider* quality_ = nullptr;
  QLabel* quality_low_ = nullptr;
  QLabel* quality_high_ = nullptr;
  QDoubleSpinBox* tangent_ = nullptr;
  QSpinBox* precision_ = nullptr;
};

// AjustOptionClick: runs the dialog on the settings (the print tab alone when
// print_only). Returns whether the user confirmed; `tangent_changed` tells the
// caller to make every open screen resample its explicit functions.
bool ShowOptions(UserSettings& settings, bool print_only, const OptionsDialogServices& services,
                 QWidget* parent, bool* tangent_changed = nullptr);

}  // namespace qzarn::ui
