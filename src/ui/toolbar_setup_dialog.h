#pragma once
// The tool-bar customisation window (ﾂｰﾙﾊﾞｰの設定): every command of the
// catalogue with its icon, dragged from here onto a tool bar; buttons dragged
// off a tool bar while it is open leave the bar. Commands already on a bar are
// shown greyed. Modeless, so the bars stay reachable.

#include <QDialog>
#include <QIcon>
#include <QPoint>
#include <functional>

class QListWidget;
class QMimeData;
class QMouseEvent;

namespace qzarn::ui {

inline constexpr const char* kCommandDragFormat = "application/x-qzarn-command";
// The help context of the window's help button.
inline constexpr int kToolbarSetupHelp = 2140;

// A drag of catalogue entry `number` (a button taken from a bar also names the
// bar 1..3 and its position there).
QMimeData* CommandDragData(int number, int from_bar = 0, int from_position = -1);
struct CommandDrag {
  int number = -1;
  int from_bar = 0;
  int from_position = -1;
};
// The command a drag carries; number -1 when it is not a command drag.
CommandDrag ReadCommandDrag(const QMimeData& data);

struct ToolbarSetupHooks {
  std::function<bool(int number)> placed;  // the command has a control on a bar
  std::function<QIcon(int number)> icon;
  std::function<void()> reset;                                 // "既定に戻す(&S)"
  std::function<void(int bar, int position)> remove_from_bar;  // a button dropped on the list
};

class TdlgTool : public QDialog {
  Q_OBJECT

 public:
  explicit TdlgTool(ToolbarSetupHooks hooks, QWidget* parent = nullptr);

  // Greys the rows of placed commands again (after a bar changed).
  void RefreshRows();
  QListWidget& list() { return *list_; }
  // The catalogue number of a row.
  int NumberAt(int row) const;

 protected:
  // The window is moved by dragging its surface as well as its title.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  ToolbarSetupHooks hooks_;
  QPoint grip_;  // where the surface was taken, relative to the window
  QListWidget* list_ = nullptr;
};

}  // namespace qzarn::ui
