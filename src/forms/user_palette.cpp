#include "forms/user_palette.h"

#include <algorithm>
#include <cmath>

#include "document/screen.h"
#include "forms/palette_item_access.h"

namespace qzarn {

namespace {

constexpr int kNamedVariables = 260;  // a..z, a1..z9

double Number(const PaletteItem& item, std::int32_t kind, std::string_view name) {
  return ItemNumber(item, kind, name);
}

int Int(const PaletteItem& item, std::int32_t kind, std::string_view name) {
  return ItemInt(item, kind, name);
}

std::string Text(const PaletteItem& item, std::int32_t kind, std::string_view name) {
  return ItemText(item, kind, name);
}

void SetNumber(PaletteItem& item, std::string_view name, double value) {
  SetItemNumber(item, kPaletteVariableBox, name, value);
}

std::optional<PaletteVariable> BoxVariable(const PaletteItem& item) {
  const int index = Int(item, kPaletteVariableBox, "Variable");
  if (index < 0 || index >= kNamedVariables) return std::nullopt;
  return PaletteVariable{index / 26, index % 26};
}

UserPaletteBox ReadBox(const Screen& screen, int i, PaletteVariable v) {
  const PaletteItem& item = screen.PaletteItems[static_cast<std::size_t>(i)];
  const std::int32_t k = kPaletteVariableBox;
  UserPaletteBox b;
  b.item = i;
  b.variable = v;
  b.left = Int(item, k, "Left") + 1;
  b.top = Int(item, k, "Top") + 1;
  b.width = Int(item, k, "Width");
  b.height = Int(item, k, "Height");
  b.initial = Number(item, k, "InitialValue");
  b.minimum = Number(item, k, "Minimum");
  b.maximum = Number(item, k, "Maximum");
  b.step = Number(item, k, "Step");
  b.font_size = Int(item, k, "FontSize");
  b.font_name = Text(item, k, "FontName");
  b.font_style = Int(item, k, "FontStyle");
  b.font_colour = static_cast<std::uint32_t>(Number(item, k, "FontColor"));
  b.value = b.Clamp(screen.Variables().cell(v.row, v.column()).value());
  return b;
}

UserPaletteLabel ReadLabel(const PaletteItem& item, int i) {
  const std::int32_t k = kPaletteLabel;
  UserPaletteLabel l;
  l.item = i;
  l.caption = Text(item, k, "Caption");
  l.left = Int(item, k, "Left") + 1;
  l.top = Int(item, k, "Top") + 1;
  l.font_size = Int(item, k, "FontSize");
  l.font_name = Text(item, k, "FontName");
  l.font_style = Int(item, k, "FontStyle");
  l.font_colour = static_cast<std::uint32_t>(Number(item, k, "FontColor"));
  return l;
}

}  // namespace

double UserPaletteBox::Clamp(double v) const {
  if (std::isnan(v)) return minimum;
  // A range stored upside down clamps to its minimum rather than failing.
  return std::max(minimum, std::min(v, maximum));
}

UserPaletteLayout ReadUserPalette(const Screen& screen) {
  UserPaletteLayout layout;
  layout.width = screen.View().PaletteWidth + 1;
  layout.height = screen.View().PaletteHeight + 1;
  for (int i = 0; i < kPaletteItems; ++i) {
    const PaletteItem& item = screen.PaletteItems[static_cast<std::size_t>(i)];
    if (item.Kind() == kPaletteLabel) {
      layout.labels.push_back(ReadLabel(item, i));
    } else if (item.Kind() == kPaletteVariableBox) {
      if (const auto v = BoxVariable(item)) layout.boxes.push_back(ReadBox(screen, i, *v));
    }
  }
  return layout;
}

std::string AnimeCaption(PaletteVariable v) {
  return "変数 " + PaletteVariableName(v);
}

bool ApplyBoxValue(Screen& screen, const UserPaletteBox& box, double value,
                   FigureExpressions& expressions) {
  if (box.item < 0 || box.item >= kPaletteItems) return false;
  const double clamped = box.Clamp(value);
  SetNumber(screen.PaletteItems[static_cast<std::size_t>(box.item)], "Value", clamped);
  return ApplyVariableValue(screen, box.variable, clamped, expressions);
}

int ResetUserPalette(Screen& screen, FigureExpressions& expressions) {
  int changed = 0;
  for (const UserPaletteBox& box : ReadUserPalette(screen).boxes)
    if (ApplyBoxValue(screen, box, box.initial, expressions)) ++changed;
  return changed;
}

}  // namespace qzarn
