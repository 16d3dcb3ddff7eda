// The parabola and circle members, one per definition form.

#include "forms/property_members_common.h"

namespace qzarn::forms {

namespace {

constexpr std::string_view kParabolaNames = "H H0-9";
constexpr std::string_view kCircleNames = "C C0-9";

// The vertex and a point of the parabola: y = a (x - p)^2 + q through both.
constexpr auto kParabolaControls = Join(
    std::array{NameBox("放物線(&H)")},
    PointOrPair("Ref0", "FX0", "FY0", "頂点(&1)", "PointName1", "頂点の X 座標", "頂点の Y 座標"),
    PointOrPair("Ref1", "FX1", "FY1", "通る点(&2)", "PointName2", "通る点の X 座標",
                "通る点の Y 座標"),
    Condition(), LineDisplay());

// y = a x^2 + b x + c
constexpr auto kParabola2Controls =
    Join(std::array{NameBox("放物線(&H)"), Named(Definition("FX0", "y =", 0, "x² +"), "x² の係数"),
                    Named(Definition("FY0", "", kSameRow, "x +"), "x の係数"),
                    Named(Definition("FX1", "", kSameRow), "定数項")},
         Condition(), LineDisplay());

// y = a (x - p)^2 + q
constexpr auto kParabola3Controls =
    Join(std::array{NameBox("放物線(&H)"), Named(Definition("FX0", "y =", 0, "(x −"), "x² の係数"),
                    Named(Definition("FY0", "", kSameRow, ")² +"), "頂点の X 座標"),
                    Named(Definition("FX1", "", kSameRow), "頂点の Y 座標")},
         Condition(), LineDisplay());

constexpr std::array<ControlSpec, 15> CircleDisplay() {
  return {Size("SizeL", "線の太さ(&S)", kAtLeastOne, {"DispL"}),
          Size("SizeP", "点の大きさ(&R)", 0, {"DispP", "DispB"}),
          LineStyle(),
          ControlSpec{.kind = ControlKind::kChoice,
                      .id = "StyleB",
                      .caption = "塗りつぶし(&G)",
                      .field = "StyleB",
                      .page = kDisplayPage,
                      .choices = kFillChoices,
                      .enable = {"DispI"}},
          LabelPosition("Dir", {"DispC", "DispZ"}),
          Check("DispL", "円を表示(&V)"),
          Check("DispP", "点を表示(&P)"),
          Check("DispB", "中心を表示(&O)"),
          Check("DispC", "名前を表示(&D)"),
          Check("DispZ", "座標を表示(&Z)"),
          Check("DispI", "内部を塗る(&I)"),
          Colour("RimColor", "線の色(&1)", {"DispL"}),
          Colour("CenterColor", "点の色(&2)", {"DispP", "DispB"}),
          Colour("DomainColor", "内部色(&3)", {"DispI"}),
          FontButton({"DispC", "DispZ"})};
}

// The centre (a point or an expression pair) and the radius, or instead of the
// radius a point on the circle.
constexpr auto kCircleControls = Join(
    std::array{NameBox("円(&C)")},
    PointOrPair("Ref0", "FX0", "FY0", "中心(&1)", "PointName1", "中心の X 座標", "中心の Y 座標"),
    std::array{Definition("FX1", "半径(&R)", 0, {}, {"Ref1", {}, true}),
               Selector("Ref1", "円周上の点(&2)", kPointSelector, "PointName2")},
    Condition(), CircleDisplay());

// A x^2 + B y^2 + C x + D y + E = 0
constexpr auto kCircle2Controls =
    Join(std::array{NameBox("円(&C)"), Named(Definition("FX0", "", 0, "x² +"), "x² の係数"),
                    Named(Definition("FY0", "", kSameRow, "y² +"), "y² の係数"),
                    Named(Definition("FX1", "", kSameRow, "x +"), "x の係数"),
                    Named(Definition("FY1", "", kSameRow, "y +"), "y の係数"),
                    Named(Definition("FX2", "", kSameRow, "= 0"), "定数項")},
         Condition(), CircleDisplay());

// (x - a)^2 + (y - b)^2 = r^2
constexpr auto kCircle3Controls =
    Join(std::array{NameBox("円(&C)"), Named(Definition("FX0", "(x −", 0, ")² +"), "中心の X 座標"),
                    Named(Definition("FY0", "(y −", kSameRow, ")² ="), "中心の Y 座標"),
                    Named(Definition("FX1", "", kSameRow, "²"), "半径")},
         Condition(), CircleDisplay());

constexpr auto kCircle4Controls = Join(
    std::array{NameBox("円(&C)")},
    PointOrPair("Ref0", "FX0", "FY0", "点１(&1)", "PointName1", "点１の X 座標", "点１の Y 座標"),
    PointOrPair("Ref1", "FX1", "FY1", "点２(&2)", "PointName2", "点２の X 座標", "点２の Y 座標"),
    PointOrPair("Ref2", "FX2", "FY2", "点３(&3)", "PointName3", "点３の X 座標", "点３の Y 座標"),
    Condition(), CircleDisplay());

constexpr TwoPointRule kTwoPoints{"Ref0", "FX0", "FY0", "Ref1", "FX1", "FY1"};

constexpr MemberSpec Parabola(std::string_view class_name, std::string_view caption, int mode,
                              int help, std::span<const ControlSpec> controls) {
  return {.class_name = class_name,
          .caption = caption,
          .figure_type = kParabolaFigure,
          .sub_kind = mode,
          .handling = Handling::kCopy,
          .names = kParabolaNames,
          .help_context = help,
          .pages = kStandardPages,
          .controls = controls};
}

constexpr MemberSpec Circle(std::string_view class_name, std::string_view caption, int mode,
                            int help, std::span<const ControlSpec> controls) {
  return {.class_name = class_name,
          .caption = caption,
          .figure_type = kCircleFigure,
          .sub_kind = mode,
          .handling = Handling::kCopy,
          .names = kCircleNames,
          .help_context = help,
          .pages = kStandardPages,
          .controls = controls};
}

constexpr MemberSpec WithTwoPoints(MemberSpec spec) {
  spec.two_points = kTwoPoints;
  return spec;
}

const MemberSpec kMembers[] = {
    WithTwoPoints(Parabola("TPro_Houbutsu", "放物線", 0, 1006, kParabolaControls)),
    Parabola("TPro_Houbutsu2", "放物線（一般形）", 1, 1050, kParabola2Controls),
    Parabola("TPro_Houbutsu3", "放物線（標準形）", 2, 1051, kParabola3Controls),
    Circle("TPro_Circle", "円", 0, 1003, kCircleControls),
    Circle("TPro_Circle2", "円（一般形）", 1, 1040, kCircle2Controls),
    Circle("TPro_Circle3", "円（標準形）", 2, 1041, kCircle3Controls),
    Circle("TPro_Circle4", "円（３点指定）", 3, 1042, kCircle4Controls),
};

}  // namespace

std::span<const MemberSpec> ConicMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
