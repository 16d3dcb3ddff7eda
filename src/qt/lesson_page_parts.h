#pragma once
// The lesson page's parts from the program's resources (":/web/...").

#include <optional>
#include <string>

#include "forms/lesson_page.h"

namespace qzarn {

// The parts, or nothing with the reason (the module is missing when the program was built
// without the web page's compiler).
std::optional<LessonPageParts> LoadLessonPageParts(std::string& error);

}  // namespace qzarn
