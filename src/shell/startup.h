#pragma once
// Start-up helpers of the frame: screens scrolled to their middle, files
// dropped from the desktop, Qt's own Japanese texts.

#include "ui/document_window.h"

#include <QList>
#include <QStringList>
#include <QUrl>

class QCoreApplication;
class QScrollArea;
class QTranslator;

namespace qzarn::shell {

// Sets both scroll bars to the middle of their range.
void ScrollToMiddle(QScrollArea& area);
// The same once the window has been laid out (after pending events).
void ScrollToMiddleSoon(ui::DocumentWindow& window);

// The dropped items that are existing ".qzl" files (any letter case), in order.
QStringList DroppedDocuments(const QList<QUrl>& urls);

// Loads Qt's Japanese translations (standard buttons, file dialogs) from the
// toolkit's translation folder and installs them; null when they are not
// installed. The translator belongs to the application.
QTranslator* LoadQtJapanese(QCoreApplication& app);

}  // namespace qzarn::shell
