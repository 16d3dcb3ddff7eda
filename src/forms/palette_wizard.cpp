#include "forms/palette_wizard.h"

#include <algorithm>
#include <cmath>

namespace qzarn {

namespace {

int RoundUpToGrid(int v) {
  return (v + kPaletteGrid - 1) / kPaletteGrid * kPaletteGrid;
}

int Widen(int width, bool bold) {
  return bold ? static_cast<int>(std::lround(width * 1.2)) : width;
}

int CeilDiv(int a, int b) {
  return (a + b - 1) / b;
}

// Surface size for k placed variables.
std::pair<int, int> SurfaceFor(const WizardSettings& s, const WizardMetrics& m, int k) {
  if (s.vertical)
    return {CeilDiv(k, s.rows) * m.cell_width - 12, std::min(k, s.rows) * m.cell_height + 4};
  return {std::min(k, s.columns) * m.cell_width - 11, CeilDiv(k, s.columns) * m.cell_height + 4};
}

}  // namespace

WizardMetrics MakeWizardMetrics(const WizardTextSizes& sizes, bool bold, bool names) {
  WizardMetrics m;
  m.box_width = Widen(sizes.digits_width, bold) + 20;
  m.text_height = sizes.text_height;
  m.name_width = Widen(sizes.name_width, bold);
  m.cell_width = RoundUpToGrid(m.box_width + 20) + (names ? m.name_width : 0);
  m.cell_height = RoundUpToGrid(m.text_height + 14);
  return m;
}

int WizardRowLimit(const WizardMetrics& m) {
  int limit = (kDesignAreaHeight - 8) / std::max(1, m.text_height + 14);
  // The rows are laid out in cells rounded up to the grid: the tallest
  // palette (rows × cell height + 4) must still fit the design area.
  limit = std::min(limit, (kDesignAreaHeight - 4) / std::max(1, m.cell_height));
  return std::max(1, limit);
}

int WizardColumnLimit(const WizardMetrics& m) {
  int limit = (kDesignAreaWidth - 40) / std::max(1, m.box_width + 10);
  // Likewise the widest palette, columns × cell width − 11.
  limit = std::min(limit, (kDesignAreaWidth + 11) / std::max(1, m.cell_width));
  return std::max(1, limit);
}

void LimitWizardCounts(WizardSettings& s, const WizardMetrics& m) {
  s.rows = std::clamp(s.rows, 1, WizardRowLimit(m));
  s.columns = std::clamp(s.columns, 1, WizardColumnLimit(m));
}

std::optional<std::string> CheckWizardSettings(const WizardSettings& s) {
  if (s.minimum > s.maximum) return std::string(kMinimumAboveMaximumMessage);
  if (!(s.step > 0)) return std::string(kStepNotPositiveMessage);
  return std::nullopt;
}

WizardLayout LayOutWizard(const WizardSettings& settings, const WizardMetrics& m,
                          const PaletteFont& font, std::vector<int> ticked, bool grid) {
  WizardSettings s = settings;
  LimitWizardCounts(s, m);
  std::sort(ticked.begin(), ticked.end());
  ticked.erase(std::unique(ticked.begin(), ticked.end()), ticked.end());
  std::erase_if(ticked, [](int i) { return i < 0 || i >= kPaletteVariableCount; });

  const int capacity =
      s.vertical ? std::max(1, (kDesignAreaWidth - 8) / std::max(1, m.cell_width)) * s.rows
                 : std::max(1, (kDesignAreaHeight - 8) / std::max(1, m.cell_height)) * s.columns;
  const int n = s.vertical ? s.rows : s.columns;
  WizardLayout layout;
  for (int index : ticked) {
    const int k = layout.placed;
    if (k >= capacity) break;
    const int column = s.vertical ? k / n : k % n;
    const int row = s.vertical ? k % n : k / n;
    const int x = column * m.cell_width + 3;
    const int y = row * m.cell_height + 3;
    const bool plain = index < 26;
    if (s.names) {
      PaletteObject label;
      label.kind = PaletteObjectKind::kLabel;
      label.caption = VariableIndexName(index);
      label.font = font;
      label.rect.left = SnapToGrid(x + (plain ? m.name_width / 4 : 0), grid);
      label.rect.top = SnapToGrid(y + 4, grid);
      layout.objects.push_back(std::move(label));
    }
    PaletteObject box;
    box.kind = PaletteObjectKind::kBox;
    box.variable = index;
    box.font = font;
    box.rect = {SnapToGrid(x + (s.names ? m.name_width : 0), grid), SnapToGrid(y, grid),
                m.box_width, font.size + 5};
    box.minimum = s.minimum;
    box.maximum = s.maximum;
    box.step = s.step;
    box.initial = std::clamp(s.initial, s.minimum, std::max(s.minimum, s.maximum));
    box.value = box.initial;
    layout.objects.push_back(std::move(box));
    ++layout.placed;
  }
  if (layout.placed > 0) {
    const auto [w, h] = SurfaceFor(s, m, layout.placed);
    const PaletteRect fitted = ClampSurface(w, h);
    layout.width = fitted.width;
    layout.height = fitted.height;
  }
  return layout;
}

int ApplyWizardLayout(PaletteEditorForm& editor, const WizardLayout& layout, bool replace) {
  if (layout.placed == 0) return 0;
  int width = layout.width;
  int height = layout.height;
  if (replace) {
    editor.Clear();
  } else {
    width = std::max(width, editor.surface().width);
    height = std::max(height, editor.surface().height);
  }
  editor.ResizeSurface(width, height);
  return editor.AddObjects(layout.objects);
}

}  // namespace qzarn
