#pragma once
// Field tables of the view settings (the first 204 bytes of the settings block)
// and of the axis font, named after the members of their layout structs.

#include <span>

#include "document/field_table.h"

namespace qzarn {

std::span<const FieldInfo> ViewSettingsFields();
std::span<const FieldInfo> AxisFontFields();

}  // namespace qzarn
