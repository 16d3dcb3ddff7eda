#pragma once
// The two imports from the text-mode edition's data folders: stored functions
// (Tdlg_Dos2, "関数のｲﾝﾎﾟｰﾄ") and stored figure pages (Tdlg_Dos, "図形のｲﾝﾎﾟｰﾄ").
// Each picks a folder in a folder tree, lists what the folder's data files hold
// and hands the chosen entry to the main window. What the files mean is read in
// import/; the dialogs only show it. A file that cannot be read leaves the list
// empty and its reason in the dialog's message line.

// The core headers come before Qt's, whose `slots` keyword would break them.
#include "import/legacy_data.h"
#include "import/page_import.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <vector>

class QCheckBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTreeView;

namespace qzarn::ui {

inline constexpr int kFigureImportHelpContext = 2010;
inline constexpr int kFunctionImportHelpContext = 2020;

// The folder tree, list, message line and buttons both dialogs share.
class LegacyImportDialog : public QDialog {
  Q_OBJECT

 public:
  // The folder chosen when the dialog closed (or the one it started at).
  QString folder() const { return folder_; }
  // Chooses a folder as a click in the tree does.
  void ChooseFolder(const QString& path);
  QListWidget& list() { return *list_; }
  QLabel& message() { return *message_; }
  QPushButton& importButton() { return *import_; }

 protected:
  LegacyImportDialog(const QString& caption, int help_context, const QString& start_folder,
                     QWidget* parent);
  void keyPressEvent(QKeyEvent* event) override;
  // Reads the folder's files into the list.
  virtual void ReadFolder(const std::filesystem::path& folder) = 0;
  virtual void Import() = 0;
  // The area right of the list (the figure dialog's preview); may stay empty.
  QWidget& side() { return *side_; }
  void ShowMessage(const std::string& utf8);

 private:
  QString folder_;
  QFileSystemModel* model_ = nullptr;
  QTreeView* tree_ = nullptr;
  QListWidget* list_ = nullptr;
  QWidget* side_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* import_ = nullptr;
};

class Tdlg_Dos2 final : public LegacyImportDialog {
  Q_OBJECT

 public:
  // `import` brings the entry into the active screen (through the function's dialog).
  Tdlg_Dos2(const QString& start_folder, std::function<void(const import::FunctionEntry&)> import,
            QWidget* parent = nullptr);
  const std::vector<import::FunctionEntry>& entries() const { return entries_; }

 private:
  void ReadFolder(const std::filesystem::path& folder) override;
  void Import() override;

  std::function<void(const import::FunctionEntry&)> import_;
  std::vector<import::FunctionEntry> entries_;
};

class Tdlg_Dos final : public LegacyImportDialog {
  Q_OBJECT

 public:
  // `import` makes one new screen per page and converts the pages into them.
  using ImportPages = std::function<void(const import::FigureEntry&, const import::PageReader&,
                                         std::span<const int> pages)>;
  Tdlg_Dos(const QString& start_folder, std::unique_ptr<import::PageReader> reader,
           ImportPages import, QWidget* parent = nullptr);
  const std::vector<import::FigureEntry>& entries() const { return entries_; }
  QSpinBox& pageBox() { return *page_; }
  QCheckBox& allPages() { return *all_; }
  QLabel& preview() { return *preview_; }

 private:
  void ReadFolder(const std::filesystem::path& folder) override;
  void Import() override;
  void SelectionChanged();
  void ShowPage();
  void UpdateControls();

  std::unique_ptr<import::PageReader> reader_;
  ImportPages import_;
  std::vector<import::FigureEntry> entries_;
  std::filesystem::path folder_path_;
  int page_count_ = 0;
  QLabel* preview_ = nullptr;
  QSpinBox* page_ = nullptr;
  QLabel* page_label_ = nullptr;
  QLabel* page_range_ = nullptr;
  QCheckBox* all_ = nullptr;
};

}  // namespace qzarn::ui
