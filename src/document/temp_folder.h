#pragma once
// The program's private folder for temporary documents (undo snapshots). It is
// per user and mode 0700, so no other user can read, plant or replace files in
// it, and start-up clean-up deletes only snapshot and record files this program
// made whose process has ended on this host — never other files, nor the files
// of a second running instance.

#include <optional>
#include <string>
#include <string_view>

namespace qzarn {

class TempFolder {
 public:
  // $XDG_RUNTIME_DIR/qzarn when that variable names a folder, else /tmp/qzarn-<uid>.
  static std::string DefaultPath();
  // Opens the folder at path, creating it with mode 0700 when missing. Fails when the path is a
  // symbolic link or not a folder, or belongs to another user; tightens a looser mode to 0700.
  static std::optional<TempFolder> Open(const std::string& path, std::string& error);
  static std::optional<TempFolder> OpenDefault(std::string& error) {
    return Open(DefaultPath(), error);
  }

  const std::string& path() const { return path_; }

  // Creates a new empty snapshot file with a name no other file has, and returns its full path.
  std::optional<std::string> CreateSnapshotFile(std::string& error) const;
  // The same for a screen's recovery record.
  std::optional<std::string> CreateRecordFile(std::string& error) const;
  // Deletes snapshot files of processes that no longer run; returns how many were deleted.
  int DeleteStaleSnapshots() const;

  // Snapshot names are "qzarn-snap-<pid>-<number>.qzl"; on success pid receives the maker's id.
  static bool IsSnapshotName(std::string_view name, long* pid = nullptr);
  // Record names are "qzarn-screen-<pid>-<number>.rec".
  static bool IsRecordName(std::string_view name, long* pid = nullptr, long* number = nullptr);
  // Whether a process with this id runs on this machine (also one of another user).
  static bool ProcessRuns(long pid);

 private:
  explicit TempFolder(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> CreateUniqueFile(std::string_view prefix, std::string_view suffix,
                                              std::string& error) const;
  std::string path_;
};

}  // namespace qzarn
