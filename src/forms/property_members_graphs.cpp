// The members built on curves: the intersection of two graphs, the
// intersection points of two figures, the area between two graphs and the
// tangent or normal of a graph.

#include <algorithm>

#include "expr/engine.h"
#include "forms/property_members_common.h"
#include "platform/text_encoding.h"

namespace qzarn::forms {

namespace {

// Figures that are graphs y = f(x): straight lines, parabolas and explicit
// functions that are not recurrences.
constexpr FigureTypeMask kGraphTypes =
    kStraightLineTypes | TypeBit(kParabolaFigure) | TypeBit(kFunctionFigure);
constexpr ReferenceFilter kGraphSelector{.types = kGraphTypes, .graphs_only = true};
constexpr ReferenceFilter kGraphOrXAxisSelector{
    .types = kGraphTypes, .axes = true, .x_axis_only = true, .graphs_only = true};
// Figures whose intersection points are found in closed form, and the axes.
constexpr FigureTypeMask kIntersectableTypes =
    kStraightLineTypes | TypeBit(kCircleFigure) | TypeBit(kParabolaFigure);
constexpr ReferenceFilter kIntersectableSelector{.types = kIntersectableTypes, .axes = true};

constexpr Precondition kNeedsOneGraph{kGraphTypes, false, 1, "１つ以上の図形が必要です．"};
constexpr Precondition kNeedsOneFigure{kIntersectableTypes, false, 1, "１つ以上の図形が必要です．"};

inline constexpr std::string_view kCheckIntervalMessage = "計算する区間を確認して下さい．";

// ---- Intersection of two graphs (Cross2) ---------------------------------------

constexpr auto kCross2Controls = Join(
    std::array{NameBox("点(&P)", kUpperCase), Selector("Ref0", "関数１(&1)", kGraphOrXAxisSelector),
               Selector("Ref1", "関数２(&2)", kGraphOrXAxisSelector, {}, kSameRow),
               Named(Definition("FX", "区間(&X)", 0, "≦ X ≦"), "区間の始め"),
               Named(Definition("FY", "", kSameRow), "区間の終わり")},
    Condition(), PointDisplay());

// ---- Intersection points of two figures (Cross3) -------------------------------

constexpr ControlSpec PointName(std::string_view id, std::string_view caption, int index) {
  return {.kind = ControlKind::kName,
          .id = id,
          .caption = caption,
          .field = "Names",
          .index = index,
          .max_length = kNameLength,
          .flags = kUpperCase | (index % 2 == 1 ? kSameRow : 0u)};
}

constexpr auto kCross3Controls =
    Join(std::array{PointName("Name", "点１(&1)", 0), PointName("Name2", "点２(&2)", 1),
                    PointName("Name3", "点３(&3)", 2), PointName("Name4", "点４(&4)", 3),
                    Selector("Ref0", "図形１(&A)", kIntersectableSelector),
                    Selector("Ref1", "図形２(&B)", kIntersectableSelector, {}, kSameRow)},
         Condition(), PointDisplay());

// The names of the further points: unique among the four and on the screen.
std::optional<FormFailure> CheckPointNames(const PropertyForm& form) {
  const std::string_view ids[] = {"Name", "Name2", "Name3", "Name4"};
  for (int k = 1; k < 4; ++k) {
    const int i = form.IndexOf(ids[k]);
    const std::string& name = form.value(i).text;
    if (name.empty()) continue;
    bool taken = false;
    for (int j = 0; j < k; ++j)
      taken = taken || form.value(ids[j]).text == name;
    FigureName stored{};
    stored.assign(utf8_to_cp932(name).bytes);
    taken = taken || FindByName(form.screen().figures, stored.view(), form.screen().slot);
    if (taken) return FormFailure{"すでに同名の図形があります．", form.control(i).page, ids[k]};
  }
  return std::nullopt;
}

// The rank of a figure in the order the intersection wants its two figures:
// a straight line or an axis first, then a circle, then a parabola.
int IntersectionRank(const FigureTable& figures, std::int32_t ref) {
  if (ref < 0) return 0;
  const FigureRecord* r = figures.record(ReferenceSlot(ref));
  if (r == nullptr || (kStraightLineTypes & TypeBit(r->type())) != 0) return 0;
  return r->type() == kCircleFigure ? 1 : 2;
}

std::optional<FormFailure> CheckCross3(PropertyForm& form, ExprEngine&, FormPrompts&) {
  if (std::optional<FormFailure> failure = CheckPointNames(form)) return failure;
  // The computation finds points only with the figures in its order.
  const int first = form.IndexOf("Ref0"), second = form.IndexOf("Ref1");
  const FigureTable& figures = form.screen().figures;
  if (IntersectionRank(figures, form.SelectedReference(second)) <
      IntersectionRank(figures, form.SelectedReference(first))) {
    const int p = form.value(first).position;
    form.SetPosition(first, form.value(second).position);
    form.SetPosition(second, p);
  }
  return std::nullopt;
}

// ---- Area between two graphs (Menseki) -----------------------------------------

inline constexpr std::array<std::string_view, 7> kSubdivisionChoices = {"10",  "25",  "50", "75",
                                                                        "100", "250", "500"};

constexpr auto kMensekiControls = Join(
    std::array{NameBox("面積(&S)"), Selector("Ref0", "関数１(&1)", kGraphOrXAxisSelector),
               Selector("Ref1", "関数２(&2)", kGraphOrXAxisSelector, {}, kSameRow),
               Selector("Ref2", "始点(&3)", kPointSelector),
               Named(Definition("FX", "ｘ =", kSameRow, {}, {"Ref2", {}, true}), "始点の ｘ 座標"),
               Selector("Ref3", "終点(&4)", kPointSelector),
               Named(Definition("FY", "ｘ =", kSameRow, {}, {"Ref3", {}, true}), "終点の ｘ 座標"),
               ControlSpec{.kind = ControlKind::kSize,
                           .id = "RR",
                           .caption = "等分(&N)",
                           .field = "RR",
                           .page = kDefinitionPage,
                           .choices = kSubdivisionChoices,
                           .flags = kAtLeastOne}},
    Condition(),
    std::array{Check("DispName", "名前を表示(&D)"), Check("DispValue", "面積を表示(&V)"),
               Decimals("Decimal", "小数点以下の桁数(&K)"), Check("Brush", "斜線を表示(&B)"),
               ControlSpec{.kind = ControlKind::kChoice,
                           .id = "PaintType",
                           .caption = "塗りつぶし(&P)",
                           .field = "PaintType",
                           .page = kDisplayPage,
                           .choices = kFillChoices,
                           .enable = {"Brush"}},
               Size("RimRadius", "線の太さ(&S)", kAtLeastOne, {"Brush"}),
               Colour("Color", "色(&1)", {"Brush"}), FontButton({"DispName", "DispValue"})});

// The x of an interval end: the chosen point's, or the value of the text.
double IntervalEnd(const PropertyForm& form, ExprEngine& engine, std::string_view ref_id,
                   std::string_view text_id) {
  const std::int32_t ref = form.SelectedReference(form.IndexOf(ref_id));
  if (ref >= 0) {
    const FigureRecord* r = form.screen().figures.record(ReferenceSlot(ref));
    if (const MultiPointRecord* m = r != nullptr ? r->multi_point() : nullptr)
      return m->PX[ReferenceSubIndex(ref)];
    if (const PointRecord* p = r != nullptr ? r->point() : nullptr) return p->X;
    return 0;
  }
  return engine.EvaluateText(form.settings().Variables,
                             utf8_to_cp932(form.value(text_id).text).bytes);
}

// An interval that runs backwards has no area.
std::optional<FormFailure> CheckInterval(PropertyForm& form, ExprEngine& engine, FormPrompts&) {
  if (IntervalEnd(form, engine, "Ref2", "FX") > IntervalEnd(form, engine, "Ref3", "FY")) {
    const bool by_point = form.SelectedReference(form.IndexOf("Ref3")) >= 0;
    return FormFailure{std::string(kCheckIntervalMessage), kDefinitionPage,
                       by_point ? "Ref3" : "FY"};
  }
  return std::nullopt;
}

// ---- Tangent and normal (Sessen) -----------------------------------------------

inline constexpr std::array<std::string_view, 2> kTangentChoices = {"接線", "法線"};

constexpr auto kSessenControls = Join(
    std::array{
        NameBox("直線(&L)"), Selector("Ref0", "関数(&F)", kGraphSelector),
        ControlSpec{.kind = ControlKind::kChoice,
                    .id = "TangentKind",
                    .caption = "",
                    .field = "TangentKind",
                    .page = kDefinitionPage,
                    .choices = kTangentChoices,
                    .flags = kSameRow | kDefinition,
                    .name = "接線か法線か"},
        Selector("Ref1", "接点(&P)", kPointSelector, "PointName1"),
        Named(Definition("FX0", "ｘ =", kSameRow, {}, {"Ref1", {}, true}), "接点の ｘ 座標")},
    Condition(), LineDisplay());

constexpr MemberSpec kMembers[] = {
    {.class_name = "TPro_Cross2",
     .caption = "関数の交点",
     .figure_type = kCross2Figure,
     .handling = Handling::kInPlace,
     .names = "A-Z",
     .help_context = 1011,
     .pages = kStandardPages,
     .controls = kCross2Controls,
     .needs = kNeedsOneGraph,
     .duplicate_message = "関数名が重複しています．"},
    {.class_name = "TPro_Cross3",
     .caption = "交点",
     .figure_type = kCross3Figure,
     .handling = Handling::kInPlace,
     .names = "P1-9 A-Z",
     .help_context = 1005,
     .pages = kStandardPages,
     .controls = kCross3Controls,
     .needs = kNeedsOneFigure,
     .duplicate_message = "図形が重複しています．",
     .check = CheckCross3},
    {.class_name = "TPro_Menseki",
     .caption = "面積",
     .figure_type = kMensekiFigure,
     .handling = Handling::kInPlace,
     .names = "S S0-9",
     .help_context = 1012,
     .pages = kStandardPages,
     .controls = kMensekiControls,
     .needs = kNeedsOneGraph,
     .duplicate_message = "関数名が重複しています．",
     .check = CheckInterval,
     .locus_button = false},
    {.class_name = "TPro_Sessen",
     .caption = "接線・法線",
     .figure_type = kSessenFigure,
     .handling = Handling::kInPlace,
     .names = "L L0-9 La-z",
     .help_context = 1013,
     .pages = kStandardPages,
     .controls = kSessenControls,
     .needs = kNeedsOneGraph},
};

}  // namespace

std::span<const MemberSpec> GraphMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
