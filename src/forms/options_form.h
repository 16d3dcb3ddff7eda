#pragma once
// What the options dialog ("ｵﾌﾟｼｮﾝ") edits, apart from its window: every control
// bound to its user setting, the rules between the controls, the reset of the
// "新規" tab, the validation of every field before anything is written, and the
// write-back. Opened from the print dialog, it shows the "印刷" tab alone and
// writes the print settings only.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/screen.h"
#include "settings/settings_keys.h"

namespace qzarn::forms {

inline constexpr int kOptionsHelpContext = 2110;
inline constexpr std::string_view kOptionsCaption = "ｵﾌﾟｼｮﾝ";
inline constexpr std::string_view kOptionsResetQuestion = "設定をすべて初期値に戻しますか？";
inline constexpr std::string_view kAutomaticSize = "(自動)";
inline constexpr std::string_view kScreenSizeMessage =
    "画面サイズには 50 から 2500 までの整数か「(自動)」を入力してください．";

enum class OptionsTab : int { kGeneral = 0, kNew, kEdit, kPrint, kSave, kFigure };
inline constexpr std::array<std::string_view, 6> kOptionsTabCaptions = {"全体", "新規", "編集",
                                                                        "印刷", "保存", "図形"};

inline constexpr std::array<std::string_view, 3> kPaletteItems = {"（なし）", "標準", "ﾕｰｻﾞｰ定義"};
inline constexpr std::array<std::string_view, 13> kZoomItems = {
    "10%",  "25%",  "50%",  "75%",  "100%", "150%", "200%",
    "250%", "300%", "400%", "500%", "750%", "1000%"};
inline constexpr std::array<std::string_view, 9> kClipItems = {
    "0.0001", "0.001", "0.01", "0.05", "0.1", "0.2", "0.25", "0.5", "1"};
inline constexpr std::array<std::string_view, 12> kScreenSizeItems = {
    "(自動)", "200", "400", "600", "800", "1000", "1200", "1400", "1600", "1800", "2000", "2500"};

// The typed fields the dialog checks before writing.
enum class OptionsField { kScreenX, kScreenY };

struct OptionsError {
  OptionsField field;
  std::string message;  // UTF-8
};

// "ComboZoom" and "ComboClip" take control characters, digits and "." only.
bool OptionsNumberKeyAccepted(char32_t key);
// The zoom box after Enter or leaving it: "%" removed, read as a whole number (any
// other text reads as 0), clamped to 10..1000, shown with "%".
int OptionsZoomValue(std::string_view text);
std::string OptionsZoomText(std::string_view text);
// The mouse step: a real number (any other text reads as 0), clamped to 0.0001..10.
double OptionsClipValue(std::string_view text);
// A screen size text: "(自動)" is -1, a whole number is clamped to 50..2500; any other
// text is nothing.
std::optional<std::int32_t> OptionsScreenSize(std::string_view text);
std::string OptionsScreenSizeText(std::int32_t setting);

struct OptionsFont {
  std::string name;  // UTF-8
  int size = 20;
  int style = 0;  // 1 bold, 2 italic, 4 underline, 8 strike-out
  int charset = 1;
};

class OptionsForm {
 public:
  // FormShow: every control from the settings.
  OptionsForm(const UserSettings& settings, bool print_only);

  bool print_only() const { return print_only_; }
  bool TabVisible(OptionsTab tab) const { return !print_only_ || tab == OptionsTab::kPrint; }

  // 全体
  bool file_use = true;
  int file_max = 5;
  int palette = 1;
  bool arrange_center = true;
  bool window_maximize = true;
  bool move_center = true;
  // 新規
  std::string zoom_text;
  std::string clip_text;
  std::string screen_x_text, screen_y_text;
  bool init_axis = true, init_grid = true, init_grid_point = false;
  ColorRef back_colour = 0xFFFFFF, axis_colour = 0, grid_colour = 0x808080;
  OptionsFont font;
  // 編集
  bool ole_mode = true, hint_popup = true, cont_attrib = true, drag_drop = true;
  bool sel_color_rev = true, find_disp = false;
  // 印刷
  bool print_line_width = true, print_black = false, print_box = true;
  // 保存
  bool back_bitmap = true;
  int quality = 50;
  bool compress = true;
  // 図形
  double tangent = 100;
  int axis_precision = 2;
  bool point_zoom = true;

  // Rules while the dialog is open.
  void SetFileMax(int value);  // checks "最近使ったﾌｧｲﾙの一覧(&F)" above 0, clears it at 0
  bool FileMaxEnabled() const { return file_use; }
  bool QualityEnabled() const { return back_bitmap; }
  // "初期値(&I)" of the 新規 tab, after the user said yes.
  void ResetNewTab();

  // The first field that cannot be written, or nothing.
  std::optional<OptionsError> Validate() const;
  // OK, after Validate passed: writes every setting (the print settings alone when
  // opened from the print dialog). Returns whether `Tangent` changed, in which case
  // the caller makes every open screen resample its explicit functions.
  bool Apply(UserSettings& settings) const;

 private:
  bool print_only_;
};

// Marks the sampled curve of every explicit function of the screen for resampling.
void InvalidateExplicitCurves(Screen& screen);

}  // namespace qzarn::forms
