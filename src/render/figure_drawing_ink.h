#pragma once
// Pens, brushes and text colours of one figure: the selection colour, black
// printing and the erasable (NOT-XOR) drawing of a selected figure.

#include <cstdint>
#include <string>

#include "document/figure_layouts.h"
#include "render/draw_context.h"

namespace qzarn::render {

// Coordinates at or beyond this are the "undefined" results of the engine.
inline constexpr double kUndefinedCoordinate = 1e15;

inline bool Defined(double v) {
  return std::isfinite(v) && std::fabs(v) < kUndefinedCoordinate;
}
inline bool OnPlane(double v) {
  return std::isfinite(v) && std::fabs(v) < 20000.0;
}

class FigureInk {
 public:
  // Selected figures take the selection colour; when the screen does not redraw
  // fully while dragging, a selected figure is drawn erasably.
  FigureInk(DrawContext& ctx, bool selected);
  ~FigureInk();
  FigureInk(const FigureInk&) = delete;
  FigureInk& operator=(const FigureInk&) = delete;

  DrawContext& ctx() const { return ctx_; }
  Canvas& canvas() const { return ctx_.canvas(); }
  bool selected() const { return selected_; }
  // Erasable drawing: pens only, no fills, no labels.
  bool erasable() const { return erasable_; }
  bool labels() const { return !erasable_; }

  Colour Of(Colour c) const;
  // Pen by style code (0 solid .. 4 dash-dot-dot, 99 none), width in surface pixels.
  void Pen(Colour c, int width, int style_code);
  void SolidPen(Colour c, int width) { Pen(c, width, 0); }
  void NoPen();
  // Fill pattern 0 none .. 7; left out in erasable drawing.
  void Fill(Colour c, int pattern);
  void NoFill();

  // Point mark radius in surface pixels: grows with the zoom when point zoom is on.
  int MarkRadius(int size) const;

 private:
  DrawContext& ctx_;
  bool selected_;
  bool erasable_;
};

// A figure's label font in canvas terms (family converted to UTF-8).
struct LabelFontSpec {
  std::string family;
  Colour colour = 0;
  int size = 16;
  int style = 0;
  int charset = 128;
};
LabelFontSpec FontOf(const LabelFont& font);

// Display condition: off when the condition is on and its value is 0.
inline bool ConditionAllows(bool condition, double value) {
  return !condition || value != 0;
}

}  // namespace qzarn::render
