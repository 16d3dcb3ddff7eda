#pragma once
// One program per user session: a second start hands its documents to the
// running program over a local socket in the user's private runtime folder
// (mode 0700, so no other user can reach it) instead of opening a second
// window. The running program accepts only absolute paths of existing ".qzl"
// files; anything else in a message is dropped.
//
// A message is the paths as UTF-8, each followed by a NUL byte (which no path
// can hold, unlike a line break), ended by closing the connection. An empty
// message only brings the running window to the front.
//
// The server holds a bounded number of connections, drops a client that has
// not finished its message within a few seconds, and listens again when the
// system made it stop (an accept that failed for want of file descriptors), so
// idle or hostile clients never turn later starts into second programs.

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

class QLocalServer;

namespace qzarn::shell {

// The socket's path inside the private folder.
QString InstanceSocketPath(const QString& private_folder);

// The message that hands these paths over (as given: make them absolute first).
QByteArray InstanceMessage(const QStringList& paths);

// The paths of a message the running program will open, in order: absolute
// paths of existing document files, each checked again here; an entry the
// connection cut off before its NUL is dropped.
QStringList AcceptedPaths(const QByteArray& message);

// Hands the paths (made absolute) to a running program; false when none
// answers within the timeout.
bool HandToRunningProgram(const QString& socket_path, const QStringList& paths,
                          int timeout_ms = 1000);

struct InstanceLimits {
  int max_clients = 16;    // connections held at once; a further one closes the oldest
  int client_ms = 3000;    // time a client has to send its message and close
  int relisten_ms = 1000;  // how often a server the system stopped tries again
};

class InstanceServer final : public QObject {
  Q_OBJECT

 public:
  explicit InstanceServer(QObject* parent = nullptr, InstanceLimits limits = {});
  ~InstanceServer() override;

  // Listens on the path, taking over a socket file that no program answers
  // on any more; false (with the reason) when it cannot.
  bool Listen(const QString& socket_path, QString* error = nullptr);

  // Connections held now.
  int ClientCount() const { return static_cast<int>(held_.size()); }

 signals:
  // Another start asked for these documents (possibly none: show yourself).
  void openRequested(const QStringList& paths);

 private:
  enum class ListenOutcome { kListening, kTaken, kFailed };
  ListenOutcome TryListen(const QString& socket_path, QString* error);
  void Accept();
  void KeepListening();
  void Drop(QObject* client);
  std::unique_ptr<QLocalServer> server_;
  InstanceLimits limits_;
  QString path_;                // where Listen succeeded
  std::vector<QObject*> held_;  // open connections, oldest first
  QTimer watch_;
};

}  // namespace qzarn::shell
