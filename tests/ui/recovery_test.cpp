// Work that survives the program's death: a real qzarn is killed with unsaved
// changes on two screens (one after a snapshot, one that took none), and the
// next start offers them (also when the snapshots in memory were lost with the
// power), restores them as they were or removes them, and leaves a second
// running program's files alone.
#include "document/recovery.h"
#include "document/document_file_format.h"
#include "ui/main_window_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <map>

namespace qzarn::shell {
namespace {

const QString kExamples = QStringLiteral(QZARN_SOURCE_DIR "/examples/");

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A screen's document as the file at `path` holds it, written under the dump's name (a document
// file carries its own name).
QByteArray Plain(const Screen& s) {
  SaveOptions plain;
  plain.compressed = false;
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!WriteDocumentBytes(s, "screen.qzl", plain, bytes, error)) return {};
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

// A state file as the dump would hold it: a document file carries its own name after the
// 48-byte header, the only part that differs between two files of the same screen.
QByteArray StateBytes(const std::string& path) {
  QByteArray bytes = ReadAll(QString::fromStdString(path));
  const qsizetype name = 48, size = static_cast<qsizetype>(docfile::kFileNameFieldSize);
  if (bytes.size() < name + size) return {};
  QByteArray field(size, '\0');
  field[0] = 10;
  field.replace(1, 10, "screen.qzl");
  bytes.replace(name, size, field);
  return bytes;
}

// Waits up to `ms` for the condition, letting time pass in small steps.
template <typename Condition>
bool WaitFor(Condition condition, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > ms) return false;
    QThread::msleep(50);
  }
  return true;
}

class RecoveryTest : public MainWindowTest {
 protected:
  // The folders a program started with XDG_STATE_HOME=<temp>/state uses.
  ShellOptions Options() {
    ShellOptions o = MainWindowTest::Options();
    o.recovery_folder = (temp_.path() + "/state/qzarn/recovery").toStdString();
    return o;
  }
  QString Undo() { return QString::fromStdString(Options().undo_folder); }
  QString Kept() { return QString::fromStdString(Options().recovery_folder); }

  // What a power cut does to the snapshots kept in memory.
  void LoseMemory() {
    for (const QString& name : QDir(Undo()).entryList(QDir::Files))
      ASSERT_TRUE(QFile::remove(Undo() + "/" + name));
  }

  // The modified screens' records of process `pid` in the recovery folder, by title.
  std::map<QString, RecoveryRecord> RecordsOf(qint64 pid) {
    std::map<QString, RecoveryRecord> records;
    for (const QString& name : QDir(Kept()).entryList(QDir::Files)) {
      long owner = 0;
      if (!TempFolder::IsRecordName(name.toStdString(), &owner) || owner != pid) continue;
      const QByteArray text = ReadAll(Kept() + "/" + name);
      if (auto r = DecodeRecoveryRecord(std::string_view(text.constData(), text.size()));
          r && r->modified)
        records[QString::fromStdString(r->title)] = *r;
    }
    return records;
  }

  // The files of process `pid` in both folders.
  QStringList FilesOf(qint64 pid) {
    QStringList names;
    for (const QString& folder : {Undo(), Kept()})
      for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        long owner = 0;
        const std::string n = name.toStdString();
        if ((TempFolder::IsRecordName(n, &owner) || TempFolder::IsSnapshotName(n, &owner)) &&
            owner == pid)
          names << folder + "/" + name;
      }
    return names;
  }

  // Starts the desktop program on `documents` with the scripted edits; returns once every
  // edited screen's record names a file holding exactly the screen's state. The states as the
  // program held them are in `dump`/screen-N.qzl.
  void Run(QProcess& program, const QStringList& documents, const QString& edits,
           const QString& dump) {
    QDir().mkpath(dump);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), temp_.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), temp_.path() + "/config");
    env.insert(QStringLiteral("QZARN_UNDO_DIR"), Undo());
    env.insert(QStringLiteral("XDG_STATE_HOME"), temp_.path() + "/state");
    env.insert(QStringLiteral("QZARN_RECOVERY_INTERVAL_MS"), QStringLiteral("100"));
    env.insert(QStringLiteral("QZARN_TEST_EDITS"), edits);
    env.insert(QStringLiteral("QZARN_TEST_DUMP"), dump);
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(QZARN_GUI), documents);
    ASSERT_TRUE(program.waitForStarted(10000));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(dump + "/ready"); }, 30000))
        << program.readAllStandardError().toStdString();
    QStringList lessons;
    for (const QString& d : documents)
      if (d.endsWith(QStringLiteral(".qzl"))) lessons << d;
    const qsizetype edited = edits.split(',').size();
    const bool kept = WaitFor(
        [&] {
          const auto records = RecordsOf(program.processId());
          if (static_cast<qsizetype>(records.size()) != edited) return false;
          for (qsizetype i = 0; i < edited; ++i) {
            const QString title = QFileInfo(lessons[i]).completeBaseName();
            if (!records.contains(title)) return false;
            if (StateBytes(records.at(title).state) !=
                ReadAll(dump + QStringLiteral("/screen-%1.qzl").arg(i + 1)))
              return false;
          }
          return true;
        },
        10000);
    ASSERT_TRUE(kept) << "the running program never recorded both states";
  }

  static void Kill(QProcess& program) {
    program.kill();  // SIGKILL: no clean-up runs
    ASSERT_TRUE(program.waitForFinished(10000));
  }

  QStringList Lessons() { return {kExamples + "lines.qzl", kExamples + "circles.qzl"}; }
};

TEST_F(RecoveryTest, RunKilledByAPowerCutIsOfferedOnceAndRestoredByteForByte) {
  const QString dump = temp_.path() + "/dump";
  QProcess program;
  Run(program, Lessons(), QStringLiteral("150!,75"), dump);
  const qint64 dead = program.processId();
  Kill(program);
  LoseMemory();

  const auto start = std::chrono::steady_clock::now();
  MainWindow w(Options());
  w.Start({});
  const auto finished = std::chrono::steady_clock::now();
  ASSERT_EQ(questions_.yes_no_asked.size(), 1u);
  using Ms = std::chrono::duration<double, std::milli>;
  const double to_offer = Ms(questions_.yes_no_when[0] - start).count();
  const double to_restored = Ms(finished - start).count();
  EXPECT_EQ(questions_.yes_no_asked[0], QString::fromUtf8(kRecoverQuestion.data()));

  ASSERT_EQ(w.documents().size(), 2);
  std::size_t compared = 0;
  for (int i = 0; i < 2; ++i) {
    const QString title = QFileInfo(Lessons()[i]).completeBaseName();
    ui::DocumentWindow* found = nullptr;
    for (ui::DocumentWindow* d : w.documents())
      if (d->windowTitle() == title) found = d;
    ASSERT_NE(found, nullptr) << title.toStdString();
    const Screen& s = *found->screen();
    // Unsaved, and 保存 writes where the screen was saved.
    EXPECT_TRUE(s.Modified);
    EXPECT_EQ(QString::fromStdString(s.FilePath), QFileInfo(Lessons()[i]).absoluteFilePath());
    const QByteArray restored = Plain(s);
    const QByteArray expected = ReadAll(dump + QStringLiteral("/screen-%1.qzl").arg(i + 1));
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(restored, expected) << title.toStdString();
    compared += static_cast<std::size_t>(restored.size());
  }
  EXPECT_EQ(w.documents()[0]->screen()->View().Zoom + w.documents()[1]->screen()->View().Zoom,
            150 + 75);
  // The dead run's files are gone; the restored screens' own snapshots are this run's.
  EXPECT_TRUE(FilesOf(dead).isEmpty()) << FilesOf(dead).join(' ').toStdString();
  std::printf("[ recovery ] start to offer %.1f ms, to both restored %.1f ms, %zu bytes compared\n",
              to_offer, to_restored, compared);
}

TEST_F(RecoveryTest, DecliningRemovesTheKilledRunsFilesAndOpensAnEmptyScreen) {
  QProcess program;
  Run(program, Lessons(), QStringLiteral("150!,75"), temp_.path() + "/dump");
  const qint64 dead = program.processId();
  Kill(program);
  // Both folders hold the dead run's files: snapshots in memory, records and copies on disk.
  const QStringList left = FilesOf(dead);
  EXPECT_TRUE(left.filter(Undo() + "/").size() > 0 && left.filter(Kept() + "/").size() > 0)
      << left.join(' ').toStdString();

  questions_.yes = false;
  MainWindow w(Options());
  w.Start({});
  EXPECT_EQ(questions_.yes_no_asked.size(), 1u);
  ASSERT_EQ(w.documents().size(), 1);
  EXPECT_FALSE(w.documents()[0]->screen()->Modified);
  EXPECT_TRUE(w.documents()[0]->screen()->FilePath.empty());
  EXPECT_TRUE(FilesOf(dead).isEmpty());

  // Nothing is left to offer at the next start.
  questions_.yes_no_asked.clear();
  MainWindow again(Options());
  again.Start({});
  EXPECT_TRUE(questions_.yes_no_asked.empty());
}

TEST_F(RecoveryTest, ASecondRunningProgramsFilesAreLeftAlone) {
  // The restricted mode always runs a program of its own, beside the one that dies.
  QProcess live;
  Run(live, {QStringLiteral("webwebweb"), kExamples + "areas.qzl"}, QStringLiteral("130"),
      temp_.path() + "/live");
  const QStringList live_files = FilesOf(live.processId());
  ASSERT_FALSE(live_files.isEmpty());
  QProcess program;
  Run(program, Lessons(), QStringLiteral("150!,75"), temp_.path() + "/dump");
  Kill(program);

  MainWindow w(Options());
  w.Start({});
  EXPECT_EQ(questions_.yes_no_asked.size(), 1u);
  EXPECT_EQ(w.documents().size(), 2);  // the dead run's two screens, not the live one's
  for (ui::DocumentWindow* d : w.documents())
    EXPECT_NE(d->windowTitle(), QStringLiteral("areas"));
  EXPECT_EQ(FilesOf(live.processId()), live_files);
  Kill(live);
}

}  // namespace
}  // namespace qzarn::shell
