#pragma once
// The user-defined palette (TEditValue2) apart from its window: the labels
// and variable boxes the screen stores, their limits, and the writes of a box
// change and of "すべての値を初期値に戻す(&R)".
//
// Building the palette shows each variable's current value: writing the
// entries' stored values back into the variables would undo what a drag, the
// standard palette or the table changed since the entry was saved.

#include <string>
#include <vector>

#include "forms/anime_player.h"
#include "forms/variable_palette.h"

namespace qzarn {

class FigureExpressions;
class Screen;

struct UserPaletteLabel {
  int item = 0;         // entry index 0..200
  std::string caption;  // code page 932 bytes as stored
  int left = 0;         // displayed position: stored + 1
  int top = 0;
  int font_size = 0;
  std::string font_name;
  int font_style = 0;
  std::uint32_t font_colour = 0;
};

struct UserPaletteBox {
  int item = 0;
  PaletteVariable variable;
  int left = 0;  // displayed position: stored + 1
  int top = 0;
  int width = 0;
  int height = 0;
  double value = 0;  // the variable's current value, shown clamped
  double initial = 0;
  double minimum = 0;
  double maximum = 0;
  double step = 0;
  int font_size = 0;
  std::string font_name;
  int font_style = 0;
  std::uint32_t font_colour = 0;

  double Clamp(double v) const;
  AnimeRange range() const { return {minimum, maximum, step}; }
};

struct UserPaletteLayout {
  int width = 0;  // client size: the stored size + 1
  int height = 0;
  std::vector<UserPaletteLabel> labels;
  std::vector<UserPaletteBox> boxes;
};

// The entries of the screen in entry order; a box naming no variable a..z9
// (a damaged document) is left out.
UserPaletteLayout ReadUserPalette(const Screen& screen);

// "変数 " + the box's variable name: the animation window's caption.
std::string AnimeCaption(PaletteVariable v);

// A box changed to `value`: clamped to the box's range, stored as the entry's
// current value and applied to the variable when it differs from the cell.
// Returns whether the variable was written (the caller recomputes and redraws).
bool ApplyBoxValue(Screen& screen, const UserPaletteBox& box, double value,
                   FigureExpressions& expressions);

// "すべての値を初期値に戻す(&R)": every box's variable and entry take the
// entry's initial value; returns how many variables changed, so that the
// caller redraws once.
int ResetUserPalette(Screen& screen, FigureExpressions& expressions);

}  // namespace qzarn
