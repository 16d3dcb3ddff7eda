#include "settings/settings_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>
#include <vector>

namespace qzarn {
namespace fs = std::filesystem;

FileReadResult read_settings_file(const fs::path& path) {
  FileReadResult result;
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (!fs::exists(status)) {
    if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
      result.status = FileReadResult::Status::Failed;
      result.error = ec.message();
    }
    return result;
  }
  result.status = FileReadResult::Status::Failed;
  if (!fs::is_regular_file(status)) {
    result.error = "not a regular file";
    return result;
  }
  const auto size = fs::file_size(path, ec);
  if (ec || size > kMaxSettingsFileSize) {
    result.error = ec ? ec.message() : "file too large";
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = std::strerror(errno);
    return result;
  }
  result.bytes.resize(static_cast<std::size_t>(size));
  in.read(result.bytes.data(), static_cast<std::streamsize>(size));
  if (in.gcount() != static_cast<std::streamsize>(size)) {
    result.error = "read error";
    result.bytes.clear();
    return result;
  }
  result.status = FileReadResult::Status::Read;
  return result;
}

std::string replace_file(const fs::path& requested, const std::string& bytes) {
  std::error_code ec;
  // Replace the file a link points to, not the link.
  fs::path path = requested;
  if (fs::is_symlink(fs::symlink_status(requested, ec))) {
    path = fs::weakly_canonical(requested, ec);
    if (ec) return ec.message();
  }

  // A file the user made read-only stays as it is, even for the superuser, whom the mode bits
  // do not stop: the user said so by the mode.
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 &&
      ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
    return std::string(kReadOnlySettingsFile);

  if (path.has_parent_path()) {
    fs::create_directories(path.parent_path(), ec);
    if (ec) return ec.message();
  }
  std::string temporary = path.string() + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return std::strerror(errno);
  temporary.assign(name.data());

  mode_t mode = 0644;
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
  ::fchmod(fd, mode);

  std::string error;
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      break;
    }
    written += static_cast<std::size_t>(n);
  }
  if (error.empty() && ::fsync(fd) != 0) error = std::strerror(errno);
  if (::close(fd) != 0 && error.empty()) error = std::strerror(errno);
  if (error.empty() && ::rename(temporary.c_str(), path.c_str()) != 0) error = std::strerror(errno);
  if (!error.empty()) ::unlink(temporary.c_str());
  return error;
}

}  // namespace qzarn
