#pragma once
// The palette wizard (変数ﾊﾟﾚｯﾄ・ｳｨｻﾞｰﾄﾞ, TEditWizard) apart from its window:
// its settings, the row and column limits and the grid of boxes (and name
// labels) it lays out for the ticked variables.

#include <optional>
#include <string>
#include <vector>

#include "forms/palette_editor.h"

namespace qzarn {

inline constexpr int kPaletteWizardHelpContext = 2040;
inline constexpr const char* kWizardDoneMessage =
    "変数パレットが作成されました．\r指定した行数内に変数が入らない場合、行数を大きくして再度実行"
    "してください．\rまた、必要に応じて個々の変数の設定を変更ください．";

struct WizardSettings {
  double maximum = 100;
  double minimum = -100;
  double initial = 0;
  double step = 0.1;
  bool names = true;
  bool vertical = true;
  int rows = 6;
  int columns = 3;
};

// What the wizard measures in its font: the width of "88888" and of "W8"
// and the height of "hg", in pixels.
struct WizardTextSizes {
  int digits_width = 0;
  int name_width = 0;
  int text_height = 0;
};

// The cell sizes derived from the font.
struct WizardMetrics {
  int box_width = 0;    // w: "88888" + 20
  int text_height = 0;  // h
  int name_width = 0;   // wl: "W8"
  int cell_width = 0;   // (w + 20) up to a multiple of 4, + wl with names
  int cell_height = 0;  // (h + 14) up to a multiple of 4
};
// A bold font widens the measured widths by 1.2 (rounded).
WizardMetrics MakeWizardMetrics(const WizardTextSizes& sizes, bool bold, bool names);

// The largest row and column counts whose palette still fits the design
// area (each at least 1).
int WizardRowLimit(const WizardMetrics& m);
int WizardColumnLimit(const WizardMetrics& m);
// Lowers the counts to their limits.
void LimitWizardCounts(WizardSettings& s, const WizardMetrics& m);

// A clear refusal for settings no box can hold (minimum above maximum, a step
// of 0 or below); nothing otherwise.
std::optional<std::string> CheckWizardSettings(const WizardSettings& s);

struct WizardLayout {
  std::vector<PaletteObject> objects;  // labels and boxes, in placing order
  int placed = 0;                      // variables placed
  int width = 0;                       // the surface size they need
  int height = 0;
};
// Places the ticked variables (indices, any order) in the standard order.
// Variables beyond the grid's capacity are left out; the surface always fits
// the design area.
WizardLayout LayOutWizard(const WizardSettings& s, const WizardMetrics& m, const PaletteFont& font,
                          std::vector<int> ticked, bool grid);

// Runs a confirmed wizard on the editor: `replace` removes the old objects
// first; otherwise they stay and the surface only grows. Returns how many
// objects were added (the 200-object limit stops the rest).
int ApplyWizardLayout(PaletteEditorForm& editor, const WizardLayout& layout, bool replace);

}  // namespace qzarn
