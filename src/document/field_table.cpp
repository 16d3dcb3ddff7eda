#include "document/field_table.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "document/figure_layouts.h"
#include "document/screen.h"

namespace qzarn {
namespace {

template <class T>
struct IsPString : std::false_type {};
template <std::size_t N>
struct IsPString<PString<N>> : std::true_type {};

template <class E>
constexpr FieldKind KindOf() {
  if constexpr (std::is_same_v<E, std::uint8_t>) {
    return FieldKind::kU8;
  } else if constexpr (std::is_same_v<E, Bool8>) {
    return FieldKind::kBool;
  } else if constexpr (std::is_same_v<E, I16>) {
    return FieldKind::kI16;
  } else if constexpr (std::is_same_v<E, I32>) {
    return FieldKind::kI32;
  } else if constexpr (std::is_same_v<E, F32>) {
    return FieldKind::kF32;
  } else if constexpr (std::is_same_v<E, F64>) {
    return FieldKind::kF64;
  } else if constexpr (std::is_same_v<E, Colour>) {
    return FieldKind::kColour;
  } else if constexpr (std::is_same_v<E, PointerWord>) {
    return FieldKind::kPointer;
  } else {
    static_assert(IsPString<E>::value, "a record field of a type the tables do not know");
    return FieldKind::kString;
  }
}

template <class E>
constexpr std::uint16_t CapacityOf() {
  if constexpr (IsPString<E>::value) return E::kCapacity;
  return 0;
}

template <class M>
constexpr FieldInfo MakeField(std::string_view name, std::size_t offset, FigureTypeMask types) {
  using E = std::remove_all_extents_t<M>;
  return FieldInfo{name,
                   static_cast<std::uint32_t>(offset),
                   KindOf<E>(),
                   CapacityOf<E>(),
                   static_cast<std::uint16_t>(sizeof(M) / sizeof(E)),
                   types};
}

#define QZARN_MEMBER_TYPE(Rec, path) std::remove_reference_t<decltype(std::declval<Rec&>().path)>
// A field under its member name.
#define F(Rec, member, types) \
  MakeField<QZARN_MEMBER_TYPE(Rec, member)>(#member, offsetof(Rec, member), types)
// The same bytes under another name, in the types where they mean something else.
#define ALIAS(name, Rec, member, types) \
  MakeField<QZARN_MEMBER_TYPE(Rec, member)>(name, offsetof(Rec, member), types)
// A field of a frame's type-specific tail.
#define TAIL(part, member, types)                              \
  MakeField<QZARN_MEMBER_TYPE(FrameRecord, Tail.part.member)>( \
      #member, offsetof(FrameRecord, Tail.part.member), types)

// The five fields of a label font block.
#define FONT_FIRST(Rec, block, types)                                                          \
  MakeField<QZARN_MEMBER_TYPE(Rec, block.FontName)>("FontName", offsetof(Rec, block.FontName), \
                                                    types)
#define FONT_REST(Rec, block, types)                                                               \
  MakeField<QZARN_MEMBER_TYPE(Rec, block.FontColor)>("FontColor", offsetof(Rec, block.FontColor),  \
                                                     types),                                       \
      MakeField<QZARN_MEMBER_TYPE(Rec, block.FontSize)>("FontSize", offsetof(Rec, block.FontSize), \
                                                        types),                                    \
      MakeField<QZARN_MEMBER_TYPE(Rec, block.FontStyle)>("FontStyle",                              \
                                                         offsetof(Rec, block.FontStyle), types),   \
      MakeField<QZARN_MEMBER_TYPE(Rec, block.FontSet)>("FontSet", offsetof(Rec, block.FontSet),    \
                                                       types)
#define FONT(Rec, block, types) FONT_FIRST(Rec, block, types), FONT_REST(Rec, block, types)

// clang-format off
constexpr FigureTypeMask kPointAll = FamilyMask(LayoutFamily::kPoint);
constexpr FigureTypeMask kMenseki = TypeBit(kMensekiFigure);
constexpr FigureTypeMask kAngle2 = TypeBit(kAngle2Figure);
constexpr FigureTypeMask kPlainPoints = kPointAll & ~kMenseki & ~kAngle2;

constexpr FieldInfo kPointFields[] = {
    F(PointRecord, Mode, kPointAll),
    F(PointRecord, Name, kPointAll),
    F(PointRecord, Radius, kPlainPoints),
    ALIAS("RR", PointRecord, Radius, kMenseki),
    ALIAS("RadiusRR", PointRecord, Radius, kAngle2),
    F(PointRecord, Color, kPointAll),
    F(PointRecord, RimColor, kPointAll),
    F(PointRecord, Paint, kPointAll),
    F(PointRecord, Direction, kPointAll & ~kMenseki),
    ALIAS("Decimal", PointRecord, Direction, kMenseki),
    F(PointRecord, DispName, kPointAll),
    F(PointRecord, DispMark, kPointAll & ~kMenseki),
    ALIAS("DispValue", PointRecord, DispMark, kMenseki),
    F(PointRecord, Coordinates, kPointAll & ~kMenseki),
    ALIAS("Brush", PointRecord, Coordinates, kMenseki),
    F(PointRecord, RimRadius, kPointAll),
    F(PointRecord, X, kPointAll),
    F(PointRecord, Y, kPointAll),
    ALIAS("Radius", PointRecord, ArcRadius, kAngle2),
    ALIAS("AreaValue", PointRecord, ArcRadius, kMenseki),
    F(PointRecord, LabelX, kPointAll & ~kAngle2),
    ALIAS("StartAngle", PointRecord, LabelX, kAngle2),
    F(PointRecord, LabelY, kPointAll & ~kAngle2),
    ALIAS("EndAngle", PointRecord, LabelY, kAngle2),
    F(PointRecord, FX, kPointAll),
    F(PointRecord, FY, kPointAll),
    F(PointRecord, Boolean, kPointAll),
    F(PointRecord, ConditionValue, kPointAll),
    F(PointRecord, BooleanFunc, kPointAll),
    F(PointRecord, Ref0, kPointAll),
    F(PointRecord, Ref1, kPointAll),
    F(PointRecord, Ref2, kPointAll),
    F(PointRecord, Ref3, kPointAll & ~kAngle2),
    ALIAS("Index4", PointRecord, Ref3, kAngle2),
    FONT(PointRecord, Font, kPointAll),
    F(PointRecord, RatioDegenerate, kPointAll),
    F(PointRecord, Track, kPointAll & ~kMenseki),
    ALIAS("PaintFlag", PointRecord, Track, kMenseki),
    F(PointRecord, TrackConnect, kPointAll),
    F(PointRecord, TrackRadius, kPointAll),
    F(PointRecord, TrackThick, kPointAll & ~kMenseki),
    ALIAS("PaintType", PointRecord, TrackThick, kMenseki),
    F(PointRecord, TrackColor, kPointAll & ~kMenseki),
    ALIAS("PaintColor", PointRecord, TrackColor, kMenseki),
    F(PointRecord, TrackCount, kPointAll),
    F(PointRecord, TrackX, kPointAll),
    F(PointRecord, TrackY, kPointAll),
    F(PointRecord, HatchCount, kPointAll),
    F(PointRecord, HatchX, kPointAll),
    F(PointRecord, HatchY, kPointAll),
    F(PointRecord, LimitS, kPointAll),
};

constexpr FigureTypeMask kLineAll = FamilyMask(LayoutFamily::kLine);
constexpr FigureTypeMask kSessen = TypeBit(kSessenFigure);

constexpr FieldInfo kLineFields[] = {
    F(LineRecord, Mode, kLineAll),
    F(LineRecord, Name, kLineAll),
    F(LineRecord, PointName1, kLineAll),
    F(LineRecord, PointName2, kLineAll),
    F(LineRecord, LineColor, kLineAll),
    F(LineRecord, PointColor, kLineAll),
    F(LineRecord, pType, kLineAll),
    F(LineRecord, DispL, kLineAll),
    F(LineRecord, DispP, kLineAll),
    F(LineRecord, DispC, kLineAll),
    F(LineRecord, DispZ, kLineAll),
    F(LineRecord, DispB, kLineAll),
    F(LineRecord, DispN, kLineAll),
    F(LineRecord, SizeL, kLineAll),
    F(LineRecord, SizeP, kLineAll),
    F(LineRecord, StyleL, kLineAll),
    F(LineRecord, Dir, kLineAll),
    F(LineRecord, Lng, kLineAll),
    F(LineRecord, YaTyp, kLineAll & ~kSessen),
    ALIAS("TangentKind", LineRecord, YaTyp, kSessen),
    F(LineRecord, YaAng, kLineAll),
    F(LineRecord, YaLng, kLineAll),
    F(LineRecord, X0, kLineAll),
    F(LineRecord, Y0, kLineAll),
    F(LineRecord, X1, kLineAll),
    F(LineRecord, Y1, kLineAll),
    F(LineRecord, FX0, kLineAll),
    F(LineRecord, FY0, kLineAll),
    F(LineRecord, FX1, kLineAll),
    F(LineRecord, FY1, kLineAll),
    F(LineRecord, Boolean, kLineAll),
    F(LineRecord, ConditionValue, kLineAll),
    F(LineRecord, BooleanFunc, kLineAll),
    F(LineRecord, Ref0, kLineAll),
    F(LineRecord, Ref1, kLineAll),
    F(LineRecord, Ref2, kLineAll),
    FONT(LineRecord, Font, kLineAll),
    F(LineRecord, PaintFlag, kLineAll),
    F(LineRecord, TrackRadius, kLineAll),
    F(LineRecord, PaintType, kLineAll),
    F(LineRecord, PaintColor, kLineAll),
    F(LineRecord, TrackCount, kLineAll),
    F(LineRecord, TrackX0, kLineAll),
    F(LineRecord, TrackY0, kLineAll),
    F(LineRecord, TrackX1, kLineAll),
    F(LineRecord, TrackY1, kLineAll),
    F(LineRecord, LimitS, kLineAll),
};

constexpr FigureTypeMask kCircle = TypeBit(kCircleFigure);

constexpr FieldInfo kCircleFields[] = {
    F(CircleRecord, Mode, kCircle),
    F(CircleRecord, Name, kCircle),
    F(CircleRecord, PointName1, kCircle),
    F(CircleRecord, PointName2, kCircle),
    F(CircleRecord, PointName3, kCircle),
    F(CircleRecord, RimColor, kCircle),
    F(CircleRecord, CenterColor, kCircle),
    F(CircleRecord, DomainColor, kCircle),
    F(CircleRecord, pType, kCircle),
    F(CircleRecord, DispL, kCircle),
    F(CircleRecord, DispP, kCircle),
    F(CircleRecord, DispC, kCircle),
    F(CircleRecord, DispZ, kCircle),
    F(CircleRecord, DispB, kCircle),
    F(CircleRecord, DispI, kCircle),
    F(CircleRecord, SizeL, kCircle),
    F(CircleRecord, SizeP, kCircle),
    F(CircleRecord, StyleL, kCircle),
    F(CircleRecord, StyleB, kCircle),
    F(CircleRecord, Dir, kCircle),
    F(CircleRecord, X0, kCircle),
    F(CircleRecord, Y0, kCircle),
    F(CircleRecord, X1, kCircle),
    F(CircleRecord, Y1, kCircle),
    F(CircleRecord, X2, kCircle),
    F(CircleRecord, Y2, kCircle),
    F(CircleRecord, RadiusValue, kCircle),
    F(CircleRecord, FX0, kCircle),
    F(CircleRecord, FY0, kCircle),
    F(CircleRecord, FX1, kCircle),
    F(CircleRecord, FY1, kCircle),
    F(CircleRecord, FX2, kCircle),
    F(CircleRecord, FY2, kCircle),
    F(CircleRecord, Boolean, kCircle),
    F(CircleRecord, ConditionValue, kCircle),
    F(CircleRecord, BooleanFunc, kCircle),
    F(CircleRecord, Ref0, kCircle),
    F(CircleRecord, Ref1, kCircle),
    F(CircleRecord, Ref2, kCircle),
    FONT(CircleRecord, Font, kCircle),
    F(CircleRecord, PaintFlag, kCircle),
    F(CircleRecord, TrackRadius, kCircle),
    F(CircleRecord, PaintType, kCircle),
    F(CircleRecord, PaintColor, kCircle),
    F(CircleRecord, TrackCount, kCircle),
    F(CircleRecord, TrackCX, kCircle),
    F(CircleRecord, TrackCY, kCircle),
    F(CircleRecord, TrackR, kCircle),
};

constexpr FigureTypeMask kFunction = TypeBit(kFunctionFigure);

constexpr FieldInfo kFunctionFields[] = {
    F(FunctionRecord, Mode, kFunction),
    F(FunctionRecord, FuncKind, kFunction),
    F(FunctionRecord, Name, kFunction),
    F(FunctionRecord, ColorL, kFunction),
    F(FunctionRecord, ColorP, kFunction),
    F(FunctionRecord, pType, kFunction),
    F(FunctionRecord, DispL, kFunction),
    F(FunctionRecord, DispP, kFunction),
    F(FunctionRecord, SizeL, kFunction),
    F(FunctionRecord, SizeP, kFunction),
    F(FunctionRecord, StyleL, kFunction),
    FONT(FunctionRecord, Font, kFunction),
    F(FunctionRecord, FuncX, kFunction),
    F(FunctionRecord, FuncY, kFunction),
    F(FunctionRecord, AreaSx1, kFunction),
    F(FunctionRecord, AreaEx1, kFunction),
    F(FunctionRecord, AreaWd1, kFunction),
    F(FunctionRecord, AreaSx2, kFunction),
    F(FunctionRecord, Seido, kFunction),
    F(FunctionRecord, Recursive, kFunction),
    F(FunctionRecord, InitX, kFunction),
    F(FunctionRecord, InitY, kFunction),
    F(FunctionRecord, ParamVar, kFunction),
    F(FunctionRecord, FamilyVar, kFunction),
    F(FunctionRecord, Boolean, kFunction),
    F(FunctionRecord, ConditionValue, kFunction),
    F(FunctionRecord, BooleanFunc, kFunction),
    F(FunctionRecord, CurveValid, kFunction),
    F(FunctionRecord, SampleLast, kFunction),
    F(FunctionRecord, SampleX, kFunction),
    F(FunctionRecord, SampleY, kFunction),
    F(FunctionRecord, TrackCount, kFunction),
    F(FunctionRecord, KisekiF, kFunction),
    F(FunctionRecord, KisekiL, kFunction),
    F(FunctionRecord, KisekiP, kFunction),
    F(FunctionRecord, KisekiR, kFunction),
    F(FunctionRecord, KisekiW, kFunction),
    F(FunctionRecord, PaintColor, kFunction),
    F(FunctionRecord, KisekiList, kFunction),
    F(FunctionRecord, AreaEx2, kFunction),
    F(FunctionRecord, AreaWd2, kFunction),
};

constexpr FigureTypeMask kFrameAll = FamilyMask(LayoutFamily::kFrame);
constexpr FigureTypeMask kOle = TypeBit(kOleFigure);
constexpr FigureTypeMask kChar = TypeBit(kCharFigure);

constexpr FieldInfo kFrameFields[] = {
    F(FrameRecord, Name, kFrameAll),
    F(FrameRecord, PointName1, kFrameAll),
    F(FrameRecord, PointName2, kFrameAll),
    F(FrameRecord, X0, kFrameAll),
    F(FrameRecord, Y0, kFrameAll),
    F(FrameRecord, FX0, kFrameAll),
    F(FrameRecord, FY0, kFrameAll),
    F(FrameRecord, X1, kFrameAll),
    F(FrameRecord, Y1, kFrameAll),
    F(FrameRecord, FX1, kFrameAll),
    F(FrameRecord, FY1, kFrameAll),
    F(FrameRecord, Boolean, kFrameAll),
    F(FrameRecord, ConditionValue, kFrameAll),
    F(FrameRecord, BooleanFunc, kFrameAll),
    F(FrameRecord, Ref0, kFrameAll),
    F(FrameRecord, Ref1, kFrameAll),
    F(FrameRecord, RimColor, kFrameAll),
    F(FrameRecord, DispL, kFrameAll),
    F(FrameRecord, SizeL, kFrameAll),
    F(FrameRecord, StyleL, kFrameAll),
    F(FrameRecord, IsFront, kFrameAll),
    F(FrameRecord, IsIcon, kFrameAll),
    F(FrameRecord, DispO, kFrameAll),
    F(FrameRecord, DispBk, kFrameAll),
    F(FrameRecord, ColorBk, kFrameAll),
    TAIL(Object, SizeM, kOle),
    FONT_FIRST(FrameRecord, Tail.Text.Font, kChar),
    TAIL(Object, Container, kOle),
    FONT_REST(FrameRecord, Tail.Text.Font, kChar),
    TAIL(Text, Lines, kChar),
    TAIL(Text, CharW, kChar),
    TAIL(Text, CharX, kChar),
    TAIL(Text, CharY, kChar),
};

constexpr FigureTypeMask kPolygonAll = FamilyMask(LayoutFamily::kPolygon);
constexpr FigureTypeMask kPoly = TypeBit(kPolyFigure);

constexpr FieldInfo kPolygonFields[] = {
    F(PolygonRecord, Mode, kPolygonAll),
    F(PolygonRecord, Name, kPolygonAll),
    F(PolygonRecord, DispL, kPolygonAll),
    F(PolygonRecord, DispP, kPolygonAll),
    F(PolygonRecord, DispZ, kPolygonAll),
    F(PolygonRecord, DispB, kPolygonAll),
    F(PolygonRecord, LineColor, kPolygonAll),
    F(PolygonRecord, SizeL, kPolygonAll),
    F(PolygonRecord, StyleL, kPolygonAll),
    F(PolygonRecord, ColorB, kPolygonAll),
    F(PolygonRecord, StyleB, kPolygonAll),
    F(PolygonRecord, LabelX, kPolygonAll),
    F(PolygonRecord, LabelY, kPolygonAll),
    F(PolygonRecord, SS, kPolygonAll & ~kPoly),
    ALIAS("PolyArea", PolygonRecord, SS, kPoly),
    F(PolygonRecord, Dir, kPolygonAll),
    F(PolygonRecord, Boolean, kPolygonAll),
    F(PolygonRecord, ConditionValue, kPolygonAll),
    F(PolygonRecord, BooleanFunc, kPolygonAll),
    F(PolygonRecord, Refs, kPolygonAll),
    F(PolygonRecord, VX, kPolygonAll),
    F(PolygonRecord, VY, kPolygonAll),
    FONT(PolygonRecord, Font, kPolygonAll),
};

constexpr FigureTypeMask kCross3 = TypeBit(kCross3Figure);

constexpr FieldInfo kMultiPointFields[] = {
    F(MultiPointRecord, Mode, kCross3),
    F(MultiPointRecord, Names, kCross3),
    F(MultiPointRecord, Radius, kCross3),
    F(MultiPointRecord, Color, kCross3),
    F(MultiPointRecord, RimColor, kCross3),
    F(MultiPointRecord, Paint, kCross3),
    F(MultiPointRecord, Direction, kCross3),
    F(MultiPointRecord, DispName, kCross3),
    F(MultiPointRecord, DispMark, kCross3),
    F(MultiPointRecord, Coordinates, kCross3),
    F(MultiPointRecord, RimRadius, kCross3),
    F(MultiPointRecord, PX, kCross3),
    F(MultiPointRecord, PY, kCross3),
    F(MultiPointRecord, FXs, kCross3),
    F(MultiPointRecord, FYs, kCross3),
    F(MultiPointRecord, Boolean, kCross3),
    F(MultiPointRecord, ConditionValue, kCross3),
    F(MultiPointRecord, BooleanFunc, kCross3),
    F(MultiPointRecord, Ref0, kCross3),
    F(MultiPointRecord, Ref1, kCross3),
    F(MultiPointRecord, Ref2, kCross3),
    F(MultiPointRecord, Ref3, kCross3),
    FONT(MultiPointRecord, Font, kCross3),
    F(MultiPointRecord, Track, kCross3),
    F(MultiPointRecord, TrackConnect, kCross3),
    F(MultiPointRecord, TrackRadius, kCross3),
    F(MultiPointRecord, TrackThick, kCross3),
    F(MultiPointRecord, TrackColor, kCross3),
    F(MultiPointRecord, TrackCount, kCross3),
    F(MultiPointRecord, TrackX, kCross3),
    F(MultiPointRecord, TrackY, kCross3),
};

constexpr FieldInfo kViewSettingsFields[] = {
    F(ViewSettings, ScreenWidth, 0),
    F(ViewSettings, ScreenHeight, 0),
    F(ViewSettings, FullScreenWidth, 0),
    F(ViewSettings, FullScreenHeight, 0),
    F(ViewSettings, CoordinateKind, 0),
    F(ViewSettings, XAxisStyle, 0),
    F(ViewSettings, XAxisWidthStep, 0),
    F(ViewSettings, XAxisColor, 0),
    F(ViewSettings, YAxisStyle, 0),
    F(ViewSettings, YAxisWidthStep, 0),
    F(ViewSettings, YAxisColor, 0),
    F(ViewSettings, ShowAxes, 0),
    F(ViewSettings, XAxisName, 0),
    F(ViewSettings, YAxisName, 0),
    F(ViewSettings, GridAsPoints, 0),
    F(ViewSettings, GridStyle, 0),
    F(ViewSettings, ShowGrid, 0),
    F(ViewSettings, Scale, 0),
    F(ViewSettings, XTick, 0),
    F(ViewSettings, YTick, 0),
    F(ViewSettings, AutoXTick, 0),
    F(ViewSettings, AutoYTick, 0),
    F(ViewSettings, GridWidth, 0),
    F(ViewSettings, GridColor, 0),
    F(ViewSettings, BackColor, 0),
    F(ViewSettings, BackPicture, 0),
    F(ViewSettings, BackgroundMode, 0),
    F(ViewSettings, Zoom, 0),
    F(ViewSettings, CentreX, 0),
    F(ViewSettings, CentreY, 0),
    F(ViewSettings, PanX, 0),
    F(ViewSettings, PanY, 0),
    F(ViewSettings, PrintSize, 0),
    F(ViewSettings, PrintCopies, 0),
    F(ViewSettings, WidthRatio, 0),
    F(ViewSettings, FullRedraw, 0),
    F(ViewSettings, SnapStep, 0),
    F(ViewSettings, PaletteWidth, 0),
    F(ViewSettings, PaletteHeight, 0),
    F(ViewSettings, PaletteMode, 0),
    F(ViewSettings, PaletteVariable, 0),
    F(ViewSettings, PaletteRow, 0),
    F(ViewSettings, PaletteColumn, 0),
    F(ViewSettings, PaletteStep, 0),
};

struct FontOnly {
  LabelFont Font;
};
constexpr FieldInfo kLabelFontFields[] = {FONT(FontOnly, Font, 0)};

// clang-format on

#undef FONT
#undef FONT_REST
#undef FONT_FIRST
#undef TAIL
#undef ALIAS
#undef F
#undef QZARN_MEMBER_TYPE

// Where entry `index` of the field lies, if inside the record.
std::optional<std::size_t> EntryOffset(std::size_t record_size, const FieldInfo& field, int index) {
  if (index < 0 || index >= field.count) return std::nullopt;
  const std::size_t at = field.offset + static_cast<std::size_t>(index) * field.element_size();
  if (at + field.element_size() > record_size) return std::nullopt;
  return at;
}

template <class T>
T Load(const std::uint8_t* p) {
  LE<T> v;
  std::memcpy(v.bytes, p, sizeof v.bytes);
  return v.get();
}

template <class T>
void Store(std::uint8_t* p, T value) {
  LE<T> v;
  v.set(value);
  std::memcpy(p, v.bytes, sizeof v.bytes);
}

template <class T>
T RoundClamped(double value) {
  const double r = std::round(value);
  if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
  if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
  return static_cast<T>(r);
}

}  // namespace

std::uint32_t FieldInfo::element_size() const {
  switch (kind) {
    case FieldKind::kU8:
    case FieldKind::kBool:
      return 1;
    case FieldKind::kI16:
      return 2;
    case FieldKind::kI32:
    case FieldKind::kF32:
    case FieldKind::kColour:
    case FieldKind::kPointer:
      return 4;
    case FieldKind::kF64:
      return 8;
    case FieldKind::kString:
      return capacity + 1u;
  }
  return 0;
}

std::span<const FieldInfo> FieldTable(LayoutFamily family) {
  switch (family) {
    case LayoutFamily::kPoint:
      return kPointFields;
    case LayoutFamily::kLine:
      return kLineFields;
    case LayoutFamily::kCircle:
      return kCircleFields;
    case LayoutFamily::kFunction:
      return kFunctionFields;
    case LayoutFamily::kFrame:
      return kFrameFields;
    case LayoutFamily::kPolygon:
      return kPolygonFields;
    case LayoutFamily::kMultiPoint:
      return kMultiPointFields;
    case LayoutFamily::kNone:
      break;
  }
  return {};
}

std::span<const FieldInfo> ViewSettingsFields() {
  return kViewSettingsFields;
}
std::span<const FieldInfo> LabelFontFields() {
  return kLabelFontFields;
}

std::vector<const FieldInfo*> FieldsOfType(std::int32_t type) {
  std::vector<const FieldInfo*> fields;
  if (!IsFigureType(type)) return fields;
  for (const FieldInfo& f : FieldTable(FamilyOf(type)))
    if (f.applies_to(type)) fields.push_back(&f);
  return fields;
}

const FieldInfo* FindField(std::int32_t type, std::string_view name) {
  if (!IsFigureType(type)) return nullptr;
  for (const FieldInfo& f : FieldTable(FamilyOf(type)))
    if (f.applies_to(type) && f.name == name) return &f;
  return nullptr;
}

std::optional<double> ReadNumber(std::span<const std::uint8_t> record, const FieldInfo& field,
                                 int index) {
  if (!field.is_number()) return std::nullopt;
  const auto at = EntryOffset(record.size(), field, index);
  if (!at) return std::nullopt;
  const std::uint8_t* p = record.data() + *at;
  switch (field.kind) {
    case FieldKind::kU8:
      return *p;
    case FieldKind::kBool:
      return *p != 0 ? 1.0 : 0.0;
    case FieldKind::kI16:
      return Load<std::int16_t>(p);
    case FieldKind::kI32:
      return Load<std::int32_t>(p);
    case FieldKind::kF32:
      return Load<float>(p);
    case FieldKind::kF64:
      return Load<double>(p);
    case FieldKind::kColour:
    case FieldKind::kPointer:
      return Load<std::uint32_t>(p);
    case FieldKind::kString:
      break;
  }
  return std::nullopt;
}

bool WriteNumber(std::span<std::uint8_t> record, const FieldInfo& field, double value, int index) {
  if (!field.is_number()) return false;
  const auto at = EntryOffset(record.size(), field, index);
  if (!at) return false;
  const bool integral = field.kind != FieldKind::kF32 && field.kind != FieldKind::kF64;
  if (integral && std::isnan(value)) return false;
  std::uint8_t* p = record.data() + *at;
  switch (field.kind) {
    case FieldKind::kU8:
      *p = RoundClamped<std::uint8_t>(value);
      return true;
    case FieldKind::kBool:
      *p = value != 0.0 ? 1 : 0;
      return true;
    case FieldKind::kI16:
      Store(p, RoundClamped<std::int16_t>(value));
      return true;
    case FieldKind::kI32:
      Store(p, RoundClamped<std::int32_t>(value));
      return true;
    case FieldKind::kF32:
      Store(p, static_cast<float>(value));
      return true;
    case FieldKind::kF64:
      Store(p, value);
      return true;
    case FieldKind::kColour:
    case FieldKind::kPointer:
      Store(p, RoundClamped<std::uint32_t>(value));
      return true;
    case FieldKind::kString:
      break;
  }
  return false;
}

std::optional<std::string_view> ReadString(std::span<const std::uint8_t> record,
                                           const FieldInfo& field, int index) {
  if (field.kind != FieldKind::kString) return std::nullopt;
  const auto at = EntryOffset(record.size(), field, index);
  if (!at) return std::nullopt;
  const std::uint8_t* p = record.data() + *at;
  const std::size_t length = std::min<std::size_t>(p[0], field.capacity);
  return std::string_view(reinterpret_cast<const char*>(p + 1), length);
}

bool WriteString(std::span<std::uint8_t> record, const FieldInfo& field, std::string_view text,
                 int index) {
  if (field.kind != FieldKind::kString) return false;
  const auto at = EntryOffset(record.size(), field, index);
  if (!at) return false;
  std::uint8_t* p = record.data() + *at;
  const std::size_t n = Cp932PrefixLength(text, field.capacity);
  p[0] = static_cast<std::uint8_t>(n);
  std::memcpy(p + 1, text.data(), n);
  return true;
}

}  // namespace qzarn
