#include "forms/recent_files.h"

#include <algorithm>
#include <cctype>

namespace qzarn::forms {
namespace {

bool SameNoCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

}  // namespace

std::string ShortenPath(std::string_view path, std::string_view home) {
  std::string_view root = "/";
  std::string_view rest = path;
  while (!home.empty() && home.back() == '/')
    home.remove_suffix(1);
  if (!home.empty() && path.size() > home.size() + 1 && path.substr(0, home.size()) == home &&
      path[home.size()] == '/') {
    root = "~/";
    rest = path.substr(home.size() + 1);
  } else if (path.empty() || path.front() != '/') {
    return std::string(path);  // relative: nothing to anchor a shortening on
  } else {
    rest = path.substr(1);
  }
  const std::vector<std::string_view> parts = Components(rest);
  // Folders plus the file name: with at most two folders nothing is gained.
  if (parts.size() <= 3) return std::string(root) + std::string(rest);
  std::string text(root);
  text += parts.front();
  text += "/.../";
  text += parts[parts.size() - 2];
  text += '/';
  text += parts.back();
  return text;
}

void RecentFiles::Add(std::string_view path) {
  std::vector<std::string>& list = settings_.RecentFiles;
  std::erase_if(list, [path](const std::string& p) { return SameNoCase(p, path); });
  list.insert(list.begin(), std::string(path));
  if (list.size() > static_cast<std::size_t>(kMaxRecentFiles)) list.resize(kMaxRecentFiles);
}

std::vector<RecentEntry> RecentFiles::MenuEntries(std::string_view home) const {
  std::vector<RecentEntry> entries;
  if (!settings_.FileUse) return entries;
  const std::size_t shown = std::min<std::size_t>(
      settings_.RecentFiles.size(), static_cast<std::size_t>(std::clamp(settings_.FileMax, 0, 9)));
  for (std::size_t i = 0; i < shown; ++i) {
    const std::string& path = settings_.RecentFiles[i];
    std::string caption = "&" + std::to_string(i + 1) + " ";
    for (char c : ShortenPath(path, home)) {
      if (c == '&') caption += '&';
      caption += c;
    }
    entries.push_back({std::move(caption), path});
  }
  return entries;
}

}  // namespace qzarn::forms
