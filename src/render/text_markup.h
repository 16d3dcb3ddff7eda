#pragma once
// The small markup of text box lines: "^" starts a superscript, "_" a
// subscript, "|" returns to the normal size, and "$name[:width[:decimals]]$"
// is replaced by the live value of a variable of the screen. Lines are code
// page 932 bytes as stored in the figure record.

#include <string>
#include <string_view>

#include "expr/variable_table.h"
#include "render/canvas.h"

namespace qzarn::render {

// The text that replaces a value token; `content` is what stands between the
// two "$" marks. A name that is not one of a..z, a1..z9 (any case), a width or
// decimals outside 0..20, or a value that cannot be written gives "[Error!]".
std::string InsertValue(std::string_view content, const VariableTable* variables);

inline constexpr std::string_view kValueError = "[Error!]";

// Fonts and spacing of one text box pass, in device pixels.
struct MarkupStyle {
  Font normal;              // the box font
  Font small;               // superscripts and subscripts
  double char_spacing = 0;  // added after every character
  int normal_h_height = 0;  // text height of "H" in the normal font
  int small_h_height = 0;   // the same in the small font
  const VariableTable* variables = nullptr;
};

// Fills the "H" heights of `style` by measuring on the canvas.
void MeasureMarkupFonts(Canvas& canvas, MarkupStyle& style);

// Lays out one line from `start` (the top of the line) and draws it with the
// anchor (left, top) in the current background mode. The line stops at the
// first character that would end beyond box.right or whose bottom would lie
// below box.bottom + 1. Returns the pen x after the last character drawn.
double LayoutMarkupLine(Canvas& canvas, std::string_view line_cp932, PointF start, const RectF& box,
                        const MarkupStyle& style);

// The same rules without drawing and without a box: the pen x after the line.
double MeasureMarkupLine(Canvas& canvas, std::string_view line_cp932, double start_x,
                         const MarkupStyle& style);

}  // namespace qzarn::render
