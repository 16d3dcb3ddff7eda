#pragma once
// Pieces the member tables share: the offered lists, the pages and the
// controls every member declares the same way (display condition, label
// position, font).

#include <algorithm>
#include <array>
#include <string_view>

#include "forms/property_form.h"

namespace qzarn::forms {

inline constexpr std::array<std::string_view, 11> kSizeChoices = {"1",  "2",  "3",  "4",  "5", "10",
                                                                  "15", "20", "30", "40", "50"};
inline constexpr std::array<std::string_view, 8> kAngleChoices = {"0ﾟ",   "45ﾟ",  "90ﾟ",  "135ﾟ",
                                                                  "180ﾟ", "225ﾟ", "270ﾟ", "315ﾟ"};
inline constexpr std::array<std::string_view, 5> kLineStyleChoices = {"実線", "破線", "点線",
                                                                      "一点鎖線", "二点鎖線"};
inline constexpr std::array<std::string_view, 7> kDecimalChoices = {"0", "1", "2", "3",
                                                                    "4", "5", "9"};
// Interior fill patterns of circles, areas and polygons.
inline constexpr std::array<std::string_view, 8> kFillChoices = {
    "なし", "塗りつぶし", "横線", "縦線", "斜線(右上がり)", "斜線(右下がり)", "格子", "斜め格子"};

inline constexpr std::array<std::string_view, 3> kStandardPages = {"定義", "条件式", "表示"};

inline constexpr int kDefinitionPage = 0;
inline constexpr int kConditionPage = 1;
inline constexpr int kDisplayPage = 2;
// Characters an expression field takes.
inline constexpr int kExpressionLength = 200;
// Characters a name box takes.
inline constexpr int kNameLength = 2;

constexpr ControlSpec NameBox(std::string_view caption, std::uint32_t flags = 0) {
  return {.kind = ControlKind::kName,
          .id = "Name",
          .caption = caption,
          .field = "Name",
          .max_length = kNameLength,
          .flags = flags};
}

// An expression of the definition, with its label and an optional label after it.
constexpr ControlSpec Definition(std::string_view field, std::string_view caption,
                                 std::uint32_t flags = 0, std::string_view suffix = {},
                                 EnableRule enable = {}) {
  return {.kind = ControlKind::kExpression,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDefinitionPage,
          .max_length = kExpressionLength,
          .enable = enable,
          .suffix = suffix,
          .flags = flags | kDefinition};
}

// The control under a spoken name of its own (a caption that is a piece of
// a formula names nothing).
constexpr ControlSpec Named(ControlSpec c, std::string_view name) {
  c.name = name;
  return c;
}

constexpr ControlSpec Selector(std::string_view field, std::string_view caption,
                               ReferenceFilter refs, std::string_view name_field = {},
                               std::uint32_t flags = 0) {
  return {.kind = ControlKind::kReference,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDefinitionPage,
          .refs = refs,
          .name_field = name_field,
          .flags = flags | kDefinition};
}

constexpr ControlSpec ConditionSwitch() {
  return {.kind = ControlKind::kCheck,
          .id = "Boolean",
          .caption = "次の条件式が真のとき図形を表示する(&J)",
          .field = "Boolean",
          .page = kConditionPage};
}

constexpr ControlSpec ConditionEdit() {
  return {.kind = ControlKind::kExpression,
          .id = "BooleanFunc",
          .caption = "",
          .field = "BooleanFunc",
          .page = kConditionPage,
          .max_length = kExpressionLength,
          .enable = {"Boolean"},
          .name = "条件式"};
}

constexpr ControlSpec Check(std::string_view field, std::string_view caption,
                            int page = kDisplayPage, std::uint32_t flags = 0) {
  return {.kind = ControlKind::kCheck,
          .id = field,
          .caption = caption,
          .field = field,
          .page = page,
          .flags = flags};
}

constexpr ControlSpec Size(std::string_view field, std::string_view caption,
                           std::uint32_t flags = 0, EnableRule enable = {}) {
  return {.kind = ControlKind::kSize,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDisplayPage,
          .choices = kSizeChoices,
          .enable = enable,
          .flags = flags};
}

constexpr ControlSpec Colour(std::string_view field, std::string_view caption,
                             EnableRule enable = {}) {
  return {.kind = ControlKind::kColour,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDisplayPage,
          .enable = enable};
}

constexpr ControlSpec LabelPosition(std::string_view field, EnableRule enable = {}) {
  return {.kind = ControlKind::kAngle,
          .id = field,
          .caption = "文字の位置(&I)",
          .field = field,
          .page = kDisplayPage,
          .choices = kAngleChoices,
          .enable = enable};
}

constexpr ControlSpec LineStyle(std::string_view field = "StyleL",
                                std::string_view caption = "線のｽﾀｲﾙ(&T)") {
  return {.kind = ControlKind::kChoice,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDisplayPage,
          .choices = kLineStyleChoices};
}

constexpr ControlSpec Decimals(std::string_view field = "LimitS",
                               std::string_view caption = "小数点以下の桁数(&N)") {
  return {.kind = ControlKind::kDecimals,
          .id = field,
          .caption = caption,
          .field = field,
          .page = kDisplayPage,
          .choices = kDecimalChoices};
}

constexpr ControlSpec FontButton(EnableRule enable = {}) {
  return {.kind = ControlKind::kFont,
          .id = "Font",
          .caption = kFontCaption,
          .page = kDisplayPage,
          .enable = enable};
}

// The controls of the parts joined into one table, in order.
template <std::size_t... N>
constexpr std::array<ControlSpec, (N + ...)> Join(const std::array<ControlSpec, N>&... parts) {
  std::array<ControlSpec, (N + ...)> out{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)), at += N),
   ...);
  return out;
}

constexpr std::array<ControlSpec, 2> Condition() {
  return {ConditionSwitch(), ConditionEdit()};
}

// A point given by a selector or, while the selector shows "(なし)" or an
// axis, by an expression pair "(" x "," y ")".
// x_name and y_name are the pair's spoken names ("点１の X 座標").
constexpr std::array<ControlSpec, 3> PointOrPair(std::string_view ref, std::string_view x,
                                                 std::string_view y, std::string_view caption,
                                                 std::string_view name_field,
                                                 std::string_view x_name, std::string_view y_name) {
  return {Selector(ref, caption, kPointSelector, name_field),
          Named(Definition(x, "(", 0, {}, {ref, {}, true}), x_name),
          Named(Definition(y, ",", kSameRow, ")", {ref, {}, true}), y_name)};
}

// The display page of the point-like members.
constexpr std::array<ControlSpec, 10> PointDisplay() {
  return {Size("Radius", "点の大きさ(&S)", kAtLeastOne, {"DispMark"}),
          Size("RimRadius", "縁の大きさ(&R)", 0, {"DispMark"}),
          LabelPosition("Direction", {"DispName", "Coordinates"}),
          Check("DispMark", "点を表示(&V)"),
          Check("DispName", "名前を表示(&D)"),
          Check("Coordinates", "座標を表示(&Z)"),
          Check("Paint", "点を塗りつぶす(&T)"),
          Colour("Color", "内部色(&1)", {"Paint"}),
          Colour("RimColor", "縁の色(&2)", {"DispMark"}),
          FontButton({"DispName", "Coordinates"})};
}

// The display page of lines, angle divisions and parabolas.
constexpr std::array<ControlSpec, 12> LineDisplay() {
  return {Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}),
          Size("SizeP", "点の大きさ(&R)", 0, {"DispP"}),
          LineStyle(),
          LabelPosition("Dir", {"DispZ", "DispN"}),
          Decimals(),
          Check("DispL", "線を表示(&V)"),
          Check("DispP", "点を表示(&P)"),
          Check("DispZ", "座標を表示(&Z)"),
          Check("DispN", "長さを表示(&N)"),
          Colour("LineColor", "線の色(&1)", {"DispL"}),
          Colour("PointColor", "点の色(&2)", {"DispP"}),
          FontButton({"DispZ", "DispN"})};
}

// Messages of members that need figures before they can be defined.
inline constexpr Precondition kNeedsOnePoint{kPointTypes, true, 1, "１つ以上の点が必要です．"};
inline constexpr Precondition kNeedsTwoPoints{kPointTypes, true, 2, "２つ以上の点が必要です．"};
inline constexpr Precondition kNeedsThreePoints{kPointTypes, true, 3, "３つ以上の点が必要です．"};

}  // namespace qzarn::forms
