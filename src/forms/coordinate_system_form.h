#pragma once
// What the coordinate-system dialog ("座標系") edits, apart from its window: the
// values its controls show when it opens, the enabling rules between them, the
// settings its preview draws with, the tab a click in the preview selects, and the
// write-back on OK with every clamp. The dialog edits a copy of the screen's view
// settings, axis font and background picture and the application-wide axis layout;
// nothing reaches the screen or the settings before Apply.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/screen.h"
#include "render/draw_context.h"
#include "settings/settings_keys.h"

namespace qzarn::forms {

inline constexpr int kCoordinateSystemHelpContext = 2000;
inline constexpr std::string_view kCoordinateFormCaption = "座標系";
inline constexpr std::string_view kPictureLoadFailedMessage = "図を読み込むことができません．";
inline constexpr std::string_view kLayoutResetQuestion = "初期値に戻しますか？";
inline constexpr std::string_view kPictureDialogTitle = "イメージを開く";

// "座標系の設定 [" + caption + "]" (UTF-8).
std::string CoordinateDialogTitle(std::string_view screen_caption);

// The tabs, in order; the caller may open the dialog on the X or the Y axis tab.
enum class CoordinateTab : int { kGeneral = 0, kXAxis, kYAxis, kGrid, kPicture, kLayout };
inline constexpr std::array<std::string_view, 6> kCoordinateTabCaptions = {
    "全体", "X軸", "Ｙ軸", "ｸﾞﾘｯﾄﾞ", "背景の図", "ﾚｲｱｳﾄ"};

// The lists of the dialog.
inline constexpr std::array<std::string_view, 9> kSensitivityItems = {
    "0.0001", "0.001", "0.01", "0.05", "0.1", "0.2", "0.25", "0.5", "1"};
inline constexpr std::array<std::string_view, 8> kXIntervalItems = {"0.1", "0.5", "1", "2",
                                                                    "3",   "4",   "5", "10"};
inline constexpr std::array<std::string_view, 14> kYIntervalItems = {
    "0.1", "0.5", "1", "2", "3", "4", "5", "10", "6", "8", "12", "16", "24", "36"};
inline constexpr std::array<std::string_view, 5> kLineStyleItems = {"実線", "破線", "点線",
                                                                    "一点鎖線", "二点鎖線"};
inline constexpr std::array<int, 11> kWidthItems = {1, 2, 3, 4, 5, 10, 15, 20, 30, 40, 50};
inline constexpr std::array<std::string_view, 6> kAxisNameItems = {"a", "t", "u", "v", "x", "θ"};
inline constexpr std::array<int, 15> kLabelStepItems = {1,  2,  3,  4,  5,  6,  10, 12,
                                                        15, 20, 24, 30, 36, 40, 50};
inline constexpr std::array<std::string_view, 4> kPictureModeItems = {"（なし）", "中央に表示",
                                                                      "並べて表示", "拡大して表示"};
inline constexpr std::array<std::string_view, 2> kCoordinateItems = {"直交座標", "極座標"};
inline constexpr std::array<std::string_view, 4> kKindItems = {"標準", "角度(゜)", "弧度(π)",
                                                               "複素数"};

// Spin ranges.
struct IntRange {
  int low, high;
  int Clamp(int v) const { return v < low ? low : (v > high ? high : v); }
};
inline constexpr IntRange kSurfaceRange{50, 2500};    // step 10
inline constexpr IntRange kDialogZoomRange{10, 500};  // step 10, restricted mode only
inline constexpr IntRange kWidthRange{1, 99};         // axis and grid widths, label steps
inline constexpr double kMinSensitivity = 0.0001, kMaxSensitivity = 10;
inline constexpr double kMinInterval = 0.01, kMaxInterval = 99;

// The layout tab: the AxisLayout values in pixels (×25), each bound to its key.
enum class LayoutValue : int {
  kXNameX = 0,   // AxisX_Char_X
  kXNameY,       // AxisX_Char_Y
  kYNameX,       // AxisY_Char_X
  kYNameY,       // AxisY_Char_Y
  kOrigin,       // Axis_Char_Zero
  kTickLength,   // Axis_Char_Ajust
  kArrowLength,  // Axis_Ya_Lenght_X
  kArrowWidth,   // Axis_Ya_Lenght_Y
  kCharSpace,    // cCharSpace
};
inline constexpr int kLayoutValueCount = 9;
IntRange LayoutRange(LayoutValue which);
// The built-in values shown after "初期値(&I)" (pixels).
inline constexpr std::array<int, kLayoutValueCount> kLayoutDefaults = {-10, 5,  10, 5, -9,
                                                                       4,   10, 5,  5};

struct AxisControls {
  double interval = 1;    // "目盛の間隔(&W)"
  int style = 0;          // "線のｽﾀｲﾙ(&T)", index into kLineStyleItems
  int width = 2;          // "線の太さ(&S)"
  std::string name;       // "軸の名前(&N)", UTF-8
  int label_step = 5;     // "文字の振り方(&J)"
  bool automatic = true;  // "自動的に目盛を表示(&A)"
  ColorRef colour = 0;    // "色(&C)"
};

struct AxisFontChoice {
  std::string name;  // UTF-8
  int size = 16;
  ColorRef colour = 0;
  int style = 0;  // 1 bold, 2 italic, 4 underline, 8 strike-out
  int charset = 128;
};

// Reads a number typed into one of the editable lists: "." is the decimal point,
// blanks around are ignored, and a text that is no number reads as 0 (the clamps of
// the write-back then give the lowest value).
double LenientNumber(std::string_view text);
// A number as the lists show it: the shortest decimal text ("0.25", "10").
std::string ListNumberText(double value);

class CoordinateSystemForm {
 public:
  // FormShow: every control from the screen and the settings.
  CoordinateSystemForm(const Screen& screen, const UserSettings& settings, bool restricted);

  // ---- Control values (the widget reads and writes these) ----
  // 全体
  bool polar = false;  // "座標(&A)": 直交座標 / 極座標
  int kind_item = 0;   // "種類(&T)": 標準, 角度, 弧度, 複素数
  double sensitivity = 0.1;
  int zoom = 100;
  int surface_width = 640, surface_height = 480;
  bool frame = true;
  bool show_axes = true;
  bool show_grid = true;
  AxisFontChoice font;
  ColorRef back_colour = 0xFFFFFF;
  // X軸, Ｙ軸
  AxisControls x, y;
  // ｸﾞﾘｯﾄﾞ
  int grid_width = 1;
  int grid_style = 2;
  ColorRef grid_colour = 0x808080;
  bool grid_as_points = false;
  // 背景の図
  int picture_mode = 1;  // index into kPictureModeItems
  BackgroundPicture picture;
  // ﾚｲｱｳﾄ
  std::array<int, kLayoutValueCount> layout{};
  bool point_zoom = true;

  // ---- Rules ----
  bool restricted() const { return restricted_; }
  bool KindEnabled() const { return !polar; }
  // The interval and the label step of an axis are chosen only while its ticks are
  // not automatic; the polar Y axis counts radius with the X axis' label step.
  bool IntervalEnabled(bool y_axis) const { return !(y_axis ? y : x).automatic; }
  bool LabelStepEnabled(bool y_axis) const;
  bool GridStyleEnabled() const { return !grid_as_points; }
  std::string_view GridWidthCaption() const;   // "線の太さ(&S)" or "点の大きさ(&S)"
  std::string_view GridColourCaption() const;  // "線の色(&C)" or "点の色(&C)"
  bool ZoomVisible() const { return restricted_; }
  bool LayoutTabVisible() const { return !restricted_; }
  bool HelpVisible() const { return !restricted_; }
  // The coordinate kind the controls stand for (3 polar, 4 complex).
  std::int16_t Kind() const;

  // "初期値(&I)" of the layout tab, after the user said yes.
  void ResetLayout();
  // A picture was opened: it replaces the one shown, and the mode "（なし）"
  // becomes "中央に表示".
  void SetPicture(BackgroundPicture chosen);
  // "ｸﾘｱ(&C)".
  void ClearPicture();

  // ---- Write-back ----
  // The view settings, axis font and picture the controls stand for, on the copy
  // taken when the dialog opened (fields the dialog does not show stay as they were).
  ViewSettings EditedView() const;
  AxisFont EditedFont() const;
  // OK: writes the screen (view settings, axis font, picture; the centre follows the
  // surface size) and the application-wide layout values into the settings. A layout
  // value whose spin was left alone keeps its exact setting.
  void Apply(Screen& screen, UserSettings& settings) const;
  // The layout values as drawing reads them (for the preview).
  render::AxisLayout EditedLayout() const;

 private:
  bool restricted_;
  ViewSettings view_;
  AxisFont font_;
  UserSettings settings_;
  std::array<int, kLayoutValueCount> layout_loaded_{};
};

// The application-wide layout values as drawing reads them.
render::AxisLayout AxisLayoutFromSettings(const UserSettings& settings);

// The tab a click in the preview opens: within 3 pixels of the vertical axis the Y
// axis tab, of the horizontal axis the X axis tab, on a grid line the grid tab,
// anywhere else the general tab. `view` is the preview's transform.
CoordinateTab PreviewTabAt(const render::ViewTransform& view, const render::AxesSettings& axes,
                           double px, double py);

// The preview's drawing parameters: the edited settings on a surface of the given
// size with the origin in its middle.
render::ViewParams PreviewParams(const CoordinateSystemForm& form, int width, int height,
                                 const RgbImage* picture);

// ---- Background pictures ----

// What a picture file holds, judged by its leading bytes.
enum class PictureFileKind { kBmp, kJpeg, kMetafile, kOther };
PictureFileKind SniffPictureFile(std::span<const std::uint8_t> bytes);

// A picture file's bytes as the screen keeps them. BMP and JPEG files the
// program's own decoders read are kept as they are; metafiles are refused (nothing
// draws them faithfully here); any other picture goes through `decode_other` (the
// toolkit's image readers: PNG, ICO, compressed BMP ...) and is kept as a BMP.
// Nothing when the picture cannot be read.
struct DecodedPicture {
  RgbImage image;
  bool ok = false;
};
std::optional<BackgroundPicture> PictureFromFile(
    std::span<const std::uint8_t> bytes,
    const std::function<DecodedPicture(std::span<const std::uint8_t>)>& decode_other);

}  // namespace qzarn::forms
