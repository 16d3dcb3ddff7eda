#include "ui/spoken_name.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>

namespace qzarn::ui {

namespace {

void NameIfUnnamed(QWidget* widget, const QString& name) {
  if (widget != nullptr && widget->accessibleName().isEmpty() && !name.isEmpty())
    widget->setAccessibleName(name);
}

// The text of the label that introduces the widget, if any.
QString LabelOf(const QWidget& root, const QWidget& widget) {
  for (const QLabel* label : root.findChildren<QLabel*>())
    if (label->buddy() == &widget) return SpokenName(label->text());
  return {};
}

}  // namespace

void NameParts(QWidget& root) {
  for (QComboBox* combo : root.findChildren<QComboBox*>()) {
    NameIfUnnamed(combo, LabelOf(root, *combo));
    NameIfUnnamed(combo, SpokenName(combo->toolTip()));
    const QString name = combo->accessibleName();
    if (name.isEmpty()) continue;
    NameIfUnnamed(combo->lineEdit(), name);
    NameIfUnnamed(combo->view(), name + QStringLiteral("の一覧"));
  }
  for (QToolBar* bar : root.findChildren<QToolBar*>())
    for (QToolButton* more : bar->findChildren<QToolButton*>(
             QStringLiteral("qt_toolbar_ext_button"), Qt::FindDirectChildrenOnly))
      NameIfUnnamed(more, QStringLiteral("その他のﾎﾞﾀﾝ"));
  for (QAbstractScrollArea* area : root.findChildren<QAbstractScrollArea*>()) {
    NameIfUnnamed(area->verticalScrollBar(), QStringLiteral("縦ｽｸﾛｰﾙﾊﾞｰ"));
    NameIfUnnamed(area->horizontalScrollBar(), QStringLiteral("横ｽｸﾛｰﾙﾊﾞｰ"));
  }
  for (QSplitter* splitter : root.findChildren<QSplitter*>())
    NameIfUnnamed(splitter, QStringLiteral("区切り"));
}

}  // namespace qzarn::ui
