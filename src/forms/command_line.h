#pragma once
// What the desktop program's command line asks for. Read before any window
// exists: "--help" and "--version" are answered without a display.
//
// Each argument is one path. Only when an argument names nothing that exists
// are the following arguments appended with single spaces, for launchers that
// split a path containing spaces; the joined name is taken only when it does
// exist, otherwise the single argument stands (and ends processing).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzarn::forms {

inline constexpr std::string_view kWebModeArgument = "webwebweb";

enum class EarlyAction { kNone, kHelp, kVersion };

// "--help"/"-h" or "--version"/"-v" anywhere on the line (the first one wins).
EarlyAction EarlyActionOf(const std::vector<std::string>& arguments);
// The texts printed for them.
std::string UsageText(std::string_view program);
std::string VersionText();

// The restricted start mode's client size: "/X=" and "/Y=" values clamped to
// 400..1500; a missing one is 600.
inline constexpr int kWebClientMin = 400;
inline constexpr int kWebClientMax = 1500;
inline constexpr int kWebClientMissing = 600;

struct StartRequest {
  bool web_mode = false;
  // Set when "/X=" or "/Y=" gave a whole number (web mode only); the other
  // one is then kWebClientMissing.
  std::optional<int> client_width;
  std::optional<int> client_height;
  // The documents to open, in order.
  std::vector<std::string> files;
  // The name that ended processing because it does not exist (a ".qzl" name
  // only: other names end processing silently).
  std::optional<std::string> missing;
};

using PathExists = std::function<bool(const std::string& path)>;

// The arguments without the program name. Processing stops at the first name
// whose extension is not ".qzl" (case-insensitive) or that does not exist.
StartRequest ParseStartArguments(const std::vector<std::string>& arguments,
                                 const PathExists& exists);

// True for a name ending in ".qzl", in any letter case.
bool IsDocumentName(std::string_view path);

}  // namespace qzarn::forms
