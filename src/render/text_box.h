#pragma once
// Text boxes (Char figures): background, frame and up to ten lines of markup
// text between two plane corners, with the frame optionally sized to the text.

#include "document/figure_table.h"
#include "render/figure_drawing_ink.h"
#include "render/text_markup.h"

namespace qzarn::render {

// Colour of a selected box's background (the button face of the window theme).
inline constexpr Colour kButtonFaceColour = 0xF0F0F0;

// The pixel box, fonts and spacing of a text box in this pass.
struct TextBoxLayout {
  Rect box;                 // left, top, right, bottom as drawn
  MarkupStyle style;        // fonts in device pixels, character spacing
  int pitch = 0;            // distance between line tops
  int margin = 0;           // g: half the frame pen plus the box margin
  double line_spacing = 0;  // CharY in device pixels
  double italic_allowance = 0;
};

// Computes the layout; with automatic size (IsIcon) the box is fitted to the
// lines, otherwise the corners are ordered. Leaves the fonts set on the canvas.
TextBoxLayout LayoutTextBox(DrawContext& ctx, const FrameRecord& frame, Colour text_colour);

// Background, frame and lines of a Char figure.
void DrawTextBox(FigureInk& ink, const FrameRecord& frame);

// Automatic size: moves the second corner of the box to the fitted box and,
// when its expressions are empty or plain numbers, rewrites them with the new
// values. Returns whether the record was changed.
bool FitTextBox(DrawContext& ctx, FrameRecord& frame);

// FitTextBox for every displayed automatic-size text box of the table.
void FitTextBoxes(DrawContext& ctx, FigureTable& table);

// True for an empty text or one plain decimal number (no operators, names or
// spaces inside): corner texts the automatic size may overwrite.
bool IsPlainNumberText(std::string_view text);

}  // namespace qzarn::render
