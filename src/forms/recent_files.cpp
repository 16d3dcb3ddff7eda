#include "forms/recent_files.h"

#include <algorithm>
#include <cctype>

namespace qzarn {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

std::vector<std::string> Parts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '/') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

}  // namespace

void AddRecentFile(std::vector<std::string>& files, const std::string& path) {
  if (path.empty()) return;
  std::erase_if(files, [&](const std::string& f) { return SameIgnoringCase(f, path); });
  files.insert(files.begin(), path);
  if (files.size() > kRecentFileLimit) files.resize(kRecentFileLimit);
}

std::string ShortenPath(const std::string& path) {
  const std::vector<std::string> parts = Parts(path);
  if (parts.size() < 4) return path;
  const std::string root = path.starts_with('/') ? "/" : "";
  return root + parts.front() + "/.../" + parts[parts.size() - 2] + "/" + parts.back();
}

std::vector<std::string> ShownRecentFiles(const std::vector<std::string>& files, bool use,
                                          int shown) {
  if (!use || shown <= 0) return {};
  const auto count = std::min(files.size(), static_cast<std::size_t>(shown));
  return {files.begin(), files.begin() + static_cast<std::ptrdiff_t>(count)};
}

}  // namespace qzarn
