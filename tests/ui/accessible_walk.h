#pragma once
// Walks a window's accessibility tree the way a screen reader sees it (through
// QAccessible, not the widgets' properties) and lists what it cannot read: a
// control without a name, or a name that holds "&" or only punctuation.

#include "forms/accessible_name.h"

#include <QAccessible>
#include <QWidget>
#include <string>
#include <vector>

namespace qzarn::testing {

inline bool IsControlRole(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::ScrollBar:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::PageTab:
    case QAccessible::PageTabList:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::ToolBar:
    case QAccessible::StatusBar:
    case QAccessible::Canvas:
    case QAccessible::Graphic:
    case QAccessible::Dialog:
    case QAccessible::Window:
      return true;
    default:
      return false;
  }
}

// Items of lists, tables and menus carry the data they show; they are not
// controls of their own.
inline bool IsItemRole(QAccessible::Role role) {
  return role == QAccessible::ListItem || role == QAccessible::Cell ||
         role == QAccessible::TreeItem || role == QAccessible::Row ||
         role == QAccessible::ColumnHeader || role == QAccessible::RowHeader ||
         role == QAccessible::MenuItem || role == QAccessible::PopupMenu ||
         role == QAccessible::MenuBar;
}

inline void WalkAccessible(QAccessibleInterface* node, const std::string& path,
                           std::vector<std::string>& faults, int depth = 0) {
  if (node == nullptr || !node->isValid() || depth > 40) return;
  const QAccessible::Role role = node->role();
  if (IsItemRole(role)) return;
  const QString name = node->text(QAccessible::Name);
  const std::string utf8 = name.toStdString();
  QString kind = QString::number(role, 16);
  if (QObject* object = node->object())
    kind = QString::fromLatin1(object->metaObject()->className());
  const std::string here = path + "/" + kind.toStdString() + "[" + utf8 + "]";
  // A drop-down too says its own name, not its current value (such as "*").
  if (IsControlRole(role) && name.trimmed().isEmpty())
    faults.push_back("unnamed " + here);
  else if (!name.isEmpty() && !forms::UsableName(utf8))
    faults.push_back("unreadable " + here);
  for (int i = 0; i < node->childCount(); ++i)
    WalkAccessible(node->child(i), here, faults, depth + 1);
}

// The faults of a window and everything in it.
inline std::vector<std::string> AccessibleFaults(QWidget& window) {
  std::vector<std::string> faults;
  WalkAccessible(QAccessible::queryAccessibleInterface(&window), "", faults);
  return faults;
}

}  // namespace qzarn::testing
