#pragma once
// The help window: the program's Japanese help pages, one per help context
// number, shown in a browser window that lives for the whole run. Dialogs open
// their page through ShowHelpTopic; the Help menu opens the contents.
//
// Pages are HTML files compiled into the program as resources under
// ":/help/<context>.html" (from resources/help/), plus ":/help/index.html".

#include <functional>

#include <QDialog>
#include <QString>
#include <QUrl>

class QTextBrowser;
class QLineEdit;
class QListWidget;

namespace qzarn::ui {

// The resource address of the page of a help context ("qrc:/help/1002.html").
QUrl HelpPageUrl(int context);
// Whether the program carries a page for the context.
bool HasHelpPage(int context);

class HelpWindow final : public QDialog {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the page of the context (the contents when there is none) and brings
  // the window to the front.
  void ShowTopic(int context);
  void ShowContents();
  // The contents with the cursor in the search field ("ﾄﾋﾟｯｸの検索").
  void ShowSearch();
  // What a click on a link does: a page of the handbook is shown, a web or
  // mail address goes to the desktop, a lesson sheet ("name.qzl") is opened
  // in the program from the gallery folder.
  void FollowLink(const QUrl& link);
  // The address of the page shown.
  QUrl currentPage() const;
  QTextBrowser& browser() { return *browser_; }

 private:
  void Search(const QString& words);

  QTextBrowser* browser_ = nullptr;
  QLineEdit* search_ = nullptr;
  QListWidget* results_ = nullptr;
};

// The main window that owns the run's help window.
void SetHelpWindowOwner(QWidget* owner);
// Opens a document in the program (the main window's open command); without
// one, links to lesson sheets do nothing.
using DocumentOpener = std::function<void(const QString& path)>;
void SetHelpDocumentOpener(DocumentOpener opener);
// The folder the handbook's lesson-sheet links open documents from.
QString HelpGalleryFolder();
// The run's help window, made on first use.
HelpWindow& ProgramHelpWindow();
// Opens the page of the context in the run's help window.
void ShowHelpTopic(int context);
// Opens the contents of the run's help window for a search.
void ShowHelpSearch();

// The help context numbers the windows of the program open.
inline constexpr int kHelpContents = 0;
inline constexpr int kQuickLesson = 3000;

}  // namespace qzarn::ui
