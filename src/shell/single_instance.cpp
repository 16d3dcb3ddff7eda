#include "shell/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QVariant>

#include "forms/command_line.h"

namespace qzarn::shell {
namespace {

// More than any real list of documents; a peer sending more is cut off.
constexpr qint64 kMaxMessage = 256 * 1024;
// Marks a connection that was closed for taking too long or sending too much.
constexpr const char* kDropped = "qzarnDropped";

}  // namespace

QString InstanceSocketPath(const QString& private_folder) {
  return QDir(private_folder).filePath(QStringLiteral("instance.socket"));
}

QByteArray InstanceMessage(const QStringList& paths) {
  QByteArray message;
  for (const QString& path : paths) {
    message += path.toUtf8();
    message += '\0';
  }
  return message;
}

QStringList AcceptedPaths(const QByteArray& message) {
  QStringList accepted;
  qsizetype start = 0;
  for (qsizetype end = message.indexOf('\0'); end >= 0;
       start = end + 1, end = message.indexOf('\0', start)) {
    const QByteArray bytes = message.mid(start, end - start);
    const QString path = QString::fromUtf8(bytes);
    // Bytes that are not UTF-8 would name another file once decoded.
    if (path.isEmpty() || path.toUtf8() != bytes) continue;
    const QFileInfo info(path);
    if (!info.isAbsolute() || !info.isFile()) continue;
    if (!forms::IsDocumentName(path.toStdString())) continue;
    accepted.push_back(path);
  }
  return accepted;
}

bool HandToRunningProgram(const QString& socket_path, const QStringList& paths, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(socket_path);
  if (!socket.waitForConnected(timeout_ms)) return false;
  QStringList absolute;
  for (const QString& path : paths)
    absolute.push_back(QFileInfo(path).absoluteFilePath());
  socket.write(InstanceMessage(absolute));
  if (!socket.waitForBytesWritten(timeout_ms) && socket.bytesToWrite() > 0) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeout_ms);
  return true;
}

InstanceServer::InstanceServer(QObject* parent, InstanceLimits limits)
    : QObject(parent), server_(std::make_unique<QLocalServer>()), limits_(limits) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, [this] { Accept(); });
  watch_.setInterval(limits_.relisten_ms);
  connect(&watch_, &QTimer::timeout, this, [this] { KeepListening(); });
}

// The server goes first: its connections are its children, and each one leaves the list of
// held connections as it is destroyed, which must still be there then.
InstanceServer::~InstanceServer() {
  server_.reset();
}

bool InstanceServer::Listen(const QString& socket_path, QString* error) {
  return TryListen(socket_path, error) == ListenOutcome::kListening;
}

InstanceServer::ListenOutcome InstanceServer::TryListen(const QString& socket_path,
                                                        QString* error) {
  // A program answering on the path owns it (listening would replace its
  // socket file). A file nobody answers on was left by a program that ended
  // without removing it: it is ours to replace.
  QLocalSocket probe;
  probe.connectToServer(socket_path);
  const bool answered = probe.waitForConnected(300);
  probe.abort();
  if (answered) {
    if (error != nullptr) *error = QStringLiteral("another program is listening");
    return ListenOutcome::kTaken;
  }
  QLocalServer::removeServer(socket_path);
  if (server_->listen(socket_path)) {
    path_ = socket_path;
    watch_.start();
    return ListenOutcome::kListening;
  }
  if (error != nullptr) *error = server_->errorString();
  return ListenOutcome::kFailed;
}

// A failed accept (no file descriptor left) makes the local server close for good; once
// descriptors are free again the program listens again, unless another program took over.
void InstanceServer::KeepListening() {
  if (path_.isEmpty() || server_->isListening()) return;
  // Another program answering there now is the running program: probing it again would
  // bring its window to the front every time.
  if (TryListen(path_, nullptr) == ListenOutcome::kTaken) {
    path_.clear();
    watch_.stop();
  }
}

void InstanceServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    // The oldest connection gives way: a start hands its paths over in moments, so the one
    // that has waited longest is the likeliest to be idle.
    if (held_.size() >= static_cast<std::size_t>(limits_.max_clients)) Drop(held_.front());
    held_.push_back(socket);
    connect(socket, &QObject::destroyed, this,
            [this, socket] { std::erase(held_, static_cast<QObject*>(socket)); });
    auto message = std::make_shared<QByteArray>();
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, socket] { Drop(socket); });
    deadline->start(limits_.client_ms);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, message] {
      *message += socket->read(kMaxMessage - message->size());
      if (message->size() >= kMaxMessage) Drop(socket);
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
      socket->deleteLater();
      if (socket->property(kDropped).toBool()) return;
      socket->setProperty(kDropped, true);
      *message += socket->read(kMaxMessage - message->size());
      if (message->size() < kMaxMessage) emit openRequested(AcceptedPaths(*message));
    });
  }
  KeepListening();
}

// Closes a connection without opening anything it sent.
void InstanceServer::Drop(QObject* client) {
  auto* socket = qobject_cast<QLocalSocket*>(client);
  std::erase(held_, client);
  if (socket == nullptr || socket->property(kDropped).toBool()) return;
  socket->setProperty(kDropped, true);
  socket->abort();
  socket->deleteLater();
}

}  // namespace qzarn::shell
