// ファイル → Webページとして保存: every open screen, in window order, as one self-contained
// lesson page that pupils open in a browser.
// The document headers come before Qt's, whose "slots" macro they would otherwise meet.
#include "document/document_file.h"
#include "forms/lesson_page.h"
#include "qt/lesson_page_parts.h"
#include "shell/main_window.h"
#include "ui/document_window.h"
#include "ui/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSaveFile>

namespace qzarn::shell {

bool MainWindow::SaveAsWebPageClick() {
  ui::DocumentWindow* active = activeDocument();
  if (active == nullptr || active->screen() == nullptr) return false;
  std::string error;
  const std::optional<LessonPageParts> parts = LoadLessonPageParts(error);
  if (!parts) {
    questions_->ShowError(
        this, QStringLiteral("Webページとして保存できません．\n") + QString::fromStdString(error));
    return false;
  }
  const QString title = active->windowTitle();
  ui::FileDialogSpec dialog;
  dialog.title = QStringLiteral("Webページとして保存");
  dialog.start =
      QDir::current().filePath(QFileInfo(title).completeBaseName() + QStringLiteral(".html"));
  dialog.filters = QStringLiteral("Webページ (*.html)");
  dialog.save = true;
  const QString path = ui::AskFilePath(this, dialog);
  if (path.isEmpty()) return false;

  std::vector<LessonPageScreen> screens;
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    auto* w = qobject_cast<ui::DocumentWindow*>(sub->widget());
    if (w == nullptr || w->screen() == nullptr) continue;
    LessonPageScreen screen;
    screen.title = LessonTitleFromPath(w->windowTitle().toStdString());
    if (!WritePlainDocument(*w->screen(), screen.title + ".qzl", SaveOptions{}, screen.bytes,
                            error)) {
      questions_->ShowError(this, QStringLiteral("「") + w->windowTitle() +
                                      QStringLiteral("」をWebページに入れられません．\n") +
                                      QString::fromStdString(error));
      return false;
    }
    screens.push_back(std::move(screen));
  }
  const std::string page =
      BuildLessonPage(*parts, LessonTitleFromPath(title.toStdString()), screens);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(page.data(), static_cast<qint64>(page.size())) !=
          static_cast<qint64>(page.size()) ||
      !file.commit()) {
    questions_->ShowError(
        this, QStringLiteral("“") + path + QStringLiteral("” に保存できませんでした．"));
    return false;
  }
  ShowStatus(2, QStringLiteral("“") + path + QStringLiteral("” に保存しました．"));
  return true;
}

}  // namespace qzarn::shell
