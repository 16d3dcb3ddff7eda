#pragma once
// Figure type codes, their layout families and record sizes.

#include <cstdint>
#include <string_view>

namespace qzarn {

// The record type code stored in a figure slot. 0 is an empty slot.
enum FigureTypeCode : std::int32_t {
  kNoFigure = 0,
  kLineFigure = 1,
  kPointFigure = 2,
  kCircleFigure = 3,
  kBuntenFigure = 4,
  kCrossFigure = 5,
  kParabolaFigure = 6,
  kSuisenFigure = 7,
  kAngleFigure = 8,
  kFunctionFigure = 9,
  kOleFigure = 10,
  kCross2Figure = 11,
  kMensekiFigure = 12,
  kSessenFigure = 13,
  kAngle2Figure = 14,
  kPolyFigure = 15,
  kCharFigure = 16,
  kCross3Figure = 17,
  kSplineFigure = 18,
};
inline constexpr int kLastFigureType = 18;

enum class LayoutFamily { kNone, kPoint, kLine, kCircle, kFunction, kFrame, kPolygon, kMultiPoint };

constexpr bool IsFigureType(std::int32_t type) {
  return type >= 1 && type <= kLastFigureType;
}

constexpr LayoutFamily FamilyOf(std::int32_t type) {
  switch (type) {
    case kPointFigure:
    case kBuntenFigure:
    case kCrossFigure:
    case kSuisenFigure:
    case kCross2Figure:
    case kMensekiFigure:
    case kAngle2Figure:
      return LayoutFamily::kPoint;
    case kLineFigure:
    case kParabolaFigure:
    case kAngleFigure:
    case kSessenFigure:
      return LayoutFamily::kLine;
    case kCircleFigure:
      return LayoutFamily::kCircle;
    case kFunctionFigure:
      return LayoutFamily::kFunction;
    case kOleFigure:
    case kCharFigure:
      return LayoutFamily::kFrame;
    case kPolyFigure:
    case kSplineFigure:
      return LayoutFamily::kPolygon;
    case kCross3Figure:
      return LayoutFamily::kMultiPoint;
    default:
      return LayoutFamily::kNone;
  }
}

// A set of figure types as a bit mask (bit t = type t).
using FigureTypeMask = std::uint32_t;
constexpr FigureTypeMask TypeBit(std::int32_t type) {
  return FigureTypeMask{1} << type;
}
// The figures that are a single point on the plane: free and dividing points
// and every kind of intersection.
inline constexpr FigureTypeMask kPointFigureTypes = TypeBit(kPointFigure) | TypeBit(kBuntenFigure) |
                                                    TypeBit(kCrossFigure) | TypeBit(kSuisenFigure) |
                                                    TypeBit(kCross2Figure) | TypeBit(kCross3Figure);
constexpr FigureTypeMask FamilyMask(LayoutFamily family) {
  FigureTypeMask m = 0;
  for (std::int32_t t = 1; t <= kLastFigureType; ++t)
    if (FamilyOf(t) == family) m |= TypeBit(t);
  return m;
}

// Versions of the document format, in order; a record written by an older
// version may be shorter than the current one.
enum class FormatVersion { kV100, kV101, kV102, kV103, kV104, kV105 };
inline constexpr FormatVersion kCurrentFormat = FormatVersion::kV105;

// Bytes of a record of the type as stored in documents of the current version;
// 0 for the empty type and any unknown code.
constexpr std::int32_t RecordSize(std::int32_t type) {
  switch (FamilyOf(type)) {
    case LayoutFamily::kPoint:
      return 4996;
    case LayoutFamily::kLine:
      return 9520;
    case LayoutFamily::kCircle:
      return 8024;
    case LayoutFamily::kFunction:
      return 2512;
    case LayoutFamily::kFrame:
      return type == kOleFigure ? 1400 : 2064;
    case LayoutFamily::kPolygon:
      return 1040;
    case LayoutFamily::kMultiPoint:
      return 18600;
    case LayoutFamily::kNone:
      break;
  }
  return 0;
}

// Bytes of a record of the type as stored by an older writer. The missing tail
// keeps what the record held before it was read.
constexpr std::int32_t RecordSize(std::int32_t type, FormatVersion version) {
  const LayoutFamily family = FamilyOf(type);
  if (type == kFunctionFigure) {
    if (version == FormatVersion::kV100) return 1984;
    if (version <= FormatVersion::kV103) return 2008;
  }
  if (type == kCharFigure && version <= FormatVersion::kV101) return 2052;
  if ((family == LayoutFamily::kPoint || family == LayoutFamily::kLine) &&
      version <= FormatVersion::kV102)
    return RecordSize(type) - 4;  // no LimitS yet
  return RecordSize(type);
}

// The settings section holding the type's default attributes; empty for
// codes outside 1..18.
constexpr std::string_view IniSectionName(std::int32_t type) {
  constexpr std::string_view kNames[] = {"",      "Line",     "Point",   "Circle", "Bunten",
                                         "Cross", "Parabola", "Suisen",  "Angle",  "Function",
                                         "OLE",   "Cross",    "Menseki", "Sessen", "Angle2",
                                         "Poly",  "Char",     "Cross3",  "Spline"};
  return IsFigureType(type) ? kNames[type] : std::string_view();
}

}  // namespace qzarn
