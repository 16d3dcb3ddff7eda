#include "forms/command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#ifndef QZARN_VERSION
#define QZARN_VERSION "0"
#endif

namespace qzarn::forms {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

// "/X=640" → 640; nothing for a text that is not a whole number.
std::optional<int> WholeNumberAfter(std::string_view argument, std::size_t prefix) {
  const std::string_view digits = argument.substr(prefix);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
    return std::nullopt;
  return value;
}

}  // namespace

EarlyAction EarlyActionOf(const std::vector<std::string>& arguments) {
  for (const std::string& a : arguments) {
    if (a == "--help" || a == "-h") return EarlyAction::kHelp;
    if (a == "--version" || a == "-v") return EarlyAction::kVersion;
  }
  return EarlyAction::kNone;
}

std::string UsageText(std::string_view program) {
  std::string text = "使い方: ";
  text += program;
  text +=
      " [ファイル.qzl ...]\n"
      "Usage: ";
  text += program;
  text +=
      " [FILE.qzl ...]\n"
      "\n"
      "Sorvane: 数学の図を描く教材作成ソフト．引数の .qzl 文書を開きます．\n"
      "Opens the named .qzl documents (each argument is one path), or one new empty screen.\n"
      "When the program is already running, the documents open in the running window.\n"
      "\n"
      "  -h, --help     このヘルプを表示して終了 / show this help and exit\n"
      "  -v, --version  バージョンを表示して終了 / show the version and exit\n";
  return text;
}

std::string VersionText() {
  return std::string("qzarn (Sorvane) ") + QZARN_VERSION + "\n";
}

bool IsDocumentName(std::string_view path) {
  constexpr std::string_view kExtension = ".qzl";
  const std::size_t slash = path.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  return name.size() > kExtension.size() &&
         StartsWithNoCase(name.substr(name.size() - kExtension.size()), kExtension);
}

StartRequest ParseStartArguments(const std::vector<std::string>& arguments,
                                 const PathExists& exists) {
  StartRequest request;
  std::size_t i = 0;
  if (!arguments.empty() && arguments.front() == kWebModeArgument) {
    request.web_mode = true;
    i = 1;
  }
  for (; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (request.web_mode &&
        (StartsWithNoCase(argument, "/X=") || StartsWithNoCase(argument, "/Y="))) {
      if (const std::optional<int> value = WholeNumberAfter(argument, 3)) {
        const int clamped = std::clamp(*value, kWebClientMin, kWebClientMax);
        (std::tolower(static_cast<unsigned char>(argument[1])) == 'x' ? request.client_width
                                                                      : request.client_height) =
            clamped;
      }
      continue;
    }
    std::string name = argument;
    if (!exists(name)) {
      // A path split at its spaces by whoever started us: join only when the
      // joined text names an existing file.
      std::string joined = name;
      for (std::size_t j = i + 1; j < arguments.size(); ++j) {
        joined += ' ';
        joined += arguments[j];
        if (exists(joined)) {
          name = joined;
          i = j;
          break;
        }
      }
    }
    if (!IsDocumentName(name)) break;
    if (!exists(name)) {
      request.missing = name;
      break;
    }
    request.files.push_back(name);
  }
  if (request.client_width || request.client_height) {
    if (!request.client_width) request.client_width = kWebClientMissing;
    if (!request.client_height) request.client_height = kWebClientMissing;
  }
  return request;
}

}  // namespace qzarn::forms
