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
  // Like Open, but a folder that exists with any access for others is refused rather than
  // tightened: another user may already have placed something in it (a socket that answers
  // in this program's place).
  static std::optional<TempFolder> OpenPrivate(const std::string& path, std::string& error);
  // A new private folder of a name nobody can know in advance (under $TMPDIR or /tmp).
  static std::optional<TempFolder> MakeUnique(std::string& error);

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

// Where the desktop program keeps its snapshots and its single-instance socket. The wanted
// folder is used when it is private to the user; otherwise snapshots go to a folder of a
// unique name, the program runs without a single instance (a second start could not find
// it, and the wanted folder cannot be trusted with document paths), and `notice` says why.
struct PrivateFolderChoice {
  std::string folder;        // empty when not even a unique folder could be made
  bool shared_name = false;  // the wanted folder: other starts find the socket there
  std::string notice;        // why the wanted folder was not used
};
PrivateFolderChoice ChoosePrivateFolder(const std::string& wanted);

}  // namespace qzarn
