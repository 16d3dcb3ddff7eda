#pragma once
// One program per user session: a second start hands its documents to the
// running program over a local socket in the user's private runtime folder
// (mode 0700, so no other user can reach it) instead of opening a second
// window. The running program accepts only absolute paths of existing ".qzl"
// files; anything else in a message is dropped.
//
// A message is the paths as UTF-8, one per line, ended by closing the
// connection. An empty message only brings the running window to the front.

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class QLocalServer;

namespace qzarn::shell {

// The socket's path inside the private folder.
QString InstanceSocketPath(const QString& private_folder);

// The paths of a message the running program will open, in order.
QStringList AcceptedPaths(const QByteArray& message);

// Hands the paths (made absolute) to a running program; false when none
// answers within the timeout.
bool HandToRunningProgram(const QString& socket_path, const QStringList& paths,
                          int timeout_ms = 1000);

class InstanceServer final : public QObject {
  Q_OBJECT

 public:
  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;

  // Listens on the path, taking over a socket file that no program answers
  // on any more; false (with the reason) when it cannot.
  bool Listen(const QString& socket_path, QString* error = nullptr);

 signals:
  // Another start asked for these documents (possibly none: show yourself).
  void openRequested(const QStringList& paths);

 private:
  void Accept();
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace qzarn::shell
