#pragma once
// Default attributes of new figures: one default record per figure type, built from the
// built-in values below and the type's section of the program settings file, and the
// initialisation of a new record from it.
//
// Settings keys are the field names of the record field tables for the type (so a
// Menseki section says RR, Decimal, DispValue ...; an Angle2 section RadiusRR and Radius).
// Integer, boolean and colour keys are numbers (colours also "$BBGGRR"), reals are decimal
// texts, expressions and names are code page 932 text cut to their field. A key whose value
// does not read keeps the built-in value. The program never writes these sections.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/field_table.h"
#include "document/figure_table.h"
#include "document/screen.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"

namespace qzarn {

// One key of a type's default record: where its field lies, its built-in value text and
// whether it is a display attribute (passed on to the next new figure when ContAttrib is
// on) rather than part of the figure's definition.
struct DefaultValue {
  std::uint32_t offset;
  std::string_view text;
  bool attribute;
};

// The keys of a type's settings section with their built-in values; empty for an unknown
// type.
std::span<const DefaultValue> BuiltInDefaults(std::int32_t type);

// The field a default value names in a figure of the type (its name is the settings key).
const FieldInfo* DefaultField(std::int32_t type, const DefaultValue& value);

// The label font new figures get, from InitFont, InitFontSize, InitcFoStyle and InitcFoChar.
struct NewFigureFont {
  std::string FontName;  // code page 932
  std::int32_t FontSize = 20;
  std::uint8_t FontStyle = 0;
  std::int32_t FontSet = 1;
};
NewFigureFont NewFigureFontFromSettings(const UserSettings& settings);

// The seventeen default records (types 5 and 11 share one section).
class FigureDefaults {
 public:
  // Built-in values only: what a missing program settings file gives.
  FigureDefaults();
  // Built-in values overridden by the type sections of the program settings file.
  explicit FigureDefaults(const IniFile& program_file);

  // The default record of the type; an empty record for a code outside 1..18.
  const FigureRecord& Record(std::int32_t type) const;

 private:
  std::array<FigureRecord, kLastFigureType + 1> records_;
};

// Per screen, the display attributes of the figure last confirmed in a property dialog of
// each type, given to the next new figure of that type while ContAttrib is on.
class AttributeMemory {
 public:
  void Remember(const FigureRecord& figure);
  // Copies the remembered attributes of the figure's type onto it; false when none.
  bool Apply(FigureRecord& figure) const;
  bool Has(std::int32_t type) const;
  void Clear();

 private:
  std::array<std::optional<FigureRecord>, kLastFigureType + 1> remembered_;
};

// A new record of the type: the default record, then the fixed values of a new figure
// (Mode -1, empty names, references -1, empty loci, the label font of the settings, and
// the kind-specific values of functions and multi-point figures); then, when given, the
// attributes remembered for the type. For functions sub_kind is the FuncKind (1 explicit,
// 2 parametric, 3 polar, 4 implicit). An empty record for a code outside 1..18.
FigureRecord InitialiseFigure(std::int32_t type, const FigureDefaults& defaults,
                              const NewFigureFont& font, std::int32_t sub_kind = 0,
                              const AttributeMemory* remembered = nullptr);

// The settings new screens start from.
NewScreenDefaults NewScreenDefaultsFromSettings(const UserSettings& settings,
                                                std::int32_t full_screen_width,
                                                std::int32_t full_screen_height);

}  // namespace qzarn
