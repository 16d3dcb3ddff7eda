#pragma once
// What the two locus dialogs ("軌跡") edit, apart from their windows: reading
// a figure's locus attributes into the dialog's values and storing them back
// when the dialog is confirmed, and the clearing that a changed definition
// forces. Point-like figures (points, intersection sets) keep their
// attributes in Track, TrackConnect, TrackRadius, TrackThick and TrackColor;
// lines, parabolas, tangents and circles in PaintFlag, TrackRadius, PaintType
// and PaintColor; functions in KisekiF, KisekiL, KisekiP, KisekiR, KisekiW and
// PaintColor.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/figure_table.h"

namespace qzarn {

// The dialogs' lists for the point size and the line width.
inline constexpr std::array<int, 11> kLocusSizeChoices = {1, 2, 3, 4, 5, 10, 15, 20, 30, 40, 50};

// Shown (OK button only) when a dialog is confirmed with changed definition texts
// while the figure records a locus that is not empty.
inline constexpr std::string_view kLocusClearedByDefinitionMessage =
    "定義が変更されたので、軌跡をクリアします．";

struct LocusSettings {
  bool on = false;           // "軌跡を表示(&K)"
  bool connect = false;      // "線で結ぶ(&L)" (points and intersection sets)
  bool show_lines = false;   // "線を表示(&L)" (functions)
  bool show_points = false;  // "点を表示(&P)" (functions)
  int point_size = 1;        // "点の大きさ(&S)"
  int line_width = 1;        // "線の太さ(&W)"
  std::uint32_t colour = 0;  // "軌跡色(&1)", 0x00BBGGRR
  bool clear = false;        // "軌跡ｸﾘｱ(&C)" was pressed
};

// Which of the two dialogs a figure uses; nothing for figures without a locus.
enum class LocusDialogKind { kFigure, kFunction };
std::optional<LocusDialogKind> LocusDialogOf(const FigureRecord& record);

// "軌跡 [" + the figure's name + "]"; `name_utf8` is the name as shown.
std::string LocusDialogCaption(std::string_view name_utf8);

// The figure's current attributes as the dialog opens with them.
std::optional<LocusSettings> ReadLocusSettings(const FigureRecord& record);

// Stores the confirmed attributes (sizes below 1 become 1) and clears the locus when
// the switch was turned off or the clear button pressed; a function whose curve is
// valid keeps that curve as the first entry of its emptied locus. Returns whether the
// locus was cleared (the caller redraws and marks the screen modified).
bool ApplyLocusSettings(FigureRecord& record, const LocusSettings& settings);

// After a property dialog was confirmed: when its definition texts changed while the
// locus is recording and not empty, the locus is cleared and the caller shows
// kLocusClearedByDefinitionMessage. Returns whether that happened.
bool ClearLocusForChangedDefinition(FigureRecord& record, bool definition_changed);

}  // namespace qzarn
