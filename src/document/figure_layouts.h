#pragma once
// The seven byte layouts of figure records. The same bytes are kept in memory
// and written to documents, so every field sits at its stored offset (checked
// below) and reserved bytes are carried along untouched. Member names are the
// field names used by the settings keys and the document dump; where one
// offset has another meaning in some figure types, an accessor gives that
// meaning its own name.

#include <cstddef>

#include "document/record_fields.h"

namespace qzarn {

inline constexpr int kTrackLength = 501;  // entries of a locus coordinate array
inline constexpr int kPolygonVertices = 31;
inline constexpr int kCross3Points = 4;
inline constexpr int kTextLines = 10;

// Ten reserved floats every record carries; set to 0,1,0,0,1,0,0,1,1,0 when
// a record is created and never interpreted.
using ReservedBlock = F32[10];
inline constexpr float kReservedBlockInit[10] = {0, 1, 0, 0, 1, 0, 0, 1, 1, 0};

using Expression = PString<250>;
using FigureName = PString<4>;

// The label font every figure carries (and the screen's axis font).
struct LabelFont {
  PString<32> FontName;
  std::uint8_t Reserved33[3];
  Colour FontColor;
  I32 FontSize;
  std::uint8_t FontStyle;  // bits: 1 bold, 2 italic, 4 underline, 8 strike-out
  std::uint8_t Reserved45[3];
  I32 FontSet;  // character set
};
static_assert(sizeof(LabelFont) == 52);
static_assert(offsetof(LabelFont, FontColor) == 36);
static_assert(offsetof(LabelFont, FontStyle) == 44);
static_assert(offsetof(LabelFont, FontSet) == 48);

// Point family: Point, Bunten, Cross, Suisen, Cross2, Menseki, Angle2.
struct PointRecord {
  I32 Mode;
  FigureName Name;
  std::uint8_t Reserved9[3];
  I32 Radius;  // Menseki: RR; Angle2: RadiusRR
  Colour Color;
  Colour RimColor;
  Bool8 Paint;
  std::uint8_t Reserved25[3];
  I32 Direction;  // Menseki: Decimal
  Bool8 DispName;
  Bool8 DispMark;     // Menseki: DispValue
  Bool8 Coordinates;  // Menseki: Brush
  std::uint8_t Reserved35;
  I32 RimRadius;
  F64 X;
  F64 Y;
  F64 ArcRadius;  // Angle2: Radius (plane units); Menseki: AreaValue
  F64 LabelX;     // Angle2: StartAngle
  F64 LabelY;     // Angle2: EndAngle
  Expression FX;
  Expression FY;
  std::uint8_t Reserved582;
  Bool8 Boolean;
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t Reserved843;
  I32 Ref0;
  I32 Ref1;
  I32 Ref2;
  I32 Ref3;  // Angle2: Index4
  LabelFont Font;
  std::uint8_t RatioDegenerate;
  Bool8 Track;  // Menseki: PaintFlag
  Bool8 TrackConnect;
  std::uint8_t Reserved915;
  I32 TrackRadius;
  I32 TrackThick;     // Menseki: PaintType
  Colour TrackColor;  // Menseki: PaintColor
  I32 TrackCount;
  F32 TrackX[kTrackLength];
  F32 TrackY[kTrackLength];
  I32 HatchCount;
  PointerWord HatchX;
  PointerWord HatchY;
  ReservedBlock Reserved;
  I32 LimitS;

  // Menseki (area between curves)
  I32& RR() { return Radius; }
  I32& Decimal() { return Direction; }
  Bool8& DispValue() { return DispMark; }
  Bool8& Brush() { return Coordinates; }
  F64& AreaValue() { return ArcRadius; }
  Bool8& PaintFlag() { return Track; }
  I32& PaintType() { return TrackThick; }
  Colour& PaintColor() { return TrackColor; }
  // Angle2 (angle measure)
  I32& RadiusRR() { return Radius; }
  F64& StartAngle() { return LabelX; }
  F64& EndAngle() { return LabelY; }
  I32& Index4() { return Ref3; }
};

// Line family: Line, Parabola, Angle, Sessen.
struct LineRecord {
  I32 Mode;
  FigureName Name;
  FigureName PointName1;
  FigureName PointName2;
  std::uint8_t Reserved19;
  Colour LineColor;
  Colour PointColor;
  Bool8 pType;
  Bool8 DispL;
  Bool8 DispP;
  Bool8 DispC;
  Bool8 DispZ;
  Bool8 DispB;
  Bool8 DispN;
  std::uint8_t Reserved35;
  I32 SizeL;
  I32 SizeP;
  I32 StyleL;
  I32 Dir;
  F64 Lng;
  I32 YaTyp;  // Sessen: TangentKind
  I32 YaAng;
  F64 YaLng;
  F64 X0;
  F64 Y0;
  F64 X1;
  F64 Y1;
  Expression FX0;
  Expression FY0;
  Expression FX1;
  Expression FY1;
  std::uint8_t Reserved1112;
  Bool8 Boolean;
  std::uint8_t Reserved1114[2];
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t Reserved1375;
  I32 Ref0;
  I32 Ref1;
  I32 Ref2;
  LabelFont Font;
  Bool8 PaintFlag;
  std::uint8_t Reserved1441[3];
  I32 TrackRadius;
  I32 PaintType;
  Colour PaintColor;
  I32 TrackCount;
  F32 TrackX0[kTrackLength];
  F32 TrackY0[kTrackLength];
  F32 TrackX1[kTrackLength];
  F32 TrackY1[kTrackLength];
  ReservedBlock Reserved;
  I32 LimitS;

  // Sessen: 0 tangent, 1 normal.
  I32& TangentKind() { return YaTyp; }
};

// Circle.
struct CircleRecord {
  I32 Mode;
  FigureName Name;
  FigureName PointName1;
  FigureName PointName2;
  FigureName PointName3;
  Colour RimColor;
  Colour CenterColor;
  Colour DomainColor;
  Bool8 pType;
  Bool8 DispL;
  Bool8 DispP;
  Bool8 DispC;
  Bool8 DispZ;
  Bool8 DispB;
  Bool8 DispI;
  std::uint8_t Reserved43;
  I32 SizeL;
  I32 SizeP;
  I32 StyleL;
  I32 StyleB;
  I32 Dir;
  F64 X0;
  F64 Y0;
  F64 X1;
  F64 Y1;
  F64 X2;
  F64 Y2;
  F64 RadiusValue;
  Expression FX0;
  Expression FY0;
  Expression FX1;  // Mode 0 and 2: the radius
  Expression FY1;
  Expression FX2;
  Expression FY2;
  std::uint8_t Reserved1626;
  Bool8 Boolean;
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t Reserved1887;
  I32 Ref0;
  I32 Ref1;
  I32 Ref2;
  LabelFont Font;
  Bool8 PaintFlag;
  std::uint8_t Reserved1953[3];
  I32 TrackRadius;
  I32 PaintType;
  Colour PaintColor;
  I32 TrackCount;
  F32 TrackCX[kTrackLength];
  F32 TrackCY[kTrackLength];
  F32 TrackR[kTrackLength];
  ReservedBlock Reserved;
};

// Function graph.
struct FunctionRecord {
  I32 Mode;
  I32 FuncKind;
  FigureName Name;
  std::uint8_t Reserved13[3];
  Colour ColorL;
  Colour ColorP;
  Bool8 pType;
  Bool8 DispL;
  Bool8 DispP;
  std::uint8_t Reserved27;
  I32 SizeL;
  I32 SizeP;
  I32 StyleL;
  LabelFont Font;
  Expression FuncX;
  Expression FuncY;
  Expression AreaSx1;
  Expression AreaEx1;
  Expression AreaWd1;
  Expression AreaSx2;
  // Where writers before version 1.04 kept the second domain's end and step.
  PString<15> LegacyAreaEx2;
  PString<15> LegacyAreaWd2;
  std::uint8_t Reserved1630[2];
  F64 Seido;
  Bool8 Recursive;
  std::uint8_t Reserved1641[3];
  F64 InitX;
  F64 InitY;
  I32 ParamVar;
  I32 FamilyVar;
  Bool8 Boolean;
  std::uint8_t Reserved1669[3];
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t CurveValid;
  I32 SampleLast;
  PointerWord SampleX;
  PointerWord SampleY;
  ReservedBlock Reserved;
  I32 TrackCount;
  Bool8 KisekiF;
  Bool8 KisekiL;
  Bool8 KisekiP;
  std::uint8_t Reserved1991;
  I32 KisekiR;
  I32 KisekiW;
  Colour PaintColor;
  PointerWord KisekiList;
  Expression AreaEx2;
  Expression AreaWd2;
  std::uint8_t Reserved2510[2];
};

// What follows the common part of a frame in a text box.
struct TextFrameTail {
  LabelFont Font;
  PString<60> Lines[kTextLines];
  std::uint8_t Reserved2010[2];
  ReservedBlock Reserved;
  I32 CharW;
  I32 CharX;
  I32 CharY;
};

// What follows the common part of a frame in an embedded object; the object
// record ends after its reserved block (1,400 bytes).
struct ObjectFrameTail {
  I32 SizeM;
  PointerWord Container;
  std::uint8_t Reserved1356[4];
  ReservedBlock Reserved;
};

union FrameTail {
  TextFrameTail Text;
  ObjectFrameTail Object;
};

// Frame family: OLE (embedded object) and Char (text box).
struct FrameRecord {
  FigureName Name;
  FigureName PointName1;
  FigureName PointName2;
  std::uint8_t Reserved15;
  F64 X0;
  F64 Y0;
  Expression FX0;
  Expression FY0;
  std::uint8_t Reserved534[2];
  F64 X1;
  F64 Y1;
  Expression FX1;
  Expression FY1;
  Bool8 Boolean;
  std::uint8_t Reserved1055;
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t Reserved1315;
  I32 Ref0;
  I32 Ref1;
  Colour RimColor;
  Bool8 DispL;
  std::uint8_t Reserved1329[3];
  I32 SizeL;
  I32 StyleL;
  Bool8 IsFront;
  Bool8 IsIcon;
  Bool8 DispO;
  Bool8 DispBk;
  Colour ColorBk;
  FrameTail Tail;

  TextFrameTail& Text() { return Tail.Text; }
  const TextFrameTail& Text() const { return Tail.Text; }
  ObjectFrameTail& Object() { return Tail.Object; }
  const ObjectFrameTail& Object() const { return Tail.Object; }
};

// Polygon family: Poly and Spline.
struct PolygonRecord {
  I32 Mode;
  FigureName Name;
  Bool8 DispL;
  Bool8 DispP;
  Bool8 DispZ;
  Bool8 DispB;
  std::uint8_t Reserved13[3];
  Colour LineColor;
  I32 SizeL;
  I32 StyleL;
  Colour ColorB;
  I32 StyleB;
  F64 LabelX;
  F64 LabelY;
  F64 SS;  // Poly: PolyArea
  I32 Dir;
  Bool8 Boolean;
  std::uint8_t Reserved65[3];
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t Reserved327;
  I32 Refs[kPolygonVertices];
  F64 VX[kPolygonVertices];
  F64 VY[kPolygonVertices];
  LabelFont Font;
  ReservedBlock Reserved;

  // Poly: the computed area of a convex polygon (1e15 otherwise).
  F64& PolyArea() { return SS; }
};

// Multi-point family: Cross3, up to four intersection points of two figures.
struct MultiPointRecord {
  I32 Mode;
  FigureName Names[kCross3Points];
  I32 Radius;
  Colour Color;
  Colour RimColor;
  Bool8 Paint;
  std::uint8_t Reserved37[3];
  I32 Direction;
  Bool8 DispName;
  Bool8 DispMark;
  Bool8 Coordinates;
  std::uint8_t Reserved47;
  I32 RimRadius;
  F64 PX[kCross3Points];
  F64 PY[kCross3Points];
  std::uint8_t Reserved116[24];
  Expression FXs[kCross3Points];
  Expression FYs[kCross3Points];
  std::uint8_t Reserved2148;
  Bool8 Boolean;
  std::uint8_t Reserved2150[2];
  F64 ConditionValue;
  Expression BooleanFunc;
  std::uint8_t Reserved2411;
  I32 Ref0;
  I32 Ref1;
  I32 Ref2;
  I32 Ref3;
  LabelFont Font;
  std::uint8_t Reserved2480;
  Bool8 Track;
  Bool8 TrackConnect;
  std::uint8_t Reserved2483;
  I32 TrackRadius;
  I32 TrackThick;
  Colour TrackColor;
  I32 TrackCount[kCross3Points];
  F32 TrackX[kCross3Points][kTrackLength];
  F32 TrackY[kCross3Points][kTrackLength];
  I32 Reserved18544[3];
  ReservedBlock Reserved;
  std::uint8_t Reserved18596[4];
};

#define QZARN_AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #field)

QZARN_AT(PointRecord, Mode, 0);
QZARN_AT(PointRecord, Name, 4);
QZARN_AT(PointRecord, Radius, 12);
QZARN_AT(PointRecord, Color, 16);
QZARN_AT(PointRecord, RimColor, 20);
QZARN_AT(PointRecord, Paint, 24);
QZARN_AT(PointRecord, Direction, 28);
QZARN_AT(PointRecord, DispName, 32);
QZARN_AT(PointRecord, DispMark, 33);
QZARN_AT(PointRecord, Coordinates, 34);
QZARN_AT(PointRecord, RimRadius, 36);
QZARN_AT(PointRecord, X, 40);
QZARN_AT(PointRecord, Y, 48);
QZARN_AT(PointRecord, ArcRadius, 56);
QZARN_AT(PointRecord, LabelX, 64);
QZARN_AT(PointRecord, LabelY, 72);
QZARN_AT(PointRecord, FX, 80);
QZARN_AT(PointRecord, FY, 331);
QZARN_AT(PointRecord, Reserved582, 582);
QZARN_AT(PointRecord, Boolean, 583);
QZARN_AT(PointRecord, ConditionValue, 584);
QZARN_AT(PointRecord, BooleanFunc, 592);
QZARN_AT(PointRecord, Ref0, 844);
QZARN_AT(PointRecord, Ref1, 848);
QZARN_AT(PointRecord, Ref2, 852);
QZARN_AT(PointRecord, Ref3, 856);
QZARN_AT(PointRecord, Font, 860);
QZARN_AT(PointRecord, RatioDegenerate, 912);
QZARN_AT(PointRecord, Track, 913);
QZARN_AT(PointRecord, TrackConnect, 914);
QZARN_AT(PointRecord, TrackRadius, 916);
QZARN_AT(PointRecord, TrackThick, 920);
QZARN_AT(PointRecord, TrackColor, 924);
QZARN_AT(PointRecord, TrackCount, 928);
QZARN_AT(PointRecord, TrackX, 932);
QZARN_AT(PointRecord, TrackY, 2936);
QZARN_AT(PointRecord, HatchCount, 4940);
QZARN_AT(PointRecord, HatchX, 4944);
QZARN_AT(PointRecord, HatchY, 4948);
QZARN_AT(PointRecord, Reserved, 4952);
QZARN_AT(PointRecord, LimitS, 4992);
static_assert(sizeof(PointRecord) == 4996);

QZARN_AT(LineRecord, Mode, 0);
QZARN_AT(LineRecord, Name, 4);
QZARN_AT(LineRecord, PointName1, 9);
QZARN_AT(LineRecord, PointName2, 14);
QZARN_AT(LineRecord, LineColor, 20);
QZARN_AT(LineRecord, PointColor, 24);
QZARN_AT(LineRecord, pType, 28);
QZARN_AT(LineRecord, DispL, 29);
QZARN_AT(LineRecord, DispP, 30);
QZARN_AT(LineRecord, DispC, 31);
QZARN_AT(LineRecord, DispZ, 32);
QZARN_AT(LineRecord, DispB, 33);
QZARN_AT(LineRecord, DispN, 34);
QZARN_AT(LineRecord, SizeL, 36);
QZARN_AT(LineRecord, SizeP, 40);
QZARN_AT(LineRecord, StyleL, 44);
QZARN_AT(LineRecord, Dir, 48);
QZARN_AT(LineRecord, Lng, 52);
QZARN_AT(LineRecord, YaTyp, 60);
QZARN_AT(LineRecord, YaAng, 64);
QZARN_AT(LineRecord, YaLng, 68);
QZARN_AT(LineRecord, X0, 76);
QZARN_AT(LineRecord, Y0, 84);
QZARN_AT(LineRecord, X1, 92);
QZARN_AT(LineRecord, Y1, 100);
QZARN_AT(LineRecord, FX0, 108);
QZARN_AT(LineRecord, FY0, 359);
QZARN_AT(LineRecord, FX1, 610);
QZARN_AT(LineRecord, FY1, 861);
QZARN_AT(LineRecord, Boolean, 1113);
QZARN_AT(LineRecord, ConditionValue, 1116);
QZARN_AT(LineRecord, BooleanFunc, 1124);
QZARN_AT(LineRecord, Ref0, 1376);
QZARN_AT(LineRecord, Ref1, 1380);
QZARN_AT(LineRecord, Ref2, 1384);
QZARN_AT(LineRecord, Font, 1388);
QZARN_AT(LineRecord, PaintFlag, 1440);
QZARN_AT(LineRecord, TrackRadius, 1444);
QZARN_AT(LineRecord, PaintType, 1448);
QZARN_AT(LineRecord, PaintColor, 1452);
QZARN_AT(LineRecord, TrackCount, 1456);
QZARN_AT(LineRecord, TrackX0, 1460);
QZARN_AT(LineRecord, TrackY0, 3464);
QZARN_AT(LineRecord, TrackX1, 5468);
QZARN_AT(LineRecord, TrackY1, 7472);
QZARN_AT(LineRecord, Reserved, 9476);
QZARN_AT(LineRecord, LimitS, 9516);
static_assert(sizeof(LineRecord) == 9520);

QZARN_AT(CircleRecord, Mode, 0);
QZARN_AT(CircleRecord, Name, 4);
QZARN_AT(CircleRecord, PointName1, 9);
QZARN_AT(CircleRecord, PointName2, 14);
QZARN_AT(CircleRecord, PointName3, 19);
QZARN_AT(CircleRecord, RimColor, 24);
QZARN_AT(CircleRecord, CenterColor, 28);
QZARN_AT(CircleRecord, DomainColor, 32);
QZARN_AT(CircleRecord, pType, 36);
QZARN_AT(CircleRecord, DispL, 37);
QZARN_AT(CircleRecord, DispP, 38);
QZARN_AT(CircleRecord, DispC, 39);
QZARN_AT(CircleRecord, DispZ, 40);
QZARN_AT(CircleRecord, DispB, 41);
QZARN_AT(CircleRecord, DispI, 42);
QZARN_AT(CircleRecord, SizeL, 44);
QZARN_AT(CircleRecord, SizeP, 48);
QZARN_AT(CircleRecord, StyleL, 52);
QZARN_AT(CircleRecord, StyleB, 56);
QZARN_AT(CircleRecord, Dir, 60);
QZARN_AT(CircleRecord, X0, 64);
QZARN_AT(CircleRecord, Y0, 72);
QZARN_AT(CircleRecord, X1, 80);
QZARN_AT(CircleRecord, Y1, 88);
QZARN_AT(CircleRecord, X2, 96);
QZARN_AT(CircleRecord, Y2, 104);
QZARN_AT(CircleRecord, RadiusValue, 112);
QZARN_AT(CircleRecord, FX0, 120);
QZARN_AT(CircleRecord, FY0, 371);
QZARN_AT(CircleRecord, FX1, 622);
QZARN_AT(CircleRecord, FY1, 873);
QZARN_AT(CircleRecord, FX2, 1124);
QZARN_AT(CircleRecord, FY2, 1375);
QZARN_AT(CircleRecord, Boolean, 1627);
QZARN_AT(CircleRecord, ConditionValue, 1628);
QZARN_AT(CircleRecord, BooleanFunc, 1636);
QZARN_AT(CircleRecord, Ref0, 1888);
QZARN_AT(CircleRecord, Ref1, 1892);
QZARN_AT(CircleRecord, Ref2, 1896);
QZARN_AT(CircleRecord, Font, 1900);
QZARN_AT(CircleRecord, PaintFlag, 1952);
QZARN_AT(CircleRecord, TrackRadius, 1956);
QZARN_AT(CircleRecord, PaintType, 1960);
QZARN_AT(CircleRecord, PaintColor, 1964);
QZARN_AT(CircleRecord, TrackCount, 1968);
QZARN_AT(CircleRecord, TrackCX, 1972);
QZARN_AT(CircleRecord, TrackCY, 3976);
QZARN_AT(CircleRecord, TrackR, 5980);
QZARN_AT(CircleRecord, Reserved, 7984);
static_assert(sizeof(CircleRecord) == 8024);

QZARN_AT(FunctionRecord, Mode, 0);
QZARN_AT(FunctionRecord, FuncKind, 4);
QZARN_AT(FunctionRecord, Name, 8);
QZARN_AT(FunctionRecord, ColorL, 16);
QZARN_AT(FunctionRecord, ColorP, 20);
QZARN_AT(FunctionRecord, pType, 24);
QZARN_AT(FunctionRecord, DispL, 25);
QZARN_AT(FunctionRecord, DispP, 26);
QZARN_AT(FunctionRecord, SizeL, 28);
QZARN_AT(FunctionRecord, SizeP, 32);
QZARN_AT(FunctionRecord, StyleL, 36);
QZARN_AT(FunctionRecord, Font, 40);
QZARN_AT(FunctionRecord, FuncX, 92);
QZARN_AT(FunctionRecord, FuncY, 343);
QZARN_AT(FunctionRecord, AreaSx1, 594);
QZARN_AT(FunctionRecord, AreaEx1, 845);
QZARN_AT(FunctionRecord, AreaWd1, 1096);
QZARN_AT(FunctionRecord, AreaSx2, 1347);
QZARN_AT(FunctionRecord, LegacyAreaEx2, 1598);
QZARN_AT(FunctionRecord, LegacyAreaWd2, 1614);
QZARN_AT(FunctionRecord, Seido, 1632);
QZARN_AT(FunctionRecord, Recursive, 1640);
QZARN_AT(FunctionRecord, InitX, 1644);
QZARN_AT(FunctionRecord, InitY, 1652);
QZARN_AT(FunctionRecord, ParamVar, 1660);
QZARN_AT(FunctionRecord, FamilyVar, 1664);
QZARN_AT(FunctionRecord, Boolean, 1668);
QZARN_AT(FunctionRecord, ConditionValue, 1672);
QZARN_AT(FunctionRecord, BooleanFunc, 1680);
QZARN_AT(FunctionRecord, CurveValid, 1931);
QZARN_AT(FunctionRecord, SampleLast, 1932);
QZARN_AT(FunctionRecord, SampleX, 1936);
QZARN_AT(FunctionRecord, SampleY, 1940);
QZARN_AT(FunctionRecord, Reserved, 1944);
QZARN_AT(FunctionRecord, TrackCount, 1984);
QZARN_AT(FunctionRecord, KisekiF, 1988);
QZARN_AT(FunctionRecord, KisekiL, 1989);
QZARN_AT(FunctionRecord, KisekiP, 1990);
QZARN_AT(FunctionRecord, KisekiR, 1992);
QZARN_AT(FunctionRecord, KisekiW, 1996);
QZARN_AT(FunctionRecord, PaintColor, 2000);
QZARN_AT(FunctionRecord, KisekiList, 2004);
QZARN_AT(FunctionRecord, AreaEx2, 2008);
QZARN_AT(FunctionRecord, AreaWd2, 2259);
static_assert(sizeof(FunctionRecord) == 2512);

QZARN_AT(FrameRecord, Name, 0);
QZARN_AT(FrameRecord, PointName1, 5);
QZARN_AT(FrameRecord, PointName2, 10);
QZARN_AT(FrameRecord, X0, 16);
QZARN_AT(FrameRecord, Y0, 24);
QZARN_AT(FrameRecord, FX0, 32);
QZARN_AT(FrameRecord, FY0, 283);
QZARN_AT(FrameRecord, X1, 536);
QZARN_AT(FrameRecord, Y1, 544);
QZARN_AT(FrameRecord, FX1, 552);
QZARN_AT(FrameRecord, FY1, 803);
QZARN_AT(FrameRecord, Boolean, 1054);
QZARN_AT(FrameRecord, ConditionValue, 1056);
QZARN_AT(FrameRecord, BooleanFunc, 1064);
QZARN_AT(FrameRecord, Ref0, 1316);
QZARN_AT(FrameRecord, Ref1, 1320);
QZARN_AT(FrameRecord, RimColor, 1324);
QZARN_AT(FrameRecord, DispL, 1328);
QZARN_AT(FrameRecord, SizeL, 1332);
QZARN_AT(FrameRecord, StyleL, 1336);
QZARN_AT(FrameRecord, IsFront, 1340);
QZARN_AT(FrameRecord, IsIcon, 1341);
QZARN_AT(FrameRecord, DispO, 1342);
QZARN_AT(FrameRecord, DispBk, 1343);
QZARN_AT(FrameRecord, ColorBk, 1344);
QZARN_AT(FrameRecord, Tail, 1348);
QZARN_AT(FrameRecord, Tail.Text.Font, 1348);
QZARN_AT(FrameRecord, Tail.Text.Lines, 1400);
QZARN_AT(FrameRecord, Tail.Text.Reserved, 2012);
QZARN_AT(FrameRecord, Tail.Text.CharW, 2052);
QZARN_AT(FrameRecord, Tail.Text.CharX, 2056);
QZARN_AT(FrameRecord, Tail.Text.CharY, 2060);
QZARN_AT(FrameRecord, Tail.Object.SizeM, 1348);
QZARN_AT(FrameRecord, Tail.Object.Container, 1352);
QZARN_AT(FrameRecord, Tail.Object.Reserved, 1360);
static_assert(offsetof(FrameRecord, Tail) + sizeof(ObjectFrameTail) == 1400);
static_assert(sizeof(FrameRecord) == 2064);

QZARN_AT(PolygonRecord, Mode, 0);
QZARN_AT(PolygonRecord, Name, 4);
QZARN_AT(PolygonRecord, DispL, 9);
QZARN_AT(PolygonRecord, DispP, 10);
QZARN_AT(PolygonRecord, DispZ, 11);
QZARN_AT(PolygonRecord, DispB, 12);
QZARN_AT(PolygonRecord, LineColor, 16);
QZARN_AT(PolygonRecord, SizeL, 20);
QZARN_AT(PolygonRecord, StyleL, 24);
QZARN_AT(PolygonRecord, ColorB, 28);
QZARN_AT(PolygonRecord, StyleB, 32);
QZARN_AT(PolygonRecord, LabelX, 36);
QZARN_AT(PolygonRecord, LabelY, 44);
QZARN_AT(PolygonRecord, SS, 52);
QZARN_AT(PolygonRecord, Dir, 60);
QZARN_AT(PolygonRecord, Boolean, 64);
QZARN_AT(PolygonRecord, ConditionValue, 68);
QZARN_AT(PolygonRecord, BooleanFunc, 76);
QZARN_AT(PolygonRecord, Refs, 328);
QZARN_AT(PolygonRecord, VX, 452);
QZARN_AT(PolygonRecord, VY, 700);
QZARN_AT(PolygonRecord, Font, 948);
QZARN_AT(PolygonRecord, Reserved, 1000);
static_assert(sizeof(PolygonRecord) == 1040);

QZARN_AT(MultiPointRecord, Mode, 0);
QZARN_AT(MultiPointRecord, Names, 4);
QZARN_AT(MultiPointRecord, Radius, 24);
QZARN_AT(MultiPointRecord, Color, 28);
QZARN_AT(MultiPointRecord, RimColor, 32);
QZARN_AT(MultiPointRecord, Paint, 36);
QZARN_AT(MultiPointRecord, Direction, 40);
QZARN_AT(MultiPointRecord, DispName, 44);
QZARN_AT(MultiPointRecord, DispMark, 45);
QZARN_AT(MultiPointRecord, Coordinates, 46);
QZARN_AT(MultiPointRecord, RimRadius, 48);
QZARN_AT(MultiPointRecord, PX, 52);
QZARN_AT(MultiPointRecord, PY, 84);
QZARN_AT(MultiPointRecord, FXs, 140);
QZARN_AT(MultiPointRecord, FYs, 1144);
QZARN_AT(MultiPointRecord, Reserved2148, 2148);
QZARN_AT(MultiPointRecord, Boolean, 2149);
QZARN_AT(MultiPointRecord, ConditionValue, 2152);
QZARN_AT(MultiPointRecord, BooleanFunc, 2160);
QZARN_AT(MultiPointRecord, Ref0, 2412);
QZARN_AT(MultiPointRecord, Ref3, 2424);
QZARN_AT(MultiPointRecord, Font, 2428);
QZARN_AT(MultiPointRecord, Track, 2481);
QZARN_AT(MultiPointRecord, TrackConnect, 2482);
QZARN_AT(MultiPointRecord, TrackRadius, 2484);
QZARN_AT(MultiPointRecord, TrackThick, 2488);
QZARN_AT(MultiPointRecord, TrackColor, 2492);
QZARN_AT(MultiPointRecord, TrackCount, 2496);
QZARN_AT(MultiPointRecord, TrackX, 2512);
QZARN_AT(MultiPointRecord, TrackY, 10528);
QZARN_AT(MultiPointRecord, Reserved18544, 18544);
QZARN_AT(MultiPointRecord, Reserved, 18556);
static_assert(sizeof(MultiPointRecord) == 18600);

#undef QZARN_AT

}  // namespace qzarn
