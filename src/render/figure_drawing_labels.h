#pragma once
// Labels attached to figures: point names with optional coordinates placed
// around the point mark, and the numeric values of lines and areas.

#include <string>
#include <string_view>

#include "render/figure_drawing_ink.h"

namespace qzarn::render {

// A number with `decimals` decimals, trailing zeros and point removed; a
// magnitude below 1e-10 is written as 0.
std::string FormatDecimals(double v, int decimals);

// The coordinate part of a point label by coordinate kind, e.g. "(1.5,-2)".
std::string FormatCoordinates(double x, double y, CoordinateKind kind, int decimals);

// Whether a name is drawn as a letter with a subscript (A-Z followed by a
// digit or letter; digits only for polygon and area labels).
bool IsSubscriptName(std::string_view name, bool digits_only);

// The label of a point-like figure: name and/or coordinates around the mark
// at the direction (degrees, counter-clockwise from +x). mark_size and
// rim_width are the record's values in surface pixels.
void DrawPointLabel(FigureInk& ink, std::string_view name_utf8, int direction, bool coordinates,
                    const LabelFontSpec& font, int mark_size, int rim_width, double x, double y);

// The second character of a subscript name, small and bold, after the first
// character of the text just drawn (the name with a space in its place);
// size in pixels before the print factor.
void DrawNameSubscript(FigureInk& ink, std::string_view name, const LabelFontSpec& font,
                       double size);

// "name=value" (or either part alone) centred at a plane point, opaque on the
// screen background: the label of an area sits inside its own hatching and
// often on an axis, which would otherwise run through the digits. A
// letter-and-digit name gets its digit as a subscript.
void DrawNamedValueLabel(FigureInk& ink, std::string_view name, const std::string& value,
                         const LabelFontSpec& font, int size, double x, double y);

// A value text centred at a plane point in the figure font at `size` pixels
// (opaque on the screen background when asked).
void DrawValueLabel(FigureInk& ink, const std::string& text, const LabelFontSpec& font, int size,
                    double x, double y, bool opaque);

}  // namespace qzarn::render
