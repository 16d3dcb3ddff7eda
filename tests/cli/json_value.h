#pragma once
// A strict little JSON reader for checking the CLI's output: it rejects what a
// standard parser rejects (NaN, trailing commas, bad escapes, control bytes).

#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn::testing_support {

struct Json {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // strings; numbers keep their spelling here too
  std::vector<Json> items;
  std::vector<std::pair<std::string, Json>> members;

  const Json* get(std::string_view key) const {
    for (const auto& [k, v] : members)
      if (k == key) return &v;
    return nullptr;
  }
  const Json& operator[](std::string_view key) const {
    static const Json kMissing;
    const Json* v = get(key);
    return v ? *v : kMissing;
  }
  const Json& operator[](std::size_t i) const {
    static const Json kMissing;
    return i < items.size() ? items[i] : kMissing;
  }
};

class JsonParser {
 public:
  explicit JsonParser(std::string_view s) : s_(s) {}

  std::optional<Json> Parse() {
    Json v;
    if (!Value(v)) return std::nullopt;
    Space();
    if (i_ != s_.size()) return std::nullopt;
    return v;
  }

 private:
  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool Literal(std::string_view word) {
    if (s_.substr(i_, word.size()) != word) return false;
    i_ += word.size();
    return true;
  }
  bool String(std::string& out) {
    if (i_ >= s_.size() || s_[i_] != '"') return false;
    ++i_;
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) return false;
      const char e = s_[i_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          if (i_ + 4 > s_.size()) return false;
          for (int k = 0; k < 4; ++k)
            if (!std::isxdigit(static_cast<unsigned char>(s_[i_ + k]))) return false;
          out += "\\u" + std::string(s_.substr(i_, 4));  // kept escaped: tests compare ASCII
          i_ += 4;
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }
  bool Number(Json& v) {
    const std::size_t start = i_;
    if (i_ < s_.size() && s_[i_] == '-') ++i_;
    if (i_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[i_]))) return false;
    if (s_[i_] == '0' && i_ + 1 < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_ + 1])))
      return false;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
      ++i_;
    if (i_ < s_.size() && s_[i_] == '.') {
      ++i_;
      if (i_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[i_]))) return false;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
        ++i_;
    }
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      ++i_;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (i_ >= s_.size() || !std::isdigit(static_cast<unsigned char>(s_[i_]))) return false;
      while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])))
        ++i_;
    }
    v.kind = Json::Kind::kNumber;
    v.text = std::string(s_.substr(start, i_ - start));
    v.number = std::strtod(v.text.c_str(), nullptr);
    return true;
  }
  bool Value(Json& v) {
    if (++depth_ > 64) return false;
    Space();
    if (i_ >= s_.size()) return false;
    bool ok = false;
    const char c = s_[i_];
    if (c == '{') {
      ++i_;
      v.kind = Json::Kind::kObject;
      Space();
      if (i_ < s_.size() && s_[i_] == '}') {
        ++i_;
        ok = true;
      } else {
        for (;;) {
          Space();
          std::string key;
          Json member;
          if (!String(key)) break;
          Space();
          if (i_ >= s_.size() || s_[i_++] != ':' || !Value(member)) break;
          v.members.emplace_back(std::move(key), std::move(member));
          Space();
          if (i_ < s_.size() && s_[i_] == ',') {
            ++i_;
            continue;
          }
          ok = i_ < s_.size() && s_[i_++] == '}';
          break;
        }
      }
    } else if (c == '[') {
      ++i_;
      v.kind = Json::Kind::kArray;
      Space();
      if (i_ < s_.size() && s_[i_] == ']') {
        ++i_;
        ok = true;
      } else {
        for (;;) {
          Json item;
          if (!Value(item)) break;
          v.items.push_back(std::move(item));
          Space();
          if (i_ < s_.size() && s_[i_] == ',') {
            ++i_;
            continue;
          }
          ok = i_ < s_.size() && s_[i_++] == ']';
          break;
        }
      }
    } else if (c == '"') {
      v.kind = Json::Kind::kString;
      ok = String(v.text);
    } else if (Literal("true")) {
      v.kind = Json::Kind::kBool;
      v.boolean = ok = true;
    } else if (Literal("false")) {
      v.kind = Json::Kind::kBool;
      ok = true;
    } else if (Literal("null")) {
      ok = true;
    } else {
      ok = Number(v);
    }
    --depth_;
    return ok;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  int depth_ = 0;
};

}  // namespace qzarn::testing_support
