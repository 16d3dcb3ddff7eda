#pragma once
// A small streaming JSON writer for the CLI's machine-readable output. It
// always produces valid JSON: strings are escaped (invalid UTF-8 becomes
// U+FFFD), numbers print with 17 significant digits so that a double reads
// back exactly, and NaN and the infinities, which JSON cannot spell, print as
// null.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/c_number_format.h"

namespace qzarn::cli {

class JsonWriter {
 public:
  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // Inside an object: the next value's name.
  void Key(std::string_view name) {
    Separate();
    AppendString(name);
    out_ += ':';
    after_key_ = true;
  }

  void Number(double v) {
    Separate();
    if (!std::isfinite(v)) {
      out_ += "null";
      return;
    }
    char buf[40];
    FormatC(buf, sizeof buf, "%.17g", v);
    out_ += buf;
  }
  void Integer(std::int64_t v) {
    Separate();
    out_ += std::to_string(v);
  }
  void Bool(bool v) {
    Separate();
    out_ += v ? "true" : "false";
  }
  void Null() {
    Separate();
    out_ += "null";
  }
  void String(std::string_view utf8) {
    Separate();
    AppendString(utf8);
  }

  const std::string& str() const { return out_; }

 private:
  struct Level {
    bool first = true;
  };

  void Open(char c) {
    Separate();
    out_ += c;
    levels_.push_back({});
  }
  void Close(char c) {
    out_ += c;
    if (!levels_.empty()) levels_.pop_back();
  }
  void Separate() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (levels_.empty()) return;
    if (!levels_.back().first) out_ += ',';
    levels_.back().first = false;
  }

  // Length of the valid UTF-8 sequence at s[i], or 0.
  static std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      n = 2;
      cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 3;
      cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 4;
      cp = c & 0x07u;
    } else {
      return 0;
    }
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
      if ((b(i + k) & 0xC0) != 0x80) return 0;
      cp = (cp << 6) | (b(i + k) & 0x3Fu);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return 0;
    return n;
  }

  void AppendString(std::string_view s) {
    out_ += '"';
    for (std::size_t i = 0; i < s.size();) {
      const unsigned char c = static_cast<unsigned char>(s[i]);
      if (c < 0x80) {
        switch (c) {
          case '"':
            out_ += "\\\"";
            break;
          case '\\':
            out_ += "\\\\";
            break;
          case '\n':
            out_ += "\\n";
            break;
          case '\r':
            out_ += "\\r";
            break;
          case '\t':
            out_ += "\\t";
            break;
          default:
            if (c < 0x20 || c == 0x7F) {
              char buf[8];
              std::snprintf(buf, sizeof buf, "\\u%04x", c);
              out_ += buf;
            } else {
              out_ += static_cast<char>(c);
            }
        }
        ++i;
        continue;
      }
      const std::size_t n = Utf8Length(s, i);
      if (n == 0) {
        out_ += "\xEF\xBF\xBD";  // U+FFFD for a byte that is not UTF-8
        ++i;
      } else {
        out_.append(s.substr(i, n));
        i += n;
      }
    }
    out_ += '"';
  }

  std::string out_;
  std::vector<Level> levels_;
  bool after_key_ = false;
};

}  // namespace qzarn::cli
