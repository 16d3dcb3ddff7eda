#pragma once
// A lesson published as one web page: the page template, its styles and scripts, the
// browser's module and every screen's document bytes, put together into one HTML file that
// needs nothing beside it. The parts come from the program's resources (see qt/lesson_page
// resources); this assembly needs no toolkit.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn {

// The page's parts as the build made them.
struct LessonPageParts {
  // template with @TITLE@, @STYLE@, @LESSON@, @MODULE@, @WASM@, @DRAW@, @PAGE@
  std::string html;
  std::string css;
  std::string draw_js;
  std::string page_js;
  std::string module_js;    // the browser's module
  std::string module_wasm;  // its WebAssembly (binary)
};

struct LessonPageScreen {
  std::string title;                // UTF-8, shown on the screen's tab
  std::vector<std::uint8_t> bytes;  // a plain document
};

// The whole page. Texts are escaped for where they land: the title as HTML text, screen
// titles inside JSON that cannot end its script element, scripts so that none ends early.
std::string BuildLessonPage(const LessonPageParts& parts, std::string_view title,
                            std::span<const LessonPageScreen> screens);

// Standard base64 with padding.
std::string Base64(std::span<const std::uint8_t> bytes);

// The page's default title for a document path: its file name without folder and ".qzl".
std::string LessonTitleFromPath(std::string_view path);

}  // namespace qzarn
