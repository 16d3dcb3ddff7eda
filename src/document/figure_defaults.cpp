#include "document/figure_defaults.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "platform/text_encoding.h"
#include "settings/setting_values.h"

namespace qzarn {
namespace {

using Defaults = std::vector<DefaultValue>;

// A definition key (copied to new figures only from the default record) and an attribute
// key (also passed on by the attribute memory).
#define DEF(Rec, member, text)                                     \
  DefaultValue {                                                   \
    static_cast<std::uint32_t>(offsetof(Rec, member)), text, false \
  }
#define ATT(Rec, member, text)                                    \
  DefaultValue {                                                  \
    static_cast<std::uint32_t>(offsetof(Rec, member)), text, true \
  }

constexpr std::string_view kBlack = "0";
constexpr std::string_view kRed = "$0000FF";
constexpr std::string_view kBlue = "$FF0000";
constexpr std::string_view kSilver = "$C0C0C0";
constexpr std::string_view kGray = "$808080";
constexpr std::string_view kWhite = "$FFFFFF";
// "ＭＳ Ｐゴシック" in code page 932.
constexpr std::string_view kTextBoxFont =
    "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

// base less the entries at the removed offsets, with the entries of the same offset
// replaced by (or, when absent, extended with) the changes. Removing first matters where
// two types give one offset different fields (a text box's font name lies where an
// object keeps its view mode).
Defaults Derive(Defaults base, std::initializer_list<DefaultValue> changes,
                std::initializer_list<std::uint32_t> removed = {}) {
  for (std::uint32_t offset : removed)
    std::erase_if(base, [offset](const DefaultValue& v) { return v.offset == offset; });
  for (const DefaultValue& change : changes) {
    auto it = std::find_if(base.begin(), base.end(),
                           [&](const DefaultValue& v) { return v.offset == change.offset; });
    if (it != base.end())
      *it = change;
    else
      base.push_back(change);
  }
  return base;
}

using P = PointRecord;
using L = LineRecord;
using C = CircleRecord;
using Fn = FunctionRecord;
using Fr = FrameRecord;
using Pg = PolygonRecord;
using M = MultiPointRecord;

const Defaults& PointDefaults() {
  static const Defaults d = {
      ATT(P, Radius, "3"),
      ATT(P, Color, kBlack),
      ATT(P, RimColor, kBlack),
      ATT(P, Paint, "1"),
      ATT(P, Direction, "0"),
      ATT(P, DispName, "1"),
      ATT(P, DispMark, "1"),
      ATT(P, Coordinates, "0"),
      DEF(P, X, "0"),
      DEF(P, Y, "0"),
      DEF(P, FX, ""),
      DEF(P, FY, ""),
      ATT(P, RimRadius, "2"),
      DEF(P, Boolean, "0"),
      DEF(P, BooleanFunc, ""),
      ATT(P, Font.FontColor, kBlack),
      ATT(P, Track, "0"),
      ATT(P, TrackRadius, "2"),
      ATT(P, TrackThick, "1"),
      ATT(P, TrackColor, kRed),
      ATT(P, TrackConnect, "0"),
  };
  return d;
}

const Defaults& BuntenDefaults() {
  static const Defaults d =
      Derive(PointDefaults(), {ATT(P, Color, kBlue), ATT(P, RimColor, kBlue), DEF(P, X, "1"),
                               DEF(P, Y, "1"), DEF(P, FX, "1"), DEF(P, FY, "1")});
  return d;
}

const Defaults& CrossDefaults() {
  static const Defaults d = Derive(BuntenDefaults(), {DEF(P, FX, "0")});
  return d;
}

const Defaults& MensekiDefaults() {
  static const Defaults d = {
      DEF(P, Radius, "25"),     ATT(P, Color, kBlue),
      ATT(P, RimColor, kBlue),  ATT(P, Paint, "1"),
      ATT(P, DispName, "0"),    ATT(P, DispMark, "1"),
      ATT(P, Coordinates, "1"), DEF(P, X, "1"),
      DEF(P, Y, "1"),           DEF(P, FX, "0"),
      DEF(P, FY, "1"),          ATT(P, RimRadius, "1"),
      ATT(P, Direction, "2"),   DEF(P, Boolean, "0"),
      DEF(P, BooleanFunc, ""),  ATT(P, Font.FontColor, kBlack),
      ATT(P, Track, "0"),       ATT(P, TrackRadius, "2"),
      ATT(P, TrackThick, "1"),  ATT(P, TrackColor, kRed),
  };
  return d;
}

const Defaults& Angle2Defaults() {
  static const Defaults d = Derive(
      PointDefaults(), {ATT(P, Radius, "8"), ATT(P, RimColor, kSilver), ATT(P, RimRadius, "1"),
                        ATT(P, ArcRadius, "1"), ATT(P, Ref3, "0"), ATT(P, LimitS, "1")});
  return d;
}

const Defaults& LineDefaults() {
  static const Defaults d = {
      DEF(L, X0, "0"),          DEF(L, Y0, "0"),           DEF(L, X1, "0"),
      DEF(L, Y1, "0"),          DEF(L, FX0, ""),           DEF(L, FY0, ""),
      DEF(L, FX1, ""),          DEF(L, FY1, ""),           DEF(L, Boolean, "0"),
      DEF(L, BooleanFunc, ""),  ATT(L, LineColor, kBlack), ATT(L, PointColor, kBlack),
      DEF(L, pType, "1"),       ATT(L, DispL, "1"),        ATT(L, DispP, "0"),
      ATT(L, DispC, "0"),       ATT(L, DispZ, "0"),        ATT(L, DispB, "0"),
      ATT(L, DispN, "0"),       ATT(L, SizeL, "2"),        ATT(L, SizeP, "3"),
      ATT(L, StyleL, "0"),      ATT(L, Dir, "0"),          ATT(L, YaTyp, "0"),
      ATT(L, YaLng, "0.5"),     ATT(L, YaAng, "30"),       ATT(L, Font.FontColor, kBlack),
      ATT(L, PaintFlag, "0"),   ATT(L, TrackRadius, "1"),  ATT(L, PaintType, "1"),
      ATT(L, PaintColor, kRed), ATT(L, LimitS, "2"),
  };
  return d;
}

// A tangent's arrow-type word is its tangent-or-normal choice, which its own dialog makes.
const Defaults& SessenDefaults() {
  static const Defaults d = Derive(LineDefaults(), {DEF(L, FX0, "0")}, {offsetof(L, YaTyp)});
  return d;
}

const Defaults& AngleDefaults() {
  static const Defaults d =
      Derive(LineDefaults(),
             {DEF(L, FX0, "1"), DEF(L, FY0, "1"), ATT(L, Lng, "10"), ATT(L, DispC, "1"),
              ATT(L, DispB, "1"), ATT(L, SizeL, "1"), ATT(L, StyleL, "2"), ATT(L, LimitS, "1")},
             {offsetof(L, YaTyp), offsetof(L, YaLng), offsetof(L, YaAng)});
  return d;
}

const Defaults& CircleDefaults() {
  static const Defaults d = {
      DEF(C, X0, "0"),
      DEF(C, Y0, "0"),
      DEF(C, X1, "0"),
      DEF(C, Y1, "0"),
      DEF(C, X2, "0"),
      DEF(C, Y2, "0"),
      DEF(C, FX0, ""),
      DEF(C, FY0, ""),
      DEF(C, FX1, ""),
      DEF(C, FY1, ""),
      DEF(C, FX2, ""),
      DEF(C, FY2, ""),
      DEF(C, Boolean, "0"),
      DEF(C, BooleanFunc, ""),
      ATT(C, RimColor, kBlack),
      ATT(C, CenterColor, kBlack),
      ATT(C, DomainColor, kGray),
      DEF(C, pType, "1"),
      ATT(C, DispL, "1"),
      ATT(C, DispP, "0"),
      ATT(C, DispC, "0"),
      ATT(C, DispZ, "0"),
      ATT(C, DispB, "1"),
      ATT(C, DispI, "0"),
      ATT(C, SizeL, "2"),
      ATT(C, SizeP, "3"),
      ATT(C, StyleL, "0"),
      ATT(C, StyleB, "0"),
      ATT(C, Dir, "0"),
      ATT(C, Font.FontColor, kBlack),
      ATT(C, PaintFlag, "0"),
      ATT(C, TrackRadius, "1"),
      ATT(C, PaintType, "1"),
      ATT(C, PaintColor, kRed),
  };
  return d;
}

const Defaults& FunctionDefaults() {
  static const Defaults d = {
      ATT(Fn, ColorL, kBlack), ATT(Fn, ColorP, kBlack),   DEF(Fn, pType, "0"),
      ATT(Fn, DispL, "1"),     ATT(Fn, DispP, "0"),       ATT(Fn, SizeL, "2"),
      ATT(Fn, SizeP, "2"),     ATT(Fn, StyleL, "0"),      ATT(Fn, Font.FontColor, kBlack),
      DEF(Fn, FuncX, ""),      DEF(Fn, FuncY, ""),        DEF(Fn, AreaSx1, "-10"),
      DEF(Fn, AreaEx1, "10"),  DEF(Fn, AreaWd1, "0.1"),   DEF(Fn, AreaSx2, "-10"),
      DEF(Fn, AreaEx2, "10"),  DEF(Fn, AreaWd2, "0.1"),   DEF(Fn, Seido, "0.01"),
      DEF(Fn, Boolean, "0"),   DEF(Fn, BooleanFunc, ""),  ATT(Fn, KisekiF, "0"),
      ATT(Fn, KisekiL, "1"),   ATT(Fn, KisekiP, "0"),     ATT(Fn, KisekiR, "2"),
      ATT(Fn, KisekiW, "1"),   ATT(Fn, PaintColor, kRed),
  };
  return d;
}

const Defaults& OleDefaults() {
  static const Defaults d = {
      DEF(Fr, X0, "0"),          DEF(Fr, Y0, "0"),
      DEF(Fr, X1, "0"),          DEF(Fr, Y1, "0"),
      DEF(Fr, FX0, ""),          DEF(Fr, FY0, ""),
      DEF(Fr, FX1, ""),          DEF(Fr, FY1, ""),
      DEF(Fr, Boolean, "0"),     DEF(Fr, BooleanFunc, ""),
      ATT(Fr, RimColor, kBlack), ATT(Fr, DispL, "1"),
      ATT(Fr, SizeL, "1"),       ATT(Fr, StyleL, "0"),
      ATT(Fr, IsFront, "1"),     ATT(Fr, IsIcon, "0"),
      DEF(Fr, DispO, "1"),       ATT(Fr, DispBk, "1"),
      ATT(Fr, ColorBk, kWhite),  ATT(Fr, Tail.Object.SizeM, "2"),
  };
  return d;
}

const Defaults& CharDefaults() {
  static const Defaults d = Derive(
      OleDefaults(),
      {ATT(Fr, IsIcon, "1"), DEF(Fr, Tail.Text.Font.FontName, kTextBoxFont),
       ATT(Fr, Tail.Text.Font.FontColor, kBlack), DEF(Fr, Tail.Text.Font.FontSet, "1"),
       ATT(Fr, Tail.Text.CharW, "2"), ATT(Fr, Tail.Text.CharX, "1"), ATT(Fr, Tail.Text.CharY, "1")},
      {offsetof(Fr, Tail.Object.SizeM)});
  return d;
}

const Defaults& PolyDefaults() {
  static const Defaults d = {
      DEF(Pg, Boolean, "0"),      DEF(Pg, BooleanFunc, ""), ATT(Pg, DispL, "1"),
      ATT(Pg, DispP, "0"),        ATT(Pg, DispZ, "0"),      ATT(Pg, DispB, "0"),
      ATT(Pg, LineColor, kBlack), ATT(Pg, SizeL, "1"),      ATT(Pg, StyleL, "0"),
      ATT(Pg, ColorB, kGray),     ATT(Pg, StyleB, "4"),     ATT(Pg, Font.FontColor, kBlack),
      ATT(Pg, Dir, "2"),
  };
  return d;
}

const Defaults& SplineDefaults() {
  static const Defaults d = Derive(PolyDefaults(), {DEF(Pg, SS, "0.01"), ATT(Pg, Dir, "1")});
  return d;
}

const Defaults& Cross3Defaults() {
  static const Defaults d = {
      ATT(M, Radius, "3"),      ATT(M, Color, kBlue),      ATT(M, RimColor, kBlue),
      ATT(M, Paint, "1"),       ATT(M, Direction, "0"),    ATT(M, DispName, "1"),
      ATT(M, DispMark, "1"),    ATT(M, Coordinates, "0"),  ATT(M, RimRadius, "2"),
      DEF(M, Boolean, "0"),     DEF(M, BooleanFunc, ""),   ATT(M, Font.FontColor, kBlack),
      ATT(M, Track, "0"),       ATT(M, TrackRadius, "2"),  ATT(M, TrackThick, "1"),
      ATT(M, TrackColor, kRed), ATT(M, TrackConnect, "0"),
  };
  return d;
}

#undef DEF
#undef ATT

// Writes a value text into the field; false when the text is not a value of the field.
bool WriteValue(FigureRecord& record, const FieldInfo& field, std::string_view text) {
  if (field.kind == FieldKind::kString) return WriteString(record.bytes(), field, text);
  std::optional<double> value;
  switch (field.kind) {
    case FieldKind::kBool:
      if (const auto b = parse_setting_bool(text)) value = *b ? 1.0 : 0.0;
      break;
    case FieldKind::kColour:
      if (const auto c = parse_setting_color(text)) value = *c;
      break;
    case FieldKind::kF32:
    case FieldKind::kF64:
      value = parse_setting_real(text);
      break;
    default:
      if (const auto i = parse_setting_int(text)) value = *i;
      break;
  }
  return value && WriteNumber(record.bytes(), field, *value);
}

FigureRecord BuildDefaultRecord(std::int32_t type, const IniFile* program_file) {
  FigureRecord record = FigureRecord::Blank(type);
  const std::string_view section = IniSectionName(type);
  for (const DefaultValue& value : BuiltInDefaults(type)) {
    const FieldInfo* field = DefaultField(type, value);
    if (field == nullptr) continue;
    std::optional<std::string> text;
    if (program_file != nullptr) text = program_file->value(section, field->name);
    if (!text || !WriteValue(record, *field, *text)) WriteValue(record, *field, value.text);
  }
  return record;
}

LabelFont* FontOf(FigureRecord& record) {
  if (auto* p = record.point()) return &p->Font;
  if (auto* l = record.line()) return &l->Font;
  if (auto* c = record.circle()) return &c->Font;
  if (auto* f = record.function()) return &f->Font;
  if (auto* p = record.polygon()) return &p->Font;
  if (auto* m = record.multi_point()) return &m->Font;
  if (record.type() == kCharFigure) return &record.frame()->Text().Font;
  return nullptr;
}

void SetFont(FigureRecord& record, const NewFigureFont& font) {
  LabelFont* f = FontOf(record);
  if (f == nullptr) return;
  f->FontStyle = font.FontStyle;
  f->FontSize = font.FontSize;
  if (record.type() == kAngle2Figure) {
    // Angle labels are smaller; halves round to even, as stored figures were made.
    f->FontSize = static_cast<std::int32_t>(std::nearbyint(font.FontSize * 0.66));
  }
  // A text box keeps the font of its own default, with that font's character set.
  if (record.type() == kCharFigure) return;
  f->FontName.assign(font.FontName);
  f->FontSet = font.FontSet;
}

void SetFixedValues(FigureRecord& record, std::int32_t sub_kind) {
  const std::int32_t type = record.type();
  if (auto* p = record.point()) {
    p->Mode = -1;
    p->Name = "";
    p->Ref0 = p->Ref1 = p->Ref2 = kNoReference;
    if (type != kAngle2Figure) p->Ref3 = kNoReference;  // Angle2 keeps its line style there
    p->TrackCount = -1;
    if (type == kMensekiFigure) p->HatchCount = -1;
    p->HatchX = 0;
    p->HatchY = 0;
    if (type == kSuisenFigure || type == kAngle2Figure) p->Reserved582 = 1;
  } else if (auto* l = record.line()) {
    l->Mode = -1;
    l->Name = "";
    l->PointName1 = "";
    l->PointName2 = "";
    l->Ref0 = l->Ref1 = l->Ref2 = kNoReference;
    l->TrackCount = -1;
  } else if (auto* c = record.circle()) {
    c->Mode = -1;
    c->Name = "";
    c->PointName1 = "";
    c->PointName2 = "";
    c->PointName3 = "";
    c->Ref0 = c->Ref1 = c->Ref2 = kNoReference;
    c->TrackCount = -1;
  } else if (auto* f = record.function()) {
    f->Mode = -1;
    f->FuncKind = sub_kind;
    f->Name = "";
    f->CurveValid = 0;
    f->SampleLast = -1;
    f->SampleX = 0;
    f->SampleY = 0;
    f->KisekiList = 0;
    f->Recursive = false;
    f->TrackCount = -1;
    if (sub_kind == 2 || sub_kind == 3) f->ParamVar = 19;  // t, or the polar angle
    if (sub_kind == 3) {
      f->AreaSx1 = "0";
      f->AreaEx1 = "2*pi";
    }
    if (sub_kind == 4) f->AreaWd1 = "0.5";
  } else if (auto* fr = record.frame()) {
    fr->Name = type == kCharFigure ? "??" : "";
    fr->PointName1 = "";
    fr->PointName2 = "";
    fr->Ref0 = fr->Ref1 = kNoReference;
    if (type == kOleFigure) fr->Object().Container = 0;
  } else if (auto* pg = record.polygon()) {
    pg->Mode = -1;
    pg->Name = "";
    for (auto& ref : pg->Refs)
      ref = kNoReference;
  } else if (auto* m = record.multi_point()) {
    m->Mode = -1;
    for (int i = 0; i < kCross3Points; ++i) {
      m->Names[i] = "";
      m->PX[i] = 1.0;
      m->PY[i] = 1.0;
      m->FXs[i] = "0";
      m->FYs[i] = "1";
      m->TrackCount[i] = -1;
    }
    m->Ref0 = m->Ref1 = m->Ref2 = m->Ref3 = kNoReference;
    m->Reserved2148 = 1;
    m->Reserved18544[0] = -1;
    m->Reserved18544[1] = 0;
    m->Reserved18544[2] = 0;
  }
}

void CopyField(const FigureRecord& from, FigureRecord& to, std::uint32_t offset,
               std::uint32_t size) {
  std::memcpy(to.bytes().data() + offset, from.bytes().data() + offset, size);
}

}  // namespace

std::span<const DefaultValue> BuiltInDefaults(std::int32_t type) {
  switch (type) {
    case kPointFigure:
      return PointDefaults();
    case kBuntenFigure:
    case kSuisenFigure:
      return BuntenDefaults();
    case kCrossFigure:
    case kCross2Figure:
      return CrossDefaults();
    case kMensekiFigure:
      return MensekiDefaults();
    case kAngle2Figure:
      return Angle2Defaults();
    case kLineFigure:
    case kParabolaFigure:
      return LineDefaults();
    case kSessenFigure:
      return SessenDefaults();
    case kAngleFigure:
      return AngleDefaults();
    case kCircleFigure:
      return CircleDefaults();
    case kFunctionFigure:
      return FunctionDefaults();
    case kOleFigure:
      return OleDefaults();
    case kCharFigure:
      return CharDefaults();
    case kPolyFigure:
      return PolyDefaults();
    case kSplineFigure:
      return SplineDefaults();
    case kCross3Figure:
      return Cross3Defaults();
    default:
      return {};
  }
}

const FieldInfo* DefaultField(std::int32_t type, const DefaultValue& value) {
  for (const FieldInfo& field : FieldTable(FamilyOf(type)))
    if (field.offset == value.offset && field.applies_to(type)) return &field;
  return nullptr;
}

NewFigureFont NewFigureFontFromSettings(const UserSettings& settings) {
  NewFigureFont font;
  font.FontName = utf8_to_cp932(settings.InitFont).bytes;
  font.FontSize = settings.InitFontSize;
  font.FontStyle = static_cast<std::uint8_t>(settings.InitcFoStyle);
  font.FontSet = settings.InitcFoChar;
  return font;
}

FigureDefaults::FigureDefaults() {
  for (std::int32_t t = 1; t <= kLastFigureType; ++t)
    records_[t] = BuildDefaultRecord(t, nullptr);
}

FigureDefaults::FigureDefaults(const IniFile& program_file) {
  for (std::int32_t t = 1; t <= kLastFigureType; ++t)
    records_[t] = BuildDefaultRecord(t, &program_file);
}

const FigureRecord& FigureDefaults::Record(std::int32_t type) const {
  return records_[IsFigureType(type) ? static_cast<std::size_t>(type) : 0];
}

void AttributeMemory::Remember(const FigureRecord& figure) {
  if (!IsFigureType(figure.type())) return;
  remembered_[static_cast<std::size_t>(figure.type())] = figure;
}

bool AttributeMemory::Has(std::int32_t type) const {
  return IsFigureType(type) && remembered_[static_cast<std::size_t>(type)].has_value();
}

void AttributeMemory::Clear() {
  for (auto& r : remembered_)
    r.reset();
}

bool AttributeMemory::Apply(FigureRecord& figure) const {
  if (!Has(figure.type())) return false;
  const FigureRecord& from = *remembered_[static_cast<std::size_t>(figure.type())];
  if (from.bytes().size() != figure.bytes().size()) return false;
  for (const DefaultValue& value : BuiltInDefaults(figure.type())) {
    if (!value.attribute) continue;
    if (const FieldInfo* field = DefaultField(figure.type(), value))
      CopyField(from, figure, field->offset, field->size());
  }
  if (LabelFont* font = FontOf(figure)) {
    const auto offset =
        static_cast<std::uint32_t>(reinterpret_cast<std::uint8_t*>(font) - figure.bytes().data());
    CopyField(from, figure, offset, sizeof(LabelFont));
  }
  return true;
}

FigureRecord InitialiseFigure(std::int32_t type, const FigureDefaults& defaults,
                              const NewFigureFont& font, std::int32_t sub_kind,
                              const AttributeMemory* remembered) {
  if (!IsFigureType(type)) return FigureRecord();
  FigureRecord record = defaults.Record(type);
  record.owned.clear();
  SetFixedValues(record, sub_kind);
  SetFont(record, font);
  if (remembered != nullptr) remembered->Apply(record);
  return record;
}

NewScreenDefaults NewScreenDefaultsFromSettings(const UserSettings& settings,
                                                std::int32_t full_screen_width,
                                                std::int32_t full_screen_height) {
  NewScreenDefaults d;
  d.InitScreenX = settings.InitScreenX;
  d.InitScreenY = settings.InitScreenY;
  d.InitZoom = settings.InitZoom;
  d.InitBackColor = settings.InitBackColor;
  d.InitAxisColor = settings.InitAxisColor;
  d.InitGridColor = settings.InitGridColor;
  d.InitClip = settings.InitClip;
  d.InitAxis = settings.InitAxis;
  d.InitGrid = settings.InitGrid;
  d.InitGridPoint = settings.InitGridPoint;
  d.FullScreenWidth = full_screen_width;
  d.FullScreenHeight = full_screen_height;
  return d;
}

}  // namespace qzarn
