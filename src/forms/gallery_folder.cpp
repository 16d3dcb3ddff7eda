#include "forms/gallery_folder.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace qzarn::forms {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

}  // namespace

fs::path GalleryFolder(const EnvironmentLookup& environment, const fs::path& executable) {
  if (const std::optional<std::string> set = environment("QZARN_GALLERY_DIR");
      set.has_value() && !set->empty()) {
    return fs::path(*set);
  }
  const fs::path beside = executable.parent_path() / "gallery";
  const fs::path installed = executable.parent_path().parent_path() / "share" / "qzarn" / "gallery";
  for (const fs::path& candidate : {beside, installed})
    if (IsFolder(candidate)) return candidate;
  return installed;
}

std::optional<fs::path> GalleryDocument(const fs::path& folder, std::string_view link) {
  constexpr std::string_view kExtension = ".qzl";
  if (link.size() <= kExtension.size()) return std::nullopt;
  const std::string_view stem = link.substr(0, link.size() - kExtension.size());
  const std::string_view extension = link.substr(stem.size());
  const bool qzl = std::ranges::equal(extension, kExtension, [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
  const bool plain = std::ranges::all_of(stem, [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-';
  });
  if (!qzl || !plain) return std::nullopt;
  return folder / fs::path(link);
}

}  // namespace qzarn::forms
