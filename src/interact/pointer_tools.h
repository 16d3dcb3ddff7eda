#pragma once
// What the mouse means on the plane: dragging the selected figure (which
// rewrites its definition texts or moves the variables they name), panning the
// view, the pointer's position in the status bar, and creating figures with
// the drawing tools. The document window forwards its mouse events here and
// implements PointerUi; nothing here opens a window itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/figure_defaults.h"
#include "document/screen.h"
#include "interact/hit_test.h"
#include "render/canvas.h"
#include "render/draw_context.h"

namespace qzarn {
class FigureEngine;
class FigureExpressions;
}  // namespace qzarn

namespace qzarn::interact {

// Drawing tool codes (the application's CurrentTool).
inline constexpr int kNoTool = -1;
inline constexpr int kPanningTool = -99999;  // a press on empty space: the drag pans
inline constexpr int kPointTool = 51;
inline constexpr int kLineTool = 57;
inline constexpr int kCircleTool = 58;
inline constexpr int kParabolaTool = 59;
inline constexpr int kObjectTool = 65;
inline constexpr int kTextTool = 66;
inline constexpr int kFormulaObjectTool = 81;
inline constexpr int kFormulaObjectTool2 = 82;

// Status bar panels written here.
inline constexpr int kPromptPanel = 0;    // what the tool waits for
inline constexpr int kPositionPanel = 1;  // the pointer's position
inline constexpr int kHintPanel = 2;      // key hints while drawing

inline constexpr std::string_view kFirstPointPrompt = "第１点を指定";
inline constexpr std::string_view kSecondPointPrompt = "第２点を指定";
inline constexpr std::string_view kLineShiftHint = " [Shift]キーで直線・線分の切りかえ";

enum class PointerCursor { kDefault, kHandPoint };

// What the document window does for the pointer tools.
class PointerUi {
 public:
  virtual ~PointerUi() = default;
  // The canvas of the screen's picture: the dragged figure and the rubber
  // bands are drawn on it erasably (NOT-XOR), so a second identical drawing
  // removes them again. The window shows the picture after each mouse event.
  virtual Canvas& PictureCanvas() = 0;
  // Recomputes and draws the whole screen and shows it.
  virtual void RefreshScreen() = 0;
  // The same after a drag step of the selected figure that rewrote its own
  // texts or the variables they name: only what those reach can have changed
  // (interact/drag_redraw.h), which a window may recompute and draw alone.
  virtual void RefreshDraggedFigure() { RefreshScreen(); }
  virtual void SetCursor(PointerCursor cursor) = 0;
  // Status bar panel 0..2 of the main window (UTF-8).
  virtual void SetStatus(int panel, std::string_view text) = 0;
  // The property dialog of the figure in `index`; true when confirmed. A
  // cancelled dialog has written nothing into the record.
  virtual bool EditFigureDialog(Screen& screen, int index) = 0;
  // Records an undo snapshot after a completed edit.
  virtual void TakeUndoSnapshot(Screen& screen) = 0;
  // Hands a new embedded-object frame to the object service, which selects
  // it, opens its dialog, creates the object and removes the figure again on
  // cancel or failure. `tool` is 65, 81 or 82.
  virtual void CreateObjectFigure(Screen& screen, int index, int tool) = 0;
  // Starts editing the embedded object of the figure in `index`.
  virtual void BeginObjectEdit(Screen& screen, int index) = 0;
};

// Everything the pointer tools work with besides the screen. One per program
// run; `attributes` belongs to the screen being worked on.
struct PointerContext {
  FigureEngine& engine;
  FigureExpressions& expressions;
  PointerUi& ui;
  const RenderOptions& render;
  const FigureDefaults& defaults;
  AttributeMemory& attributes;
  int& current_tool;  // the application's CurrentTool
  NewFigureFont font{};
  HitSettings hit{};        // factors and point zoom; free_positioning = the main window's flag
  bool edit_attr = true;    // EditAttr: a new figure is selected after its dialog
  bool cont_attrib = true;  // ContAttrib: new figures take the remembered attributes
};

// Per document window: the press that started the current gesture and what a
// drawing tool remembered since.
struct PointerState {
  double press_x = -1, press_y = -1;  // pixels
  double grab_x = -1, grab_y = -1;    // press position minus the pan offsets
  // The first point of a two-point tool: snapped plane position, pixel
  // position and the point figure found there (reference, or -1).
  double first_x = 0, first_y = 0;
  double first_px = 0, first_py = 0;
  std::int32_t first_ref = kNoReference;
  // The end of the rubber band on the picture; x >= 20000: none drawn.
  double band_x = kOffPlane, band_y = kOffPlane;
  // Lines drawn as segments (Shift toggles it while the line tool drags).
  bool segment = false;
  // A line, circle or parabola tool whose first press was released where it
  // went down: the first point is kept and its next click gives the second.
  int awaiting_tool = kNoTool;
  bool second_pressed = false;  // the second click's press reached the tool
};

// A mouse event in surface pixels.
struct PointerEvent {
  double x = 0, y = 0;
  bool shift = false;
  bool left = true;  // the left button is the one pressed, held or released
};

// --- Dragging ---------------------------------------------------------------

enum class CoordinateWrite {
  kNumber,    // the text was a plain number and now holds the new value
  kVariable,  // the text names a variable, which now holds the new value
  kUnchanged  // a reference or expression: the coordinate does not follow
};

// One coordinate text of a dragged figure follows the mouse: a plain number
// is replaced by the new value (10 decimals); a single variable name (a..z,
// or a letter and a digit 1..9) gets the value in its cell, the curves that
// use it are invalidated and the figures reading it (and their dependents)
// are recomputed, the whole screen when only a full pass is exact; anything
// else is left alone.
CoordinateWrite DragCoordinate(PointerContext& ctx, Screen& screen, Expression& text, double value);

// The press that starts a gesture (called by the window on every press before
// anything else): remembers it, the grab offset, and the press as the
// screen's LastMouse, from which the first drag step measures its movement.
void BeginPress(PointerContext& ctx, PointerState& state, Screen& screen, double px, double py);

// One drag step of the selected figure while the left button is held, or a
// panning step while the current tool is kPanningTool.
void DragSelected(PointerContext& ctx, PointerState& state, Screen& screen,
                  const PointerEvent& event);

// Panning: moves the view so that the grabbed plane point follows the mouse,
// while the mouse is at least 11 pixels inside the surface. Offsets are
// clamped to -5000..5000. Returns whether the view moved.
bool PanTo(PointerContext& ctx, const PointerState& state, Screen& screen, double px, double py);

// --- Position display ---------------------------------------------------------

// The text of the position panel for a snapped plane position.
std::string PositionText(CoordinateKind kind, double x, double y);
// Shows the snapped pointer position in the position panel.
void ShowPosition(PointerContext& ctx, const Screen& screen, double px, double py);

// --- Drawing tools ------------------------------------------------------------

// Whether the tool creates its figure by mouse clicks (51, 57, 58, 59, 65,
// 66, 81, 82) rather than through a dialog.
bool IsMouseTool(int tool);

// A release at most this many pixels from its press (in x and in y) is a
// click: the line, circle and parabola tools then wait for a second click
// instead of making a figure from a point to itself.
inline constexpr double kClickSlop = 4;

void ToolMouseDown(PointerContext& ctx, PointerState& state, Screen& screen,
                   const PointerEvent& event);
void ToolMouseMove(PointerContext& ctx, PointerState& state, Screen& screen,
                   const PointerEvent& event);
// True when the release completed a figure that the window still has to
// record for undo and draw (never for the object tools, which do that
// themselves). The two-point tools take a press dragged to the release, or
// two clicks.
bool ToolMouseUp(PointerContext& ctx, PointerState& state, Screen& screen,
                 const PointerEvent& event);

// Forgets a first point still waiting for its second click (another tool was
// armed); true when one was waiting, so its band must go from the picture.
bool DropPendingPoint(PointerState& state, Screen& screen);

// Shift while the line tool is armed: lines switch between segment and whole
// line; the screen is redrawn and the rubber band drawn again.
void ToggleLineSegment(PointerContext& ctx, PointerState& state, Screen& screen);

// The figure type and definition form a tool creates; nothing for a code
// that creates no figure.
struct ToolFigure {
  std::int32_t type = kNoFigure;
  std::int32_t form = -1;  // Mode (lines, circles, parabolas) or FuncKind (functions)
};
std::optional<ToolFigure> FigureOfTool(int tool);

// Creates a figure of the current tool whose definition is entered in its
// property dialog. Cancel removes it again. True when a figure was created;
// the tool is reset either way.
bool InsertByDialog(PointerContext& ctx, Screen& screen);

// The property dialog of the selected figure, then a recompute and a redraw.
// Nothing for an embedded object whose frame inside was the last press (the
// double click activates the object instead). True when confirmed.
bool EditSelected(PointerContext& ctx, const PointerState& state, Screen& screen);

// A double click inside the frame of the selected embedded object starts
// editing the object. True when it did.
bool ActivateObjectAt(PointerContext& ctx, Screen& screen, double px, double py);

}  // namespace qzarn::interact
