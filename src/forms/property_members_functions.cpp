// The function members: explicit, parametric and polar curves with their
// ranges, family parameter and recurrence, and the implicit function or
// region.

#include "forms/property_members_common.h"

namespace qzarn::forms {

namespace {

inline constexpr std::string_view kEnterExpressionOrNumber = "式または数値を入力して下さい．";
inline constexpr std::string_view kEnterExpressionOrValue = "式または値を入力して下さい．";
inline constexpr std::string_view kEnterNumber = "数値を入力して下さい．";
inline constexpr std::string_view kEnterValue = "値を入力して下さい．";
inline constexpr std::string_view kSameVariable = "同じ変数名は指定できません．";
inline constexpr std::string_view kAskRecurrenceDomain = "定義域を漸化式の設定しますか？";
inline constexpr std::string_view kRecurrenceDomainSet =
    "第10項まで計算するように自動設定しました．";
inline constexpr std::string_view kRecurrenceDomainHelp =
    "再帰計算の定義域の設定はヘルプを参照して下さい．";

inline constexpr int kRecursionPage = 3;
inline constexpr int kRangeLength = 100;
inline constexpr std::array<std::string_view, 4> kFunctionPages = {"定義", "条件式", "表示",
                                                                   "再帰計算"};

inline constexpr std::array<std::string_view, 13> kStepChoices = {
    "0.01", "0.02", "0.03", "0.04", "0.05", "0.1", "0.2", "0.3", "0.4", "0.5", "1", "1.5", "2"};
// The family parameter of explicit and parametric curves ("*" = none).
inline constexpr std::array<std::string_view, 25> kFamilyChoices = {
    "*", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l",
    "m", "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "z"};
// The curve parameter of parametric curves: the same letters without "*".
inline constexpr std::span<const std::string_view> kCurveParameterChoices =
    std::span(kFamilyChoices).subspan(1);
// Polar curves: r is the radius, so it is never offered.
inline constexpr std::array<std::string_view, 26> kPolarFamilyChoices = {
    "*", "a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l",
    "m", "n", "o", "p", "q", "s", "t", "u", "v", "w", "x", "y", "z"};
inline constexpr std::span<const std::string_view> kPolarAngleChoices =
    std::span(kPolarFamilyChoices).subspan(1);
inline constexpr std::array<std::string_view, 21> kInitialValueChoices = {
    "0",    "0.5", "1",    "1.5", "2",    "2.5", "3",    "3.5", "4",    "4.5", "5",
    "-0.5", "-1",  "-1.5", "-2",  "-2.5", "-3",  "-3.5", "-4",  "-4.5", "-5"};
inline constexpr std::array<std::string_view, 5> kRelationChoices = {"＝０", "＞０", "≧０", "＜０",
                                                                     "≦０"};
inline constexpr std::array<std::string_view, 7> kAccuracyChoices = {
    "0.1", "0.01", "0.001", "0.0001", "0.00001", "0.000001", "0.0000001"};
inline constexpr std::array<std::string_view, 3> kLevelChoices = {"1", "2", "3"};
inline constexpr std::array<std::string_view, 4> kHatchChoices = {"右上斜線", "左上斜線", "水平線",
                                                                  "垂直線"};

constexpr ControlSpec Required(ControlSpec c, std::string_view message) {
  c.empty_message = message;
  return c;
}

// A range text: start or end with its "▲", or a step offered from the list.
constexpr ControlSpec Range(std::string_view field, std::string_view caption,
                            std::uint32_t flags = kSameRow, std::string_view suffix = {},
                            EnableRule enable = {},
                            std::string_view message = kEnterExpressionOrNumber) {
  ControlSpec c = Definition(field, caption, flags, suffix, enable);
  c.max_length = kRangeLength;
  c.empty_message = message;
  return c;
}

constexpr ControlSpec Step(std::string_view field, std::string_view caption, EnableRule enable = {},
                           std::string_view message = kEnterExpressionOrNumber) {
  ControlSpec c = Range(field, caption, kSameRow, {}, enable, message);
  c.choices = kStepChoices;
  return c;
}

constexpr ControlSpec Variable(std::string_view field, std::string_view caption,
                               std::span<const std::string_view> choices,
                               std::uint32_t flags = kSameRow, int page = kDefinitionPage) {
  return {.kind = ControlKind::kChoice,
          .id = field,
          .caption = caption,
          .field = field,
          .page = page,
          .choices = choices,
          .flags = flags | kDefinition};
}

constexpr ControlSpec InitialValue(std::string_view field, std::string_view caption) {
  return {.kind = ControlKind::kNumber,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kRecursionPage,
          .choices = kInitialValueChoices,
          .enable = {"Recursive"},
          .empty_message = kEnterNumber};
}

// The family: start ≦ parameter ≦ end, step; the texts count only while a
// parameter is chosen.
constexpr std::array<ControlSpec, 4> Family(std::string_view parameter,
                                            std::span<const std::string_view> choices) {
  const EnableRule chosen{parameter};
  return {
      Named(Range("AreaSx2", "", 0, "≦", chosen), "関数族の変数の始め"),
      Named(Variable(parameter, "", choices), "関数族の変数"),
      Named(Range("AreaEx2", "≦", kSameRow, {}, chosen), "関数族の変数の終わり"),
      Named(Step("AreaWd2", "間隔(&D)", chosen, kEnterExpressionOrValue), "関数族の変数の間隔")};
}

constexpr std::array<ControlSpec, 7> CurveDisplay() {
  return {Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}),
          Size("SizeP", "点の大きさ(&R)", 0, {"DispP"}),
          LineStyle(),
          Check("DispL", "線を表示(&V)"),
          Check("DispP", "点を表示(&P)"),
          Colour("ColorL", "線の色(&1)", {"DispL"}),
          Colour("ColorP", "点の色(&2)", {"DispP"})};
}

constexpr ControlSpec RecursionSwitch() {
  return Check("Recursive", "再帰計算を行う(&S)", kRecursionPage, kDefinition);
}

constexpr auto kExplicitControls = Join(
    std::array{NameBox("関数(&F)"),
               Named(Required(Definition("FuncX", "ｙ =", 0), kEnterExpressionOrNumber), "ｙ の式"),
               Named(Range("AreaSx1", "", 0, "≦"), "定義域の始め"),
               Named(Range("AreaEx1", "&X ≦"), "定義域の終わり"),
               Named(Step("AreaWd1", "間隔(&W)"), "定義域の間隔")},
    Family("ParamVar", kFamilyChoices), Condition(), CurveDisplay(),
    std::array{RecursionSwitch(), InitialValue("InitY", "ｙ の初期値(&Y)")});

constexpr auto kParametricControls = Join(
    std::array{NameBox("関数(&F)"),
               Named(Required(Definition("FuncX", "ｘ =", 0), kEnterExpressionOrNumber), "ｘ の式"),
               Named(Required(Definition("FuncY", "ｙ =", 0), kEnterExpressionOrNumber), "ｙ の式"),
               Named(Range("AreaSx1", "", 0, "≦"), "媒介変数の始め"),
               Named(Variable("ParamVar", "", kCurveParameterChoices), "媒介変数"),
               Named(Range("AreaEx1", "≦"), "媒介変数の終わり"),
               Named(Step("AreaWd1", "間隔(&W)"), "媒介変数の間隔")},
    Family("FamilyVar", kFamilyChoices), Condition(), CurveDisplay(),
    std::array{RecursionSwitch(), InitialValue("InitX", "ｘ の初期値(&X)"),
               InitialValue("InitY", "ｙ の初期値(&Y)")});

constexpr auto kPolarControls = Join(
    std::array{NameBox("関数(&F)"),
               Named(Required(Definition("FuncX", "ｒ =", 0), kEnterExpressionOrNumber), "ｒ の式"),
               Named(Range("AreaSx1", "", 0, "≦"), "偏角の始め"),
               Named(Variable("ParamVar", "", kPolarAngleChoices), "偏角の変数"),
               Named(Range("AreaEx1", "≦"), "偏角の終わり"),
               Named(Step("AreaWd1", "間隔(&W)"), "偏角の間隔")},
    Family("FamilyVar", kPolarFamilyChoices), Condition(), CurveDisplay());

constexpr auto kImplicitControls = Join(
    std::array{NameBox("関数(&F)"),
               Named(Required(Definition("FuncX", "", 0), kEnterExpressionOrNumber), "関数の式"),
               Named(Variable("Mode", "", kRelationChoices), "等号・不等号"),
               Named(Range("AreaSx1", "", 0, "≦"), "X の範囲の始め"),
               Named(Range("AreaEx1", "&X ≦"), "X の範囲の終わり"),
               Named(Range("AreaSx2", "", 0, "≦"), "Y の範囲の始め"),
               Named(Range("AreaEx2", "&Y ≦"), "Y の範囲の終わり"), Step("AreaWd2", "間隔(&W)"),
               ControlSpec{.kind = ControlKind::kNumber,
                           .id = "Seido",
                           .caption = "計算精度(&D)",
                           .field = "Seido",
                           .page = kDefinitionPage,
                           .choices = kAccuracyChoices,
                           .empty_message = kEnterValue,
                           .flags = kDefinition},
               Variable("ParamVar", "計算ﾚﾍﾞﾙ(&L)", kLevelChoices, 0)},
    Condition(),
    std::array{Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}), LineStyle(),
               Check("DispL", "線を表示(&V)"),
               Check("Recursive", "領域を表示(&D)", kDisplayPage, kInverted),
               Variable("FamilyVar", "領域(&L)", kHatchChoices, 0, kDisplayPage),
               Check("pType", "面積を表示(&M)"), Colour("ColorL", "線の色(&1)", {"DispL"}),
               Colour("ColorP", "領域色(&2)", {"Recursive"})});

// Ticking the recurrence switch offers to set the first range to the terms
// 1..10, which is what a recurrence usually wants.
void AskRecurrenceDomain(PropertyForm& form, int control, FormPrompts& prompts) {
  if (form.control(control).id != "Recursive" || !form.value(control).checked) return;
  if (prompts.AskYesNo(kAskRecurrenceDomain)) {
    form.SetText(form.IndexOf("AreaSx1"), "1");
    form.SetText(form.IndexOf("AreaEx1"), "10");
    form.SetText(form.IndexOf("AreaWd1"), "1");
    prompts.Inform(kRecurrenceDomainSet);
  } else {
    prompts.Inform(kRecurrenceDomainHelp);
  }
}

// The curve parameter and the family parameter must be different variables:
// family position p names the letter of curve position p - 1.
std::optional<FormFailure> CheckDistinctVariables(PropertyForm& form, ExprEngine&, FormPrompts&) {
  const int curve = form.IndexOf("ParamVar");
  const int family = form.IndexOf("FamilyVar");
  if (form.value(family).position == form.value(curve).position + 1)
    return FormFailure{std::string(kSameVariable), form.control(family).page,
                       form.control(family).id};
  return std::nullopt;
}

constexpr std::string_view kFunctionNames = "F F0-9";

constexpr MemberSpec kMembers[] = {
    {.class_name = "TFuncYo",
     .caption = "陽関数",
     .figure_type = kFunctionFigure,
     .sub_kind = 1,
     .handling = Handling::kCopy,
     .names = kFunctionNames,
     .help_context = 1021,
     .pages = kFunctionPages,
     .controls = kExplicitControls,
     .on_change = AskRecurrenceDomain},
    {.class_name = "TFuncBi",
     .caption = "媒介変数の関数",
     .figure_type = kFunctionFigure,
     .sub_kind = 2,
     .handling = Handling::kCopy,
     .names = kFunctionNames,
     .help_context = 1022,
     .pages = kFunctionPages,
     .controls = kParametricControls,
     .check = CheckDistinctVariables,
     .on_change = AskRecurrenceDomain},
    {.class_name = "TFuncKy",
     .caption = "極方程式",
     .figure_type = kFunctionFigure,
     .sub_kind = 3,
     .handling = Handling::kCopy,
     .names = kFunctionNames,
     .help_context = 1023,
     .pages = kStandardPages,
     .controls = kPolarControls,
     .check = CheckDistinctVariables},
    {.class_name = "TFuncIn",
     .caption = "陰関数/領域",
     .figure_type = kFunctionFigure,
     .sub_kind = 4,
     .handling = Handling::kCopy,
     .names = kFunctionNames,
     .help_context = 1024,
     .pages = kStandardPages,
     .controls = kImplicitControls},
};

}  // namespace

std::span<const MemberSpec> FunctionMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
