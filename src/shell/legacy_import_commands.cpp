// File → MS-DOS版からｲﾝﾎﾟｰﾄ: the two imports from the text-mode edition's data folders.
#include "import/page_import.h"
#include "shell/main_window.h"
#include "ui/legacy_import_dialogs.h"

#include <QDir>

namespace qzarn::shell {

namespace {

QString StartFolder(const QString& remembered) {
  // The text-mode edition started at the drive of the program's folder; here the user's
  // home folder is where old disks' copies are found.
  return remembered.isEmpty() ? QDir::homePath() : remembered;
}

}  // namespace

void MainWindow::ImportFiguresClick() {
  ui::Tdlg_Dos dialog(
      StartFolder(figure_import_folder_), std::make_unique<import::FilePageReader>(),
      [this](const import::FigureEntry& entry, const import::PageReader& reader,
             std::span<const int> pages) { ImportFigurePages(entry, reader, pages); },
      this);
  dialog.exec();
  figure_import_folder_ = dialog.folder();
}

void MainWindow::ImportFunctionsClick() {
  ui::Tdlg_Dos2 dialog(
      StartFolder(function_import_folder_),
      [this](const import::FunctionEntry& entry) {
        if (ui::DocumentWindow* window = activeDocument()) window->ImportFunction(entry);
      },
      this);
  dialog.exec();
  function_import_folder_ = dialog.folder();
}

void MainWindow::ImportFigurePages(const import::FigureEntry& entry,
                                   const import::PageReader& reader, std::span<const int> pages) {
  std::vector<ui::DocumentWindow*> windows;
  const std::vector<bool> converted = import::ImportPages(reader, pages, [&](int) {
    ui::DocumentWindow* window = NewScreen();
    windows.push_back(window);
    return window != nullptr && window->screen() != nullptr ? &window->screen()->Figures : nullptr;
  });
  for (std::size_t i = 0; i < windows.size() && i < converted.size(); ++i) {
    ui::DocumentWindow* window = windows[i];
    if (!converted[i] || window == nullptr || window->screen() == nullptr) continue;
    Screen& screen = *window->screen();
    screen.Title = import::PageTitle(entry, pages[i]);
    screen.Modified = true;
    window->setWindowTitle(QString::fromStdString(screen.Title));
    window->RefreshScreen();
  }
}

}  // namespace qzarn::shell
