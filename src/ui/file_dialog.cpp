#include "ui/file_dialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

void Name(QFileDialog& dialog, const char* object, const QString& name) {
  if (auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(object)))
    widget->setAccessibleName(name);
}

}  // namespace

void NameFileDialogParts(QFileDialog& dialog) {
  if (dialog.accessibleName().isEmpty()) dialog.setAccessibleName(SpokenName(dialog.windowTitle()));
  // Object names of the parts of Qt's own (non-native) file dialog.
  Name(dialog, "lookInCombo", QStringLiteral("ﾌｫﾙﾀﾞ"));
  Name(dialog, "backButton", QStringLiteral("戻る"));
  Name(dialog, "forwardButton", QStringLiteral("進む"));
  Name(dialog, "toParentButton", QStringLiteral("1つ上のﾌｫﾙﾀﾞ"));
  Name(dialog, "newFolderButton", QStringLiteral("新しいﾌｫﾙﾀﾞ"));
  Name(dialog, "listModeButton", QStringLiteral("一覧表示"));
  Name(dialog, "detailModeButton", QStringLiteral("詳細表示"));
  Name(dialog, "sidebar", QStringLiteral("よく使う場所"));
  Name(dialog, "frame", QStringLiteral("ﾌｧｲﾙ"));
  Name(dialog, "listView", QStringLiteral("ﾌｧｲﾙの一覧"));
  Name(dialog, "treeView", QStringLiteral("ﾌｧｲﾙの詳細な一覧"));
  Name(dialog, "fileNameEdit", QStringLiteral("ﾌｧｲﾙ名"));
  Name(dialog, "fileTypeCombo", QStringLiteral("ﾌｧｲﾙの種類"));
  if (auto* tree = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
    tree->header()->setAccessibleName(QStringLiteral("ﾌｧｲﾙの詳細な一覧の見出し"));
  // The accept and cancel buttons carry their captions; a caption with a mnemonic is read
  // without its "&".
  if (auto* box = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
    for (QAbstractButton* button : box->buttons())
      button->setAccessibleName(SpokenName(button->text()));
  // The edits and lists Qt makes inside the drop-downs, the scroll bars and the splitter.
  NameParts(dialog);
}

void SetUpFileDialog(QFileDialog& dialog, const FileDialogSpec& spec) {
  dialog.setWindowTitle(spec.title);
  dialog.setAcceptMode(spec.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(spec.save || !spec.existing_only ? QFileDialog::AnyFile
                                                      : QFileDialog::ExistingFile);
  if (!spec.filters.isEmpty()) dialog.setNameFilter(spec.filters);
  if (!spec.default_suffix.isEmpty()) dialog.setDefaultSuffix(spec.default_suffix);
  if (!spec.start.isEmpty()) {
    const QFileInfo start(spec.start);
    if (start.isDir()) {
      dialog.setDirectory(spec.start);
    } else {
      dialog.setDirectory(start.absolutePath());
      dialog.selectFile(start.fileName());
    }
  }
  NameFileDialogParts(dialog);
}

QString AskFilePath(QWidget* parent, const FileDialogSpec& spec) {
  // A screen reader's view of the dialog's drop-downs is made as they are
  // built: the named kind must be known before the first of them.
  InstallNamedComboBoxes();
  QFileDialog dialog(parent);
  SetUpFileDialog(dialog, spec);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace qzarn::ui
