#pragma once
// The drawing surface every picture of a screen is painted on: the window's
// off-screen bitmap, an exported image, the printer page, or a recording used
// by tests. Drawing code talks only to this interface and never to Qt.
//
// Conventions shared by every implementation:
// - Coordinates are device pixels, x to the right, y downwards. An integer
//   coordinate names the centre of a pixel, so a 1-pixel line from (0, 5) to
//   (10, 5) covers row 5 whether antialiasing is on or off.
// - Colours are 0x00BBGGRR integers as stored in documents and settings; the
//   high byte is ignored.
// - Text is UTF-8. Records and settings keep code page 932 bytes; they are
//   converted where the text is handed to the canvas.
// - The state (pen, brush, font, raster mode, background, anchor, clip,
//   antialiasing) lives in this base class; SaveState/RestoreState keep a stack
//   of it. Implementations read state() when they draw.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qzarn {
struct RgbImage;
}

namespace qzarn::render {

using Colour = std::uint32_t;  // 0x00BBGGRR

constexpr Colour MakeColour(int red, int green, int blue) {
  return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int ColourRed(Colour c) {
  return static_cast<int>(c & 0xFF);
}
constexpr int ColourGreen(Colour c) {
  return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int ColourBlue(Colour c) {
  return static_cast<int>((c >> 16) & 0xFF);
}

inline constexpr Colour kBlack = 0x000000;
inline constexpr Colour kWhite = 0xFFFFFF;

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct PointF {
  double x = 0, y = 0;
  bool operator==(const PointF&) const = default;
};

// A box given by its edges; right and bottom are exclusive, as for window
// rectangles: {0, 0, 640, 480} is a 640 x 480 surface.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

struct RectF {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const RectF&) const = default;
};

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

// Device pen styles. The dash styles are the device's own dashes; the
// user-editable dash patterns of figures are stepped by the line-style code
// (line_style_dash.h), which draws their marks with a solid pen.
enum class PenStyle : std::uint8_t { kSolid, kDash, kDot, kDashDot, kDashDotDot, kClear };

struct Pen {
  Colour colour = kBlack;
  int width = 1;  // pixels; 0 draws as 1 pixel
  PenStyle style = PenStyle::kSolid;
  bool operator==(const Pen&) const = default;
};

// Brush styles, numbered as the fill patterns of figures (0 none .. 7).
enum class BrushStyle : std::uint8_t {
  kClear = 0,
  kSolid = 1,
  kHorizontal = 2,       // "---"
  kVertical = 3,         // "|||"
  kBackDiagonal = 4,     // "\\\": upper left to lower right
  kForwardDiagonal = 5,  // "///": lower left to upper right
  kCross = 6,            // "+++"
  kDiagonalCross = 7,    // "xxx"
};

// A figure's fill pattern code; values outside 0..7 give no fill.
constexpr BrushStyle BrushStyleFromFillPattern(int pattern) {
  return pattern >= 0 && pattern <= 7 ? static_cast<BrushStyle>(pattern) : BrushStyle::kClear;
}

struct Brush {
  BrushStyle style = BrushStyle::kClear;
  Colour colour = kWhite;
  bool operator==(const Brush&) const = default;
};

// kNotXor paints NOT(source XOR destination): drawing the same shape twice
// restores the picture, which is how a dragged figure is erased.
enum class RasterMode : std::uint8_t { kCopy, kNotXor };

// Whether text cells and the gaps of hatch brushes are filled with the
// background colour (opaque) or left alone (transparent).
enum class BackgroundMode : std::uint8_t { kTransparent, kOpaque };

enum FontStyleBits : std::uint8_t {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

struct Font {
  std::string family = "ＭＳ Ｐゴシック";  // UTF-8
  // Em height in pixels (a Windows font height taken as negative: without
  // internal leading); MeasureText reports the slightly taller cell.
  int height = 16;
  std::uint8_t style = 0;  // FontStyleBits
  Colour colour = kBlack;
  int charset = 128;  // kept for callers that choose symbols by it; 128 = Shift-JIS
  bool operator==(const Font&) const = default;
};

// Where DrawText's point lies on the text box. The numbers are the anchor
// codes of labels: horizontal 0 = text starts at the point, 1 = centred,
// 2 = text ends there; vertical 0 = text bottom at the point, 1 = centred,
// 2 = text top at the point. Baseline puts the base line on the point.
enum class HorizontalAnchor : std::uint8_t { kStart = 0, kCentre = 1, kEnd = 2 };
enum class VerticalAnchor : std::uint8_t { kBottom = 0, kMiddle = 1, kTop = 2, kBaseline = 3 };

struct TextAnchor {
  HorizontalAnchor horizontal = HorizontalAnchor::kStart;
  VerticalAnchor vertical = VerticalAnchor::kTop;
  bool operator==(const TextAnchor&) const = default;
};

// Size of a text in the current font, whole pixels: height is the cell height
// (ascent + descent) of the font, the same for every text.
struct TextExtent {
  int width = 0;
  int height = 0;
  int ascent = 0;
  bool operator==(const TextExtent&) const = default;
};

// A dashed stroke handed whole to a device that dashes strokes itself: the
// corners of a polyline (device pixels, the centres of stepped pixels) and
// the pattern index before its first pixel; the pattern runs on along the
// whole polyline, one index per stepped pixel.
struct DashedPolyline {
  std::vector<Point> points;
  int phase = 0;
};

struct CanvasState {
  Pen pen;
  Brush brush;
  Font font;
  RasterMode raster_mode = RasterMode::kCopy;
  BackgroundMode background_mode = BackgroundMode::kTransparent;
  Colour background = kWhite;
  TextAnchor anchor;
  std::optional<Rect> clip;  // none = the whole device
  bool antialiasing = false;
  bool operator==(const CanvasState&) const = default;
};

// Top-left corner of a text box of the given extent whose anchor lies at `at`.
PointF AnchoredTextOrigin(PointF at, const TextExtent& extent, const TextAnchor& anchor);

class Canvas {
 public:
  virtual ~Canvas() = default;

  // Target size in device pixels (the page when printing).
  virtual Size DeviceSize() const = 0;
  // The pixels of the device this canvas keeps, when it draws one band of a
  // picture (several canvases drawing the bands at once) or one rectangle
  // of it redrawn: nothing wholly outside them needs to be handed over.
  // Right and bottom exclusive; none: the whole device.
  virtual std::optional<Rect> KeptPixels() const { return std::nullopt; }

  // --- State ---------------------------------------------------------------
  const CanvasState& state() const { return state_; }
  const Pen& pen() const { return state_.pen; }
  const Brush& brush() const { return state_.brush; }
  const Font& font() const { return state_.font; }

  virtual void SetPen(const Pen& pen) { state_.pen = pen; }
  virtual void SetBrush(const Brush& brush) { state_.brush = brush; }
  virtual void SetFont(const Font& font) { state_.font = font; }
  virtual void SetRasterMode(RasterMode mode) { state_.raster_mode = mode; }
  virtual void SetBackground(BackgroundMode mode, Colour colour) {
    state_.background_mode = mode;
    state_.background = colour;
  }
  virtual void SetTextAnchor(TextAnchor anchor) { state_.anchor = anchor; }
  // Nothing outside `rect` is touched until the clip is cleared.
  virtual void SetClipRect(const Rect& rect) { state_.clip = rect; }
  virtual void ClearClipRect() { state_.clip.reset(); }
  // Antialiasing smooths lines, curves and text; off, every primitive is
  // pixel-exact. NOT-XOR drawing is always aliased so that it stays erasable.
  virtual void SetAntialiasing(bool on) { state_.antialiasing = on; }

  void SaveState() { saved_.push_back(state_); }
  // Without a matching SaveState the state stays as it is.
  void RestoreState() {
    if (saved_.empty()) return;
    CanvasState s = saved_.back();
    saved_.pop_back();
    ApplyState(s);
  }

  // --- Drawing -------------------------------------------------------------
  // Every shape is outlined with the pen (nothing with a clear pen) and, when
  // closed, filled with the brush; hatch gaps follow the background mode.
  virtual void SetPixel(Point p, Colour colour) = 0;
  virtual void DrawLine(Point from, Point to) = 0;
  virtual void DrawLine(PointF from, PointF to) = 0;
  // Many separate lines in one call: entries 2i and 2i + 1 are the ends of
  // line i (a trailing odd entry is ignored). Devices that can batch them
  // (the dash marks of a long dashed line) override this.
  virtual void DrawLines(std::span<const Point> ends) {
    for (std::size_t i = 0; i + 1 < ends.size(); i += 2)
      DrawLine(ends[i], ends[i + 1]);
  }
  // The pieces of one stroke (a curve's segments, a dashed line's marks),
  // entries as for DrawLines. Where a line starts at the end of the line
  // before it, the ink runs on through that joint, so neither line needs a
  // rounded end there; devices that round the ends of wide pens may leave them
  // square.
  virtual void DrawJoinedLines(std::span<const Point> ends) { DrawLines(ends); }
  // Whether the device draws dash patterns itself (a vector picture, where
  // the marks of a dotted line would each be an element of their own). Then
  // dashed strokes come whole through DrawDashedPolylines, in the current
  // (solid) pen, instead of as their marks.
  virtual bool DrawsDashPatterns() const { return false; }
  // `pattern` holds one entry per pixel (1 = ink) as expanded for the pen
  // width, and repeats; every stroke starts at its own phase.
  virtual void DrawDashedPolylines(std::span<const DashedPolyline> strokes,
                                   std::span<const std::uint8_t> pattern) {
    (void)strokes;
    (void)pattern;
  }
  virtual void DrawPolyline(std::span<const Point> points) = 0;
  virtual void DrawPolyline(std::span<const PointF> points) = 0;
  // The outline is closed back to the first point.
  virtual void DrawPolygon(std::span<const Point> points) = 0;
  virtual void DrawPolygon(std::span<const PointF> points) = 0;
  // The fill covers the pixels of `box` (right and bottom exclusive); a pen
  // outline runs through the outermost pixels.
  virtual void DrawRectangle(const Rect& box) = 0;
  // Ellipse inscribed in `box` (right and bottom exclusive).
  virtual void DrawEllipse(const Rect& box) = 0;
  virtual void DrawEllipse(const RectF& box) = 0;
  // Elliptic arcs inscribed in `box`: angles in degrees, 0 = 3 o'clock,
  // counter-clockwise positive (as on the plane); a negative sweep turns
  // clockwise. A pie closes the arc through the box centre, a chord directly.
  virtual void DrawArc(const RectF& box, double start_degrees, double sweep_degrees) = 0;
  virtual void DrawPie(const RectF& box, double start_degrees, double sweep_degrees) = 0;
  virtual void DrawChord(const RectF& box, double start_degrees, double sweep_degrees) = 0;
  // Text in the current font and font colour, placed by the current anchor.
  virtual void DrawText(PointF at, std::string_view utf8) = 0;
  virtual TextExtent MeasureText(std::string_view utf8) = 0;
  // The picture stretched into `target` (unscaled when the sizes agree).
  virtual void DrawImage(const Rect& target, const RgbImage& image) = 0;

 protected:
  // Replaces the whole state through the virtual setters, so that subclasses
  // see every change.
  void ApplyState(const CanvasState& s) {
    SetPen(s.pen);
    SetBrush(s.brush);
    SetFont(s.font);
    SetRasterMode(s.raster_mode);
    SetBackground(s.background_mode, s.background);
    SetTextAnchor(s.anchor);
    if (s.clip) {
      SetClipRect(*s.clip);
    } else {
      ClearClipRect();
    }
    SetAntialiasing(s.antialiasing);
  }

 private:
  CanvasState state_;
  std::vector<CanvasState> saved_;
};

}  // namespace qzarn::render
