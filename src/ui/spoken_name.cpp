#include "ui/spoken_name.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAccessibleWidget>
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

// A drop-down as a screen reader sees it, with its own name. Qt's own drop-down on Linux says
// its current value in place of a name, so a drop-down showing "*" (nothing chosen) would be
// read as a star, and two drop-downs showing the same value could not be told apart. This one
// says its name and reports the value as the value; the list of choices and the edit part stay
// its children, and it opens its list as Qt's does.
class NamedComboBox final : public QAccessibleWidget {
 public:
  explicit NamedComboBox(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return ValueText();
    const QString text = QAccessibleWidget::text(t);
    return t == QAccessible::Name && text.isEmpty() ? ValueText() : text;
  }
  int childCount() const override { return combo()->lineEdit() != nullptr ? 2 : 1; }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return QAccessible::queryAccessibleInterface(combo()->view());
    if (index == 1 && combo()->lineEdit() != nullptr)
      return QAccessible::queryAccessibleInterface(combo()->lineEdit());
    return nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == nullptr) return -1;
    if (child->object() == combo()->view()) return 0;
    if (combo()->lineEdit() != nullptr && child->object() == combo()->lineEdit()) return 1;
    return -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QStringList actionNames() const override {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& action) override {
    if (action != showMenuAction() && action != pressAction()) {
      QAccessibleWidget::doAction(action);
      return;
    }
    if (combo()->view()->isVisible())
      combo()->hidePopup();
    else
      combo()->showPopup();
  }

 private:
  QComboBox* combo() const { return static_cast<QComboBox*>(object()); }
  QString ValueText() const {
    return combo()->lineEdit() != nullptr ? combo()->lineEdit()->text() : combo()->currentText();
  }
};

// Every drop-down: a screen reader's view of a control is made once, often before the control
// has its name (a change of its value is announced as it is filled), and a drop-down without a
// name still says its value.
QAccessibleInterface* NamedComboBoxFactory(const QString&, QObject* object) {
  auto* combo = qobject_cast<QComboBox*>(object);
  return combo != nullptr ? new NamedComboBox(combo) : nullptr;
}

}  // namespace

void InstallNamedComboBoxes() {
  // Later factories are asked first, so this one is asked before Qt's own.
  QAccessible::installFactory(&NamedComboBoxFactory);
}

void NameParts(QWidget& root) {
  InstallNamedComboBoxes();
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
