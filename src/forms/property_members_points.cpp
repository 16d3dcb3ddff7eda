// The point members: a point given by expressions, and the points constructed
// from other figures (dividing point, intersection of two lines, foot of a
// perpendicular, angle measure).

#include "forms/property_members_common.h"

namespace qzarn::forms {

namespace {

// The display page of the point-like members.
#define QZARN_POINT_DISPLAY                                                                       \
  Size("Radius", "点の大きさ(&S)", kAtLeastOne, {"DispMark"}),                                    \
      Size("RimRadius", "縁の大きさ(&R)", 0, {"DispMark"}),                                       \
      LabelPosition("Direction", {"DispName", "Coordinates"}), Check("DispMark", "点を表示(&V)"), \
      Check("DispName", "名前を表示(&D)"), Check("Coordinates", "座標を表示(&Z)"),                \
      Check("Paint", "点を塗りつぶす(&T)"), Colour("Color", "内部色(&1)", {"Paint"}),             \
      Colour("RimColor", "縁の色(&2)", {"DispMark"}), FontButton({"DispName", "Coordinates"})

constexpr ControlSpec kPointControls[] = {
    NameBox("点(&P)", kUpperCase),
    Definition("FX", "("),
    Definition("FY", ",", kSameRow, ")"),
    ConditionSwitch(),
    ConditionEdit(),
    QZARN_POINT_DISPLAY,
};

constexpr MemberSpec kMembers[] = {
    {.class_name = "TPro_Point",
     .caption = "点",
     .figure_type = kPointFigure,
     .handling = Handling::kCopy,
     .names = "A-Z P1-9 Q1-9",
     .help_context = 1002,
     .pages = kStandardPages,
     .controls = kPointControls},
};

}  // namespace

std::span<const MemberSpec> PointMembers() {
  return kMembers;
}

}  // namespace qzarn::forms
