#include "render/text_markup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

#include "expr/engine.h"
#include "platform/text_encoding.h"
#include "render/figure_drawing_labels.h"
#include "platform/c_number_format.h"

namespace qzarn::render {

namespace {

constexpr int kMaxFieldWidth = 20;

// a..z -> row 0, a1..z9 -> rows 1..9 (any case): the names the palette offers.
std::optional<double> ReadVariable(std::string_view name, const VariableTable* variables) {
  if (variables == nullptr) return std::nullopt;
  const std::optional<VariableName> cell = ParseVariableName(name);
  if (!cell) return std::nullopt;
  return variables->read(cell->row, cell->column);
}

// A whole number 0..20 written with digits only; -9 otherwise.
int FieldNumber(std::string_view s) {
  if (s.empty() || s.size() > 2) return -9;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return -9;
    n = n * 10 + (c - '0');
  }
  return n <= kMaxFieldWidth ? n : -9;
}

std::string Printf(const char* format, int width, int decimals, double v) {
  // Widths and decimals are at most 20, so the text is bounded by the
  // integer digits of a double (309) plus those.
  char buf[400];
  const int n = decimals < 0 ? FormatC(buf, sizeof buf, format, width, v)
                             : FormatC(buf, sizeof buf, format, width, decimals, v);
  if (n <= 0 || n >= static_cast<int>(sizeof buf)) return {};
  return std::string(buf, static_cast<std::size_t>(n));
}

// Lead bytes of double-byte characters as the box lines are read: the whole
// upper range counts, so a stray 0xFD..0xFF never splits into two glyphs.
bool IsDoubleByteLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || c >= 0xE0;
}

bool IsLatinLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string CharacterUtf8(std::string_view cp932_char) {
  if (cp932_char.size() == 1 && static_cast<unsigned char>(cp932_char[0]) < 0x80)
    return std::string(cp932_char);
  return cp932_to_utf8(cp932_char);
}

enum class Size { kNormal, kSuperscript, kSubscript };

// Walks the line once for drawing or measuring; draw == false never touches
// the picture and ignores the box.
double Walk(Canvas& canvas, std::string_view line, PointF start, const RectF* box,
            const MarkupStyle& style) {
  // The text still to lay out: value tokens put their result in front of it.
  std::string pending(line);
  std::size_t pos = 0;
  Size size = Size::kNormal;
  double x = start.x;
  const bool draw = box != nullptr;
  if (draw) canvas.SetTextAnchor({HorizontalAnchor::kStart, VerticalAnchor::kTop});
  while (pos < pending.size()) {
    const unsigned char c = static_cast<unsigned char>(pending[pos]);
    if (c == '^' || c == '_' || c == '|') {
      size = c == '^' ? Size::kSuperscript : c == '_' ? Size::kSubscript : Size::kNormal;
      ++pos;
      continue;
    }
    std::size_t len = 1;
    if (c == '$') {
      const std::size_t close = pending.find('$', pos + 1);
      // A "$" without its closing mark is drawn as it stands.
      if (close != std::string::npos) {
        const std::string value = InsertValue(
            std::string_view(pending).substr(pos + 1, close - pos - 1), style.variables);
        pending = value + pending.substr(close + 1);
        pos = 0;
        continue;
      }
    } else if (IsDoubleByteLead(c) && pos + 1 < pending.size()) {
      len = 2;
    }
    const std::string_view ch = std::string_view(pending).substr(pos, len);
    pos += len;

    Font font = size == Size::kNormal ? style.normal : style.small;
    // Digits, operators and punctuation stay upright in an italic text.
    if (len == 1 && !IsLatinLetter(c)) font.style &= static_cast<std::uint8_t>(~kFontItalic);
    if (!(canvas.font() == font)) canvas.SetFont(font);
    const std::string utf8 = CharacterUtf8(ch);
    const TextExtent e = canvas.MeasureText(utf8);
    const double offset =
        size == Size::kSubscript ? style.normal_h_height - style.small_h_height : 0.0;
    if (draw) {
      if (x + e.width > box->right || start.y + offset + e.height > box->bottom + 1) break;
      canvas.DrawText(PointF{x, start.y + offset}, utf8);
    }
    x += e.width + style.char_spacing;
  }
  return x;
}

}  // namespace

std::string InsertValue(std::string_view content, const VariableTable* variables) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  while (true) {
    const std::size_t colon = content.find(':', from);
    parts.push_back(content.substr(from, colon - from));
    if (colon == std::string_view::npos) break;
    from = colon + 1;
  }
  if (parts.size() > 3) return std::string(kValueError);
  const std::optional<double> value = ReadVariable(parts[0], variables);
  if (!value || !std::isfinite(*value)) return std::string(kValueError);
  std::string text;
  if (parts.size() == 1) {
    text = FormatDecimals(*value, 10);
    std::erase(text, ' ');
  } else {
    const int width = FieldNumber(parts[1]);
    const int decimals = parts.size() == 3 ? FieldNumber(parts[2]) : 0;
    if (width < 0 || decimals < 0) return std::string(kValueError);
    text = parts.size() == 2 ? Printf("%*e", width, -1, *value)
                             : Printf("%*.*f", width, decimals, *value);
  }
  if (text.empty()) return std::string(kValueError);
  return text;
}

void MeasureMarkupFonts(Canvas& canvas, MarkupStyle& style) {
  canvas.SetFont(style.small);
  style.small_h_height = canvas.MeasureText("H").height;
  canvas.SetFont(style.normal);
  style.normal_h_height = canvas.MeasureText("H").height;
}

double LayoutMarkupLine(Canvas& canvas, std::string_view line_cp932, PointF start, const RectF& box,
                        const MarkupStyle& style) {
  return Walk(canvas, line_cp932, start, &box, style);
}

double MeasureMarkupLine(Canvas& canvas, std::string_view line_cp932, double start_x,
                         const MarkupStyle& style) {
  return Walk(canvas, line_cp932, PointF{start_x, 0}, nullptr, style);
}

}  // namespace qzarn::render
