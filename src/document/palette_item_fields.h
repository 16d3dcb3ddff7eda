#pragma once
// Field tables of the two kinds of user-defined palette entries (a label and a
// variable box), for the dump and for the palette code that reads entries.

#include <cstdint>
#include <span>

#include "document/field_table.h"

namespace qzarn {

inline constexpr std::int32_t kPaletteLabel = 0;
inline constexpr std::int32_t kPaletteVariableBox = 1;

// The fields of an entry of the kind, in offset order; only Kind for an unknown kind.
std::span<const FieldInfo> PaletteItemFields(std::int32_t kind);

}  // namespace qzarn
