#pragma once
// What the print dialog ("印刷") shows and edits, apart from its window: the
// labels describing the printer and the print options, the copies and print
// size with their limits, the page preview's geometry, and the texts of the
// print job and the status bar while printing.

#include <optional>
#include <string>
#include <string_view>

#include "render/canvas.h"

namespace qzarn::forms {

inline constexpr std::string_view kPrintCaption = "印刷";
inline constexpr std::string_view kPortrait = "縦";
inline constexpr std::string_view kLandscape = "横";
inline constexpr std::string_view kUnknownPaper = "（用紙サイズ不明）";
inline constexpr std::string_view kUnknownTray = "（用紙トレイ不明）";
inline constexpr std::string_view kPrintBlack = "すべての図形を黒色で印刷";
inline constexpr std::string_view kPrintColours = "画面通りの色で印刷";
inline constexpr std::string_view kWidenLines = "線の太さを拡大する";
inline constexpr std::string_view kKeepLines = "線の太さを拡大しない";

inline constexpr int kMinCopies = 1, kMaxCopies = 10, kCopiesDigits = 2;
inline constexpr int kMinPrintSize = 10, kMaxPrintSize = 100, kPrintSizeDigits = 3;
inline constexpr int kPrintSizeStep = 5;

// Which print commands a user can reach. Printing never needs a printer queue:
// without one the page goes to a PDF file. 印刷 and the preview need a screen;
// the printer set-up (the page set-up of the PDF file without a queue) does not.
struct PrintCommands {
  bool print = false;
  bool preview = false;
  bool setup = false;
  bool to_pdf_file = false;  // no queue: 印刷 asks for a PDF file name
};
PrintCommands PrintCommandsFor(bool screen_open, bool printer_installed);

inline constexpr std::string_view kPdfPrinterName = "PDF ファイル";
inline constexpr std::string_view kPrintPreviewCaption = "印刷ﾌﾟﾚﾋﾞｭｰ";
// "PDF ファイルに印刷 [caption]" and the file name proposed: the caption + ".pdf".
std::string PrintToFileTitle(std::string_view caption);
std::string PrintToFileDefaultName(std::string_view caption);

// Window title "印刷 [caption]", the job title and the status text while printing.
std::string PrintWindowTitle(std::string_view caption);
std::string PrintJobTitle(std::string_view caption);
std::string PrintingStatus(std::string_view caption);

// What the printer driver says about the current settings; a paper or tray the
// driver's lists do not name is left empty.
struct PrinterFacts {
  std::string name;
  std::string location;
  bool landscape = false;
  std::optional<std::string> paper;
  std::optional<std::string> tray;
};

struct PrintLabels {
  std::string printer, location, orientation, paper, tray, colours, widths;
};
PrintLabels MakePrintLabels(const PrinterFacts& facts, bool print_black, bool print_line_width);

// Copies and print size: a typed text (digits only, at most 2 and 3 of them)
// read leniently, anything unreadable keeping the current value, then clamped.
int ClampCopies(int copies);
int ClampPrintSize(int percent);
int ReadCopies(std::string_view text, int current);
int ReadPrintSize(std::string_view text, int current);
// One spin-button step (+1 or -1) from the current value.
int StepCopies(int copies, int direction);
int StepPrintSize(int percent, int direction);

// The preview: the page in its proportions as large as the panel allows (less
// the shadow), its shadow, and the screen picture inside the page, offset
// 4 pixels, at the print size times the page-to-surface factor (the part beyond
// the page is to be clipped by the page).
inline constexpr int kPreviewShadow = 4;
inline constexpr int kPreviewOffset = 4;
struct PrintPreview {
  render::Rect page;
  render::Rect shadow;
  render::Rect picture;
};
// page_width/page_height: the paper in any one unit (only the proportions count).
PrintPreview PrintPreviewGeometry(render::Size panel, double page_width, double page_height,
                                  render::Size surface, int percent);

}  // namespace qzarn::forms
