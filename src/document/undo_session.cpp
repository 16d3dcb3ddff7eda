#include "document/undo_session.h"

namespace qzarn {

std::optional<UndoSession> UndoSession::Start(const std::string& folder, std::string& error) {
  std::optional<TempFolder> opened = TempFolder::Open(folder, error);
  if (!opened) return std::nullopt;
  const int deleted = opened->DeleteStaleSnapshots();
  return UndoSession(std::move(*opened), deleted);
}

UndoableScreen::UndoableScreen(UndoSession& session, std::unique_ptr<Screen> screen,
                               UndoResult* opened)
    : session_(session), screen_(std::move(screen)) {
  ResetUndo(*screen_, session_.store());
  const UndoResult first = ReplaceSnapshot(*screen_, session_.store());
  if (opened != nullptr) *opened = first;
}

UndoableScreen::~UndoableScreen() {
  if (screen_) DeleteSnapshots(*screen_);
}

std::unique_ptr<Screen> UndoableScreen::Close() {
  if (screen_) DeleteSnapshots(*screen_);
  return std::move(screen_);
}

}  // namespace qzarn
