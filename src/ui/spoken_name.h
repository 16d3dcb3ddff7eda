#pragma once
// The accessible name a caption gives: without its keyboard mnemonic, so that
// a screen reader says "軌跡", not "軌跡(&K)".

#include <QString>

class QWidget;

#include "forms/accessible_name.h"

namespace qzarn::ui {

inline QString SpokenName(const QString& caption) {
  return QString::fromStdString(forms::SpokenCaption(caption.toStdString()));
}

// Names the parts Qt makes inside our controls after the control they belong
// to, where they have no name yet: the list and the edit of every drop-down
// ("線の種類の一覧", "線の種類"), the "more buttons" arrow of a tool bar, the
// scroll bars of scrolled views, and a splitter. A drop-down without a name of
// its own takes its label's text. Called once a window holds its controls.
void NameParts(QWidget& root);

// Makes every drop-down that has a name of its own say that name to a screen reader (Qt's own
// drop-down says its current value instead on Linux); one without a name still says its value.
// Called before the first window is made, and by NameParts; more calls do nothing.
void InstallNamedComboBoxes();

}  // namespace qzarn::ui
