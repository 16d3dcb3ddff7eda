#include "settings/ini_file.h"

#include <algorithm>
#include <utility>

namespace qzarn {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(kBlanks);
  return s.substr(first, last - first + 1);
}

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The section name of a header line "[name]", or nothing.
std::optional<std::string_view> header_name(std::string_view line) {
  const std::string_view t = trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const auto close = t.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(t.substr(1, close - 1));
}

bool is_comment_or_blank(std::string_view line) {
  const std::string_view t = trim(line);
  return t.empty() || t.front() == ';';
}

std::string_view value_of_line(std::string_view line) {
  std::string_view v = trim(line.substr(line.find('=') + 1));
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ascii_lower(x) == ascii_lower(y);
         });
}

IniFile IniFile::parse(std::string_view bytes) {
  IniFile ini;
  if (bytes.starts_with(kByteOrderMark)) {
    ini.byte_order_mark_ = true;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  const auto first_break = bytes.find('\n');
  if (first_break != std::string_view::npos)
    ini.line_end_ = (first_break > 0 && bytes[first_break - 1] == '\r') ? "\r\n" : "\n";

  while (!bytes.empty()) {
    const auto end = bytes.find('\n');
    std::string_view text = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (text.ends_with('\r')) text.remove_suffix(1);

    if (const auto name = header_name(text)) {
      ini.sections_.push_back(Section{std::string(*name), {Line{std::string(text), {}}}});
      continue;
    }
    Line line{std::string(text), {}};
    if (!is_comment_or_blank(text)) {
      const auto equals = text.find('=');
      const std::string_view key =
          equals == std::string_view::npos ? std::string_view{} : trim(text.substr(0, equals));
      if (key.empty())
        ++ini.unreadable_lines_;
      else
        line.key = std::string(key);
    }
    ini.sections_.back().lines.push_back(std::move(line));
  }
  return ini;
}

std::string IniFile::serialize() const {
  std::string out;
  if (byte_order_mark_) out += kByteOrderMark;
  for (const Section& section : sections_)
    for (const Line& line : section.lines) {
      out += line.text;
      out += line_end_;
    }
  return out;
}

const IniFile::Section* IniFile::find_section(std::string_view name) const {
  for (std::size_t i = 1; i < sections_.size(); ++i)
    if (equal_ignoring_ascii_case(sections_[i].name, name)) return &sections_[i];
  return nullptr;
}

IniFile::Section* IniFile::find_section(std::string_view name) {
  return const_cast<Section*>(std::as_const(*this).find_section(name));
}

bool IniFile::has_section(std::string_view section) const {
  return find_section(section) != nullptr;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
  const Section* s = find_section(section);
  if (s == nullptr) return std::nullopt;
  for (const Line& line : s->lines)
    if (!line.key.empty() && equal_ignoring_ascii_case(line.key, key))
      return std::string(value_of_line(line.text));
  return std::nullopt;
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  std::string v(value);
  std::replace_if(
      v.begin(), v.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  // Blanks at either end would be trimmed and a quoted value unquoted when read back.
  const bool needs_quotes = !v.empty() && (trim(v).size() != v.size() ||
                                           (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
  if (needs_quotes) v = '"' + v + '"';

  Section* s = find_section(section);
  if (s == nullptr) {
    sections_.push_back(
        Section{std::string(section), {Line{'[' + std::string(section) + ']', {}}}});
    s = &sections_.back();
  }
  for (Line& line : s->lines)
    if (!line.key.empty() && equal_ignoring_ascii_case(line.key, key)) {
      line.text = line.key + '=' + v;
      return;
    }
  // New keys go after the section's last non-blank line, so that the blank lines that
  // separate it from the next section stay at its end.
  auto at = s->lines.end();
  while (at != s->lines.begin() + 1 && trim(std::prev(at)->text).empty())
    --at;
  s->lines.insert(at, Line{std::string(key) + '=' + v, std::string(key)});
}

void IniFile::remove(std::string_view section, std::string_view key) {
  Section* s = find_section(section);
  if (s == nullptr) return;
  std::erase_if(s->lines, [key](const Line& line) {
    return !line.key.empty() && equal_ignoring_ascii_case(line.key, key);
  });
}

}  // namespace qzarn
