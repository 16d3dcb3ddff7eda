#include "document/palette_item_fields.h"

namespace qzarn {
namespace {

constexpr FigureTypeMask kEvery = ~FigureTypeMask{0};

constexpr FieldInfo Field(std::string_view name, std::uint32_t offset, FieldKind kind,
                          std::uint16_t capacity = 0) {
  return FieldInfo{name, offset, kind, capacity, 1, kEvery};
}

constexpr FieldInfo kLabelFields[] = {
    Field("Kind", 0, FieldKind::kI32),           Field("Caption", 4, FieldKind::kString, 203),
    Field("Left", 208, FieldKind::kI32),         Field("Top", 212, FieldKind::kI32),
    Field("FontColor", 216, FieldKind::kColour), Field("FontSize", 220, FieldKind::kI32),
    Field("FontSet", 224, FieldKind::kI32),      Field("FontName", 228, FieldKind::kString, 32),
    Field("FontStyle", 261, FieldKind::kU8),
};

constexpr FieldInfo kBoxFields[] = {
    Field("Kind", 0, FieldKind::kI32),
    Field("Variable", 4, FieldKind::kI32),
    Field("Left", 8, FieldKind::kI32),
    Field("Top", 12, FieldKind::kI32),
    Field("Width", 16, FieldKind::kI32),
    Field("Height", 20, FieldKind::kI32),
    Field("Value", 24, FieldKind::kF64),
    Field("InitialValue", 32, FieldKind::kF64),
    Field("Maximum", 40, FieldKind::kF64),
    Field("Minimum", 48, FieldKind::kF64),
    Field("Step", 56, FieldKind::kF64),
    Field("FontColor", 64, FieldKind::kColour),
    Field("FontSize", 68, FieldKind::kI32),
    Field("FontSet", 72, FieldKind::kI32),
    Field("FontName", 76, FieldKind::kString, 32),
    Field("FontStyle", 109, FieldKind::kU8),
};

}  // namespace

std::span<const FieldInfo> PaletteItemFields(std::int32_t kind) {
  if (kind == kPaletteLabel) return kLabelFields;
  if (kind == kPaletteVariableBox) return kBoxFields;
  return std::span(kLabelFields, 1);
}

}  // namespace qzarn
