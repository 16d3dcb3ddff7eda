#include "ui/equation_window.h"

#include <algorithm>

#include "expr/engine.h"
#include "ui/document_window.h"
#include "ui/function_catalogue_dialog.h"
#include "ui/help_window.h"
#include "ui/property_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

// The grid at the first opening of a run, and the smallest window.
constexpr int kFirstGridWidth = 452;
constexpr int kFirstGridHeight = 364;
constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 250;
constexpr int kRowHeight = 19;  // 18 rows in the first grid below its heading
constexpr int kNumberWidth = 36;
constexpr int kNameWidth = 44;
constexpr int kSignWidth = 16;
constexpr int kCatalogueWidth = 18;

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

template <class W>
W* Named(W* w, const QString& name) {
  w->setAccessibleName(SpokenName(name));
  return w;
}

// An editor takes no text by dragging or through a context menu: what reaches
// it goes through the key filter or the filtered paste.
void Guard(QLineEdit& editor) {
  editor.setDragEnabled(false);
  editor.setAcceptDrops(false);
  editor.setContextMenuPolicy(Qt::NoContextMenu);
}

}  // namespace

TdlgEquation::TdlgEquation(ExprEngine& engine, DocumentQuestions& questions, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), engine_(engine), questions_(questions) {
  setObjectName(QStringLiteral("dlgEquation"));
  setWindowTitle(QStringLiteral("中間式"));
  setAccessibleName(QStringLiteral("中間式"));
  setMinimumSize(kMinimumWidth, kMinimumHeight);

  grid_ = Named(new QTableWidget(kEquationGridRows, 4, this), QStringLiteral("中間式の一覧"));
  grid_->setObjectName(QStringLiteral("oList"));
  grid_->setHorizontalHeaderLabels(
      {QStringLiteral(" No."), QStringLiteral("変 数"), QString(), QStringLiteral("数 式")});
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->horizontalHeader()->setSectionsClickable(false);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setTabKeyNavigation(false);
  for (int r = 0; r < kEquationGridRows; ++r) {
    auto* number = new QTableWidgetItem(Q(EquationRowNumber(r + 1)));
    number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    number->setFlags(Qt::ItemIsEnabled);
    grid_->setItem(r, kEquationNumberColumn, number);
    grid_->setItem(r, kEquationNameColumn, new QTableWidgetItem);
    auto* sign = new QTableWidgetItem(QStringLiteral("="));
    sign->setTextAlignment(Qt::AlignCenter);
    sign->setFlags(Qt::ItemIsEnabled);
    grid_->setItem(r, kEquationSignColumn, sign);
    grid_->setItem(r, kEquationTextColumn, new QTableWidgetItem);
  }

  QWidget* surface = grid_->viewport();
  name_ = Named(new QComboBox(surface), QStringLiteral("変数"));
  name_->setObjectName(QStringLiteral("IndexV"));
  name_->setEditable(true);
  name_->setInsertPolicy(QComboBox::NoInsert);
  name_->setCompleter(nullptr);
  name_->setMaxVisibleItems(12);
  for (const std::string& n : EquationVariableNames())
    name_->addItem(Q(n));
  Guard(*name_->lineEdit());
  text_ = Named(new QLineEdit(surface), QStringLiteral("数式"));
  text_->setObjectName(QStringLiteral("EditV"));
  text_->setMaxLength(kEquationTextMaxLength);
  Guard(*text_);
  catalogue_ = Named(new QToolButton(surface), QStringLiteral("▲"));
  catalogue_->setObjectName(QStringLiteral("BitBtn2"));
  catalogue_->setText(QStringLiteral("▲"));
  catalogue_->setFocusPolicy(Qt::NoFocus);
  ConnectFunctionCatalogueButton(*catalogue_, *text_, FunctionCatalogueWindow());
  // An editable combo box keeps the focus and hands keys to its line edit
  // directly, past any filter there: the name's keys are caught on the box.
  for (QObject* editor : {static_cast<QObject*>(name_), static_cast<QObject*>(name_->lineEdit()),
                          static_cast<QObject*>(text_)})
    editor->installEventFilter(this);
  connect(name_->lineEdit(), &QLineEdit::textEdited, this,
          [this] { SanitiseEditor(*name_->lineEdit(), kEquationNameColumn); });
  connect(text_, &QLineEdit::textEdited, this,
          [this] { SanitiseEditor(*text_, kEquationTextColumn); });

  apply_ = Named(new QPushButton(QStringLiteral("適用(&A)"), this), QStringLiteral("適用(&A)"));
  close_ = Named(new QPushButton(QStringLiteral("閉じる(&C)"), this), QStringLiteral("閉じる(&C)"));
  help_ = Named(new QPushButton(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
  up_ = Named(new QToolButton(this), QStringLiteral("列の上移動(Ctrl+↑)"));
  up_->setObjectName(QStringLiteral("SpeedUp"));
  up_->setArrowType(Qt::UpArrow);
  up_->setToolTip(QStringLiteral("列の上移動(Ctrl+↑)"));
  down_ = Named(new QToolButton(this), QStringLiteral("列の下移動(Ctrl+↓)"));
  down_->setObjectName(QStringLiteral("SpeedDown"));
  down_->setArrowType(Qt::DownArrow);
  down_->setToolTip(QStringLiteral("列の下移動(Ctrl+↓)"));
  insert_ =
      Named(new QPushButton(QStringLiteral("列挿入(&I)"), this), QStringLiteral("列挿入(&I)"));
  insert_->setObjectName(QStringLiteral("BtnInsert"));
  delete_ =
      Named(new QPushButton(QStringLiteral("列削除(&D)"), this), QStringLiteral("列削除(&D)"));
  delete_->setObjectName(QStringLiteral("btnDelete"));
  for (QWidget* b :
       std::initializer_list<QWidget*>{apply_, close_, help_, up_, down_, insert_, delete_})
    b->setFocusPolicy(Qt::NoFocus);  // the focus stays in the editor

  auto* moves = new QHBoxLayout;
  moves->setSpacing(4);
  moves->addWidget(up_);
  moves->addWidget(down_);
  auto* buttons = new QVBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 10);
  buttons->setSpacing(4);
  buttons->addWidget(apply_);
  buttons->addWidget(close_);
  buttons->addSpacing(8);
  buttons->addWidget(help_);
  buttons->addStretch();
  buttons->addLayout(moves);
  buttons->addWidget(insert_);
  buttons->addWidget(delete_);
  auto* body = new QHBoxLayout(this);
  body->setContentsMargins(0, 0, 6, 0);
  body->setSpacing(6);
  body->addWidget(grid_, 1);
  body->addLayout(buttons);

  connect(apply_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(close_, &QPushButton::clicked, this, &TdlgEquation::CancelBtnClick);
  connect(help_, &QPushButton::clicked, this, [] { ShowHelpTopic(kEquationHelpButtonContext); });
  connect(up_, &QToolButton::clicked, this, &TdlgEquation::SpeedUpClick);
  connect(down_, &QToolButton::clicked, this, &TdlgEquation::SpeedDownClick);
  connect(insert_, &QPushButton::clicked, this, &TdlgEquation::BtnInsertClick);
  connect(delete_, &QPushButton::clicked, this, &TdlgEquation::BtnDeleteClick);
  connect(grid_, &QTableWidget::currentCellChanged, this,
          [this](int row, int column) { GridCellChanged(row, column); });
  connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { PlaceEditors(); });

  // The first opening of a run: the grid at its first size, centred on the desktop.
  const int button_column = buttons->sizeHint().width() + body->spacing() + 6;
  resize(kFirstGridWidth + button_column, kFirstGridHeight);
  if (const QScreen* display = QGuiApplication::primaryScreen())
    last_geometry_ = QRect(display->availableGeometry().center() - rect().center(), size());
  ShowRows();
  ShowCurrentCell(false);
  NameParts(*this);
}

Screen* TdlgEquation::screen() const {
  return window_ ? window_->screen() : nullptr;
}

QLineEdit& TdlgEquation::currentEditor() {
  return form_.current_column() == kEquationNameColumn ? *name_->lineEdit() : *text_;
}

// ---- Following the screens -----------------------------------------------------

void TdlgEquation::OpenFor(DocumentWindow* window) {
  offered_ = window;
  if (window == nullptr || window->screen() == nullptr) return;
  if (isVisible() && window != window_.data() && screen() != nullptr && !OKBtnClick()) {
    raise();
    return;
  }
  if (!isVisible()) setGeometry(last_geometry_);
  Take(window);
  show();
  raise();
  activateWindow();
  ShowCurrentCell(true);
}

void TdlgEquation::ActiveScreenChanged(DocumentWindow* window) {
  if (syncing_) return;
  const bool changed = window != offered_.data();
  offered_ = window;
  if (window == nullptr || window->screen() == nullptr) {
    if (screen() == nullptr) {
      // The shown screen is gone and nothing took its place.
      window_ = nullptr;
      hide();
    }
    return;
  }
  if (!isVisible()) return;
  if (window == window_.data()) {
    ShownScreenChanged();
    return;
  }
  // A closed screen is never applied to: the new one is simply taken.
  if (screen() == nullptr) {
    Take(window);
    return;
  }
  if (!changed) return;
  syncing_ = true;
  const bool left = OKBtnClick();
  syncing_ = false;
  if (left) Take(window);
}

void TdlgEquation::Take(DocumentWindow* window) {
  window_ = window;
  disconnect(title_follower_);
  if (window != nullptr)
    title_follower_ =
        connect(window, &QWidget::windowTitleChanged, this, [this] { ShowCaption(); });
  if (Screen* s = screen()) form_.Load(*s);
  ShowCaption();
  NoteLoaded();
  ShowRows();
  grid_->scrollToTop();
  ShowCurrentCell(isVisible());
}

void TdlgEquation::ShowCaption() {
  if (window_ && screen() != nullptr)
    setWindowTitle(Q(EquationCaption(window_->windowTitle().toStdString())));
}

void TdlgEquation::NoteLoaded() {
  const Screen* s = screen();
  loaded_screen_ = s;
  loaded_equations_.clear();
  if (s == nullptr) return;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&s->Equations);
  loaded_equations_.assign(bytes, bytes + sizeof(s->Equations));
}

void TdlgEquation::ShownScreenChanged() {
  const Screen* s = screen();
  if (s == nullptr) return;
  ShowCaption();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&s->Equations);
  const bool same = s == loaded_screen_ && loaded_equations_.size() == sizeof(s->Equations) &&
                    std::equal(loaded_equations_.begin(), loaded_equations_.end(), bytes);
  // Rows typed but not applied go with the equations they were typed over.
  if (!same) Take(window_);
}

// ---- Apply and close ---------------------------------------------------------------

bool TdlgEquation::OKBtnClick() {
  CommitEditor();
  Screen* s = screen();
  if (s == nullptr) return false;
  if (const std::optional<EquationFailure> failure = form_.Apply(*s, engine_)) {
    ShowRows();
    ShowCurrentCell(true);
    questions_.ShowError(this, QString::fromUtf8(failure->message));
    currentEditor().setFocus();
    return false;
  }
  ShowCaption();
  NoteLoaded();
  ShowRows();
  grid_->scrollToTop();
  ShowCurrentCell(isVisible());
  DocumentWindow* shown = window_;
  shown->RefreshScreen();
  if (applied) applied(*shown);
  return true;
}

void TdlgEquation::CancelBtnClick() {
  form_.ClearApplied();
  // Without a screen there is nothing to keep the window open for.
  if (screen() == nullptr || OKBtnClick()) hide();
}

void TdlgEquation::closeEvent(QCloseEvent* event) {
  // The close box closes as "閉じる(&C)" does: only after a successful apply.
  form_.ClearApplied();
  if (screen() != nullptr && !OKBtnClick()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TdlgEquation::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) last_geometry_ = geometry();
  QWidget::hideEvent(event);
}

// ---- Rows --------------------------------------------------------------------------

void TdlgEquation::BtnInsertClick() {
  CommitEditor();
  form_.InsertRow();
  ShowRows();
  ShowCurrentCell(true);
}

void TdlgEquation::BtnDeleteClick() {
  CommitEditor();
  form_.DeleteRow();
  ShowRows();
  ShowCurrentCell(true);
}

void TdlgEquation::SpeedUpClick() {
  CommitEditor();
  form_.Move(EquationMove::kRowUp);
  ShowRow(form_.current_row());
  ShowRow(form_.current_row() + 1);
  ShowCurrentCell(true);
}

void TdlgEquation::SpeedDownClick() {
  CommitEditor();
  form_.Move(EquationMove::kRowDown);
  ShowRow(form_.current_row() - 1);
  ShowRow(form_.current_row());
  ShowCurrentCell(true);
}

void TdlgEquation::ShowRows() {
  for (int r = 1; r <= kEquationGridRows; ++r)
    ShowRow(r);
}

void TdlgEquation::ShowRow(int row) {
  if (row < 1 || row > kEquationGridRows) return;
  grid_->item(row - 1, kEquationNameColumn)->setText(Q(form_.row(row).name));
  grid_->item(row - 1, kEquationTextColumn)->setText(Q(form_.row(row).text));
}

// ---- The editors -------------------------------------------------------------------

void TdlgEquation::CommitEditor() {
  const int row = form_.current_row();
  const int column = form_.current_column();
  form_.SetCell(row, column, currentEditor().text().toStdString());
  ShowRow(row);
}

void TdlgEquation::ShowCurrentCell(bool focus) {
  const int row = form_.current_row();
  const int column = form_.current_column();
  {
    const QSignalBlocker quiet(grid_);
    grid_->setCurrentCell(row - 1, column);
  }
  grid_->scrollToItem(grid_->item(row - 1, column));
  // The columns fit the width: the number and name columns stay in view.
  grid_->horizontalScrollBar()->setValue(0);
  const QString text = Q(form_.Cell(row, column));
  if (column == kEquationNameColumn) {
    const QSignalBlocker quiet(name_);
    name_->setCurrentIndex(-1);
    name_->setEditText(text);
  } else {
    text_->setText(text);
  }
  PlaceEditors();
  if (focus) {
    QLineEdit& editor = currentEditor();
    editor.setFocus();
    editor.deselect();
    editor.setCursorPosition(static_cast<int>(editor.text().size()));
  }
}

void TdlgEquation::PlaceEditors() {
  const int row = form_.current_row() - 1;
  const bool name = form_.current_column() == kEquationNameColumn;
  const QRect cell = grid_->visualRect(grid_->model()->index(row, form_.current_column()));
  // An editor is shown only while its row is scrolled into view.
  const bool visible = cell.isValid() && grid_->viewport()->rect().contains(cell.center());
  name_->setVisible(visible && name);
  text_->setVisible(visible && !name);
  catalogue_->setVisible(visible && !name);
  if (!visible) return;
  if (name) {
    name_->setGeometry(cell);
  } else {
    text_->setGeometry(cell.adjusted(0, 0, -kCatalogueWidth, 0));
    catalogue_->setGeometry(cell.right() - kCatalogueWidth + 1, cell.top(), kCatalogueWidth,
                            cell.height());
  }
}

void TdlgEquation::GoTo(int row, int column) {
  CommitEditor();
  form_.MoveTo(row, column);
  ShowCurrentCell(true);
}

void TdlgEquation::GridCellChanged(int row, int column) {
  if (row < 0) return;
  GoTo(row + 1, column);
}

void TdlgEquation::SanitiseEditor(QLineEdit& editor, int column) {
  // Text that arrived around the key filter (the input method, the selection
  // clipboard's middle button) is held to the same characters.
  const QString kept = Q(FilterEquationText(column, editor.text().toStdString()));
  if (kept == editor.text()) return;
  const int caret = std::min(editor.cursorPosition(), static_cast<int>(kept.size()));
  editor.setText(kept);
  editor.setCursorPosition(caret);
}

bool TdlgEquation::eventFilter(QObject* watched, QEvent* event) {
  const bool is_name = watched == name_ || watched == name_->lineEdit();
  if (!is_name && watched != text_) return QWidget::eventFilter(watched, event);
  QLineEdit& editor = is_name ? *name_->lineEdit() : *text_;
  const int column = is_name ? kEquationNameColumn : kEquationTextColumn;
  if (event->type() == QEvent::ShortcutOverride) {
    // Every Ctrl combination belongs to the window, not to the editor's own
    // shortcuts (select all, undo, paste unfiltered).
    if (static_cast<QKeyEvent*>(event)->modifiers() & Qt::ControlModifier) {
      event->accept();
      return true;
    }
    return false;
  }
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  return EditorKey(editor, column, *static_cast<QKeyEvent*>(event));
}

bool TdlgEquation::EditorKey(QLineEdit& editor, int column, QKeyEvent& key) {
  if (key.modifiers() & Qt::ControlModifier) return EditorControlKey(editor, column, key.key());
  const auto go = [&](EquationMove m) {
    const int row = form_.current_row();
    const int before = form_.current_column();
    CommitEditor();
    if (!form_.Move(m, editor.cursorPosition(), static_cast<int>(editor.text().size())))
      return false;
    if (row != form_.current_row() || before != form_.current_column()) ShowCurrentCell(true);
    return true;
  };
  switch (key.key()) {
    case Qt::Key_Up:
      return go(EquationMove::kUp);
    case Qt::Key_Down:
      return go(EquationMove::kDown);
    case Qt::Key_Left:
      return go(EquationMove::kLeft);
    case Qt::Key_Right:
      if (go(EquationMove::kRight)) {
        currentEditor().setCursorPosition(0);
        return true;
      }
      return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter ends the entry: the cell keeps what was typed.
      CommitEditor();
      return true;
    default:
      break;
  }
  const QString typed = key.text();
  if (typed.isEmpty()) return false;
  const EquationKey filtered = FilterEquationKey(column, typed.at(0).unicode());
  switch (filtered.action) {
    case EquationKeyAction::kPass:
      return false;
    case EquationKeyAction::kIgnore:
      return true;
    case EquationKeyAction::kToExpression:
      GoTo(form_.current_row(), kEquationTextColumn);
      return true;
    case EquationKeyAction::kInsert:
      break;
  }
  // The name takes at most two typed characters (a longer one can come only
  // from the clipboard, and the apply reports it).
  if (column == kEquationNameColumn &&
      editor.text().size() - editor.selectedText().size() >= kEquationNameMaxLength)
    return true;
  editor.insert(QString(QChar(static_cast<char16_t>(filtered.character))));
  return true;
}

bool TdlgEquation::EditorControlKey(QLineEdit& editor, int column, int key) {
  switch (key) {
    case Qt::Key_Up:
      SpeedUpClick();
      break;
    case Qt::Key_Down:
      SpeedDownClick();
      break;
    case Qt::Key_I:
      BtnInsertClick();
      break;
    case Qt::Key_D:
      BtnDeleteClick();
      break;
    case Qt::Key_C:
    case Qt::Key_X:
      QGuiApplication::clipboard()->setText(editor.text());
      if (key == Qt::Key_X) editor.clear();
      break;
    case Qt::Key_V:
      if (const std::optional<std::string> pasted =
              EquationPasteText(column, QGuiApplication::clipboard()->text().toStdString()))
        editor.setText(Q(*pasted));
      else
        QApplication::beep();  // nothing the document could store as written
      break;
    default:
      break;  // other Ctrl combinations do not reach the editor
  }
  return true;
}

void TdlgEquation::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitColumns();
  PlaceEditors();
}

void TdlgEquation::FitColumns() {
  grid_->setColumnWidth(kEquationNumberColumn, kNumberWidth);
  grid_->setColumnWidth(kEquationNameColumn, kNameWidth);
  grid_->setColumnWidth(kEquationSignColumn, kSignWidth);
  const int rest = grid_->width() - kNumberWidth - kNameWidth - kSignWidth -
                   grid_->verticalScrollBar()->sizeHint().width() - 8;
  grid_->setColumnWidth(kEquationTextColumn, std::max(40, rest));
}

}  // namespace qzarn::ui
