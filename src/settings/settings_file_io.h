#pragma once
// Reading a settings file whole and replacing it safely. A file is replaced by writing a
// temporary file beside it and renaming it over the old one, so a failed write (full disk,
// read-only folder) leaves the old file as it was.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace qzarn {

struct FileReadResult {
  enum class Status { Read, Missing, Failed } status = Status::Missing;
  std::string bytes;
  std::string error;  // why it failed (system message)
};

// Files above this size are not settings files; reading them fails.
inline constexpr std::uintmax_t kMaxSettingsFileSize = 16u << 20;

FileReadResult read_settings_file(const std::filesystem::path& path);

// What replace_file says about a file that is read-only (it is then left untouched).
inline constexpr std::string_view kReadOnlySettingsFile = "the file is read-only";

// Empty on success, else why it failed. Creates the folder when missing.
std::string replace_file(const std::filesystem::path& path, const std::string& bytes);

}  // namespace qzarn
