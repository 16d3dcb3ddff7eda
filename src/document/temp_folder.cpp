#include "document/temp_folder.h"

#include "document/recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qzarn {
namespace {

constexpr std::string_view kSnapshotPrefix = "qzarn-snap-";
constexpr std::string_view kSnapshotSuffix = ".qzl";
constexpr std::string_view kRecordPrefix = "qzarn-screen-";
constexpr std::string_view kRecordSuffix = ".rec";

bool ParseNumber(std::string_view text, long& out) {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && out >= 0;
}

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

std::string FolderOfPattern(const std::string& pattern) {
  return pattern.substr(0, pattern.find_last_of('/'));
}

// "<prefix><pid>-<number><suffix>"
bool ParseRunFileName(std::string_view name, std::string_view prefix, std::string_view suffix,
                      long* pid, long* number) {
  if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(suffix))
    return false;
  std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
  std::size_t dash = middle.find('-');
  long process = 0, count = 0;
  if (dash == std::string_view::npos || !ParseNumber(middle.substr(0, dash), process) ||
      !ParseNumber(middle.substr(dash + 1), count))
    return false;
  if (pid != nullptr) *pid = process;
  if (number != nullptr) *number = count;
  return true;
}

}  // namespace

bool TempFolder::ProcessRuns(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string TempFolder::DefaultPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
    return std::string(runtime) + "/qzarn";
  return "/tmp/qzarn-" + std::to_string(::getuid());
}

std::optional<TempFolder> TempFolder::Open(const std::string& path, std::string& error) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    error = "cannot examine " + path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  if (!S_ISDIR(st.st_mode)) {
    error = path + " is not a folder";
    return std::nullopt;
  }
  if (st.st_uid != ::getuid()) {
    error = path + " belongs to another user";
    return std::nullopt;
  }
  if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) {
    error = "cannot make " + path + " private: " + std::strerror(errno);
    return std::nullopt;
  }
  return TempFolder(path);
}

std::optional<TempFolder> TempFolder::OpenPrivate(const std::string& path, std::string& error) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      error = path + " is a symbolic link";
      return std::nullopt;
    }
    if (S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) != 0) {
      error = path + " is open to other users (mode " + ModeText(st.st_mode) + ")";
      return std::nullopt;
    }
  }
  return Open(path, error);
}

std::optional<TempFolder> TempFolder::MakeUnique(std::string& error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = (tmp != nullptr && tmp[0] == '/' ? std::string(tmp) : std::string("/tmp")) +
                        "/qzarn-" + std::to_string(::getuid()) + "-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    error = "cannot create a private folder in " + FolderOfPattern(pattern) + ": " +
            std::strerror(errno);
    return std::nullopt;
  }
  return TempFolder(pattern);
}

std::optional<std::string> TempFolder::CreateUniqueFile(std::string_view prefix,
                                                        std::string_view suffix,
                                                        std::string& error) const {
  static std::atomic<unsigned long> counter{0};
  const std::string stem = path_ + "/" + std::string(prefix) + std::to_string(::getpid());
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string name = stem + "-" + std::to_string(++counter) + std::string(suffix);
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) {
      error = "cannot create " + name + ": " + std::strerror(errno);
      return std::nullopt;
    }
  }
  error = "no free file name in " + path_;
  return std::nullopt;
}

std::optional<std::string> TempFolder::CreateSnapshotFile(std::string& error) const {
  return CreateUniqueFile(kSnapshotPrefix, kSnapshotSuffix, error);
}

std::optional<std::string> TempFolder::CreateRecordFile(std::string& error) const {
  return CreateUniqueFile(kRecordPrefix, kRecordSuffix, error);
}

bool TempFolder::IsSnapshotName(std::string_view name, long* pid) {
  return ParseRunFileName(name, kSnapshotPrefix, kSnapshotSuffix, pid, nullptr);
}

bool TempFolder::IsRecordName(std::string_view name, long* pid, long* number) {
  return ParseRunFileName(name, kRecordPrefix, kRecordSuffix, pid, number);
}

int TempFolder::DeleteStaleSnapshots() const {
  return DeleteLeftovers(FindLeftovers(*this));
}

PrivateFolderChoice ChoosePrivateFolder(const std::string& wanted) {
  PrivateFolderChoice choice;
  std::string why;
  if (std::optional<TempFolder> folder = TempFolder::OpenPrivate(wanted, why)) {
    choice.folder = folder->path();
    choice.shared_name = true;
    return choice;
  }
  choice.notice = why + ": documents of a second start open in a program of their own";
  std::string error;
  if (std::optional<TempFolder> unique = TempFolder::MakeUnique(error))
    choice.folder = unique->path();
  else
    choice.notice += "; " + error + ": undo is off";
  return choice;
}

}  // namespace qzarn
