#include "forms/figure_attributes.h"

#include <charconv>

#include "document/field_table.h"
#include "engine/function_sampling.h"

namespace qzarn::forms {

namespace {

using C = AttributeControl;

// The fields a figure type binds to the controls and what a change of a
// control switches on. An empty name means "not bound" or "nothing".
struct Binding {
  FigureTypeMask types;
  std::string_view size, style, fill, colour, second, second_hint;
  bool font;
  std::string_view on_line;    // a change of size, style or figure colour
  std::string_view on_second;  // a change of the second colour
  std::string_view on_fill;    // a change of the fill
  std::string_view on_font;    // a change of a font control
  // The font rule is skipped while this flag is on (an area showing its name).
  std::string_view font_unless;
  // A second colour chosen while nothing is filled fills with pattern 5.
  bool second_fills;
};

constexpr FigureTypeMask kPoints = kPointFigureTypes;
constexpr FigureTypeMask kLines =
    TypeBit(kLineFigure) | TypeBit(kSessenFigure) | TypeBit(kParabolaFigure);
// Function curves and function regions are told apart by the record, not the type.
constexpr FigureTypeMask kNoTypes = 0;

// clang-format off
constexpr Binding kPointBinding{kPoints, "Radius", "", "", "RimColor", "Color", "内部色", true,
                                "DispMark", "", "", "DispName", "", false};
constexpr Binding kBindings[] = {
    kPointBinding,
    {kLines, "SizeL", "StyleL", "", "LineColor", "PointColor", "点の色", true,
     "DispL", "DispP", "", "DispC", "", false},
    {TypeBit(kAngleFigure), "SizeL", "StyleL", "", "LineColor", "PointColor", "点の色", true,
     "DispL", "DispP", "", "", "", false},
    {TypeBit(kCircleFigure), "SizeL", "StyleL", "StyleB", "RimColor", "DomainColor", "内部色", true,
     "DispL", "", "", "DispC", "", true},
    {TypeBit(kAngle2Figure), "RimRadius", "Index4", "", "Color", "RimColor", "内部色", true,
     "DispMark", "", "", "DispName", "", false},
    {TypeBit(kMensekiFigure), "RimRadius", "", "PaintType", "Color", "", "", true,
     "", "", "", "DispValue", "DispName", false},
    {TypeBit(kPolyFigure), "SizeL", "StyleL", "StyleB", "LineColor", "ColorB", "内部色", true,
     "DispL", "", "DispB", "DispZ", "", true},
    {TypeBit(kSplineFigure), "SizeL", "StyleL", "", "LineColor", "", "", false,
     "DispL", "", "", "", "", false},
    {TypeBit(kOleFigure), "SizeL", "StyleL", "", "RimColor", "ColorBk", "背景色", false,
     "DispL", "DispBk", "", "", "", false},
    {TypeBit(kCharFigure), "SizeL", "StyleL", "", "RimColor", "ColorBk", "背景色", true,
     "DispL", "DispBk", "", "", "", false},
};
constexpr Binding kCurveBinding{kNoTypes, "SizeL", "StyleL", "", "ColorL", "ColorP", "点の色",
                                false, "DispL", "", "", "", "", false};
constexpr Binding kRegionBinding{kNoTypes, "SizeL", "StyleL", "", "ColorL", "ColorP", "領域色",
                                 true, "DispL", "", "", "", "", false};
// clang-format on

bool IsRegion(const FigureRecord& figure) {
  const FunctionRecord* f = figure.function();
  return f != nullptr && f->FuncKind == kImplicitCurve && f->Mode != 0;
}

const Binding* BindingOf(const FigureRecord& figure) {
  if (figure.type() == kFunctionFigure) return IsRegion(figure) ? &kRegionBinding : &kCurveBinding;
  for (const Binding& b : kBindings)
    if ((b.types & TypeBit(figure.type())) != 0) return &b;
  return nullptr;
}

std::optional<double> Number(const FigureRecord& figure, std::string_view name) {
  if (name.empty()) return std::nullopt;
  const FieldInfo* field = FindField(figure.type(), name);
  return field ? ReadNumber(figure.bytes(), *field) : std::nullopt;
}

bool FlagOn(const FigureRecord& figure, std::string_view name) {
  return Number(figure, name).value_or(0) != 0;
}

void SetNumber(FigureRecord& figure, std::string_view name, double value) {
  if (name.empty()) return;
  if (const FieldInfo* field = FindField(figure.type(), name))
    WriteNumber(figure.bytes(), *field, value);
}

template <class T>
std::optional<T> As(std::optional<double> v) {
  if (!v) return std::nullopt;
  return static_cast<T>(*v);
}

// A stored list code, or nothing when it is not in the list.
std::optional<std::int32_t> ListCode(std::optional<double> v, std::size_t items) {
  if (!v || *v < 0 || *v >= static_cast<double>(items)) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

constexpr FigureTypeMask kLocusTypes = FamilyMask(LayoutFamily::kPoint) | TypeBit(kCross3Figure) |
                                       TypeBit(kLineFigure) | TypeBit(kSessenFigure) |
                                       TypeBit(kAngleFigure) | TypeBit(kParabolaFigure) |
                                       TypeBit(kCircleFigure);

// Writes a number control when it differs from the stored value; true when it did.
bool WriteIfChanged(FigureRecord& figure, std::string_view name,
                    const std::optional<double>& value) {
  if (name.empty() || !value) return false;
  const FieldInfo* field = FindField(figure.type(), name);
  if (field == nullptr) return false;
  const std::optional<double> stored = ReadNumber(figure.bytes(), *field);
  if (stored && *stored == *value) return false;
  return WriteNumber(figure.bytes(), *field, *value);
}

template <class T>
std::optional<double> AsDouble(const std::optional<T>& v) {
  if (!v) return std::nullopt;
  return static_cast<double>(*v);
}

}  // namespace

std::optional<AttributeControl> AttributeControlOf(int number) {
  const int index = number - kFirstAttributeCommand;
  if (index < 0 || index >= kAttributeControlCount) return std::nullopt;
  return static_cast<AttributeControl>(index);
}

FigureAttributes ShowFigureAttributes(const FigureRecord* figure) {
  FigureAttributes a;
  if (figure == nullptr || figure->empty()) return a;
  const int type = figure->type();
  a.can_have_locus =
      (kLocusTypes & TypeBit(type)) != 0 || (type == kFunctionFigure && !IsRegion(*figure));
  a.locus_on =
      FlagOn(*figure, "Track") || FlagOn(*figure, "PaintFlag") || FlagOn(*figure, "KisekiF");
  const Binding* b = BindingOf(*figure);
  if (b == nullptr) return a;
  const auto bind = [&a](C control, std::string_view field) {
    a.enabled[static_cast<std::size_t>(control)] = !field.empty();
  };
  bind(C::kColour, b->colour);
  bind(C::kSize, b->size);
  bind(C::kStyle, b->style);
  bind(C::kFill, b->fill);
  bind(C::kSecondColour, b->second);
  for (C font : {C::kFontName, C::kFontColour, C::kFontSize})
    a.enabled[static_cast<std::size_t>(font)] = b->font;

  a.colour = As<std::uint32_t>(Number(*figure, b->colour));
  a.size = As<std::int32_t>(Number(*figure, b->size));
  a.style = ListCode(Number(*figure, b->style), kAttributeStyles.size());
  a.fill = ListCode(Number(*figure, b->fill), kAttributeFills.size());
  a.second_colour = As<std::uint32_t>(Number(*figure, b->second));
  if (!b->second_hint.empty()) a.second_hint = b->second_hint;
  if (b->font) {
    if (const FieldInfo* name = FindField(type, "FontName"))
      if (std::optional<std::string_view> text = ReadString(figure->bytes(), *name))
        a.font_name = std::string(*text);
    a.font_colour = As<std::uint32_t>(Number(*figure, "FontColor"));
    a.font_size = As<std::int32_t>(Number(*figure, "FontSize"));
  }
  return a;
}

bool ApplyFigureAttributes(FigureRecord& figure, const FigureAttributes& controls) {
  const Binding* b = BindingOf(figure);
  if (b == nullptr) return false;
  // A size the user typed must be 1..99; a stored one outside (shown back
  // unchanged) does not block the other controls.
  const auto valid_size = [&figure](const std::optional<std::int32_t>& v, std::string_view field) {
    return !v || (*v >= kMinAttributeSize && *v <= kMaxAttributeSize) ||
           Number(figure, field) == static_cast<double>(*v);
  };
  if (!valid_size(controls.size, b->size) ||
      (b->font && !valid_size(controls.font_size, "FontSize")))
    return false;
  const auto on = [&controls](C c) { return controls.is_enabled(c); };

  bool line = false;
  if (on(C::kSize)) line |= WriteIfChanged(figure, b->size, AsDouble(controls.size));
  if (on(C::kStyle)) line |= WriteIfChanged(figure, b->style, AsDouble(controls.style));
  if (on(C::kColour)) line |= WriteIfChanged(figure, b->colour, AsDouble(controls.colour));
  const bool fill = on(C::kFill) && WriteIfChanged(figure, b->fill, AsDouble(controls.fill));
  const bool second =
      on(C::kSecondColour) && WriteIfChanged(figure, b->second, AsDouble(controls.second_colour));
  bool font = false;
  if (b->font) {
    if (on(C::kFontColour))
      font |= WriteIfChanged(figure, "FontColor", AsDouble(controls.font_colour));
    if (on(C::kFontSize)) font |= WriteIfChanged(figure, "FontSize", AsDouble(controls.font_size));
    const FieldInfo* name = FindField(figure.type(), "FontName");
    if (on(C::kFontName) && controls.font_name && name != nullptr) {
      const std::optional<std::string_view> stored = ReadString(figure.bytes(), *name);
      if (!stored || *stored != *controls.font_name) {
        WriteString(figure.bytes(), *name, *controls.font_name);
        // A font picked by name is looked up in the default character set.
        SetNumber(figure, "FontSet", 1);
        font = true;
      }
    }
  }

  if (line) SetNumber(figure, b->on_line, 1);
  if (fill) SetNumber(figure, b->on_fill, 1);
  if (second) {
    SetNumber(figure, b->on_second, 1);
    if (b->second_fills && Number(figure, b->fill).value_or(0) == 0) SetNumber(figure, b->fill, 5);
  }
  if (font && (b->font_unless.empty() || !FlagOn(figure, b->font_unless)))
    SetNumber(figure, b->on_font, 1);
  return line || fill || second || font;
}

std::optional<std::int32_t> ParseAttributeSize(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < kMinAttributeSize || value > kMaxAttributeSize) return std::nullopt;
  return value;
}

}  // namespace qzarn::forms
