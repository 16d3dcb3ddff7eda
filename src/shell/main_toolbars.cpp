// The three tool bars of the main window, built from the command catalogue.
// A button triggers the menu's own QAction, so a command has one action
// whether it is reached from the menu, a key or a tool bar; the layouts are
// read from and written to the user settings.
#include "forms/command_catalogue.h"
#include "shell/main_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <span>

#include "ui/spoken_name.h"

namespace qzarn::shell {

namespace {

const char* const kCommandProperty = "qzarnCommand";
// A bar button showing its own entry's picture rather than its action's.
const char* const kIconProperty = "qzarnIcon";

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The commands a drop-down button's menu offers.
std::span<const int> DropDownCommands(int number) {
  static constexpr int kLines[] = {67, 68, 69};
  static constexpr int kCircles[] = {73, 74, 75, 76};
  static constexpr int kParabolas[] = {70, 71, 72};
  static constexpr int kFunctions[] = {77, 78, 79, 80};
  switch (number) {
    case 57:
      return kLines;
    case 58:
      return kCircles;
    case 59:
      return kParabolas;
    case 60:
      return kFunctions;
    default:
      return {};
  }
}

int CommandOf(const QAction* action) {
  const QVariant v = action->property(kCommandProperty);
  return v.isValid() ? v.toInt() : -1;
}

}  // namespace

void MainWindow::BuildToolBars() {
  const char* titles[] = {"標準", "図形", "図形の設定"};
  const char* names[] = {"ToolBar1", "ToolBar2", "ToolBar3"};
  const char* toggles[] = {"M_ToolBar1", "M_ToolBar2", "M_ToolBar3"};
  for (int i = 0; i < forms::kToolbarCount; ++i) {
    QToolBar* bar = addToolBar(QString::fromUtf8(titles[i]));
    tool_bars_[i] = bar;
    bar->setObjectName(QString::fromLatin1(names[i]));
    bar->setAccessibleName(ui::SpokenName(bar->windowTitle()));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setIconSize(QSize(16, 16));
    QAction* toggle = command(QString::fromLatin1(toggles[i]));
    connect(toggle, &QAction::toggled, bar, &QToolBar::setVisible);
    connect(bar, &QToolBar::visibilityChanged, toggle, [toggle, bar] {
      if (!bar->isHidden() != toggle->isChecked()) toggle->setChecked(!bar->isHidden());
    });
    // The pop-up menu of every bar: the three bars, the customisation and
    // the background picture.
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QToolBar::customContextMenuRequested, this,
            [this, bar](const QPoint& at) { ToolbarMenu().exec(bar->mapToGlobal(at)); });
    // Commands are dropped onto the bars from the customisation window.
    bar->setAcceptDrops(true);
    bar->installEventFilter(this);
  }
  toolbar_menu_ = new QMenu(this);
  toolbar_menu_->setObjectName(QStringLiteral("ToolbarMenu"));
  for (const char* name : {"M_ToolBar1", "M_ToolBar2", "M_ToolBar3", "M_ToolBarSetup"})
    toolbar_menu_->addAction(command(QString::fromLatin1(name)));
  toolbar_background_ = toolbar_menu_->addAction(QStringLiteral("ﾂｰﾙﾊﾞｰの背景(&B)"), this,
                                                 [this] { ToolbarBackgroundClick(); });
  toolbar_background_clear_ = toolbar_menu_->addAction(QStringLiteral("ﾂｰﾙﾊﾞｰの背景ｸﾘｱ(&C)"), this,
                                                       [this] { SetToolbarBackground({}, true); });
  // One row per band: the figure and attribute bands are too wide to share one.
  insertToolBarBreak(tool_bars_[1]);
  insertToolBarBreak(tool_bars_[2]);

  zoom_ = new QComboBox(this);
  zoom_->setObjectName(QStringLiteral("ZoomBox"));
  zoom_->setAccessibleName(QStringLiteral("編集画面のズーム"));
  zoom_->setToolTip(QStringLiteral("ズーム"));
  zoom_->setEditable(true);
  zoom_->lineEdit()->setAccessibleName(zoom_->accessibleName());
  for (int percent : {10, 25, 50, 75, 100, 150, 200, 300, 400, 500, 1000})
    zoom_->addItem(ui::ZoomText(percent));
  zoom_->setInsertPolicy(QComboBox::NoInsert);
  // Typed text is taken as typed: the list's inline completion would turn a
  // typed 5 into 50 %, and without it the box ignores Enter on text that is no
  // list entry (any whole number, clamped to 10..1000, is a zoom).
  zoom_->setCompleter(nullptr);
  zoom_->setFixedWidth(forms::CatalogueEntry(16)->Width + 30);
  zoom_->hide();
  connect(zoom_, &QComboBox::textActivated, this, [this] { ZoomBoxEntered(); });
  connect(zoom_->lineEdit(), &QLineEdit::returnPressed, this, [this] { ZoomBoxEntered(); });

  // Tool tips and button texts of the commands, the first entry of an action winning.
  icons_dark_ = BarsAreDark();
  for (const forms::CommandEntry& e : forms::CommandCatalogue()) {
    if (!e.defined() || e.Action.empty()) continue;
    QAction* action = command(Utf8(e.Action));
    if (action == nullptr || action->property(kCommandProperty).isValid()) continue;
    action->setProperty(kCommandProperty, e.Number);
    action->setIconText(Utf8(e.Caption));
    action->setToolTip(Utf8(e.Hint));
    action->setIcon(CommandIconOf(e.Number));
  }
  for (int bar = 1; bar <= forms::kToolbarCount; ++bar)
    for (int number : forms::DefaultToolbarLayout(bar))
      AddCommand(bar, number, -1);
}

void MainWindow::ReinkIconsIfNeeded() {
  const bool dark = BarsAreDark();
  if (dark == icons_dark_) return;
  icons_dark_ = dark;
  // The commands' actions first: a button showing its action takes the action's new icon,
  // and a button with an icon of its own entry is inked after that.
  for (QAction* action : findChildren<QAction*>())
    if (const QVariant number = action->property(kCommandProperty);
        number.isValid() && !action->icon().isNull())
      action->setIcon(CommandIconOf(number.toInt()));
  for (QToolButton* button : findChildren<QToolButton*>())
    if (const QVariant number = button->property(kIconProperty); number.isValid())
      button->setIcon(CommandIconOf(number.toInt()));
}

int MainWindow::ToolbarControlCount(int bar) const {
  return static_cast<int>(tool_bars_[bar - 1]->actions().size());
}

bool MainWindow::CommandPlaced(int number) const {
  for (QToolBar* bar : tool_bars_)
    for (const QAction* a : bar->actions())
      if (CommandOf(a) == number) return true;
  return false;
}

bool MainWindow::AddCommand(int bar, int number, int position) {
  const forms::CommandEntry* e = forms::CatalogueEntry(number);
  if (e == nullptr || bar < 1 || bar > forms::kToolbarCount) return false;
  QToolBar* toolbar = tool_bars_[bar - 1];
  if (ToolbarControlCount(bar) >= forms::kMaxToolbarControls) {
    questions_->ShowError(this, Utf8(forms::kToolbarFullMessage));
    return false;
  }
  // A command has one control; only separators repeat.
  if (number != 0 && CommandPlaced(number)) return false;

  QWidget* control = nullptr;
  if (number == 0) {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedWidth(8);
    line->setEnabled(false);
    control = line;
  } else if (number == 16) {
    auto* holder = new QWidget;
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(zoom_);
    zoom_->show();
    control = holder;
  } else if (e->Kind == forms::CommandKind::kSpin) {
    auto* spin = new QSpinBox;
    spin->setRange(10, 1000);
    spin->setSuffix(QStringLiteral("%"));
    spin->setFixedWidth(e->Width + 20);
    spin->setKeyboardTracking(false);
    connect(spin, &QSpinBox::valueChanged, this, [this](int percent) {
      if (ui::DocumentWindow* w = activeDocument()) w->SetZoom(percent);
    });
    zoom_spin_ = spin;
    control = spin;
  } else if (const auto attribute = forms::AttributeControlOf(number)) {
    control = MakeAttributeControl(*attribute, e->Width);
  } else {
    auto* button = new QToolButton;
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIconSize(QSize(16, 16));
    QAction* action = e->Action.empty() ? nullptr : command(Utf8(e->Action));
    // The palette button cycles standard → user-defined → none; its menu
    // offers the two palettes.
    if (number == 12) action = command(QStringLiteral("sPop_Palette"));
    if (action != nullptr) {
      button->setDefaultAction(action);
      // Several entries share an action (a form chosen from a drop-down); each
      // button shows its own entry's picture.
      button->setIcon(CommandIconOf(number));
      button->setProperty(kIconProperty, number);
    } else {
      button->setText(Utf8(e->Caption));
      button->setIcon(CommandIconOf(number));
      button->setProperty(kIconProperty, number);
      button->setEnabled(false);
    }
    std::vector<QAction*> items;
    if (number == 12) {
      items = {command(QStringLiteral("sPop_Standard")), command(QStringLiteral("sPop_User"))};
    }
    for (int sub : DropDownCommands(number))
      if (const forms::CommandEntry* s = forms::CatalogueEntry(sub))
        items.push_back(command(Utf8(s->Action)));
    if (!items.empty()) {
      auto* menu = new QMenu(button);
      for (QAction* item : items)
        if (item != nullptr) menu->addAction(item);
      button->setMenu(menu);
      button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    control = button;
  }
  control->setObjectName(QStringLiteral("Command%1").arg(number));
  // While the customisation window is open the control is dragged, not used.
  control->installEventFilter(this);
  control->setAccessibleName(ui::SpokenName(Utf8(e->LongName)));
  // The edit of a box that takes typing is what the focus lands on.
  if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr) {
    if (combo->lineEdit() != nullptr) combo->lineEdit()->setAccessibleName(combo->accessibleName());
    combo->view()->setAccessibleName(combo->accessibleName() + QStringLiteral("の一覧"));
  }
  if (!e->Hint.empty() && control->toolTip().isEmpty()) control->setToolTip(Utf8(e->Hint));

  const QList<QAction*> present = toolbar->actions();
  QAction* before = position >= 0 && position < present.size() ? present[position] : nullptr;
  QAction* placed = toolbar->insertWidget(before, control);
  placed->setProperty(kCommandProperty, number);
  return true;
}

void MainWindow::RemoveControl(QToolBar& toolbar, QAction* control) {
  if (CommandOf(control) == 16) {
    // The zoom box outlives its place on a bar.
    zoom_->hide();
    zoom_->setParent(this);
  }
  toolbar.removeAction(control);
  delete control;
}

void MainWindow::ClearToolbar(int bar) {
  QToolBar* toolbar = tool_bars_[bar - 1];
  for (QAction* a : toolbar->actions())
    RemoveControl(*toolbar, a);
}

QMenu& MainWindow::ToolbarMenu() {
  // The background entries need a display of more than 256 colours; clearing
  // needs a picture to clear.
  const bool colours =
      QGuiApplication::primaryScreen() != nullptr && QGuiApplication::primaryScreen()->depth() > 8;
  toolbar_background_->setVisible(colours);
  toolbar_background_clear_->setVisible(colours && !toolbar_bitmap_.isEmpty());
  return *toolbar_menu_;
}

void MainWindow::LoadToolbar(int bar, std::string_view layout) {
  ClearToolbar(bar);
  const forms::ToolbarLoad load = forms::LoadToolbarLayout(bar, layout);
  if (load.reset) questions_->ShowError(this, Utf8(forms::ToolbarResetMessage(bar)));
  for (int number : load.commands)
    AddCommand(bar, number, -1);
  if (load.truncated) questions_->ShowError(this, Utf8(forms::kToolbarFullMessage));
}

std::string MainWindow::SaveToolbar(int bar) const {
  std::vector<int> numbers;
  for (const QAction* a : tool_bars_[bar - 1]->actions())
    if (CommandOf(a) >= 0) numbers.push_back(CommandOf(a));
  return forms::SaveToolbarLayout(numbers);
}

void MainWindow::LoadToolbarsFromSettings() {
  const UserSettings& u = settings_.user();
  LoadToolbar(1, u.tBar1);
  LoadToolbar(2, u.tBar2);
  LoadToolbar(3, u.tBar3);
  const bool visible[] = {u.tBar1_Visible, u.tBar2_Visible, u.tBar3_Visible};
  for (int i = 0; i < forms::kToolbarCount; ++i)
    command(QStringLiteral("M_ToolBar%1").arg(i + 1))->setChecked(visible[i]);
  // A picture that cannot be shown now keeps its path for the next start.
  SetToolbarBackground(QString::fromStdString(u.Bitmap), false);
}

void MainWindow::StoreToolbarsInSettings() {
  UserSettings& u = settings_.user();
  u.tBar1 = SaveToolbar(1);
  u.tBar2 = SaveToolbar(2);
  u.tBar3 = SaveToolbar(3);
  u.tBar1_Visible = command(QStringLiteral("M_ToolBar1"))->isChecked();
  u.tBar2_Visible = command(QStringLiteral("M_ToolBar2"))->isChecked();
  u.tBar3_Visible = command(QStringLiteral("M_ToolBar3"))->isChecked();
  u.Bitmap = toolbar_bitmap_.toStdString();
}

}  // namespace qzarn::shell
