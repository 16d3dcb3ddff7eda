#pragma once
// One screen (画面): the persistent blocks a document stores and the state a
// document window keeps while it is open.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/figure_table.h"
#include "document/record_fields.h"
#include "expr/variable_table.h"

namespace qzarn {

// ---- Settings block ------------------------------------------------------------

// Coordinate system, surface, print and palette settings: the first 204 bytes
// of the settings block.
struct ViewSettings {
  I32 Reserved0[2];
  I32 ScreenWidth;       // drawing surface width in pixels
  I32 ScreenHeight;      // drawing surface height in pixels
  I32 FullScreenWidth;   // display size when the screen was created
  I32 FullScreenHeight;  // (height with caption and border)
  I16 CoordinateKind;    // 0 standard, 1 degrees, 2 radians, 3 polar, 4 complex plane
  I16 XAxisStyle;
  I16 XAxisWidthStep;  // low byte line width, high byte label step (0 = not chosen)
  std::uint8_t Reserved30[2];
  Colour XAxisColor;
  I16 YAxisStyle;
  I16 YAxisWidthStep;
  Colour YAxisColor;
  Bool8 ShowAxes;
  Bool8 ReservedFlags45[2];
  PString<4> XAxisName;
  PString<4> YAxisName;
  Bool8 GridAsPoints;
  I16 GridStyle;
  Bool8 ShowGrid;
  Bool8 ReservedFlag61;
  Bool8 ReservedFlag62;
  std::uint8_t Reserved63;
  I32 Scale;  // pixels per plane unit at 100 % zoom
  F64 XTick;
  F64 YTick;
  Bool8 AutoXTick;
  Bool8 AutoYTick;
  I16 GridWidth;  // line width, or dot size when the grid is drawn as points
  Colour GridColor;
  I16 ReservedStyle92;
  std::uint8_t Reserved94[2];
  Colour ReservedColor96;
  I16 ReservedStyle100;
  std::uint8_t Reserved102[2];
  Colour ReservedColor104;
  Colour BackColor;
  PointerWord BackPicture;  // the picture itself is Screen::Background
  I32 BackgroundMode;       // 0 none, 1 centred, 2 tiled, 3 stretched; +100 without the outer frame
  I16 Zoom;                 // percent
  I16 CentreX;              // the origin's pixel position before panning
  I16 CentreY;
  I16 PanX;  // -5000..5000
  I16 PanY;
  std::uint8_t Reserved130[2];
  I32 PrintSize;  // percent
  I32 PrintCopies;
  F64 WidthRatio;  // surface width / 640 at creation, stored unchanged
  Bool8 FullRedraw;
  std::uint8_t Reserved149[3];
  F64 SnapStep;  // mouse snap step in plane units
  I32 PaletteWidth;
  I32 PaletteHeight;
  I32 Reserved168[2];
  I32 PaletteMode;  // 0 none, 1 standard, 2 user-defined
  PString<4> PaletteVariable;
  std::uint8_t Reserved185[3];
  I32 PaletteRow;
  I32 PaletteColumn;
  F64 PaletteStep;
};
static_assert(sizeof(ViewSettings) == 204);

// Settings and variable values travel together (dialogs copy the whole block).
struct SettingsBlock {
  ViewSettings View;
  VariableTable Variables;
};
static_assert(sizeof(SettingsBlock) == 15492);
static_assert(offsetof(SettingsBlock, Variables) == 204);

// The screen's font for axis labels and names: laid out like a figure's label font.
using AxisFont = LabelFont;

// ---- Palette, equations, background -------------------------------------------

inline constexpr int kPaletteItems = 201;
inline constexpr std::size_t kPaletteItemSize = 264;

// One entry of the user-defined palette, kept as stored; its first word is the
// kind (-1 = empty entry).
struct PaletteItem {
  std::uint8_t Bytes[kPaletteItemSize];

  std::int32_t Kind() const;
  void SetKind(std::int32_t kind);
};
static_assert(sizeof(PaletteItem) == 264);

inline constexpr int kEquationCount = 100;
inline constexpr std::int32_t kNoEquationTarget = -100;

// One intermediate equation: variable (letter index, a = 0; row 0..9) = Text.
struct EquationEntry {
  I32 LetterIndex;
  I32 Row;
  PString<250> Text;
  std::uint8_t Reserved259;
};
static_assert(sizeof(EquationEntry) == 260);

struct EquationBlock {
  I32 EquationLast;  // last entry in use, -1 = none
  EquationEntry Entries[kEquationCount];
};
static_assert(sizeof(EquationBlock) == 4 + 100 * 260);

// The picture drawn under the figures, as the image file bytes it came from.
struct BackgroundPicture {
  enum class Format { kNone, kBmp, kJpeg };
  Format format = Format::kNone;
  std::vector<std::uint8_t> bytes;

  bool empty() const { return format == Format::kNone; }
  void clear() { *this = BackgroundPicture{}; }
};

// ---- Creation ----------------------------------------------------------------------

// What a new screen takes from the settings. The values here are those a
// missing settings file gives.
struct NewScreenDefaults {
  std::int32_t InitScreenX = -1;  // surface width; <= 0 = automatic
  std::int32_t InitScreenY = -1;  // surface height; <= 0 = automatic
  std::int32_t InitZoom = 100;
  std::uint32_t InitBackColor = 0xFFFFFF;
  std::uint32_t InitAxisColor = 0x000000;
  std::uint32_t InitGridColor = 0x808080;
  double InitClip = 0.1;
  bool InitAxis = true;
  bool InitGrid = true;
  bool InitGridPoint = false;
  // The display: an automatic surface side is the display's extent in that
  // direction less 21 pixels.
  std::int32_t FullScreenWidth = 1024;
  std::int32_t FullScreenHeight = 768;  // with caption and border
  // The document window's own font (code page 932), used for the axis font.
  std::string WindowFontName = "\x82\x6c\x82\x72\x20\x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
};

// The surface size a new screen gets: an automatic width and an automatic
// height are both the display width minus 21 (a square surface that scrolls);
// others are clamped to 50..2500.
struct SurfaceSize {
  std::int32_t width;
  std::int32_t height;
};
SurfaceSize NewSurfaceSize(const NewScreenDefaults& defaults);

// Numbers the titles of new screens ("画面1", "画面2", ...). One per program
// run; a number is never handed out twice.
class ScreenTitleCounter {
 public:
  int Take() { return next_++; }
  std::string NextTitle();  // UTF-8

 private:
  int next_ = 1;
};

// ---- The screen ------------------------------------------------------------------------

inline constexpr int kUndoFileCount = 302;

struct MousePosition {
  double X = 0, Y = 0;  // plane units
  std::int32_t PixelX = 0, PixelY = 0;
};

class Screen {
 public:
  // A new, empty screen with the defaults, titled with the counter's next number.
  static std::unique_ptr<Screen> Create(const NewScreenDefaults& defaults,
                                        ScreenTitleCounter& titles);

  // Persistent part, in document order. Curve loci live with their function
  // figures (FigureOwned::KisekiList).
  SettingsBlock Settings;
  AxisFont Font;
  BackgroundPicture Background;
  FigureTable Figures;
  std::array<PaletteItem, kPaletteItems> PaletteItems;
  EquationBlock Equations;

  ViewSettings& View() { return Settings.View; }
  const ViewSettings& View() const { return Settings.View; }
  VariableTable& Variables() { return Settings.Variables; }
  const VariableTable& Variables() const { return Settings.Variables; }

  // Runtime part (UTF-8 strings: they belong to the user interface).
  std::string FilePath;  // empty for a new screen
  std::string Title;
  bool Modified = false;
  bool Ready = false;
  bool SnapFine = false;  // snap to 0.0001 instead of the screen's step
  std::int32_t BitmapWidth = 0;
  std::int32_t BitmapHeight = 0;
  double StretchX = 1.0;
  double StretchY = 1.0;
  std::int32_t SelectedIndex = -1;
  std::int32_t GrabbedHandle = -1;
  MousePosition LastMouse;
  std::int32_t MouseMode = 0;
  std::int32_t ActiveObject = -1;  // slot of the embedded object being edited, -1 none
  bool CycleReported = false;
  // Scratch line records for figures under construction with the mouse.
  std::array<FigureRecord, 3> PreviewRecords;
  std::array<std::string, kUndoFileCount> UndoFiles;
  std::int32_t UndoIndex = 0;
  std::string UndoDrive;

 private:
  Screen() = default;
};

// Resets the persistent blocks to those of a new screen (figures freed, no
// equations, no picture, empty palette) with the given defaults, and the
// runtime fields to their initial values. Title, file path and undo files
// are left to the caller.
void ResetToNewScreen(Screen& screen, const NewScreenDefaults& defaults);

void ResetViewSettings(ViewSettings& view, const NewScreenDefaults& defaults);
void ResetAxisFont(AxisFont& font, std::string_view window_font_name);
void ResetEquations(EquationBlock& equations);
void ResetPalette(std::array<PaletteItem, kPaletteItems>& items);

}  // namespace qzarn
