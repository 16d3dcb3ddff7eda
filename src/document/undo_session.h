#pragma once
// The life of undo snapshots across a program run. One UndoSession exists per
// run: starting it opens the private temporary folder and deletes what ended
// runs left behind. Every screen shown in a window is held by an
// UndoableScreen, which makes the state it was opened in snapshot 0 and deletes
// all of the screen's snapshot files when it closes, however it closes (window
// closed, program exit, an exception unwinding the window). A session that keeps
// work for recovery also journals every screen (document/recovery.h) and leaves
// what ended runs left until the program has offered it.

#include <memory>
#include <optional>
#include <string>

#include "document/recovery.h"
#include "document/screen.h"
#include "document/undo.h"

namespace qzarn {

class UndoSession {
 public:
  // Opens (creating when missing) the private folder at `folder` and deletes the
  // snapshots of runs that have ended. Fails with a reason when the folder cannot be
  // used safely; the program then runs without undo rather than not at all.
  static std::optional<UndoSession> Start(const std::string& folder, std::string& error);
  static std::optional<UndoSession> StartDefault(std::string& error) {
    return Start(TempFolder::DefaultPath(), error);
  }
  // The same for a program that offers lost work: every changed screen keeps a record and a
  // copy of its latest state in `recovery_folder` (on disk, so work survives a power cut);
  // Leftovers() tells what ended runs left there and DiscardLeftovers() removes it once the
  // user has decided. Ended runs' snapshots are deleted at start as without recovery. An empty
  // `recovery_folder`, or one that cannot be used (`notice` says why), keeps the records beside
  // the snapshots, where nothing is deleted before the offer.
  static std::optional<UndoSession> StartWithRecovery(const std::string& folder,
                                                      const std::string& recovery_folder,
                                                      std::string& error,
                                                      std::string* notice = nullptr);

  bool recovery() const { return recovery_; }
  const TempFolder& recovery_folder() const {
    return recovery_folder_ ? *recovery_folder_ : store_.folder;
  }
  Leftovers leftovers() const { return FindLeftovers(recovery_folder()); }
  void DiscardLeftovers(const Leftovers& found) { stale_deleted_ += DeleteLeftovers(found); }

  UndoStore& store() { return store_; }
  const UndoStore& store() const { return store_; }
  // How many leftover snapshot files start-up deleted.
  int stale_deleted() const { return stale_deleted_; }

 private:
  UndoSession(TempFolder folder, int stale_deleted, bool recovery)
      : store_(std::move(folder)), stale_deleted_(stale_deleted), recovery_(recovery) {}

  UndoStore store_;
  std::optional<TempFolder> recovery_folder_;  // none: the snapshots' folder
  int stale_deleted_ = 0;
  bool recovery_ = false;
};

// A screen together with its undo history. The session must outlive it.
class UndoableScreen {
 public:
  // Takes the screen as it was just opened or created; its state becomes snapshot 0,
  // so undo is disabled until the first edit is recorded. `opened` reports whether
  // that first snapshot could be written (editing works without it).
  UndoableScreen(UndoSession& session, std::unique_ptr<Screen> screen,
                 UndoResult* opened = nullptr);
  ~UndoableScreen();
  UndoableScreen(const UndoableScreen&) = delete;
  UndoableScreen& operator=(const UndoableScreen&) = delete;

  Screen& screen() { return *screen_; }
  const Screen& screen() const { return *screen_; }

  // After an undoable edit: records the current state.
  UndoResult RecordEdit();
  UndoResult Undo();
  UndoResult Redo();
  // For changes that took no snapshot: writes a recovery copy when the screen differs from the
  // state its recovery record names (nothing without recovery). False with a reason on failure.
  bool KeepForRecovery(std::string& error);
  bool CanUndo() const { return qzarn::CanUndo(*screen_); }
  bool CanRedo() const { return qzarn::CanRedo(*screen_); }

  // Deletes every snapshot file of the screen and hands the screen back (the window
  // has decided about saving before). Further calls on this object are not allowed.
  std::unique_ptr<Screen> Close();

 private:
  UndoResult Journaled(UndoResult result);

  UndoSession& session_;
  std::unique_ptr<Screen> screen_;
  std::unique_ptr<RecoveryJournal> journal_;
};

}  // namespace qzarn
