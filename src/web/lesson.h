#pragma once
// A published lesson in the page: its screens as loaded from their document bytes, the one
// shown, and what the page does with it (palette steps, drags, pan and zoom, reset). The
// exported entry points (entry_points.cpp) are thin wrappers around this class.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/figure_defaults.h"
#include "document/screen.h"
#include "engine/engine_ui.h"
#include "engine/figure_expressions.h"
#include "engine/recompute.h"
#include "expr/engine.h"
#include "expr/variable_table.h"
#include "forms/anime_player.h"
#include "forms/variable_palette.h"
#include "interact/pointer_tools.h"
#include "platform/rgb_image.h"
#include "render/draw_context.h"

namespace qzarn::web {

class Lesson {
 public:
  Lesson();
  ~Lesson();

  // Adds a screen from a document's bytes (either form); the reason on failure.
  std::optional<std::string> AddScreen(std::span<const std::uint8_t> bytes, std::string title);
  int ScreenCount() const { return static_cast<int>(screens_.size()); }
  const std::string& Title(int index) const { return screens_[index].title; }
  // Chooses the shown screen; false for an index out of range.
  bool Show(int index);
  int Shown() const { return shown_; }

  // The shown screen's surface size in pixels.
  render::Size SurfaceSize() const;
  // Recomputes and draws the shown screen on a canvas the caller has made ready.
  void Draw(render::Canvas& canvas);
  // The decoded background picture, handed over by the page, which decodes the document's
  // picture bytes (JPEG or BMP) itself.
  std::span<const std::uint8_t> BackgroundBytes() const;
  void SetBackground(RgbImage picture);

  // {"a": 0.5, ...}: the variables the shown screen's texts leave free, as JSON.
  std::string VariablesJson() const;
  // A variable's present value (plain or subscripted name), without working out which
  // variables the screen leaves free: what the palette shows after each step.
  std::optional<double> Value(std::string_view name) const;
  // Sets a variable as a palette step does; false for a name the palette cannot drive.
  bool SetVariable(std::string_view name, double value);
  // The figure named `name` on the shown screen as the dump writes it, or "null".
  std::string FigureJson(std::string_view name) const;

  // The shown screen's palettes as JSON: the palette mode, the standard palette's chosen
  // variable and step, and the user-defined palette's size, labels and boxes as designed
  // (captions in UTF-8, colours as "#rrggbb", each box's value as it shows it).
  std::string PalettesJson() const;
  // The standard palette's list choice and step, kept in the screen as the desktop keeps them.
  bool SelectVariable(std::string_view name);
  void SetPaletteStep(double step);
  // A user-defined palette box typed into (`value`) or stepped with its arrows (`direction`
  // +1 or -1): clamped to the box's range. Both return whether the variable changed.
  bool SetBoxValue(int box, double value);
  bool StepBox(int box, int direction);

  // The animation player. Its target is a user-defined palette box (its range, step and
  // initial value) or, with kStandardTarget, the standard palette's variable within the
  // standard palette's limits and step, stopping at the value the lesson was published with.
  static constexpr int kStandardTarget = -1;
  enum class AnimeCommand { kPlayBackward, kStepBack, kStop, kPause, kStepForward, kPlayForward };
  // What a command or a tick did: the picture changed, the player still plays.
  static constexpr int kAnimeChanged = 1;
  static constexpr int kAnimePlaying = 2;
  int Animate(int target, AnimeCommand command);
  int AnimeTick();
  bool AnimePlaying() const { return player_.playing(); }

  // Pointer gestures in surface pixels. `reach` widens the hit radii: a finger covers more
  // than a mouse pointer, and a picture shown smaller than its surface needs more surface
  // pixels for the same distance on the glass. PointerDown returns whether it grabbed a
  // figure (otherwise the drag pans the view).
  bool PointerDown(double x, double y, double reach);
  // Returns whether the picture changed.
  bool PointerMove(double x, double y);
  void PointerUp();
  // Zooms the view by `factor` about the surface pixel (x, y).
  void Zoom(double factor, double x, double y);

  // Every screen back to its published bytes.
  void Reset();

 private:
  struct Entry {
    std::vector<std::uint8_t> bytes;  // as published, for Reset
    std::string title;
    std::unique_ptr<Screen> screen;
    RgbImage picture;
    VariableTable published;  // where the standard palette's player stops
  };
  class Ui;
  struct AnimeTarget {
    PaletteVariable variable;
    AnimeRange range;
    double initial = 0;
    double value = 0;
    int box = kStandardTarget;
  };

  std::optional<AnimeTarget> Target(int target) const;
  bool ApplyAnimeValue(const AnimeTarget& target, double value);

  Screen& screen() { return *screens_[shown_].screen; }
  const Screen& screen() const { return *screens_[shown_].screen; }
  std::unique_ptr<Screen> Load(std::span<const std::uint8_t> bytes, std::string& error) const;

  ExprEngine expr_;
  FigureExpressions expressions_{expr_};
  SilentEngineUi engine_ui_;
  FigureEngine engine_{expressions_, engine_ui_};
  render::RenderOptions render_;
  FigureDefaults defaults_;
  AttributeMemory attributes_;
  int current_tool_ = interact::kNoTool;
  std::unique_ptr<Ui> ui_;
  std::unique_ptr<interact::PointerContext> pointer_;
  interact::PointerState state_;
  bool pressed_ = false;
  std::vector<Entry> screens_;
  int shown_ = 0;
  AnimePlayer player_;
  int anime_target_ = kStandardTarget;
};

}  // namespace qzarn::web
