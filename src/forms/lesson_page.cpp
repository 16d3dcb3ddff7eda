#include "forms/lesson_page.h"

#include <algorithm>
#include <cctype>

namespace qzarn {
namespace {

std::string HtmlText(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A JSON string whose text can never close the script element it sits in.
std::string JsonString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// An inline script ends at the first "</script" in any case; "<\/script" reads the same to
// the script itself.
std::string InlineScript(std::string_view code) {
  std::string out;
  out.reserve(code.size());
  for (std::size_t i = 0; i < code.size(); ++i) {
    if (code[i] == '<' && i + 1 < code.size() && code[i + 1] == '/') {
      std::string next(code.substr(i + 2, 6));
      std::transform(next.begin(), next.end(), next.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (next == "script") {
        out += "<\\/";
        ++i;
        continue;
      }
    }
    out += code[i];
  }
  return out;
}

}  // namespace

std::string Base64(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    const unsigned v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
    for (const int shift : {18, 12, 6, 0})
      out += kDigits[(v >> shift) & 63];
  }
  if (i + 1 == bytes.size()) {
    const unsigned v = bytes[i] << 16;
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += "==";
  } else if (i + 2 == bytes.size()) {
    const unsigned v = bytes[i] << 16 | bytes[i + 1] << 8;
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += '=';
  }
  return out;
}

std::string LessonTitleFromPath(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.size() > 4) {
    std::string ext(name.substr(name.size() - 4));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".qzl") name.remove_suffix(4);
  }
  return std::string(name);
}

std::string BuildLessonPage(const LessonPageParts& parts, std::string_view title,
                            std::span<const LessonPageScreen> screens) {
  std::string lesson = "{\"screens\":[";
  for (std::size_t i = 0; i < screens.size(); ++i) {
    if (i > 0) lesson += ',';
    lesson += "{\"title\":" + JsonString(screens[i].title) + ",\"data\":\"" +
              Base64(screens[i].bytes) + "\"}";
  }
  lesson += "]}";
  // One pass over the template: inserted text is never searched for markers again.
  const std::string& page = parts.html;
  const std::string escaped_title = HtmlText(title);
  std::string out;
  out.reserve(page.size() + parts.module_js.size() + lesson.size() + parts.page_js.size() +
              parts.draw_js.size() + parts.css.size());
  std::size_t from = 0;
  while (true) {
    const std::size_t at = page.find('@', from);
    if (at == std::string::npos) break;
    const std::size_t end = page.find('@', at + 1);
    if (end == std::string::npos) break;
    const std::string_view key(page.data() + at + 1, end - at - 1);
    std::string value;
    bool known = true;
    if (key == "TITLE")
      value = escaped_title;
    else if (key == "STYLE")
      value = InlineScript(parts.css);
    else if (key == "LESSON")
      value = lesson;
    else if (key == "MODULE")
      value = InlineScript(parts.module_js);
    else if (key == "WASM")
      value = Base64({reinterpret_cast<const std::uint8_t*>(parts.module_wasm.data()),
                      parts.module_wasm.size()});
    else if (key == "DRAW")
      value = InlineScript(parts.draw_js);
    else if (key == "PAGE")
      value = InlineScript(parts.page_js);
    else
      known = false;
    if (!known) {
      out.append(page, from, at + 1 - from);
      from = at + 1;
      continue;
    }
    out.append(page, from, at - from);
    out += value;
    from = end + 1;
  }
  out.append(page, from, std::string::npos);
  return out;
}

}  // namespace qzarn
