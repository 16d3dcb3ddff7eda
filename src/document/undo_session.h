#pragma once
// The life of undo snapshots across a program run. One UndoSession exists per
// run: starting it opens the private temporary folder and deletes what ended
// runs left behind. Every screen shown in a window is held by an
// UndoableScreen, which makes the state it was opened in snapshot 0 and deletes
// all of the screen's snapshot files when it closes, however it closes (window
// closed, program exit, an exception unwinding the window).

#include <memory>
#include <optional>
#include <string>

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

  UndoStore& store() { return store_; }
  const UndoStore& store() const { return store_; }
  // How many leftover snapshot files start-up deleted.
  int stale_deleted() const { return stale_deleted_; }

 private:
  UndoSession(TempFolder folder, int stale_deleted)
      : store_(std::move(folder)), stale_deleted_(stale_deleted) {}

  UndoStore store_;
  int stale_deleted_ = 0;
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
  UndoResult RecordEdit() { return TakeSnapshot(*screen_, session_.store()); }
  UndoResult Undo() { return qzarn::Undo(*screen_, session_.store()); }
  UndoResult Redo() { return qzarn::Redo(*screen_, session_.store()); }
  bool CanUndo() const { return qzarn::CanUndo(*screen_); }
  bool CanRedo() const { return qzarn::CanRedo(*screen_); }

  // Deletes every snapshot file of the screen and hands the screen back (the window
  // has decided about saving before). Further calls on this object are not allowed.
  std::unique_ptr<Screen> Close();

 private:
  UndoSession& session_;
  std::unique_ptr<Screen> screen_;
};

}  // namespace qzarn
