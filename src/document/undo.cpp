#include "document/undo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace qzarn {
namespace {

bool ValidIndex(std::int32_t index) {
  return index >= 0 && index < kUndoFileCount;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void RemoveSnapshot(std::string& name) {
  if (!name.empty()) ::unlink(name.c_str());
  name.clear();
}

bool EnoughSpace(const UndoStore& store) {
  if (!store.free_space) return true;
  // An unknown amount does not block editing history: the write reports a real shortage.
  const std::optional<std::uint64_t> free = store.free_space(store.folder.path());
  return !free || *free >= kSnapshotMinFreeBytes;
}

// Snapshots are private scratch files: no flush to disk and no rename, which keeps a
// snapshot cheap enough to take after every edit.
bool WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes,
              std::size_t fail_after, std::string& error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  const std::size_t limit = std::min(bytes.size(), fail_after);
  std::size_t done = 0;
  while (done < limit) {
    const ssize_t n = ::write(fd, bytes.data() + done, limit - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = "cannot write " + path + ": " + std::strerror(errno);
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  if (done < bytes.size()) {
    error = "cannot write " + path + ": simulated failure";
    return false;
  }
  return true;
}

UndoResult WriteFailed(std::string detail) {
  return {UndoStatus::kWriteFailed, std::string(kSaveFailedMessage), std::move(detail)};
}

// Writes the screen into a new snapshot file; its full path on success.
std::optional<std::string> WriteSnapshot(const Screen& screen, const UndoStore& store,
                                         UndoResult& result) {
  SaveOptions options = store.save;
  options.compressed = false;
  std::vector<std::uint8_t> bytes;
  std::string error;
  std::optional<std::string> name = store.folder.CreateSnapshotFile(error);
  if (!name) {
    result = WriteFailed(error);
    return std::nullopt;
  }
  const std::size_t slash = name->find_last_of('/');
  const std::string base = name->substr(slash == std::string::npos ? 0 : slash + 1);
  if (!WriteDocumentBytes(screen, base, options, bytes, error) ||
      !WriteAll(*name, bytes, options.fail_write_after, error)) {
    ::unlink(name->c_str());
    result = WriteFailed(error);
    return std::nullopt;
  }
  return name;
}

UndoResult LoadSnapshot(Screen& screen, const UndoStore& store, std::int32_t index) {
  const std::string& name = screen.UndoFiles[static_cast<std::size_t>(index)];
  if (name.empty())
    return {UndoStatus::kLoadFailed, std::string(kSnapshotLoadFailedMessage),
            "no snapshot " + std::to_string(index)};
  // The reader fills a fresh screen and hands it over only when the whole file was
  // read, so a damaged snapshot leaves the user's screen as it was.
  const LoadResult loaded = LoadPlainDocument(screen, name, store.load);
  if (!loaded.ok())
    return {UndoStatus::kLoadFailed, std::string(kSnapshotLoadFailedMessage),
            name + ": " + loaded.detail};
  screen.UndoIndex = index;
  screen.SelectedIndex = -1;
  screen.Modified = true;
  return {};
}

}  // namespace

std::optional<std::uint64_t> FreeSpaceOf(const std::string& path) {
  struct statvfs fs {};
  if (::statvfs(path.c_str(), &fs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(fs.f_bavail) * static_cast<std::uint64_t>(fs.f_frsize);
}

void ResetUndo(Screen& screen, const UndoStore& store) {
  DeleteSnapshots(screen);
  screen.UndoDrive = store.folder.path();
}

void DeleteSnapshots(Screen& screen) {
  screen.UndoIndex = 0;
  for (std::string& name : screen.UndoFiles)
    RemoveSnapshot(name);
}

UndoResult TakeSnapshot(Screen& screen, const UndoStore& store) {
  if (!EnoughSpace(store)) return {UndoStatus::kNoSpace, {}, "less than 5 MB free"};
  auto& files = screen.UndoFiles;
  std::int32_t index = std::clamp(screen.UndoIndex, 0, kUndoFileCount - 2) + 1;
  // The redo tail no longer follows from the current state.
  for (std::int32_t i = index; i < kUndoFileCount; ++i)
    RemoveSnapshot(files[static_cast<std::size_t>(i)]);
  if (index > kLastUndoIndex) {
    RemoveSnapshot(files[0]);
    std::move(files.begin() + 1, files.begin() + kLastUndoIndex + 1, files.begin());
    files[kLastUndoIndex].clear();
    index = kLastUndoIndex;
  }
  screen.UndoIndex = index;
  UndoResult result;
  if (std::optional<std::string> name = WriteSnapshot(screen, store, result))
    files[static_cast<std::size_t>(index)] = std::move(*name);
  return result;
}

UndoResult ReplaceSnapshot(Screen& screen, const UndoStore& store) {
  if (!EnoughSpace(store)) return {UndoStatus::kNoSpace, {}, "less than 5 MB free"};
  if (!ValidIndex(screen.UndoIndex)) screen.UndoIndex = 0;
  std::string& entry = screen.UndoFiles[static_cast<std::size_t>(screen.UndoIndex)];
  RemoveSnapshot(entry);
  UndoResult result;
  if (std::optional<std::string> name = WriteSnapshot(screen, store, result))
    entry = std::move(*name);
  return result;
}

bool CanUndo(const Screen& screen) {
  return screen.UndoIndex > 0;
}

bool CanRedo(const Screen& screen) {
  if (screen.UndoIndex < 0 || screen.UndoIndex >= kLastUndoIndex) return false;
  return FileExists(screen.UndoFiles[static_cast<std::size_t>(screen.UndoIndex + 1)]);
}

UndoResult Undo(Screen& screen, const UndoStore& store) {
  if (!CanUndo(screen) || !ValidIndex(screen.UndoIndex)) return {UndoStatus::kNothingToDo, {}, {}};
  return LoadSnapshot(screen, store, screen.UndoIndex - 1);
}

UndoResult Redo(Screen& screen, const UndoStore& store) {
  if (!CanRedo(screen)) return {UndoStatus::kNothingToDo, {}, {}};
  return LoadSnapshot(screen, store, screen.UndoIndex + 1);
}

}  // namespace qzarn
