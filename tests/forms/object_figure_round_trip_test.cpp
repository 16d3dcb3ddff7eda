// An embedded object's stored bytes are its content: nothing here can read or rebuild
// them, so every path a figure travels (save and load, undo and redo, copy and paste)
// must give them back unchanged, byte for byte.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "document/document_file.h"
#include "document/object_bytes_builder.h"
#include "document/screen.h"
#include "document/undo_session.h"
#include "forms/figure_clipboard.h"

namespace qzarn::forms {
namespace {

std::unique_ptr<Screen> NewScreen() {
  static ScreenTitleCounter titles;
  return Screen::Create(NewScreenDefaults{}, titles);
}

std::vector<std::uint8_t> Saved(const Screen& screen) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WritePlainDocument(screen, "object.qzl", SaveOptions{}, bytes, error)) << error;
  return bytes;
}

const std::vector<std::uint8_t>& ObjectAt(const Screen& screen, int slot) {
  return screen.Figures.record(slot)->owned.ObjectBytes;
}

TEST(ObjectFigureRoundTrip, BytesSurviveSaveLoadUndoRedoCopyAndPaste) {
  // Every byte value, an odd length and a real compound file: nothing may be normalised.
  std::vector<std::uint8_t> object = testing_support::EquationWithPicture(5, 4);
  for (int i = 0; i < 256; ++i)
    object.push_back(static_cast<std::uint8_t>(i));
  object.push_back(0);

  auto screen = NewScreen();
  FigureRecord record = FigureRecord::Blank(kOleFigure);
  record.frame()->X1 = 2;
  record.frame()->Y1 = 1;
  record.owned.ObjectBytes = object;
  ASSERT_EQ(NewFigure(screen->Figures, record), std::optional<int>(0));

  // Saved, loaded and saved again: the same file.
  const std::vector<std::uint8_t> first = Saved(*screen);
  auto loaded = NewScreen();
  ASSERT_TRUE(ReadPlainDocument(first, *loaded).ok());
  EXPECT_EQ(ObjectAt(*loaded, 0), object);
  EXPECT_EQ(Saved(*loaded), first);

  // Copied and pasted into another screen, twice.
  CopiedFigure copied;
  loaded->SelectedIndex = 0;
  ASSERT_TRUE(copied.CopyFrom(*loaded));
  auto target = NewScreen();
  const std::optional<int> a = InsertCopy(*target, *copied.record());
  const std::optional<int> b = InsertCopy(*target, *copied.record());
  ASSERT_TRUE(a && b);
  EXPECT_EQ(ObjectAt(*target, *a), object);
  EXPECT_EQ(ObjectAt(*target, *b), object);

  // Undone back to the first paste, then redone.
  char pattern[] = "/tmp/qzarn-object-undo-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  {
    std::string error;
    std::optional<UndoSession> session =
        UndoSession::Start((std::filesystem::path(pattern) / "snapshots").string(), error);
    ASSERT_TRUE(session) << error;
    UndoableScreen undoable(*session, NewScreen());
    ASSERT_TRUE(InsertCopy(undoable.screen(), *copied.record()));
    (void)undoable.RecordEdit();
    FreeFigure(undoable.screen().Figures, 0);
    (void)undoable.RecordEdit();
    (void)undoable.Undo();
    ASSERT_NE(undoable.screen().Figures.record(0), nullptr);
    EXPECT_EQ(ObjectAt(undoable.screen(), 0), object);
    (void)undoable.Redo();
    (void)undoable.Undo();
    EXPECT_EQ(ObjectAt(undoable.screen(), 0), object);
    (void)undoable.Close();
  }
  std::filesystem::remove_all(pattern);
}

}  // namespace
}  // namespace qzarn::forms
