#pragma once
// The figure property dialogs without their windows. Every member (one per
// record type and definition form) is described by data: its pages, and one
// control declaration per edited record field, the way a binding table ties a
// widget to a setting by one declared name. A PropertyForm holds the state of
// one open dialog: it proposes a name, fills the control values from the
// record, applies the control rules (enabling, size and angle corrections),
// validates on OK in the dialogs' fixed order and writes back what the
// controls hold. The Qt dialog (ui/property_dialog.h) only shows this state.
//
// Adding a family of members: write src/forms/property_members_<family>.cpp
// with a function returning its specs, declare it below, and add one line to
// AllMembers() in property_registry.cpp.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "document/figure_table.h"
#include "document/screen.h"
#include "forms/arrow_settings.h"
#include "forms/locus_settings.h"

namespace qzarn {

class ExprEngine;

namespace forms {

// ---- Controls ---------------------------------------------------------------------

enum class ControlKind {
  kName,        // drop-down of suggested names that also accepts typing
  kExpression,  // expression edit with a "▲" button (printable single-byte text)
  kText,        // plain text edit (text box lines)
  kSize,        // drop-down of whole numbers; digits only; an i32 field
  kAngle,       // label position: drop-down 0ﾟ..315ﾟ, normalised modulo 360 + "ﾟ"
  kNumber,      // drop-down of decimal numbers read as a real (f64 field)
  kDecimals,    // number of decimals: 0..5 and 9 (i32 field)
  kChoice,      // fixed list; the field holds the list position (+ choice_base)
  kCheck,       // check box; a bool field
  kColour,      // colour button; a colour field
  kFont,        // "ﾌｫﾝﾄ(&F)": the record's label font block
  kReference,   // reference selector (a drop-down of figures)
};

// Flags of a control declaration.
enum ControlFlag : std::uint32_t {
  // Part of the figure's definition: a changed text (expressions) or a changed
  // selection (references, choices) clears a recording locus on OK.
  kDefinition = 1u << 0,
  // Sizes: left empty or 0 shows "1" when the field is left; stored at least 1.
  kAtLeastOne = 1u << 1,
  // Placed on the same row as the control declared before it.
  kSameRow = 1u << 2,
  // Typed letters a..z become upper case (point names).
  kUpperCase = 1u << 3,
  // Not compared with the other selectors by the duplicate check.
  kNoDuplicateCheck = 1u << 4,
  // Check boxes: ticked while the field is false (an "on" shown for an "off" stored).
  kInverted = 1u << 5,
};

// What a reference selector offers after "(なし)".
struct ReferenceFilter {
  FigureTypeMask types = 0;    // figure types listed, by name
  bool cross3_points = false;  // each used point of a Cross3 figure
  bool axes = false;           // "ｘ軸" and "ｙ軸"
  // Offers "(なし)" at position 0. A selector whose x axis is stored as -1 (the
  // foot of a perpendicular) cannot also offer "none" under the same number.
  bool none = true;
  std::int32_t x_axis = kXAxisReference;  // stored numbers of the axes
  std::int32_t y_axis = kYAxisReference;
  // Offers the x axis alone (graphs y = f(x): the y axis is none).
  bool x_axis_only = false;
  // Functions are listed only when they are graphs y = f(x): explicit and not
  // computed as a recurrence.
  bool graphs_only = false;
};

// The figure types a point selector lists.
inline constexpr FigureTypeMask kPointTypes = TypeBit(kPointFigure) | TypeBit(kBuntenFigure) |
                                              TypeBit(kCrossFigure) | TypeBit(kSuisenFigure) |
                                              TypeBit(kCross2Figure);
inline constexpr ReferenceFilter kPointSelector{kPointTypes, true};
// The straight lines: lines, angle divisions, tangents and normals.
inline constexpr FigureTypeMask kStraightLineTypes =
    TypeBit(kLineFigure) | TypeBit(kAngleFigure) | TypeBit(kSessenFigure);

// A control enabled only while any of up to two other controls is "on" (a
// ticked check box, a choice other than position 0, a selector showing a
// figure), or with when_off only while none of them is.
struct EnableRule {
  std::string_view first = {};
  std::string_view second = {};
  bool when_off = false;
};

struct ControlSpec {
  ControlKind kind = ControlKind::kCheck;
  std::string_view id = {};       // unique within the member
  std::string_view caption = {};  // the caption or the label written before the control
  std::string_view field = {};    // the record field it edits ("" for none)
  int page = 0;
  int index = 0;       // the entry of an array field
  int max_length = 0;  // characters that can be typed; 0 = the field's capacity
  std::span<const std::string_view> choices = {};  // the list offered
  EnableRule enable = {};
  ReferenceFilter refs = {};
  // References: the name field that receives the chosen figure's name.
  std::string_view name_field = {};
  std::string_view suffix = {};  // a label written after the control, e.g. ")"
  // Refusal of an empty text (function ranges); "" accepts an empty text.
  std::string_view empty_message = {};
  std::uint32_t flags = 0;
  int choice_base = 0;  // kChoice: stored value of list position 0
  // What a screen reader calls the control when its caption is a piece of the
  // formula it sits in ("(", "≦", "y =") rather than a word for it.
  std::string_view name = {};
};

// The control's spoken name: its declared name, else its caption without the
// mnemonic, else (a caption of punctuation) the page it is on.
struct MemberSpec;
std::string ControlName(const MemberSpec& member, const ControlSpec& control);

// ---- Members -----------------------------------------------------------------------

enum class Handling { kCopy, kInPlace };

// The figures that must exist before a new figure of the member can be defined.
struct Precondition {
  FigureTypeMask types = 0;
  bool cross3_points = false;
  int count = 0;  // 0: no precondition
  std::string_view message = {};
};

// Two points each given by a selector or by an expression pair: refused when
// both are expressions and the pairs read the same.
struct TwoPointRule {
  std::string_view ref0 = {}, x0 = {}, y0 = {}, ref1 = {}, x1 = {}, y1 = {};
};

// Why OK was refused: the message (error icon), the page to show and the
// control to focus.
struct FormFailure {
  std::string message;
  int page = 0;
  std::string_view control;
  bool operator==(const FormFailure&) const = default;
};

// The questions a member check may ask while OK is being handled.
class FormPrompts {
 public:
  virtual ~FormPrompts() = default;
  // Yes / No question; true for Yes.
  virtual bool AskYesNo(std::string_view message) = 0;
  // An information notice with an OK button.
  virtual void Inform(std::string_view message) = 0;
};

class PropertyForm;
// A member's reaction to a control the user has just changed (the recurrence
// question of the function members); it may ask and change other controls.
using MemberReaction = void (*)(PropertyForm& form, int control, FormPrompts& prompts);
// Step 6 of OK: the member's own checks, run after the expressions passed.
using MemberCheck = std::optional<FormFailure> (*)(PropertyForm& form, ExprEngine& engine,
                                                   FormPrompts& prompts);

struct MemberSpec {
  std::string_view class_name = {};  // "TPro_Point"
  std::string_view caption = {};     // "点"
  std::int32_t figure_type = kNoFigure;
  // Mode for lines, circles and parabolas, FuncKind for functions; -1 any.
  std::int32_t sub_kind = -1;
  Handling handling = Handling::kCopy;
  // The suggested names: space-separated groups, "A-Z" (letters), "P1-9"
  // (prefix and a digit or letter range) or a single name "L".
  std::string_view names = {};
  int help_context = 0;
  std::span<const std::string_view> pages = {};
  std::span<const ControlSpec> controls = {};
  Precondition needs = {};
  std::string_view duplicate_message = "名前が重複しています．";
  std::optional<TwoPointRule> two_points = {};
  MemberCheck check = nullptr;
  bool locus_button = true;   // "軌跡(&K)"
  bool arrow_button = false;  // "矢印(&Y)"
  MemberReaction on_change = nullptr;
};

// Common messages of the validation order.
inline constexpr std::string_view kEnterNameMessage = "名前を入力して下さい．";
inline constexpr std::string_view kSameNameMessage = "すでに同名の図形があります．";
inline constexpr std::string_view kSameCoordinatesMessage = "二つの座標が同じです．";
inline constexpr std::string_view kExpressionErrorMessage = "数式に誤りがあります．";
inline constexpr std::string_view kNoneCaption = "(なし)";
inline constexpr std::string_view kXAxisCaption = "ｘ軸";
inline constexpr std::string_view kYAxisCaption = "ｙ軸";
inline constexpr std::string_view kDegreeMark = "ﾟ";

// Captions of the buttons every dialog has.
inline constexpr std::string_view kLocusButtonCaption = "軌跡(&K)";
inline constexpr std::string_view kArrowButtonCaption = "矢印(&Y)";
inline constexpr std::string_view kOkCaption = "OK";
inline constexpr std::string_view kCancelCaption = "ｷｬﾝｾﾙ";
inline constexpr std::string_view kVariablesCaption = "変数(&H)";
inline constexpr std::string_view kFontCaption = "ﾌｫﾝﾄ(&F)";

// The member that edits a figure of the type and sub-kind (Mode of types 1, 3
// and 6, FuncKind of type 9; ignored for the others); nullptr when none does.
const MemberSpec* FindMember(std::int32_t figure_type, std::int32_t mode, std::int32_t func_kind);
// The member for a record, read from its type and sub-kind fields.
const MemberSpec* FindMember(const FigureRecord& record);
// Every registered member, in registration order.
std::span<const MemberSpec* const> AllMembers();

// The families of members, each in its own file.
std::span<const MemberSpec> PointMembers();     // Point, Bunten, Cross, Suisen, Angle2
std::span<const MemberSpec> LineMembers();      // Line, Line2, Line3, Angle
std::span<const MemberSpec> ConicMembers();     // Houbutsu 1..3, Circle 1..4
std::span<const MemberSpec> FunctionMembers();  // TFuncYo, TFuncBi, TFuncKy, TFuncIn
std::span<const MemberSpec> GraphMembers();     // Cross2, Cross3, Menseki, Sessen
std::span<const MemberSpec> ShapeMembers();     // Poly, Spl, Char, OLE

// "A-Z P1-9" → A..Z, P1..P9.
std::vector<std::string> ExpandNameList(std::string_view groups);

// ---- Values --------------------------------------------------------------------

struct FontValue {
  std::string name;  // UTF-8
  std::uint32_t colour = 0;
  std::int32_t size = 0;
  std::uint8_t style = 0;  // 1 bold, 2 italic, 4 underline, 8 strike-out
  std::int32_t charset = 1;
  bool operator==(const FontValue&) const = default;
};

// One entry of a reference selector.
struct Candidate {
  std::string label;  // UTF-8
  std::int32_t reference = kNoReference;
};

// What one control shows.
struct ControlValue {
  std::string text;      // edits and combo texts (UTF-8)
  bool checked = false;  // check boxes
  int position = 0;      // choices and reference selectors: the list position
  std::uint32_t colour = 0;
  std::vector<Candidate> candidates;  // reference selectors
};

// Where the form reads the screen. Figures removed in a figure list that is
// still open are passed as `removed`: they are neither offered nor kept.
struct FormScreen {
  const FigureTable& figures;
  const SettingsBlock& settings;
  int slot = -1;  // the edited figure
  std::function<bool(int slot)> removed = {};
};

// What OK did.
struct StoreResult {
  bool locus_cleared = false;
};

class PropertyForm {
 public:
  // Copies the record and the screen's settings block; nothing on the screen
  // changes until Store.
  PropertyForm(const MemberSpec& spec, const FigureRecord& record, FormScreen screen);

  const MemberSpec& spec() const { return spec_; }
  // Activation: proposes a name when the record has none and fills every
  // control from the record. Returns the precondition message when the member
  // cannot be defined on this screen (the dialog does not open).
  std::optional<std::string> Open();

  // Controls, by their position in the dialog or by id (-1 when unknown).
  int ControlCount() const { return static_cast<int>(values_.size()); }
  int IndexOf(std::string_view id) const;
  const ControlSpec& control(int i) const { return spec_.controls[static_cast<std::size_t>(i)]; }
  const ControlValue& value(int i) const { return values_[static_cast<std::size_t>(i)]; }
  const ControlValue& value(std::string_view id) const;

  // Changes made by the user.
  void SetText(int i, std::string_view text);
  void SetChecked(int i, bool checked);
  void SetPosition(int i, int position);
  void SetColour(int i, std::uint32_t colour);
  void SetFont(const FontValue& font) { font_ = font; }
  const FontValue& font() const { return font_; }
  // The dialog reports every change the user made to a control (after the
  // Set call), so that the member can react.
  void Changed(int i, FormPrompts& prompts) {
    if (spec_.on_change != nullptr) spec_.on_change(*this, i, prompts);
  }
  // Focus leaves a control: sizes left empty or 0 become "1", the label
  // position becomes its number modulo 360 + "ﾟ".
  void Leave(int i);
  // Whether the control is enabled by its rule.
  bool Enabled(int i) const;
  // Whether the control counts as "on" for the rules of others.
  bool IsOn(int i) const;

  // The name suggestions offered by the name box.
  const std::vector<std::string>& NameSuggestions() const { return names_; }
  // The locus settings ("軌跡(&K)"), applied to the figure on OK; nothing for a
  // member without a locus.
  const std::optional<LocusSettings>& locus() const { return locus_; }
  void SetLocus(const LocusSettings& settings) { locus_ = settings; }
  // The arrow settings ("矢印(&Y)"), applied on OK; nothing without the button.
  const std::optional<ArrowSettings>& arrow() const { return arrow_; }
  void SetArrow(const ArrowSettings& settings) { arrow_ = settings; }
  // The dialog's copy of the settings block ("変数(&H)" edits it).
  SettingsBlock& settings() { return *settings_; }
  const SettingsBlock& settings() const { return *settings_; }
  const FigureRecord& working() const { return working_; }
  // The screen the form was opened on (member checks look up figures there).
  const FormScreen& screen() const { return screen_; }
  FigureRecord& working() { return working_; }
  // The caption shown in the locus dialog: "軌跡 [" + caption + name + "]".
  std::string LocusCaption() const;

  // OK, steps 1 to 6: the first failure, or nothing when every check passed.
  std::optional<FormFailure> Validate(ExprEngine& engine, FormPrompts& prompts);
  // Step 7: whether storing would clear the figure's locus (a recording locus
  // that is not empty, and a changed definition).
  bool LocusWouldClear() const;
  // Steps 7 and 8 on the figure's record (which must be the record the form
  // was opened on, or a byte copy of it): clears the locus when LocusWouldClear,
  // writes every control back. The caller shows the locus notice.
  StoreResult Store(FigureRecord& target);
  // Validate, the locus notice (through prompts) and Store; nothing on failure.
  std::variant<FormFailure, StoreResult> Confirm(FigureRecord& target, ExprEngine& engine,
                                                 FormPrompts& prompts);
  // Writes to the screen's block the variable cells the dialog changed; cells
  // changed meanwhile by others keep their values. Returns the cells written.
  int ApplyVariables(SettingsBlock& screen_settings) const;

  // The reference a selector shows (kNoReference for "(なし)").
  std::int32_t SelectedReference(int i) const;
  // Whether a definition text or selector differs from the record.
  bool DefinitionChanged() const;

 private:
  void FillFromRecord();
  void FillCandidates(int i, std::int32_t current);
  std::string ProposeName() const;
  bool SlotUsable(int slot) const;
  std::optional<FormFailure> Fail(std::string_view message, int i) const;
  void StoreControl(int i, FigureRecord& target) const;

  const MemberSpec& spec_;
  FigureRecord working_;  // the record as it was opened
  FormScreen screen_;
  std::unique_ptr<SettingsBlock> settings_;
  std::unique_ptr<SettingsBlock> settings_at_open_;
  std::vector<ControlValue> values_;
  std::vector<std::string> names_;
  FontValue font_;
  std::optional<LocusSettings> locus_;
  std::optional<ArrowSettings> arrow_;
  std::vector<bool> reference_changed_;
};

// The text of an i32 field as a size box shows it, and back; "" reads as 0.
std::string SizeText(std::int32_t value);
// "405" → 45, "-45ﾟ" → 315; nothing for a text without a number.
std::optional<int> AngleFromText(std::string_view text);
std::string AngleText(int degrees);

}  // namespace forms
}  // namespace qzarn
