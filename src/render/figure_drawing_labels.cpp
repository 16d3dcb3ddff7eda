#include "render/figure_drawing_labels.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "platform/c_number_format.h"
#include "render/figure_drawing_primitives.h"

namespace qzarn::render {

namespace {

constexpr double kMaxLabelCoordinate = 1e8;

void SetFigureFont(FigureInk& ink, const LabelFontSpec& font, int size, int style) {
  SetLabelFont(ink.ctx(), font.family, size, style, font.charset, ink.Of(font.colour));
}

}  // namespace

std::string FormatDecimals(double v, int decimals) {
  if (!std::isfinite(v)) return "0";
  if (std::fabs(v) < 1e-10) return "0";
  decimals = std::clamp(decimals, 0, 15);
  char buf[512];
  FormatC(buf, sizeof buf, "%.*f", decimals, v);
  std::string s = buf;
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0')
      s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

std::string FormatCoordinates(double x, double y, CoordinateKind kind, int d) {
  switch (kind) {
    case CoordinateKind::kDegrees:
      return "(" + FormatDecimals(x * 180 / std::numbers::pi, d) + "\uFF9F," +
             FormatDecimals(y, d) + ")";
    case CoordinateKind::kRadians:
      return "(" + FormatDecimals(x / std::numbers::pi, d) + "\u03C0," + FormatDecimals(y, d) + ")";
    case CoordinateKind::kPolar: {
      double theta = std::atan2(y, x) * 180 / std::numbers::pi;
      if (theta < 0) theta += 360;
      if (theta >= 360) theta -= 360;
      return "(" + FormatDecimals(std::hypot(x, y), d) + "," + FormatDecimals(theta, d) + "\u309C)";
    }
    case CoordinateKind::kComplex: {
      // The sign goes with the written imaginary part: a tiny negative y is
      // written as 0 and still needs its plus.
      const std::string im = FormatDecimals(y, d);
      return "(" + FormatDecimals(x, d) + (im.front() == '-' ? "" : "+") + im + "i)";
    }
    case CoordinateKind::kStandard:
    default:
      return "(" + FormatDecimals(x, d) + "," + FormatDecimals(y, d) + ")";
  }
}

bool IsSubscriptName(std::string_view name, bool digits_only) {
  if (name.size() != 2 || name[0] < 'A' || name[0] > 'Z') return false;
  const char c = name[1];
  const bool digit = c >= '0' && c <= '9';
  const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return digits_only ? digit : (digit || letter);
}

void DrawPointLabel(FigureInk& ink, std::string_view name, int direction, bool coordinates,
                    const LabelFontSpec& font, int mark_size, int rim_width, double x, double y) {
  if (!ink.labels()) return;
  if (!(std::fabs(x) < kMaxLabelCoordinate) || !(std::fabs(y) < kMaxLabelCoordinate)) return;
  if (name.empty() && !coordinates) return;
  DrawContext& ctx = ink.ctx();
  Canvas& canvas = ctx.canvas();
  const double z = ctx.z();
  const bool subscript = IsSubscriptName(name, false);
  std::string text(name);
  if (subscript) text[1] = ' ';
  if (coordinates)
    text += FormatCoordinates(x, y, ctx.params().axes.kind, ctx.options().axis_precision);
  const int size = RoundToInt(std::sqrt(z) * font.size);
  SetFigureFont(ink, font, size, font.style);
  canvas.SetBackground(BackgroundMode::kTransparent, ctx.params().background);

  double mark = mark_size, rim = rim_width;
  if (!ctx.options().layout.point_zoom) {
    mark /= z;
    rim /= z;
  }
  const double space = ctx.options().layout.char_space;
  int d = direction % 360;
  if (d < 0) d += 360;
  HAnchor h = HAnchor::kCentre;
  VAnchor v = VAnchor::kMiddle;
  double base;
  if (coordinates) {
    const TextExtent one = canvas.MeasureText("1");
    if (d >= 46 && d <= 134) {
      v = VAnchor::kBottom;
      base = one.height * space;
    } else if (d >= 135 && d <= 225) {
      h = HAnchor::kRight;
      base = one.width * space;
    } else if (d >= 226 && d <= 314) {
      v = VAnchor::kTop;
      base = one.height * space;
    } else {
      h = HAnchor::kLeft;
      base = one.width * space;
    }
  } else {
    const TextExtent e = canvas.MeasureText(text);
    base = std::hypot(e.width / 2.0, e.height / 2.0) * (space + 0.5);
  }
  const double distance = base + (rim / 2 + mark) * ctx.print_scale() * z;
  const double rad = d * std::numbers::pi / 180.0;
  const PointF at{ctx.PX(x) + std::cos(rad) * distance, ctx.PY(y) - std::sin(rad) * distance};
  if (!DrawDeviceText(ctx, text, at, h, v)) return;
  if (!subscript) return;

  DrawNameSubscript(ink, name, font, std::sqrt(z) * font.size * 0.6);
}

void DrawNameSubscript(FigureInk& ink, std::string_view name, const LabelFontSpec& font,
                       double size) {
  DrawContext& ctx = ink.ctx();
  Canvas& canvas = ctx.canvas();
  const PointF drawn = ctx.last_text_position;
  const TextExtent first = canvas.MeasureText(name.substr(0, 1));
  SetLabelFont(ctx, font.family, RoundToInt(size), font.style | kFontBold, -1, ink.Of(font.colour));
  const TextExtent small = canvas.MeasureText(name.substr(1, 1));
  const PointF sub{drawn.x + first.width, drawn.y + (first.height - small.height / 2.0)};
  DrawDeviceText(ctx, name.substr(1, 1), sub, HAnchor::kLeft, VAnchor::kMiddle);
}

void DrawNamedValueLabel(FigureInk& ink, std::string_view name, const std::string& value,
                         const LabelFontSpec& font, int size, double x, double y) {
  const bool subscript = IsSubscriptName(name, true);
  std::string text(name);
  if (subscript) text[1] = ' ';
  if (!name.empty() && !value.empty()) text += "=";
  text += value;
  if (!ink.labels() || text.empty()) return;
  if (!(std::fabs(x) < kMaxLabelCoordinate) || !(std::fabs(y) < kMaxLabelCoordinate)) return;
  DrawContext& ctx = ink.ctx();
  SetFigureFont(ink, font, size, font.style);
  ctx.canvas().SetBackground(BackgroundMode::kOpaque, ctx.params().background);
  if (DrawLabelText(ctx, text, x, y, HAnchor::kCentre, VAnchor::kMiddle) && subscript)
    DrawNameSubscript(ink, name, font, size * 0.6);
  ctx.canvas().SetBackground(BackgroundMode::kTransparent, ctx.params().background);
}

void DrawValueLabel(FigureInk& ink, const std::string& text, const LabelFontSpec& font, int size,
                    double x, double y, bool opaque) {
  if (!ink.labels() || text.empty()) return;
  if (!(std::fabs(x) < kMaxLabelCoordinate) || !(std::fabs(y) < kMaxLabelCoordinate)) return;
  DrawContext& ctx = ink.ctx();
  SetFigureFont(ink, font, size, font.style);
  ctx.canvas().SetBackground(opaque ? BackgroundMode::kOpaque : BackgroundMode::kTransparent,
                             ctx.params().background);
  DrawLabelText(ctx, text, x, y, HAnchor::kCentre, VAnchor::kMiddle);
  ctx.canvas().SetBackground(BackgroundMode::kTransparent, ctx.params().background);
}

}  // namespace qzarn::render
