#pragma once
// One table per record layout naming every field with its offset and type.
// The settings keys of figure defaults and the document dump are driven by
// these tables, so a field name is spelled only here (taken from the member
// name of the layout struct) and nowhere else.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "document/figure_types.h"

namespace qzarn {

enum class FieldKind { kU8, kBool, kI16, kI32, kF32, kF64, kColour, kPointer, kString };

struct FieldInfo {
  std::string_view name;
  std::uint32_t offset;
  FieldKind kind;
  std::uint16_t capacity;  // strings: the most characters the field holds
  std::uint16_t count;     // entries of an array field, 1 for a plain field
  // The figure types in which the bytes carry this name. An offset with another
  // meaning in some types has one entry per meaning, with disjoint type sets.
  FigureTypeMask types;

  std::uint32_t element_size() const;
  std::uint32_t size() const { return element_size() * count; }
  bool applies_to(std::int32_t type) const { return (types & TypeBit(type)) != 0; }
  bool is_number() const { return kind != FieldKind::kString; }
};

// Every named field of the layout family, in offset order.
std::span<const FieldInfo> FieldTable(LayoutFamily family);

// The named fields of the screen's view settings (offsets within the settings
// block) and of a label or axis font block. Their `types` is 0: they belong to
// no figure type.
std::span<const FieldInfo> ViewSettingsFields();
std::span<const FieldInfo> LabelFontFields();

// The fields a figure of the given type carries, each under the name it has in
// that type, in offset order. Empty for an unknown type.
std::vector<const FieldInfo*> FieldsOfType(std::int32_t type);

// The field of the given name in a figure of the given type, or nullptr.
const FieldInfo* FindField(std::int32_t type, std::string_view name);

// Generic access to one entry of a field inside a record's bytes. They fail
// (nullopt / false) when the entry lies outside the bytes, the index is out of
// range or the field is of the other kind (number versus string).
// Numbers: integers, bools (0/1), colours and pointer words read as their
// value; writing an integer kind rounds and clamps to the kind's range, a bool
// stores 1 for any non-zero value; NaN is refused for integer kinds.
std::optional<double> ReadNumber(std::span<const std::uint8_t> record, const FieldInfo& field,
                                 int index = 0);
bool WriteNumber(std::span<std::uint8_t> record, const FieldInfo& field, double value,
                 int index = 0);
// Strings: the code page 932 bytes of the entry; writing cuts the text to the
// field's capacity without splitting a two-byte character.
std::optional<std::string_view> ReadString(std::span<const std::uint8_t> record,
                                           const FieldInfo& field, int index = 0);
bool WriteString(std::span<std::uint8_t> record, const FieldInfo& field, std::string_view text,
                 int index = 0);

}  // namespace qzarn
