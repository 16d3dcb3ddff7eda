#pragma once
// Documents name Windows Japanese fonts ("ＭＳ Ｐゴシック", "ＭＳ 明朝" …). Without
// help Qt falls back to a Latin font and borrows glyphs per character; these
// substitutions send each name to the IPA font of the same design.

namespace qzarn {

// Registers the substitutions with QFont; safe to call more than once.
void InstallFontSubstitutions();

}  // namespace qzarn
