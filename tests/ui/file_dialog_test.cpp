// The program's file dialogs: every part of Qt's dialog has a name a screen
// reader can say, and a name typed where the keyboard is comes back to the
// caller as the path in the folder shown.
#include "ui/file_dialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <set>

#include "ui/accessible_walk.h"

namespace qzarn::ui {
namespace {

void CollectNames(QAccessibleInterface* node, std::set<QString>& names, int depth = 0) {
  if (node == nullptr || !node->isValid() || depth > 30) return;
  names.insert(node->text(QAccessible::Name));
  for (int i = 0; i < node->childCount(); ++i)
    CollectNames(node->child(i), names, depth + 1);
}

TEST(FileDialogTest, EveryPartIsNamedAndATypedNameIsTheAnswer) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  QFile existing(folder.filePath(QStringLiteral("lesson.qzl")));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  struct Case {
    const char* what;
    FileDialogSpec spec;
    QString typed;
    QString answer;
  };
  const QString dir = folder.path();
  const auto spec = [](const char* title, const QString& start, const char* filters, bool save) {
    FileDialogSpec s;
    s.title = QString::fromUtf8(title);
    s.start = start;
    s.filters = QString::fromUtf8(filters);
    s.save = save;
    return s;
  };
  const Case cases[] = {
      {"save a picture",
       spec("ｲﾒｰｼﾞとして保存", dir + QStringLiteral("/画面1.png"), "PNG (*.png);;JPEG (*.jpg)",
            true),
       QStringLiteral("figure"), dir + QStringLiteral("/figure")},
      {"open an existing lesson", spec("ファイルを開く", dir, "Sorvaneファイル (*.qzl)", false),
       QStringLiteral("lesson.qzl"), dir + QStringLiteral("/lesson.qzl")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> faults;
    std::set<QString> names;
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || !dialog->isVisible()) return;
      poll.stop();
      seen = true;
      faults = testing::AccessibleFaults(*dialog);
      CollectNames(QAccessible::queryAccessibleInterface(dialog), names);
      // The file name field has the keyboard when the dialog opens.
      QWidget* focus = dialog->focusWidget();
      if (focus == nullptr) {
        ADD_FAILURE() << "nothing has the keyboard";
        dialog->reject();
        return;
      }
      EXPECT_EQ(focus->accessibleName(), QStringLiteral("ﾌｧｲﾙ名"));
      QTest::keyClick(focus, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(focus, c.typed);
      QTest::keyClick(focus, Qt::Key_Return);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "Enter left the dialog open";
        dialog->reject();
      }
    });
    poll.start();
    const QString answer = AskFilePath(nullptr, c.spec);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(faults.empty()) << [&] {
      std::string all;
      for (const std::string& f : faults)
        all += f + "\n";
      return all;
    }();
    for (const char* part : {"ﾌｧｲﾙ名", "ﾌｧｲﾙの種類", "ﾌｫﾙﾀﾞ", "よく使う場所", "ﾌｧｲﾙの一覧"})
      EXPECT_TRUE(names.contains(QString::fromUtf8(part))) << part;
    EXPECT_EQ(answer, c.answer);
  }
}

}  // namespace
}  // namespace qzarn::ui
