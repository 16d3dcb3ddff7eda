#include "document/undo_session.h"

namespace qzarn {

std::optional<UndoSession> UndoSession::Start(const std::string& folder, std::string& error) {
  std::optional<TempFolder> opened = TempFolder::Open(folder, error);
  if (!opened) return std::nullopt;
  const int deleted = opened->DeleteStaleSnapshots();
  return UndoSession(std::move(*opened), deleted, false);
}

std::optional<UndoSession> UndoSession::StartWithRecovery(const std::string& folder,
                                                          const std::string& recovery_folder,
                                                          std::string& error, std::string* notice) {
  std::optional<TempFolder> opened = TempFolder::Open(folder, error);
  if (!opened) return std::nullopt;
  std::optional<TempFolder> recovery;
  if (!recovery_folder.empty() && recovery_folder != opened->path()) {
    std::string why;
    recovery = OpenRecoveryFolder(recovery_folder, why);
    if (!recovery && notice != nullptr) *notice = why;
  }
  // In one folder the ended runs' records and copies lie among the snapshots and wait for
  // the offer.
  const int deleted = recovery ? opened->DeleteStaleSnapshots() : 0;
  UndoSession session(std::move(*opened), deleted, true);
  session.recovery_folder_ = std::move(recovery);
  return session;
}

UndoableScreen::UndoableScreen(UndoSession& session, std::unique_ptr<Screen> screen,
                               UndoResult* opened)
    : session_(session), screen_(std::move(screen)) {
  // The journal refers to the session's folder, which outlives every screen.
  if (session_.recovery()) journal_ = std::make_unique<RecoveryJournal>(session_.recovery_folder());
  ResetUndo(*screen_, session_.store());
  const UndoResult first = Journaled(ReplaceSnapshot(*screen_, session_.store()));
  if (opened != nullptr) *opened = first;
}

UndoableScreen::~UndoableScreen() {
  if (screen_) DeleteSnapshots(*screen_);
}

UndoResult UndoableScreen::Journaled(UndoResult result) {
  if (journal_ && result.ok()) journal_->SnapshotChanged(*screen_, session_.store().save);
  return result;
}

UndoResult UndoableScreen::RecordEdit() {
  return Journaled(TakeSnapshot(*screen_, session_.store()));
}

UndoResult UndoableScreen::Undo() {
  return Journaled(qzarn::Undo(*screen_, session_.store()));
}

UndoResult UndoableScreen::Redo() {
  return Journaled(qzarn::Redo(*screen_, session_.store()));
}

bool UndoableScreen::KeepForRecovery(std::string& error) {
  if (!journal_ || !screen_) return true;
  return journal_->Keep(*screen_, session_.store().save, error);
}

std::unique_ptr<Screen> UndoableScreen::Close() {
  if (journal_) journal_->Remove();
  if (screen_) DeleteSnapshots(*screen_);
  return std::move(screen_);
}

}  // namespace qzarn
