#include "forms/print_form.h"

#include <algorithm>
#include <cmath>

namespace qzarn::forms {

namespace {

// At most `digits` decimal digits and nothing else; nothing for anything else.
std::optional<int> Digits(std::string_view text, int digits) {
  if (text.empty() || static_cast<int>(text.size()) > digits) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

PrintCommands PrintCommandsFor(bool screen_open, bool printer_installed) {
  PrintCommands c;
  c.print = screen_open;
  c.preview = screen_open;
  c.setup = true;
  c.to_pdf_file = !printer_installed;
  return c;
}

std::string PrintToFileTitle(std::string_view caption) {
  return "PDF ファイルに印刷 [" + std::string(caption) + "]";
}

std::string PrintToFileDefaultName(std::string_view caption) {
  return std::string(caption) + ".pdf";
}

std::string PrintWindowTitle(std::string_view caption) {
  return std::string(kPrintCaption) + " [" + std::string(caption) + "]";
}

std::string PrintJobTitle(std::string_view caption) {
  return "Q-ZARN \"" + std::string(caption) + "\"";
}

std::string PrintingStatus(std::string_view caption) {
  return "「" + std::string(caption) + "」を印刷中です．";
}

PrintLabels MakePrintLabels(const PrinterFacts& facts, bool print_black, bool print_line_width) {
  PrintLabels l;
  l.printer = facts.name;
  l.location = facts.location;
  l.orientation = std::string(facts.landscape ? kLandscape : kPortrait);
  l.paper = facts.paper && !facts.paper->empty() ? *facts.paper : std::string(kUnknownPaper);
  l.tray = facts.tray && !facts.tray->empty() ? *facts.tray : std::string(kUnknownTray);
  l.colours = std::string(print_black ? kPrintBlack : kPrintColours);
  l.widths = std::string(print_line_width ? kWidenLines : kKeepLines);
  return l;
}

int ClampCopies(int copies) {
  return std::clamp(copies, kMinCopies, kMaxCopies);
}
int ClampPrintSize(int percent) {
  return std::clamp(percent, kMinPrintSize, kMaxPrintSize);
}

int ReadCopies(std::string_view text, int current) {
  return ClampCopies(Digits(text, kCopiesDigits).value_or(current));
}

int ReadPrintSize(std::string_view text, int current) {
  return ClampPrintSize(Digits(text, kPrintSizeDigits).value_or(current));
}

int StepCopies(int copies, int direction) {
  return ClampCopies(ClampCopies(copies) + (direction > 0 ? 1 : -1));
}

int StepPrintSize(int percent, int direction) {
  return ClampPrintSize(ClampPrintSize(percent) + (direction > 0 ? 1 : -1) * kPrintSizeStep);
}

PrintPreview PrintPreviewGeometry(render::Size panel, double page_width, double page_height,
                                  render::Size surface, int percent) {
  PrintPreview p;
  const int room_w = panel.width - kPreviewShadow, room_h = panel.height - kPreviewShadow;
  if (room_w <= 0 || room_h <= 0 || !(page_width > 0) || !(page_height > 0)) return p;
  const double fit = std::min(room_w / page_width, room_h / page_height);
  // The tolerance keeps a side that fits exactly from losing a pixel to rounding.
  const int w = std::max(1, static_cast<int>(std::floor(page_width * fit + 1e-6)));
  const int h = std::max(1, static_cast<int>(std::floor(page_height * fit + 1e-6)));
  const int left = (room_w - w) / 2, top = (room_h - h) / 2;
  p.page = render::Rect{left, top, left + w, top + h};
  p.shadow = render::Rect{left + kPreviewShadow, top + kPreviewShadow, left + w + kPreviewShadow,
                          top + h + kPreviewShadow};
  if (surface.width <= 0 || surface.height <= 0) return p;
  const double k =
      ClampPrintSize(percent) / 100.0 *
      std::min(static_cast<double>(w) / surface.width, static_cast<double>(h) / surface.height);
  const int pw = static_cast<int>(std::lround(surface.width * k));
  const int ph = static_cast<int>(std::lround(surface.height * k));
  const int px = left + kPreviewOffset, py = top + kPreviewOffset;
  // What lies beyond the page is cut off by the page, as on paper.
  p.picture = render::Rect{px, py, px + pw, py + ph};
  return p;
}

}  // namespace qzarn::forms
