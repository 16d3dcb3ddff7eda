#include "document/settings_block_fields.h"

#include <cstddef>
#include <type_traits>
#include <utility>

#include "document/screen.h"

namespace qzarn {
namespace {

template <class T>
constexpr FieldKind KindOf() {
  if constexpr (std::is_same_v<T, std::uint8_t>) return FieldKind::kU8;
  if constexpr (std::is_same_v<T, Bool8>) return FieldKind::kBool;
  if constexpr (std::is_same_v<T, I16>) return FieldKind::kI16;
  if constexpr (std::is_same_v<T, I32>) return FieldKind::kI32;
  if constexpr (std::is_same_v<T, F64>) return FieldKind::kF64;
  if constexpr (std::is_same_v<T, Colour>) return FieldKind::kColour;
  if constexpr (std::is_same_v<T, PointerWord>) return FieldKind::kPointer;
  return FieldKind::kString;
}

template <class T>
constexpr std::uint16_t CapacityOf() {
  if constexpr (requires { T::kCapacity; }) return T::kCapacity;
  return 0;
}

template <class M>
constexpr FieldInfo MakeField(std::string_view name, std::size_t offset) {
  return FieldInfo{name,        static_cast<std::uint32_t>(offset),
                   KindOf<M>(), CapacityOf<M>(),
                   1,           ~FigureTypeMask{0}};
}

// A field under its member name, so the name is spelled only in the layout struct.
#define QZARN_FIELD(Block, member)                                             \
  MakeField<std::remove_reference_t<decltype(std::declval<Block&>().member)>>( \
      #member, offsetof(Block, member))

constexpr FieldInfo kViewFields[] = {
    QZARN_FIELD(ViewSettings, ScreenWidth),
    QZARN_FIELD(ViewSettings, ScreenHeight),
    QZARN_FIELD(ViewSettings, FullScreenWidth),
    QZARN_FIELD(ViewSettings, FullScreenHeight),
    QZARN_FIELD(ViewSettings, CoordinateKind),
    QZARN_FIELD(ViewSettings, XAxisStyle),
    QZARN_FIELD(ViewSettings, XAxisWidthStep),
    QZARN_FIELD(ViewSettings, XAxisColor),
    QZARN_FIELD(ViewSettings, YAxisStyle),
    QZARN_FIELD(ViewSettings, YAxisWidthStep),
    QZARN_FIELD(ViewSettings, YAxisColor),
    QZARN_FIELD(ViewSettings, ShowAxes),
    QZARN_FIELD(ViewSettings, XAxisName),
    QZARN_FIELD(ViewSettings, YAxisName),
    QZARN_FIELD(ViewSettings, GridAsPoints),
    QZARN_FIELD(ViewSettings, GridStyle),
    QZARN_FIELD(ViewSettings, ShowGrid),
    QZARN_FIELD(ViewSettings, Scale),
    QZARN_FIELD(ViewSettings, XTick),
    QZARN_FIELD(ViewSettings, YTick),
    QZARN_FIELD(ViewSettings, AutoXTick),
    QZARN_FIELD(ViewSettings, AutoYTick),
    QZARN_FIELD(ViewSettings, GridWidth),
    QZARN_FIELD(ViewSettings, GridColor),
    QZARN_FIELD(ViewSettings, BackColor),
    QZARN_FIELD(ViewSettings, BackPicture),
    QZARN_FIELD(ViewSettings, BackgroundMode),
    QZARN_FIELD(ViewSettings, Zoom),
    QZARN_FIELD(ViewSettings, CentreX),
    QZARN_FIELD(ViewSettings, CentreY),
    QZARN_FIELD(ViewSettings, PanX),
    QZARN_FIELD(ViewSettings, PanY),
    QZARN_FIELD(ViewSettings, PrintSize),
    QZARN_FIELD(ViewSettings, PrintCopies),
    QZARN_FIELD(ViewSettings, WidthRatio),
    QZARN_FIELD(ViewSettings, FullRedraw),
    QZARN_FIELD(ViewSettings, SnapStep),
    QZARN_FIELD(ViewSettings, PaletteWidth),
    QZARN_FIELD(ViewSettings, PaletteHeight),
    QZARN_FIELD(ViewSettings, PaletteMode),
    QZARN_FIELD(ViewSettings, PaletteVariable),
    QZARN_FIELD(ViewSettings, PaletteRow),
    QZARN_FIELD(ViewSettings, PaletteColumn),
    QZARN_FIELD(ViewSettings, PaletteStep),
};

constexpr FieldInfo kAxisFontFields[] = {
    QZARN_FIELD(AxisFont, FontName), QZARN_FIELD(AxisFont, FontColor),
    QZARN_FIELD(AxisFont, FontSize), QZARN_FIELD(AxisFont, FontStyle),
    QZARN_FIELD(AxisFont, FontSet),
};

#undef QZARN_FIELD

}  // namespace

std::span<const FieldInfo> ViewSettingsFields() {
  return kViewFields;
}
std::span<const FieldInfo> AxisFontFields() {
  return kAxisFontFields;
}

}  // namespace qzarn
