// Work that survives the program's death: the start-up offer of what ended
// runs left, and the recovery copies of screens changed without a snapshot.
#include "document/recovery.h"
#include "shell/main_window.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace qzarn::shell {

namespace {

QString Utf8Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int MainWindow::OfferRecovery() {
  if (!session_ || !session_->recovery()) return 0;
  if (recovery_timer_ == nullptr) {
    recovery_timer_ = new QTimer(this);
    connect(recovery_timer_, &QTimer::timeout, this, [this] { KeepRecoveryCopies(); });
    recovery_timer_->start(std::max(50, options_.recovery_interval_ms));
  }
  // The restricted mode is a lesson shown to a class, not the teacher's desk: it asks nothing
  // and leaves what it finds to the next ordinary start.
  if (webMode()) return 0;
  const Leftovers found = session_->leftovers();
  int restored = 0;
  if (!found.screens.empty() && questions_->AskYesNo(this, Utf8Text(kRecoverQuestion))) {
    for (const RecoveryRecord& record : found.screens) {
      auto screen = Screen::Create(NewScreenSettings(), titles_);
      LoadOptions options;
      options.make_record = [this](std::int32_t type) { return defaults_.Record(type); };
      if (!LoadPlainDocument(*screen, record.state, options).ok()) continue;
      screen->Title = record.title;
      // 保存 writes where the lost screen was saved; a never saved screen asks for a name.
      screen->FilePath = record.file_path;
      screen->Modified = true;
      ui::DocumentWindow* window = AddWindow(std::move(screen));
      if (window == nullptr || window->screen() == nullptr) continue;
      // Added windows count as untouched; this one holds work that was never saved.
      window->screen()->Modified = true;
      ++restored;
    }
  }
  // Only now, after the answer, do the ended runs' files go.
  session_->DiscardLeftovers(found);
  return restored;
}

void MainWindow::KeepRecoveryCopies() {
  for (ui::DocumentWindow* w : documents()) {
    std::string error;
    // A copy that cannot be written is tried again at the next tick; the user's work in the
    // window is not affected, so nothing interrupts the lesson.
    if (!w->KeepForRecovery(error))
      ShowStatus(2, QStringLiteral("復元用の控えを書けません: ") + Utf8Text(error));
  }
}

void ApplyScriptedEdits(MainWindow& window, const QString& script, const QString& dump_folder) {
  const QList<ui::DocumentWindow*> screens = window.documents();
  const QStringList steps = script.split(QLatin1Char(','));
  for (qsizetype i = 0; i < steps.size() && i < screens.size(); ++i) {
    QString step = steps[i].trimmed();
    const bool snapshot = step.endsWith(QLatin1Char('!'));
    if (snapshot) step.chop(1);
    bool ok = false;
    const int zoom = step.toInt(&ok);
    if (ok) screens[i]->SetZoom(zoom);
    if (snapshot) screens[i]->M_SaveDoClick();
  }
  if (dump_folder.isEmpty()) return;
  const QDir folder(dump_folder);
  for (qsizetype i = 0; i < screens.size(); ++i) {
    const Screen* screen = screens[i]->screen();
    if (screen == nullptr) continue;
    SaveOptions plain;
    plain.compressed = false;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!WriteDocumentBytes(*screen, "screen.qzl", plain, bytes, error)) continue;
    QFile out(folder.filePath(QStringLiteral("screen-%1.qzl").arg(i + 1)));
    if (out.open(QIODevice::WriteOnly))
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
  QFile ready(folder.filePath(QStringLiteral("ready")));
  if (ready.open(QIODevice::WriteOnly)) ready.write("ready\n");
}

}  // namespace qzarn::shell
