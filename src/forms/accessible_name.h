#pragma once
// What a screen reader says for a control. Captions carry keyboard mnemonics
// ("軌跡(&K)", "&X ≦") that must not be read out, and some controls are
// captioned by the punctuation of the formula they sit in ("(", ",", "≦"),
// which says nothing about them. These helpers turn captions into spoken
// names and tell when a caption cannot serve as one.

#include <string>
#include <string_view>

namespace qzarn::forms {

// The caption without its mnemonic: "軌跡(&K)" → "軌跡", "&X ≦" → "X ≦",
// "A&&B" → "A&B"; surrounding blanks are dropped.
std::string SpokenCaption(std::string_view caption);

// True when the text holds no letter, digit or ideograph: "", "(", "≦", ") +"
// ("x +" holds a letter and is not).
bool PunctuationOnly(std::string_view text);

// A usable spoken name: not empty, not punctuation alone, no "&".
bool UsableName(std::string_view name);

}  // namespace qzarn::forms
