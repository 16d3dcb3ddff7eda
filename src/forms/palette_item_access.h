#pragma once
// Named access to the fields of a user-defined palette entry (label or
// variable box), shared by the palette and its editor.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/palette_item_fields.h"
#include "document/screen.h"

namespace qzarn {

// A field of the entry's kind read as a number; 0 for a missing field.
double ItemNumber(const PaletteItem& item, std::int32_t kind, std::string_view name);
// The number as an int (non-finite reads as 0).
int ItemInt(const PaletteItem& item, std::int32_t kind, std::string_view name);
// A text field's stored code page 932 bytes.
std::string ItemText(const PaletteItem& item, std::int32_t kind, std::string_view name);
void SetItemNumber(PaletteItem& item, std::int32_t kind, std::string_view name, double value);
// Stores code page 932 bytes, cut to the field without splitting a character.
void SetItemText(PaletteItem& item, std::int32_t kind, std::string_view name,
                 std::string_view cp932);

}  // namespace qzarn
