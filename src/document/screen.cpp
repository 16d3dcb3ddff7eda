#include "document/screen.h"

#include <algorithm>
#include <cstring>

namespace qzarn {

std::int32_t PaletteItem::Kind() const {
  I32 kind;
  std::memcpy(kind.bytes, Bytes, sizeof kind.bytes);
  return kind;
}

void PaletteItem::SetKind(std::int32_t kind) {
  I32 word;
  word = kind;
  std::memcpy(Bytes, word.bytes, sizeof word.bytes);
}

SurfaceSize NewSurfaceSize(const NewScreenDefaults& defaults) {
  constexpr std::int32_t kMin = 50, kMax = 2500;
  // An automatic side fills the display's width less a scroll bar's room, the
  // height too: the automatic surface is square (a landscape display's wider
  // side) and scrolls, as stored screens of other displays expect.
  auto pick = [&](std::int32_t setting) {
    return setting <= 0 ? std::clamp(defaults.FullScreenWidth - 21, kMin, kMax)
                        : std::clamp(setting, kMin, kMax);
  };
  return {pick(defaults.InitScreenX), pick(defaults.InitScreenY)};
}

std::string ScreenTitleCounter::NextTitle() {
  return "\xE7\x94\xBB\xE9\x9D\xA2" + std::to_string(Take());  // 画面 + number
}

void ResetViewSettings(ViewSettings& v, const NewScreenDefaults& d) {
  std::memset(&v, 0, sizeof v);
  const SurfaceSize size = NewSurfaceSize(d);
  v.ScreenWidth = size.width;
  v.ScreenHeight = size.height;
  v.FullScreenWidth = d.FullScreenWidth;
  v.FullScreenHeight = d.FullScreenHeight;
  v.CoordinateKind = 0;
  v.XAxisStyle = 0;
  v.XAxisWidthStep = 2;
  v.XAxisColor = d.InitAxisColor;
  v.YAxisStyle = 0;
  v.YAxisWidthStep = 2;
  v.YAxisColor = d.InitAxisColor;
  v.ShowAxes = d.InitAxis;
  v.ReservedFlags45[0] = true;
  v.ReservedFlags45[1] = true;
  v.XAxisName = "x";
  v.YAxisName = "y";
  v.GridAsPoints = d.InitGridPoint;
  v.GridStyle = 2;
  v.ShowGrid = d.InitGrid;
  v.ReservedFlag61 = false;
  v.ReservedFlag62 = true;
  v.Scale = 25;
  v.XTick = 1.0;
  v.YTick = 1.0;
  v.AutoXTick = true;
  v.AutoYTick = true;
  v.GridWidth = 1;
  v.GridColor = d.InitGridColor;
  v.ReservedStyle92 = 1;
  v.ReservedColor96 = d.InitGridColor;
  v.ReservedStyle100 = 1;
  v.ReservedColor104 = d.InitGridColor;
  v.BackColor = d.InitBackColor;
  v.BackPicture = 0;
  v.BackgroundMode = 1;
  v.Zoom = static_cast<std::int16_t>(std::clamp<std::int32_t>(d.InitZoom, 1, INT16_MAX));
  v.CentreX = static_cast<std::int16_t>(size.width / 2);
  v.CentreY = static_cast<std::int16_t>(size.height / 2);
  v.PanX = 0;
  v.PanY = 0;
  v.PrintSize = 100;
  v.PrintCopies = 1;
  v.WidthRatio = size.width / 640.0;
  v.FullRedraw = true;
  v.SnapStep = d.InitClip;
  v.PaletteWidth = 300;
  v.PaletteHeight = 100;
  v.Reserved168[0] = -999;
  v.Reserved168[1] = -999;
  v.PaletteMode = 0;
  v.PaletteVariable = "";
  v.PaletteRow = -1;
  v.PaletteColumn = -1;
  v.PaletteStep = 0.1;
}

void ResetAxisFont(AxisFont& font, std::string_view window_font_name) {
  std::memset(&font, 0, sizeof font);
  font.FontName = window_font_name;
  font.FontColor = 0;
  font.FontSize = 16;
  font.FontStyle = 0;
  font.FontSet = 128;  // Shift JIS
}

void ResetEquations(EquationBlock& equations) {
  std::memset(&equations, 0, sizeof equations);
  equations.EquationLast = -1;
  for (EquationEntry& e : equations.Entries) {
    e.LetterIndex = kNoEquationTarget;
    e.Row = kNoEquationTarget;
  }
}

void ResetPalette(std::array<PaletteItem, kPaletteItems>& items) {
  for (PaletteItem& item : items) {
    std::memset(item.Bytes, 0, sizeof item.Bytes);
    item.SetKind(-1);
  }
}

void ResetToNewScreen(Screen& s, const NewScreenDefaults& defaults) {
  ResetViewSettings(s.Settings.View, defaults);
  s.Settings.Variables.reset_for_new_screen();
  ResetAxisFont(s.Font, defaults.WindowFontName);
  s.Background.clear();
  ClearTable(s.Figures);
  ResetPalette(s.PaletteItems);
  ResetEquations(s.Equations);

  s.Modified = false;
  s.Ready = true;
  s.SnapFine = false;
  s.BitmapWidth = s.Settings.View.ScreenWidth;
  s.BitmapHeight = s.Settings.View.ScreenHeight;
  s.StretchX = 1.0;
  s.StretchY = 1.0;
  s.SelectedIndex = -1;
  s.GrabbedHandle = -1;
  s.LastMouse = MousePosition{};
  s.MouseMode = 0;
  s.ActiveObject = -1;
  s.CycleReported = false;
  for (FigureRecord& r : s.PreviewRecords)
    r = FigureRecord::Blank(kLineFigure);
}

std::unique_ptr<Screen> Screen::Create(const NewScreenDefaults& defaults,
                                       ScreenTitleCounter& titles) {
  std::unique_ptr<Screen> s(new Screen());
  ResetToNewScreen(*s, defaults);
  s->Title = titles.NextTitle();
  return s;
}

}  // namespace qzarn
