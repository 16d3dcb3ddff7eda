// The point members: a point given by expressions, and the points constructed
// from other figures (dividing point, intersection of two lines, foot of a
// perpendicular, angle measure).

#include "forms/property_members_common.h"

namespace qzarn::forms {

namespace {

constexpr ReferenceFilter kLineSelector{.types = kStraightLineTypes};
// The foot of a perpendicular stores the x axis as -1, so it offers no "(なし)".
constexpr ReferenceFilter kLineOrAxisSelector{
    .types = kStraightLineTypes, .axes = true, .none = false};

constexpr Precondition kTwoLines{kStraightLineTypes, false, 2, "２つ以上の図形が必要です．"};

constexpr auto kPointControls =
    Join(std::array{NameBox("点(&P)", kUpperCase), Named(Definition("FX", "("), "X 座標"),
                    Named(Definition("FY", ",", kSameRow, ")"), "Y 座標")},
         Condition(), PointDisplay());

constexpr auto kBuntenControls =
    Join(std::array{NameBox("点(&P)", kUpperCase), Selector("Ref0", "点１(&1)", kPointSelector),
                    Selector("Ref1", "点２(&2)", kPointSelector), Definition("FX", "比(&M)"),
                    Named(Definition("FY", ":", kSameRow), "比の後項")},
         Condition(), PointDisplay());

constexpr auto kCrossControls =
    Join(std::array{NameBox("点(&P)", kUpperCase), Selector("Ref0", "直線１(&1)", kLineSelector),
                    Selector("Ref1", "直線２(&2)", kLineSelector)},
         Condition(), PointDisplay());

constexpr auto kSuisenControls =
    Join(std::array{NameBox("点(&P)", kUpperCase),
                    Named(Selector("Ref0", "点(&1)", kPointSelector), "垂線を下ろす点"),
                    Selector("Ref1", "直線(&2)", kLineOrAxisSelector)},
         Condition(), PointDisplay());

// The angle measure: three points, the vertex in the middle; its point fields
// carry the arc (RadiusRR its radius in pixels, DispMark the arc and lines,
// Index4 their style, DispName the value text).
constexpr auto kAngle2Controls = Join(
    std::array{NameBox("角度(&K)"), Selector("Ref0", "点１(&1)", kPointSelector),
               Selector("Ref1", "頂点(&2)", kPointSelector),
               Selector("Ref2", "点３(&3)", kPointSelector),
               Check("Coordinates", "小さい方の角(&A)", kDefinitionPage, kDefinition)},
    Condition(),
    std::array{Size("RadiusRR", "円弧の半径(&S)", kAtLeastOne, {"DispMark"}), LineStyle("Index4"),
               LabelPosition("Direction", {"DispName"}), Decimals("LimitS"),
               Check("DispMark", "円弧を表示(&V)"), Check("DispName", "角度を表示(&D)"),
               Colour("Color", "円弧の色(&1)", {"DispMark"}), FontButton({"DispName"})});

constexpr MemberSpec kMembers[] = {
    {.class_name = "TPro_Point",
     .caption = "点",
     .figure_type = kPointFigure,
     .handling = Handling::kCopy,
     .names = "A-Z P1-9 Q1-9",
     .help_context = 1002,
     .pages = kStandardPages,
     .controls = kPointControls},
    {.class_name = "TPro_Bunten",
     .caption = "分点",
     .figure_type = kBuntenFigure,
     .handling = Handling::kCopy,
     .names = "A-Z",
     .help_context = 1004,
     .pages = kStandardPages,
     .controls = kBuntenControls,
     .needs = kNeedsTwoPoints},
    {.class_name = "TPro_Cross",
     .caption = "交点",
     .figure_type = kCrossFigure,
     .handling = Handling::kInPlace,
     .names = "A-Z",
     .help_context = 1005,
     .pages = kStandardPages,
     .controls = kCrossControls,
     .needs = kTwoLines},
    {.class_name = "TPro_Suisen",
     .caption = "垂線の足",
     .figure_type = kSuisenFigure,
     .handling = Handling::kInPlace,
     .names = "A-Z",
     .help_context = 1017,
     .pages = kStandardPages,
     .controls = kSuisenControls,
     .needs = kNeedsOnePoint},
    {.class_name = "TPro_Angle2",
     .caption = "角度",
     .figure_type = kAngle2Figure,
     .handling = Handling::kCopy,
     .names = "K K0-9 Ka-z",
     .help_context = 1014,
     .pages = kStandardPages,
     .controls = kAngle2Controls,
     .needs = kNeedsThreePoints,
     .locus_button = false},
};

}  // namespace

std::span<const MemberSpec> PointMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
