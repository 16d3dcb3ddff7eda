#include "forms/arrow_settings.h"

#include <algorithm>
#include <charconv>

#include "forms/property_form.h"

namespace qzarn::forms {

namespace {

bool HasArrows(const FigureRecord& record) {
  // A tangent's YaTyp says tangent or normal instead.
  return record.line() != nullptr && record.type() != kSessenFigure;
}

std::string RealText(double v) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
  return ec == std::errc() ? std::string(buffer, end) : std::string();
}

}  // namespace

std::optional<ArrowSettings> ReadArrowSettings(const FigureRecord& record) {
  if (!HasArrows(record)) return std::nullopt;
  const LineRecord& l = *record.line();
  return ArrowSettings{std::clamp<int>(l.YaTyp, 0, 3), RealText(l.YaLng), AngleText(l.YaAng)};
}

bool ApplyArrowSettings(FigureRecord& record, const ArrowSettings& s) {
  if (!HasArrows(record)) return false;
  LineRecord& l = *record.line();
  l.YaTyp = std::clamp(s.type, 0, 3);
  double length = 0;
  const char* first = s.length.data();
  const char* last = first + s.length.size();
  if (const auto [end, ec] = std::from_chars(first, last, length);
      ec == std::errc() && end != first)
    l.YaLng = length;
  if (const std::optional<int> angle = AngleFromText(s.angle)) l.YaAng = *angle;
  return true;
}

}  // namespace qzarn::forms
