#include "ui/whole_captions.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QWidget>
#include <algorithm>

#include "ui/message_caption.h"

namespace qzarn::ui {

namespace {

// A title bar's icon, its three buttons and the margins about the title.
constexpr int kTitleBarExtras = 140;

}  // namespace

void LeaveRoomForTitle(QWidget& window) {
  // Title bars use a bold face of the desktop font on most desktops; the bold
  // advance is the wider one, so the title fits whichever the bar uses.
  QFont bold = QApplication::font("QMdiSubWindowTitleBar");
  bold.setBold(true);
  const int title = QFontMetrics(bold).horizontalAdvance(window.windowTitle());
  window.setMinimumWidth(std::max(window.minimumWidth(), title + kTitleBarExtras));
}

void InformWithWholeLines(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Information, QString::fromUtf8(kMessageCaption), QString(),
                  QMessageBox::Ok, parent);
  // Rich text with white space kept: the box may make its label wrap, but a
  // line then only ever breaks where the text has its own line breaks.
  QString html = text.toHtmlEscaped();
  html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  box.setTextFormat(Qt::RichText);
  box.setText(QStringLiteral("<p style=\"white-space:pre\">") + html + QStringLiteral("</p>"));
  box.exec();
}

}  // namespace qzarn::ui
