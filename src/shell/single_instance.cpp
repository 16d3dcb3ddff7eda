#include "shell/single_instance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

#include "forms/command_line.h"

namespace qzarn::shell {
namespace {

// More than any real list of documents; a peer sending more is cut off.
constexpr qint64 kMaxMessage = 256 * 1024;

}  // namespace

QString InstanceSocketPath(const QString& private_folder) {
  return QDir(private_folder).filePath(QStringLiteral("instance.socket"));
}

QStringList AcceptedPaths(const QByteArray& message) {
  QStringList accepted;
  for (const QByteArray& line : message.split('\n')) {
    const QString path = QString::fromUtf8(line);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isFile()) continue;
    if (!forms::IsDocumentName(path.toStdString())) continue;
    accepted.push_back(path);
  }
  return accepted;
}

bool HandToRunningProgram(const QString& socket_path, const QStringList& paths, int timeout_ms) {
  QLocalSocket socket;
  socket.connectToServer(socket_path);
  if (!socket.waitForConnected(timeout_ms)) return false;
  QByteArray message;
  for (const QString& path : paths)
    message += QFileInfo(path).absoluteFilePath().toUtf8() + '\n';
  socket.write(message);
  if (!socket.waitForBytesWritten(timeout_ms) && socket.bytesToWrite() > 0) return false;
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeout_ms);
  return true;
}

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent), server_(std::make_unique<QLocalServer>()) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, [this] { Accept(); });
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::Listen(const QString& socket_path, QString* error) {
  // A program answering on the path owns it (listening would replace its
  // socket file). A file nobody answers on was left by a program that ended
  // without removing it: it is ours to replace.
  QLocalSocket probe;
  probe.connectToServer(socket_path);
  const bool answered = probe.waitForConnected(300);
  probe.abort();
  if (answered) {
    if (error != nullptr) *error = QStringLiteral("another program is listening");
    return false;
  }
  QLocalServer::removeServer(socket_path);
  if (server_->listen(socket_path)) return true;
  if (error != nullptr) *error = server_->errorString();
  return false;
}

void InstanceServer::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto message = std::make_shared<QByteArray>();
    connect(socket, &QLocalSocket::readyRead, socket, [socket, message] {
      *message += socket->read(kMaxMessage - message->size());
      if (message->size() >= kMaxMessage) socket->abort();
    });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
      if (message->size() < kMaxMessage) {
        *message += socket->readAll();
        emit openRequested(AcceptedPaths(*message));
      }
    });
  }
}

}  // namespace qzarn::shell
