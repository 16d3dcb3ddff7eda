#pragma once
// An INI file held as its lines, so that writing it back keeps everything this program does
// not know: unknown sections and keys, comments, blank lines and unreadable lines stay in
// their order and keep their bytes. Text is code page 932 bytes; callers decode values.
//
// Lookups follow the profile-file rules the settings files were made with: section and key
// names compare without regard to ASCII case, the first occurrence wins, blanks around keys
// and values are ignored, and one pair of double quotes around a value is removed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn {

class IniFile {
 public:
  // Never fails: lines that are neither a section header, a comment nor "key=value" are
  // kept as they are and otherwise ignored.
  static IniFile parse(std::string_view bytes);

  // The file's bytes. Line ends are those of the file read ("\r\n" for a new file).
  std::string serialize() const;

  // The value bytes of a key, or nothing when the section or key is absent.
  std::optional<std::string> value(std::string_view section, std::string_view key) const;

  // Sets a key, replacing its first occurrence in place or adding it at the end of the
  // section (the section is added at the end of the file when missing). Line breaks in the
  // value become spaces; a value that would not read back as written is quoted.
  void set(std::string_view section, std::string_view key, std::string_view value);

  // Removes every occurrence of the key in the first matching section.
  void remove(std::string_view section, std::string_view key);

  bool has_section(std::string_view section) const;

  // Lines that could not be read as a header, comment or key (for diagnostics).
  int unreadable_lines() const { return unreadable_lines_; }

 private:
  struct Line {
    std::string text;  // as in the file, without the line end
    std::string key;   // trimmed key name; empty for headers, comments, blanks and garbage
  };
  struct Section {
    std::string name;         // empty for the lines before the first header
    std::vector<Line> lines;  // for named sections, lines[0] is the header
  };

  const Section* find_section(std::string_view name) const;
  Section* find_section(std::string_view name);

  std::vector<Section> sections_{Section{}};
  std::string line_end_ = "\r\n";
  bool byte_order_mark_ = false;
  int unreadable_lines_ = 0;
};

// ASCII case-insensitive equality, as profile files compare names.
bool equal_ignoring_ascii_case(std::string_view a, std::string_view b);

}  // namespace qzarn
