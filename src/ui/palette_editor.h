#pragma once
// The palette editor (変数ﾊﾟﾚｯﾄの編集, TEditValue_E) and its wizard
// (変数ﾊﾟﾚｯﾄ・ｳｨｻﾞｰﾄﾞ, TEditWizard): modal dialogs over the rules in
// forms/palette_editor.h and forms/palette_wizard.h.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/palette_editor.h"
#include "forms/palette_wizard.h"
#include "ui/dialog_choosers.h"

#include <QDialog>
#include <QWidget>

#include <QSize>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolBar;

namespace qzarn::ui {

// The questions and choosers the editor and wizard ask; empty members use the
// program's message boxes and choosers (tests answer instead).
struct PaletteEditorQuestions {
  std::function<void(QWidget*, const QString&)> error;
  std::function<bool(QWidget*, const QString&)> yes_no;
  std::function<void(QWidget*, const QString&)> inform;
  std::function<std::optional<FontPick>(QWidget*, const FontPick&)> pick_font;
  std::function<std::optional<ColorRef>(QWidget*, ColorRef)> pick_colour;
  // Runs the wizard modally; empty: exec().
  std::function<int(QDialog&)> run_wizard;
};

// Fills the empty members with the message boxes and choosers.
void FillDefaultQuestions(PaletteEditorQuestions& questions);

// The font the editor's new objects and the wizard start from: the InitFont
// setting, size 10, black, Shift JIS.
PaletteFont InitialPaletteFont(const std::string& init_font_name);
QFont ToQFont(const PaletteFont& font);
// The size of a label's text in its font.
std::pair<int, int> MeasurePaletteText(const std::string& text, const PaletteFont& font);

class TEditValue_E;

// The design surface: white, a grey dot every 4 pixels while the grid is on,
// the objects, their selection frames and the resize squares.
class PaletteDesignSurface final : public QWidget {
 public:
  explicit PaletteDesignSurface(TEditValue_E& editor);
  QSize sizeHint() const override;
  // Where the palette will show a box of the design.
  QRect ShownBox(const PaletteObject& box) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  enum class Drag { kNone, kMove, kSize, kSurface, kBand };
  TEditValue_E& editor_;
  Drag drag_ = Drag::kNone;
  QPoint press_;
  QPoint start_;  // the dragged object's corner or size when pressed
  QPoint band_end_;
  // What a box's font and range need, by font and range.
  mutable std::map<QString, QSize> shown_sizes_;
};

class TEditWizard final : public QDialog {
  Q_OBJECT

 public:
  // `ticked` are the variable indices ticked at opening.
  TEditWizard(const WizardSettings& settings, const std::vector<VariableUse>& uses,
              const std::vector<int>& ticked, PaletteEditorQuestions questions,
              QWidget* parent = nullptr);

  WizardSettings settings() const;
  std::vector<int> ticked() const;
  const PaletteFont& font() const { return font_; }
  WizardMetrics metrics() const;

  QDoubleSpinBox& maximumBox() { return *max_; }
  QDoubleSpinBox& minimumBox() { return *min_; }
  QDoubleSpinBox& initialBox() { return *initial_; }
  QDoubleSpinBox& stepBox() { return *step_; }
  QCheckBox& namesCheck() { return *names_; }
  QCheckBox& verticalCheck() { return *vertical_; }
  QSpinBox& rowsBox() { return *rows_; }
  QSpinBox& columnsBox() { return *columns_; }
  QListWidget& checkList() { return *list_; }

  // The font the wizard keeps for the rest of the program run.
  static PaletteFont& RememberedFont(const std::string& init_font_name);

  void accept() override;

 private:
  void UpdateLimits();
  void FontClick();

  PaletteEditorQuestions questions_;
  PaletteFont font_;
  QDoubleSpinBox* max_ = nullptr;
  QDoubleSpinBox* min_ = nullptr;
  QDoubleSpinBox* initial_ = nullptr;
  QDoubleSpinBox* step_ = nullptr;
  QCheckBox* names_ = nullptr;
  QCheckBox* vertical_ = nullptr;
  QSpinBox* rows_ = nullptr;
  QSpinBox* columns_ = nullptr;
  QListWidget* list_ = nullptr;
};

class TEditValue_E final : public QDialog {
  Q_OBJECT

 public:
  // Loads the screen's palette; the screen is written only by OK.
  TEditValue_E(Screen& screen, const QString& screen_caption, const std::string& init_font_name,
               PaletteEditorQuestions questions = {}, QWidget* parent = nullptr);
  ~TEditValue_E() override;

  PaletteEditorForm& form() { return form_; }
  PaletteDesignSurface& surface() { return *surface_; }
  QTableWidget& propertyGrid() { return *grid_; }
  QAction& action(const char* object_name);
  // The property grid's editor of a row ("最小値", "変数名" ...), or null.
  QWidget* propertyEditor(const QString& row) const;
  const std::vector<VariableUse>& variableUses() const { return uses_; }

  // Commands of the tool bar and keys.
  void NewClick();
  void WizardClick();
  void OkClick();
  // Shows the form's state: tool bar, surface and property grid.
  void Changed();
  // The font dialog for the selected object (a double click, "ﾌｫﾝﾄ").
  void FontClick();
  void ColourClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void done(int result) override;

 private:
  friend class PaletteDesignSurface;
  void ShowProperties();
  void NumberEntered(const QString& row, QLineEdit* edit);
  void Report(const PropertyOutcome& outcome);

  Screen& screen_;
  PaletteEditorQuestions questions_;
  std::string init_font_name_;
  PaletteEditorForm form_;
  std::vector<VariableUse> uses_;
  WizardSettings wizard_;
  std::vector<int> wizard_ticks_;
  PaletteDesignSurface* surface_ = nullptr;
  QTableWidget* grid_ = nullptr;
  QToolBar* tools_ = nullptr;
  int shown_object_ = -2;  // the object the grid shows (-1 none)
};

}  // namespace qzarn::ui
