#include "forms/palette_item_access.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace qzarn {

namespace {

const FieldInfo* Field(std::int32_t kind, std::string_view name) {
  for (const FieldInfo& f : PaletteItemFields(kind))
    if (f.name == name) return &f;
  return nullptr;
}

}  // namespace

double ItemNumber(const PaletteItem& item, std::int32_t kind, std::string_view name) {
  const FieldInfo* f = Field(kind, name);
  const std::optional<double> v = f != nullptr ? ReadNumber(item.Bytes, *f) : std::nullopt;
  return v.value_or(0.0);
}

int ItemInt(const PaletteItem& item, std::int32_t kind, std::string_view name) {
  const double v = ItemNumber(item, kind, name);
  return std::isfinite(v) ? static_cast<int>(std::clamp(v, -1e9, 1e9)) : 0;
}

std::string ItemText(const PaletteItem& item, std::int32_t kind, std::string_view name) {
  const FieldInfo* f = Field(kind, name);
  const auto v = f != nullptr ? ReadString(item.Bytes, *f) : std::nullopt;
  return v ? std::string(*v) : std::string();
}

void SetItemNumber(PaletteItem& item, std::int32_t kind, std::string_view name, double value) {
  if (const FieldInfo* f = Field(kind, name)) WriteNumber(item.Bytes, *f, value);
}

void SetItemText(PaletteItem& item, std::int32_t kind, std::string_view name,
                 std::string_view cp932) {
  if (const FieldInfo* f = Field(kind, name)) WriteString(item.Bytes, *f, cp932);
}

}  // namespace qzarn
