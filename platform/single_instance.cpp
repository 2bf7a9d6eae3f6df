#include "platform/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace kelvo {

namespace {
constexpr char kRaise[] = "raise\n";
constexpr char kDone[] = "ok\n";
}  // namespace

QString SingleInstance::directory() {
#ifdef _WIN32
  // The temporary folder is the user's own on Windows.
  const QString dir = QDir::tempPath() + QStringLiteral("/kelvo");
#else
  // Per user, and closed to everybody else, so another user can neither take our name nor
  // talk to our socket.
  const QString dir = QDir::tempPath() + QStringLiteral("/kelvo-%1").arg(::getuid());
#endif
  QDir().mkpath(dir);
  QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return dir;
}

QString SingleInstance::socketPath(const QString& name) {
#ifdef _WIN32
  // A named pipe: one namespace for the whole machine, so the user's name is part of it.
  return QStringLiteral("kelvo-%1-%2").arg(qEnvironmentVariable("USERNAME"), name);
#else
  return directory() + QLatin1Char('/') + name + QStringLiteral(".sock");
#endif
}

SingleInstance::SingleInstance(const QString& name, QObject* parent)
    : QObject(parent),
      name_(name),
      lock_(std::make_unique<QLockFile>(directory() + QLatin1Char('/') + name +
                                        QStringLiteral(".lock"))) {
  // No age limit: a copy may run for days. A lock left by a copy that crashed names a dead
  // process, and QLockFile takes it over whatever its age.
  lock_->setStaleLockTime(0);
  primary_ = lock_->tryLock(0);
}

SingleInstance::~SingleInstance() {
  if (server_) server_->close();
}

bool SingleInstance::listen() {
  if (!primary_) return false;
  const QString path = socketPath(name_);
  QLocalServer::removeServer(path);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (!peer->canReadLine()) return;
        const QByteArray line = peer->readLine(64);
        if (line == kRaise) {
          emit raiseRequested();
          peer->write(kDone);
          peer->flush();
        }
        peer->disconnectFromServer();
      });
    }
  });
  return server_->listen(path);
}

bool SingleInstance::raisePrimary(int timeoutMs) {
  if (primary_) return false;
  const QDeadlineTimer deadline(timeoutMs);
  // The first copy may hold the lock a moment before it listens.
  while (!deadline.hasExpired()) {
    QLocalSocket socket;
    socket.connectToServer(socketPath(name_));
    if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
      socket.write(kRaise);
      socket.flush();
      while (!socket.canReadLine() &&
             socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
      }
      return socket.canReadLine() && socket.readLine(64) == kDone;
    }
    QThread::msleep(50);
  }
  return false;
}

}  // namespace kelvo
