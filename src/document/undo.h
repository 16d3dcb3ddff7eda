#pragma once
// Undo and redo through whole-screen snapshots. After each undoable editing step
// the complete screen is written as a plain document file into the program's
// private temporary folder; undoing or redoing reads one of those files back
// into the same screen. A screen keeps at most 301 snapshots (names 0..300 of
// Screen::UndoFiles, entry 301 is only ever a discarded redo tail), and
// Screen::UndoIndex names the snapshot that matches the current state.
//
// The window layer owns redrawing and the command states; every operation here
// returns what happened so that it can refresh them and show a message.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "document/document_file.h"
#include "document/screen.h"
#include "document/temp_folder.h"

namespace qzarn {

// Snapshots are taken only while the temporary folder's file system has this much room.
inline constexpr std::uint64_t kSnapshotMinFreeBytes = 5ull * 1024 * 1024;
// The highest index a kept snapshot can have; one more would drop the oldest.
inline constexpr std::int32_t kLastUndoIndex = 300;

// Shown when undo or redo cannot read its snapshot. The screen keeps what it showed.
inline constexpr std::string_view kSnapshotLoadFailedMessage =
    "元に戻す情報の読み込みに失敗しました．画面の内容はそのままです．";

// Free bytes available to this user on the file system holding `path`; nothing when unknown.
std::optional<std::uint64_t> FreeSpaceOf(const std::string& path);

// Where and how snapshots are written; one per program run, shared by all screens.
struct UndoStore {
  explicit UndoStore(TempFolder temp) : folder(std::move(temp)) {}

  TempFolder folder;
  SaveOptions save;  // picture options; snapshots are always written uncompressed
  LoadOptions load;
  // The free-space probe; tests replace it to simulate a full disk.
  std::function<std::optional<std::uint64_t>(const std::string&)> free_space = FreeSpaceOf;
};

enum class UndoStatus {
  kDone,
  kNothingToDo,  // undo at the first snapshot, redo without a later one
  kNoSpace,      // less than kSnapshotMinFreeBytes free: no snapshot was taken
  kWriteFailed,  // the snapshot could not be written (message: the failed-save text)
  kLoadFailed,   // the snapshot could not be read; the screen is unchanged
};

struct UndoResult {
  UndoStatus status = UndoStatus::kDone;
  std::string message;  // for the user when not kDone / kNothingToDo / kNoSpace
  std::string detail;   // the reason, for logs

  bool ok() const { return status == UndoStatus::kDone; }
};

// UndoIndex := 0 and every name cleared (files still named are deleted first, so
// none is left behind); UndoDrive := the temporary folder.
void ResetUndo(Screen& screen, const UndoStore& store);
// UndoIndex := 0; every snapshot file of the screen deleted and its name cleared.
// Called when a screen closes.
void DeleteSnapshots(Screen& screen);

// Records the current state as a new snapshot after UndoIndex, discarding the
// redo tail and, beyond 301 snapshots, the oldest one.
UndoResult TakeSnapshot(Screen& screen, const UndoStore& store);
// Overwrites the snapshot at UndoIndex with the current state (after opening a document).
UndoResult ReplaceSnapshot(Screen& screen, const UndoStore& store);

bool CanUndo(const Screen& screen);
bool CanRedo(const Screen& screen);
// Reads the previous (next) snapshot into the screen. On success the selection is
// cleared and the screen is marked modified: the restored state is not the saved
// file, and closing must still offer to save it. On failure nothing changes.
UndoResult Undo(Screen& screen, const UndoStore& store);
UndoResult Redo(Screen& screen, const UndoStore& store);

}  // namespace qzarn
