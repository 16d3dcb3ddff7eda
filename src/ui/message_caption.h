#pragma once

namespace qzarn::ui {

// The caption of every message box of the program.
inline constexpr const char* kMessageCaption = "Sorvane";

}  // namespace qzarn::ui
