#pragma once
// The coordinate-system dialog (座標系): shows a CoordinateSystemForm on six tabs
// with a live preview, and hands every rule to the form. The services it needs
// from outside (questions, choosers, the line style editor) come in as
// CoordinateDialogServices, so tests answer them without message boxes.

// The core headers come before Qt's (see document_window.h).
#include "forms/coordinate_system_form.h"
#include "render/draw_context.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace qzarn::ui {

struct CoordinateDialogServices {
  // A question with Yes and No; true for Yes. Empty: a message box.
  std::function<bool(QWidget*, const QString&)> ask_yes_no;
  // A failure the user must see. Empty: a message box.
  std::function<void(QWidget*, const QString&)> show_error;
  // The colour chooser; nothing when cancelled. Empty: the toolkit's chooser.
  std::function<std::optional<ColorRef>(QWidget*, ColorRef)> choose_colour;
  // The font chooser for the axis font; nothing when cancelled.
  std::function<std::optional<forms::AxisFontChoice>(QWidget*, const forms::AxisFontChoice&)>
      choose_font;
  // The picture file to open; nothing when cancelled.
  std::function<std::optional<QString>(QWidget*)> choose_picture_file;
  // "線ｽﾀｲﾙ(&S)": the line style editor (its own OK stores the styles).
  std::function<void(QWidget*)> edit_line_styles;
};

class CoordinatePreview;

class TEditGlid final : public QDialog {
  Q_OBJECT

 public:
  // `render` gives the line styles and fonts of the preview; its layout is the
  // dialog's own.
  TEditGlid(forms::CoordinateSystemForm& form, const QString& screen_caption,
            const render::RenderOptions& render, CoordinateDialogServices services,
            QWidget* parent = nullptr);
  ~TEditGlid() override;

  forms::CoordinateSystemForm& form() { return form_; }
  QTabWidget& tabs() { return *tabs_; }
  void SelectTab(forms::CoordinateTab tab);
  // The preview as it is drawn now.
  QImage PreviewImage() const;
  // A click in the preview at surface pixel (x, y).
  void PreviewClicked(int x, int y);
  // Buttons and choosers, callable from tests.
  void OpenPictureClick();
  void ClearPictureClick();
  void LayoutDefaultsClick();
  void LineStyleClick();
  // Widgets by their accessible name (the caption), for tests.
  QWidget* control(const QString& caption) const;

 protected:
  void done(int result) override;

 private:
  QWidget* BuildGeneralTab();
  QWidget* BuildAxisTab(bool y_axis);
  QWidget* BuildGridTab();
  QWidget* BuildPictureTab();
  QWidget* BuildLayoutTab();
  // Form -> controls (opening, resets), and controls -> form on every change.
  void ShowForm();
  void ReadControls();
  void UpdateRules();
  void Changed();
  void ChooseColour(ColorRef& colour);
  QPushButton* ColourButton(const QString& caption, ColorRef forms::CoordinateSystemForm::*member);
  QPushButton* AxisColourButton(bool y_axis);
  void PaintColourButtons();

  forms::CoordinateSystemForm& form_;
  const render::RenderOptions& render_;
  CoordinateDialogServices services_;
  bool loading_ = false;

  QTabWidget* tabs_ = nullptr;
  CoordinatePreview* preview_ = nullptr;
  // 全体
  QRadioButton* cartesian_ = nullptr;
  QRadioButton* polar_ = nullptr;
  QGroupBox* kind_box_ = nullptr;
  QRadioButton* kinds_[4] = {};
  QComboBox* sensitivity_ = nullptr;
  QSpinBox* zoom_ = nullptr;
  QLabel* zoom_label_ = nullptr;
  QSpinBox* width_ = nullptr;
  QSpinBox* height_ = nullptr;
  QCheckBox* frame_ = nullptr;
  QCheckBox* show_axes_ = nullptr;
  QCheckBox* show_grid_ = nullptr;
  // X軸, Ｙ軸 (index 0 X, 1 Y)
  struct AxisWidgets {
    QComboBox* interval = nullptr;
    QComboBox* style = nullptr;
    QComboBox* width = nullptr;
    QComboBox* name = nullptr;
    QComboBox* label_step = nullptr;
    QCheckBox* automatic = nullptr;
    QPushButton* colour = nullptr;
  } axes_[2];
  // ｸﾞﾘｯﾄﾞ
  QComboBox* grid_width_ = nullptr;
  QLabel* grid_width_label_ = nullptr;
  QComboBox* grid_style_ = nullptr;
  QPushButton* grid_colour_ = nullptr;
  QCheckBox* grid_points_ = nullptr;
  // 背景の図
  QComboBox* picture_mode_ = nullptr;
  QLabel* picture_view_ = nullptr;
  // ﾚｲｱｳﾄ
  QSpinBox* layout_[forms::kLayoutValueCount] = {};
  QCheckBox* point_zoom_ = nullptr;
  QPushButton* help_ = nullptr;
  QList<QPushButton*> colour_buttons_;
};

// EditCoordinateSystem: runs the dialog on the screen, opened on the tab; on OK
// the form is applied to the screen and the settings. Returns whether the user
// confirmed.
bool EditCoordinateSystem(Screen& screen, UserSettings& settings, bool restricted,
                          const render::RenderOptions& render,
                          const CoordinateDialogServices& services, int tab,
                          QWidget* parent = nullptr);

}  // namespace qzarn::ui
