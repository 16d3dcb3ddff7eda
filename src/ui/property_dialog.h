#pragma once
// The figure property dialogs: one engine builds every member's window from
// its table (forms/property_form.h) and forwards what the user does to the
// member's PropertyForm. Pages become tabs; each declared control becomes one
// widget bound to one form control.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "document/screen.h"
#include "forms/property_form.h"
#include "ui/message_caption.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

class QTabWidget;
class QPushButton;

namespace qzarn {

class ExprEngine;
class TdlgFuncSel;

namespace ui {

// What the dialogs need from other windows. Empty members are not connected.
struct PropertyDialogHooks {
  // "変数(&H)": the variable table window on the dialog's copy of the settings
  // block, captioned with the dialog's caption; true when confirmed. The button
  // is disabled while this is not connected.
  std::function<bool(QWidget* parent, SettingsBlock& block, const QString& caption)> edit_variables;
  // The questions and messages of OK; nullptr uses message boxes.
  forms::FormPrompts* prompts = nullptr;
  // Shows a refusal (error icon); empty uses a message box.
  std::function<void(QWidget* parent, const QString& message)> show_error;
  // Figures removed in an open figure list: not offered by the selectors.
  std::function<bool(int slot)> removed;
};

// Message boxes with the program's caption: errors with the error icon, notices
// with the information icon, questions with Yes and No.
class MessageBoxPrompts final : public forms::FormPrompts {
 public:
  explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}
  bool AskYesNo(std::string_view message) override;
  void Inform(std::string_view message) override;

 private:
  QWidget* parent_;
};
void ShowPropertyError(QWidget* parent, const QString& message);

class PropertyDialog final : public QDialog {
  Q_OBJECT
 public:
  // `target` receives the values on OK (the figure's record on the screen).
  PropertyDialog(forms::PropertyForm& form, FigureRecord& target, ExprEngine& engine,
                 PropertyDialogHooks hooks, QWidget* parent = nullptr);
  ~PropertyDialog() override;

  forms::PropertyForm& form() { return form_; }
  QTabWidget& pages() { return *pages_; }
  // The widget of a declared control; nullptr for an unknown id.
  QWidget* controlWidget(std::string_view id) const;
  QPushButton* button(std::string_view caption) const;
  // Whether OK stored the values.
  bool stored() const { return stored_; }

  // OK: validates in the form's order; the first failure is shown, its page
  // brought forward and its control focused, and nothing is written.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  // Enter in an editable list field confirms the dialog as it does in a line.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Bound;
  void BuildPages();
  QWidget* MakeControl(int i, QWidget* page);
  void RefreshEnabled();
  void RefreshControl(int i);
  // Takes every field's text as the field shows it, however it got there.
  void ReadControls();
  void ReactToChange(int i);
  void ChooseColour(int i);
  void ChooseFont();
  void EditLocus();
  void EditArrow();
  void EditVariables();
  int PositionSlot() const;

  forms::PropertyForm& form_;
  FigureRecord& target_;
  ExprEngine& engine_;
  PropertyDialogHooks hooks_;
  QTabWidget* pages_ = nullptr;
  std::vector<Bound> bound_;
  std::vector<QPushButton*> buttons_;
  bool stored_ = false;
};

// The run's function list window shared by the "▲" buttons.
TdlgFuncSel& FunctionCatalogueWindow();

// Opens the property dialog of the figure in the slot (dispatching on its
// type and definition form) modally; on OK the record and the variables the
// dialog changed reach the screen, which is marked modified. Returns whether
// the user confirmed. A figure whose member is missing, or whose member needs
// figures the screen lacks, is refused with a message and counts as cancelled.
bool OpenPropertyDialog(Screen& screen, int slot, ExprEngine& engine, QWidget* parent,
                        const PropertyDialogHooks& hooks = {});

// The 32 remembered dialog positions (left, top), all (-1, -1) at start.
inline constexpr int kRememberedPositions = 32;
QPoint RememberedPosition(int index);
void ForgetPositions();

}  // namespace ui
}  // namespace qzarn
