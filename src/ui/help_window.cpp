#include "ui/help_window.h"

#include "forms/gallery_folder.h"
#include "settings/settings_locations.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/spoken_name.h"

namespace qzarn::ui {

namespace {

constexpr const char* kResourceFolder = ":/help";

// The intermediate-equation window is context 2100 but its help button asks
// for 2130; both name the one page of that window.
int PageContext(int context) {
  return context == 2130 ? 2100 : context;
}

QString ResourcePath(int context) {
  return context == kHelpContents ? QStringLiteral(":/help/index.html")
                                  : QStringLiteral(":/help/%1.html").arg(PageContext(context));
}

// The text of a page without its markup, for the search.
QString PlainText(const QString& html) {
  static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
  QString text = html;
  text.remove(tags);
  return text;
}

QString PageTitle(const QString& html, const QString& fallback) {
  static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"),
                                        QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = title.match(html);
  return match.hasMatch() ? match.captured(1).trimmed() : fallback;
}

QString ReadPage(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

QUrl HelpPageUrl(int context) {
  return QUrl(QStringLiteral("qrc") + ResourcePath(context));
}

bool HasHelpPage(int context) {
  return QFile::exists(ResourcePath(context));
}

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Sorvane ヘルプ"));
  setAccessibleName(SpokenName(windowTitle()));
  setWindowFlag(Qt::WindowMinMaxButtonsHint);
  resize(760, 560);

  auto* contents = new QPushButton(QStringLiteral("目次(&C)"));
  contents->setAccessibleName(QStringLiteral("目次"));
  auto* back = new QPushButton(QStringLiteral("戻る(&B)"));
  back->setAccessibleName(QStringLiteral("戻る"));
  search_ = new QLineEdit;
  search_->setPlaceholderText(QStringLiteral("検索する言葉"));
  search_->setAccessibleName(QStringLiteral("ﾄﾋﾟｯｸの検索"));
  auto* find = new QPushButton(QStringLiteral("検索(&S)"));
  find->setAccessibleName(QStringLiteral("検索"));

  auto* bar = new QHBoxLayout;
  bar->addWidget(contents);
  bar->addWidget(back);
  bar->addStretch();
  bar->addWidget(new QLabel(QStringLiteral("ﾄﾋﾟｯｸの検索:")));
  bar->addWidget(search_, 1);
  bar->addWidget(find);

  results_ = new QListWidget;
  results_->setAccessibleName(QStringLiteral("検索結果"));
  results_->hide();
  browser_ = new QTextBrowser;
  browser_->setAccessibleName(QStringLiteral("ヘルプの本文"));
  browser_->setOpenLinks(false);  // FollowLink decides
  browser_->setSearchPaths({QString::fromLatin1(kResourceFolder)});

  auto* split = new QSplitter;
  split->addWidget(results_);
  split->addWidget(browser_);
  split->setStretchFactor(1, 3);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(split, 1);

  connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
  connect(find, &QPushButton::clicked, this, [this] { Search(search_->text()); });
  connect(search_, &QLineEdit::returnPressed, this, [this] { Search(search_->text()); });
  connect(results_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { browser_->setSource(item->data(Qt::UserRole).toUrl()); });
  connect(results_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { browser_->setSource(item->data(Qt::UserRole).toUrl()); });
  ShowContents();
  NameParts(*this);
}

void HelpWindow::ShowTopic(int context) {
  browser_->setSource(HasHelpPage(context) ? HelpPageUrl(context) : HelpPageUrl(kHelpContents));
  show();
  raise();
  activateWindow();
}

void HelpWindow::ShowContents() {
  browser_->setSource(HelpPageUrl(kHelpContents));
}

void HelpWindow::ShowSearch() {
  ShowContents();
  show();
  raise();
  activateWindow();
  search_->setFocus();
  search_->selectAll();
}

namespace {
DocumentOpener& Opener() {
  static DocumentOpener opener;
  return opener;
}
}  // namespace

void HelpWindow::FollowLink(const QUrl& link) {
  const QString scheme = link.scheme();
  if (scheme == QStringLiteral("http") || scheme == QStringLiteral("https") ||
      scheme == QStringLiteral("mailto")) {
    QDesktopServices::openUrl(link);
    return;
  }
  const QUrl target = browser_->source().resolved(link);
  if (target.path().endsWith(QStringLiteral(".qzl"), Qt::CaseInsensitive)) {
    const std::optional<std::filesystem::path> document =
        forms::GalleryDocument(HelpGalleryFolder().toStdString(), target.fileName().toStdString());
    if (document.has_value() && Opener()) Opener()(QString::fromStdString(document->string()));
    return;
  }
  browser_->setSource(target);
}

QUrl HelpWindow::currentPage() const {
  return browser_->source();
}

// Lists every page holding all the words (case-insensitive), by title.
void HelpWindow::Search(const QString& words) {
  results_->clear();
  const QStringList terms =
      words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  if (terms.isEmpty()) {
    results_->hide();
    return;
  }
  const QDir folder(QString::fromLatin1(kResourceFolder));
  for (const QString& name :
       folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
    const QString html = ReadPage(folder.filePath(name));
    const QString text = PlainText(html);
    bool all = true;
    for (const QString& term : terms)
      all = all && text.contains(term, Qt::CaseInsensitive);
    if (!all) continue;
    auto* item = new QListWidgetItem(PageTitle(html, name), results_);
    item->setData(Qt::UserRole, QUrl(QStringLiteral("qrc:/help/") + name));
  }
  if (results_->count() == 0) {
    new QListWidgetItem(QStringLiteral("見つかりませんでした"), results_);
  }
  results_->show();
}

namespace {
QPointer<QWidget>& HelpOwner() {
  static QPointer<QWidget> owner;
  return owner;
}
}  // namespace

void SetHelpWindowOwner(QWidget* owner) {
  HelpOwner() = owner;
}

void SetHelpDocumentOpener(DocumentOpener opener) {
  Opener() = std::move(opener);
}

QString HelpGalleryFolder() {
  return QString::fromStdString(
      forms::GalleryFolder(process_environment, current_executable()).string());
}

// The window belongs to the main window so that it goes with it; without one
// (a dialog used alone) it deletes itself when closed.
HelpWindow& ProgramHelpWindow() {
  static QPointer<HelpWindow> window;
  if (window.isNull()) {
    window = new HelpWindow(HelpOwner().data());
    if (HelpOwner().isNull()) window->setAttribute(Qt::WA_DeleteOnClose);
  }
  return *window;
}

void ShowHelpTopic(int context) {
  ProgramHelpWindow().ShowTopic(context);
}

void ShowHelpSearch() {
  ProgramHelpWindow().ShowSearch();
}

}  // namespace qzarn::ui
