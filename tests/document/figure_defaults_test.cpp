#include "document/figure_defaults.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <variant>

namespace qzarn {
namespace {

// Reads stored bytes at the offsets of the record layouts, independently of the structs.
std::int32_t I32At(const FigureRecord& r, std::size_t offset) {
  std::int32_t v;
  std::memcpy(&v, r.bytes().data() + offset, sizeof v);
  return v;
}
double F64At(const FigureRecord& r, std::size_t offset) {
  double v;
  std::memcpy(&v, r.bytes().data() + offset, sizeof v);
  return v;
}
float F32At(const FigureRecord& r, std::size_t offset) {
  float v;
  std::memcpy(&v, r.bytes().data() + offset, sizeof v);
  return v;
}
std::string StrAt(const FigureRecord& r, std::size_t offset) {
  const auto* p = r.bytes().data() + offset;
  return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

struct Expect {
  std::size_t offset;
  enum Kind { kU8, kI32, kF64, kStr } kind;
  std::variant<std::int64_t, double, std::string> value;
};
Expect U8(std::size_t o, std::int64_t v) {
  return {o, Expect::kU8, v};
}
Expect I32(std::size_t o, std::int64_t v) {
  return {o, Expect::kI32, v};
}
Expect F64(std::size_t o, double v) {
  return {o, Expect::kF64, v};
}
Expect Str(std::size_t o, std::string v) {
  return {o, Expect::kStr, std::move(v)};
}

constexpr std::int64_t kRed = 0x0000FF;
constexpr std::int64_t kBlue = 0xFF0000;
const std::string kArial = "Arial";
const std::string kPGothic = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";

struct TypeCase {
  const char* label;
  std::int32_t type;
  std::int32_t sub_kind;
  std::vector<Expect> expected;
};

void ExpectBytes(const FigureRecord& r, const std::vector<Expect>& expected, const char* label) {
  for (const Expect& e : expected) {
    SCOPED_TRACE(std::string(label) + " @" + std::to_string(e.offset));
    switch (e.kind) {
      case Expect::kU8:
        EXPECT_EQ(r.bytes()[e.offset], std::get<std::int64_t>(e.value));
        break;
      case Expect::kI32:
        EXPECT_EQ(I32At(r, e.offset), std::get<std::int64_t>(e.value));
        break;
      case Expect::kF64:
        EXPECT_EQ(F64At(r, e.offset), std::get<double>(e.value));
        break;
      case Expect::kStr:
        EXPECT_EQ(StrAt(r, e.offset), std::get<std::string>(e.value));
        break;
    }
  }
}

const std::vector<TypeCase>& Cases() {
  static const std::vector<TypeCase> cases = {
      {"Point",
       kPointFigure,
       0,
       {I32(0, -1),   Str(4, ""),       I32(12, 3),  I32(16, 0),   I32(20, 0),     U8(24, 1),
        I32(28, 0),   U8(32, 1),        U8(33, 1),   U8(34, 0),    I32(36, 2),     F64(40, 0),
        Str(80, ""),  Str(331, ""),     U8(582, 0),  U8(583, 0),   Str(592, ""),   I32(844, -1),
        I32(856, -1), Str(860, kArial), I32(896, 0), I32(900, 20), U8(904, 0),     I32(908, 1),
        U8(913, 0),   U8(914, 0),       I32(916, 2), I32(920, 1),  I32(924, kRed), I32(928, -1)}},
      {"Bunten",
       kBuntenFigure,
       0,
       {I32(16, kBlue), I32(20, kBlue), F64(40, 1), F64(48, 1), Str(80, "1"), Str(331, "1"),
        I32(852, -1)}},
      {"Cross", kCrossFigure, 0, {I32(16, kBlue), Str(80, "0"), Str(331, "1")}},
      {"Cross2", kCross2Figure, 0, {I32(16, kBlue), Str(80, "0"), Str(331, "1")}},
      {"Suisen", kSuisenFigure, 0, {I32(16, kBlue), Str(80, "1"), U8(582, 1)}},
      {"Menseki",
       kMensekiFigure,
       0,
       {I32(12, 25), I32(16, kBlue), I32(28, 2), U8(32, 0), U8(33, 1), U8(34, 1), I32(36, 1),
        Str(80, "0"), Str(331, "1"), U8(913, 0), I32(916, 2), I32(920, 1), I32(924, kRed),
        I32(4940, -1)}},
      {"Angle2",
       kAngle2Figure,
       0,
       {I32(12, 8), I32(16, 0), I32(20, 0xC0C0C0), U8(24, 1), I32(36, 1), F64(56, 1), U8(582, 1),
        I32(852, -1), I32(856, 0), I32(900, 13), I32(4992, 1)}},
      {"Line", kLineFigure, 0, {I32(0, -1),    Str(4, ""),    Str(9, ""),        Str(14, ""),
                                I32(20, 0),    I32(24, 0),    U8(28, 1),         U8(29, 1),
                                U8(30, 0),     U8(31, 0),     U8(33, 0),         U8(34, 0),
                                I32(36, 2),    I32(40, 3),    I32(44, 0),        I32(60, 0),
                                I32(64, 30),   F64(68, 0.5),  Str(108, ""),      U8(1113, 0),
                                I32(1376, -1), I32(1384, -1), Str(1388, kArial), I32(1428, 20),
                                U8(1440, 0),   I32(1444, 1),  I32(1448, 1),      I32(1452, kRed),
                                I32(1456, -1), I32(9516, 2)}},
      {"Parabola", kParabolaFigure, 0, {I32(0, -1), I32(36, 2), I32(64, 30), I32(9516, 2)}},
      {"Sessen", kSessenFigure, 0, {Str(108, "0"), Str(359, ""), I32(60, 0), I32(9516, 2)}},
      {"Angle",
       kAngleFigure,
       0,
       {Str(108, "1"), Str(359, "1"), F64(52, 10), U8(31, 1), U8(33, 1), I32(36, 1), I32(44, 2),
        I32(64, 0), F64(68, 0), I32(9516, 1)}},
      {"Circle", kCircleFigure, 0, {I32(0, -1),   I32(24, 0),    I32(28, 0),      I32(32, 0x808080),
                                    U8(36, 1),    U8(37, 1),     U8(38, 0),       U8(41, 1),
                                    U8(42, 0),    I32(44, 2),    I32(48, 3),      I32(56, 0),
                                    Str(120, ""), I32(1888, -1), I32(1896, -1),   Str(1900, kArial),
                                    I32(1956, 1), I32(1960, 1),  I32(1964, kRed), I32(1968, -1)}},
      {"Explicit function",
       kFunctionFigure,
       1,
       {I32(0, -1),       I32(4, 1),       U8(24, 0),       U8(25, 1),      I32(28, 2),
        I32(32, 2),       Str(40, kArial), Str(594, "-10"), Str(845, "10"), Str(1096, "0.1"),
        Str(1347, "-10"), F64(1632, 0.01), U8(1640, 0),     I32(1660, 0),   U8(1931, 0),
        I32(1932, -1),    I32(1984, -1),   U8(1988, 0),     U8(1989, 1),    U8(1990, 0),
        I32(1992, 2),     I32(1996, 1),    I32(2000, kRed), I32(2004, 0),   Str(2008, "10"),
        Str(2259, "0.1")}},
      {"Parametric function", kFunctionFigure, 2, {I32(4, 2), I32(1660, 19), Str(594, "-10")}},
      {"Polar function",
       kFunctionFigure,
       3,
       {I32(4, 3), I32(1660, 19), Str(594, "0"), Str(845, "2*pi"), Str(1096, "0.1")}},
      {"Implicit function",
       kFunctionFigure,
       4,
       {I32(4, 4), I32(1660, 0), Str(594, "-10"), Str(1096, "0.5")}},
      {"OLE",
       kOleFigure,
       0,
       {Str(0, ""), Str(5, ""), Str(32, ""), I32(1316, -1), I32(1320, -1), I32(1324, 0),
        U8(1328, 1), I32(1332, 1), I32(1336, 0), U8(1340, 1), U8(1341, 0), U8(1342, 1), U8(1343, 1),
        I32(1344, 0xFFFFFF), I32(1348, 2), I32(1352, 0)}},
      {"Char",
       kCharFigure,
       0,
       {Str(0, "??"), U8(1341, 1), I32(1344, 0xFFFFFF), Str(1348, kPGothic), I32(1384, 0),
        I32(1388, 20), I32(1396, 1), I32(2052, 2), I32(2056, 1), I32(2060, 1)}},
      {"Poly",
       kPolyFigure,
       0,
       {I32(0, -1), U8(9, 1), U8(10, 0), U8(11, 0), U8(12, 0), I32(16, 0), I32(20, 1), I32(24, 0),
        I32(28, 0x808080), I32(32, 4), I32(60, 2), I32(328, -1), I32(448, -1), Str(948, kArial)}},
      {"Spline", kSplineFigure, 0, {F64(52, 0.01), I32(60, 1), I32(32, 4), I32(328, -1)}},
      {"Cross3",
       kCross3Figure,
       0,
       {I32(0, -1),
        Str(4, ""),
        Str(19, ""),
        I32(24, 3),
        I32(28, kBlue),
        I32(32, kBlue),
        U8(36, 1),
        U8(44, 1),
        U8(45, 1),
        U8(46, 0),
        I32(48, 2),
        F64(52, 1),
        F64(76, 1),
        F64(84, 1),
        F64(108, 1),
        Str(140, "0"),
        Str(140 + 3 * 251, "0"),
        Str(1144, "1"),
        Str(1144 + 3 * 251, "1"),
        U8(2148, 1),
        U8(2149, 0),
        I32(2412, -1),
        I32(2424, -1),
        Str(2428, kArial),
        I32(2468, 20),
        U8(2481, 0),
        I32(2484, 2),
        I32(2488, 1),
        I32(2492, kRed),
        I32(2496, -1),
        I32(2508, -1),
        I32(18544, -1),
        I32(18548, 0)}},
  };
  return cases;
}

TEST(FigureDefaults, NewRecordsHoldTheBuiltInValuesAtTheirOffsets) {
  const FigureDefaults defaults;
  const NewFigureFont font = NewFigureFontFromSettings(UserSettings{});
  for (const TypeCase& c : Cases()) {
    const FigureRecord r = InitialiseFigure(c.type, defaults, font, c.sub_kind);
    ASSERT_EQ(r.type(), c.type) << c.label;
    ASSERT_EQ(r.bytes().size(), LayoutSize(c.type)) << c.label;
    ExpectBytes(r, c.expected, c.label);
  }
}

TEST(FigureDefaults, EveryTypeHasItsKeysAndTheReservedBlock) {
  const FigureDefaults defaults;
  const NewFigureFont font;
  const std::size_t reserved_block[] = {0,    9476, 4952, 7984, 4952, 4952, 9476, 4952,  9476, 1944,
                                        1360, 4952, 4952, 9476, 4952, 1000, 2012, 18556, 1000};
  for (std::int32_t type = 1; type <= kLastFigureType; ++type) {
    EXPECT_FALSE(BuiltInDefaults(type).empty()) << type;
    for (const DefaultValue& v : BuiltInDefaults(type))
      EXPECT_NE(DefaultField(type, v), nullptr) << type << " @" << v.offset;
    const FigureRecord r = InitialiseFigure(type, defaults, font);
    const float expected[] = {0, 1, 0, 0, 1, 0, 0, 1, 1, 0};
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(F32At(r, reserved_block[type] + 4 * static_cast<std::size_t>(i)), expected[i])
          << type;
    FigureTable table;
    EXPECT_EQ(NewFigure(table, r), 0) << type;
  }
  EXPECT_TRUE(InitialiseFigure(0, defaults, font).empty());
  EXPECT_TRUE(InitialiseFigure(19, defaults, font).empty());
}

TEST(FigureDefaults, ProgramSettingsSectionsOverrideBuiltInValues) {
  std::string long_expression(249, 'x');
  long_expression += "\x82\xA0";  // a double-byte character across the 250-byte limit
  const IniFile ini = IniFile::parse(
      "[Point]\nRadius=7\nTrackColor=$00FF00\nFX=sin(a)\n"
      "[Menseki]\nRR=50\nDecimal=3\nRadius=99\n"
      "[Angle2]\nRadiusRR=12\nRadius=2.5\nIndex4=3\n"
      "[Cross]\nFX=abc\n"
      "[Function]\nAreaWd1=0.05\nSizeL=bogus\nSeido=0.001\nColorL=255\n"
      "[Char]\nFontName=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\n"
      "[Line]\nDispB=1\nFX0=" +
      long_expression + "\n[Circle]\nDomainColor=16777216\n");
  const FigureDefaults defaults(ini);
  const NewFigureFont font = NewFigureFontFromSettings(UserSettings{});
  auto make = [&](std::int32_t type, std::int32_t sub_kind = 0) {
    return InitialiseFigure(type, defaults, font, sub_kind);
  };
  ExpectBytes(make(kPointFigure), {I32(12, 7), I32(924, 0x00FF00), Str(80, "sin(a)")}, "Point");
  ExpectBytes(make(kBuntenFigure), {I32(12, 3)}, "Bunten unaffected");
  ExpectBytes(make(kMensekiFigure), {I32(12, 50), I32(28, 3), F64(56, 0)}, "Menseki");
  ExpectBytes(make(kAngle2Figure), {I32(12, 12), F64(56, 2.5), I32(856, 3)}, "Angle2");
  ExpectBytes(make(kCrossFigure), {Str(80, "abc")}, "Cross");
  ExpectBytes(make(kCross2Figure), {Str(80, "abc")}, "Cross2");
  ExpectBytes(make(kFunctionFigure, 1),
              {Str(1096, "0.05"), I32(28, 2), F64(1632, 0.001), I32(16, 255)}, "Function");
  // The kind's own domain wins over the section's.
  ExpectBytes(make(kFunctionFigure, 4), {Str(1096, "0.5")}, "Implicit");
  ExpectBytes(make(kCharFigure), {Str(1348, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345")}, "Char");
  ExpectBytes(make(kLineFigure), {U8(33, 1), Str(108, std::string(249, 'x'))}, "Line");
  ExpectBytes(make(kCircleFigure), {I32(32, 0x808080)}, "Circle");
}

TEST(FigureDefaults, LabelFontComesFromTheSettings) {
  UserSettings settings;
  settings.InitFont = "ＭＳ 明朝";
  settings.InitFontSize = 25;
  settings.InitcFoStyle = 3;
  settings.InitcFoChar = 128;
  const NewFigureFont font = NewFigureFontFromSettings(settings);
  EXPECT_EQ(font.FontName, "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9");
  const FigureDefaults defaults;
  ExpectBytes(InitialiseFigure(kPointFigure, defaults, font),
              {Str(860, font.FontName), I32(900, 25), U8(904, 3), I32(908, 128)}, "Point");
  // 25 × 0.66 = 16.5 rounds to the even 16.
  ExpectBytes(InitialiseFigure(kAngle2Figure, defaults, font), {I32(900, 16)}, "Angle2");
  // A text box keeps its own font and character set.
  ExpectBytes(InitialiseFigure(kCharFigure, defaults, font),
              {Str(1348, kPGothic), I32(1388, 25), U8(1392, 3), I32(1396, 1)}, "Char");
}

TEST(AttributeMemory, PassesDisplayAttributesButNotDefinitionsToTheNextFigure) {
  const FigureDefaults defaults;
  const NewFigureFont font = NewFigureFontFromSettings(UserSettings{});
  AttributeMemory memory;
  FigureRecord point = InitialiseFigure(kPointFigure, defaults, font, 0, &memory);
  EXPECT_FALSE(memory.Has(kPointFigure));
  point.point()->Radius = 9;
  point.point()->Color = 0x0000FF;
  point.point()->FX = "5";
  point.point()->Name = "A";
  point.point()->Font.FontSize = 40;
  memory.Remember(point);
  ExpectBytes(InitialiseFigure(kPointFigure, defaults, font, 0, &memory),
              {I32(12, 9), I32(16, kRed), Str(80, ""), Str(4, ""), I32(900, 40), I32(928, -1)},
              "next point");
  ExpectBytes(InitialiseFigure(kBuntenFigure, defaults, font, 0, &memory), {I32(12, 3)},
              "other type");

  FigureRecord line = InitialiseFigure(kLineFigure, defaults, font);
  line.line()->DispB = true;
  memory.Remember(line);
  ExpectBytes(InitialiseFigure(kLineFigure, defaults, font, 0, &memory), {U8(33, 1)}, "line");
  memory.Clear();
  ExpectBytes(InitialiseFigure(kLineFigure, defaults, font, 0, &memory), {U8(33, 0)}, "cleared");
}

TEST(FigureDefaults, NewScreenDefaultsFollowTheSettings) {
  UserSettings s;
  s.InitScreenX = 3000;
  s.InitZoom = 150;
  s.InitBackColor = 0x123456;
  s.InitClip = 0.25;
  s.InitGrid = false;
  const NewScreenDefaults d = NewScreenDefaultsFromSettings(s, 1600, 900);
  EXPECT_EQ(d.InitScreenX, 3000);
  EXPECT_EQ(d.InitScreenY, -1);
  EXPECT_EQ(d.InitZoom, 150);
  EXPECT_EQ(d.InitBackColor, 0x123456u);
  EXPECT_EQ(d.InitGridColor, 0x808080u);
  EXPECT_EQ(d.InitClip, 0.25);
  EXPECT_FALSE(d.InitGrid);
  EXPECT_TRUE(d.InitAxis);
  EXPECT_EQ(d.FullScreenWidth, 1600);
  EXPECT_EQ(NewSurfaceSize(d).width, 2500);
}

}  // namespace
}  // namespace qzarn
