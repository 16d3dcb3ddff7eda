// The straight-line members: a line through two points, the general and the
// standard form, and the line dividing an angle.

#include "forms/property_members_common.h"

namespace qzarn::forms {

namespace {

constexpr std::string_view kLineNames = "L L0-9 M M1-9 La-z";

constexpr auto kLineControls = Join(
    std::array{NameBox("直線(&L)")},
    PointOrPair("Ref0", "FX0", "FY0", "点１(&1)", "PointName1", "点１の X 座標", "点１の Y 座標"),
    PointOrPair("Ref1", "FX1", "FY1", "点２(&2)", "PointName2", "点２の X 座標", "点２の Y 座標"),
    std::array{Check("DispB", "線分(&B)", kDefinitionPage)}, Condition(), LineDisplay());

// a x + b y + c = 0
constexpr auto kLine2Controls =
    Join(std::array{NameBox("直線(&L)"), Named(Definition("FX0", "", 0, "x +"), "x の係数"),
                    Named(Definition("FY0", "", kSameRow, "y +"), "y の係数"),
                    Named(Definition("FX1", "", kSameRow, "= 0"), "定数項")},
         Condition(), LineDisplay());

// y = m(x - p) + q
constexpr auto kLine3Controls =
    Join(std::array{NameBox("直線(&L)"), Named(Definition("FX0", "y =", 0, "(x −"), "傾き"),
                    Named(Definition("FY0", "", kSameRow, ") +"), "通る点の X 座標"),
                    Named(Definition("FX1", "", kSameRow), "通る点の Y 座標")},
         Condition(), LineDisplay());

constexpr std::array<std::string_view, 6> kLengthChoices = {"1", "2", "3", "4", "5", "10"};

// The angle division: the line from the vertex (the second point) dividing the
// angle in the ratio m : n, drawn with the given length.
constexpr auto kAngleControls =
    Join(std::array{NameBox("直線(&L)"), Selector("Ref0", "点１(&1)", kPointSelector, "PointName1"),
                    Selector("Ref1", "頂点(&2)", kPointSelector, "PointName2"),
                    Selector("Ref2", "点３(&3)", kPointSelector), Definition("FX0", "比(&M)"),
                    Named(Definition("FY0", ":", kSameRow), "比の後項"),
                    ControlSpec{.kind = ControlKind::kNumber,
                                .id = "Lng",
                                .caption = "長さ(&W)",
                                .field = "Lng",
                                .page = kDefinitionPage,
                                .choices = kLengthChoices},
                    Check("DispC", "反対側にも引く(&C)", kDefinitionPage),
                    Check("DispB", "角の辺を描く(&B)", kDefinitionPage)},
         Condition(), LineDisplay());

constexpr TwoPointRule kTwoPoints{"Ref0", "FX0", "FY0", "Ref1", "FX1", "FY1"};

constexpr MemberSpec kMembers[] = {
    {.class_name = "TPro_Line",
     .caption = "直線",
     .figure_type = kLineFigure,
     .sub_kind = 0,
     .handling = Handling::kCopy,
     .names = kLineNames,
     .help_context = 1001,
     .pages = kStandardPages,
     .controls = kLineControls,
     .two_points = kTwoPoints,
     .arrow_button = true},
    {.class_name = "TPro_Line2",
     .caption = "直線（一般形）",
     .figure_type = kLineFigure,
     .sub_kind = 1,
     .handling = Handling::kCopy,
     .names = kLineNames,
     .help_context = 1030,
     .pages = kStandardPages,
     .controls = kLine2Controls,
     .arrow_button = true},
    {.class_name = "TPro_Line3",
     .caption = "直線（標準形）",
     .figure_type = kLineFigure,
     .sub_kind = 2,
     .handling = Handling::kCopy,
     .names = kLineNames,
     .help_context = 1031,
     .pages = kStandardPages,
     .controls = kLine3Controls,
     .arrow_button = true},
    {.class_name = "TPro_Angle",
     .caption = "角の等分",
     .figure_type = kAngleFigure,
     .handling = Handling::kCopy,
     .names = "L L0-9 La-z",
     .help_context = 1008,
     .pages = kStandardPages,
     .controls = kAngleControls,
     .needs = kNeedsThreePoints,
     .locus_button = false,
     .arrow_button = true},
};

}  // namespace

std::span<const MemberSpec> LineMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
