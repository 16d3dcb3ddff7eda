#pragma once
// Work that survives the program's death. Every changed screen of a run keeps
// a small record in the recovery folder, a private folder on disk (undo
// snapshots live in memory and are gone after a power cut): its title, its
// file, whether it holds unsaved changes, and the copy beside it holding its
// latest state (written at every snapshot, undo and redo, and for a change that
// took no snapshot). When a run dies (kill, crash, power cut) its records stay;
// the next start on the same host finds them through FindLeftovers, offers the
// screens and then deletes what the dead run left. Records of runs on another
// host or of a process that still runs are never touched; a record made before
// the machine last started belongs to a dead run whatever process now has its
// id.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/document_file.h"
#include "document/screen.h"
#include "document/temp_folder.h"

namespace qzarn {

// Asked once at start when dead runs left screens with unsaved changes.
inline constexpr std::string_view kRecoverQuestion =
    "前回、正常に終了しなかったときの編集中の画面が残っています．\n復元しますか？";

struct RecoveryRecord {
  std::string host;
  std::string boot;  // the machine's boot id when written; empty when unknown
  long pid = 0;
  std::string title;
  std::string file_path;  // empty for a screen never saved
  std::string state;      // full path of the document file holding the latest state
  bool modified = false;  // the state differs from the saved file
};

// The record as a text file and back; nothing for a text that is not a whole record.
std::string EncodeRecoveryRecord(const RecoveryRecord& record);
std::optional<RecoveryRecord> DecodeRecoveryRecord(std::string_view text);

// This machine's name, as records store it.
std::string ThisHost();
// The id of this start of the machine (/proc/sys/kernel/random/boot_id); empty when unknown.
std::string ThisBoot();

// $XDG_STATE_HOME/qzarn/recovery, else ~/.local/state/qzarn/recovery; empty without either.
std::string DefaultRecoveryPath();
// Opens the recovery folder like TempFolder::Open, first creating its missing parents
// (mode 0700).
std::optional<TempFolder> OpenRecoveryFolder(const std::string& path, std::string& error);

// What ended runs of this host left in the folder.
struct Leftovers {
  // The screens to offer, in the order their runs made them: modified, with a readable state
  // file inside the folder.
  std::vector<RecoveryRecord> screens;
  // Every file of those runs: records, snapshots and recovery copies.
  std::vector<std::string> files;
  std::string folder;
};

Leftovers FindLeftovers(const TempFolder& folder);
// Deletes the plain files among `files`; returns how many went.
int DeleteLeftovers(const Leftovers& leftovers);

// One screen's record while the screen is open; the record goes when the screen closes.
class RecoveryJournal {
 public:
  explicit RecoveryJournal(const TempFolder& folder) : folder_(folder) {}
  ~RecoveryJournal() { Remove(); }
  RecoveryJournal(const RecoveryJournal&) = delete;
  RecoveryJournal& operator=(const RecoveryJournal&) = delete;

  // After a snapshot was taken, undone or redone: the screen's state (the snapshot at
  // UndoIndex) is copied into the folder when it is a change, so it survives the snapshot.
  void SnapshotChanged(const Screen& screen, const SaveOptions& save);
  // Writes a recovery copy when the screen's state differs from the file its record names, and
  // brings the record's title, file and modified flag up to date. False with a reason when a
  // file could not be written.
  bool Keep(const Screen& screen, const SaveOptions& save, std::string& error);
  // Deletes the record and the recovery copy.
  void Remove();

  const std::string& record_path() const { return record_path_; }
  const std::string& state_path() const { return copy_path_; }

 private:
  bool WriteRecord(const Screen& screen, bool modified, std::string& error);
  // Writes the screen as the copy (unless the copy already holds it) and the record naming it.
  bool WriteState(const Screen& screen, const SaveOptions& save, std::string& error);
  void DropCopy();
  void SyncFolder() const;

  const TempFolder& folder_;
  std::string record_path_;
  std::string written_;    // the record text last written
  std::string copy_path_;  // the copy of the latest state; the record names it
  std::vector<std::uint8_t> copy_bytes_;
};

}  // namespace qzarn
