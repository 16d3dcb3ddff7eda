#include "qt/lesson_page_parts.h"

#include <QFile>

namespace qzarn {
namespace {

bool Read(const char* name, std::string& out) {
  QFile file(QStringLiteral(":/web/") + QString::fromLatin1(name));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  out.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return true;
}

}  // namespace

std::optional<LessonPageParts> LoadLessonPageParts(std::string& error) {
  LessonPageParts parts;
  if (!Read("qzarn-web.js", parts.module_js) || !Read("qzarn-web.wasm", parts.module_wasm)) {
    error =
        "this program was built without the web page's module (Emscripten was not installed "
        "when it was built), so it cannot publish web pages";
    return std::nullopt;
  }
  if (!Read("page.html", parts.html) || !Read("page.css", parts.css) ||
      !Read("draw.js", parts.draw_js) || !Read("page.js", parts.page_js)) {
    error = "the web page's template is missing from this program";
    return std::nullopt;
  }
  return parts;
}

}  // namespace qzarn
