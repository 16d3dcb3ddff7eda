#pragma once
// The program's file dialogs (open, save as, picture export, web page, print
// to a file, pictures for backgrounds and tool bars). They are made as dialog
// objects rather than through the one-call helpers so that every part of Qt's
// own dialog gets a name a screen reader can say: the file name field, the file
// type list, the folder list and its buttons, the side bar and the file lists.

#include <QString>

class QFileDialog;
class QWidget;

namespace qzarn::ui {

struct FileDialogSpec {
  QString title;
  QString start;    // the folder to show, or a proposed file inside it
  QString filters;  // file types, separated by ";;"
  QString default_suffix;
  bool save = false;          // asks for a name to write (else an existing file to read)
  bool existing_only = true;  // an open dialog accepts only files that exist
};

// Names the parts of Qt's file dialog that have none a screen reader can say.
void NameFileDialogParts(QFileDialog& dialog);
// Applies `spec` to `dialog` and names its parts.
void SetUpFileDialog(QFileDialog& dialog, const FileDialogSpec& spec);
// Asks for a file; empty when the user cancels.
QString AskFilePath(QWidget* parent, const FileDialogSpec& spec);

}  // namespace qzarn::ui
