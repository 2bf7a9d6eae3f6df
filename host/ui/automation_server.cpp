#include "host/ui/automation_server.h"

#include "platform/automation_wire.h"
#include "platform/local_peer.h"
#include "platform/single_instance.h"

#include <QCborArray>
#include <QCborMap>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

namespace kelvo::host {

namespace {

constexpr int kFramesAtOnce = 32;
// A client reads each answer before it sends the next call; this much unread is one that does not.
constexpr qint64 kMaxUnreadAnswers = 1 << 20;

}  // namespace

// One client's state: the objects it holds, by handle.
struct Session {
  QByteArray buffer;
  std::map<qint64, cad::ObjectRef> objects;
  std::map<const cad::AutoObject*, qint64> handles;
  qint64 next = 1;

  qint64 handleOf(const cad::ObjectRef& o) {
    const auto it = handles.find(o.get());
    if (it != handles.end()) return it->second;
    objects[next] = o;
    handles[o.get()] = next;
    return next++;
  }
  cad::ObjectRef object(qint64 h) const {
    const auto it = objects.find(h);
    if (it == objects.end()) throw cad::EOleError("The object is not connected to this drawing host");
    return it->second;
  }
};

namespace {

QCborMap failure(qint64 id, const char* kind, const std::string& message) {
  QCborMap r;
  r.insert(QStringLiteral("id"), id);
  r.insert(QStringLiteral("ok"), false);
  r.insert(QStringLiteral("kind"), QString::fromLatin1(kind));
  r.insert(QStringLiteral("message"), QString::fromStdString(message));
  return r;
}

// Takes what has arrived into the buffer in small pieces (a frame is taken off the buffer's front,
// which costs its length), never beyond one whole frame of the largest size. False: nothing more.
bool readMore(QLocalSocket& socket, QByteArray& buffer) {
  const qint64 n = std::min({socket.bytesAvailable(), 4 + wire::kMaxFrame - buffer.size(), qint64{1} << 16});
  if (n <= 0) return false;
  buffer += socket.read(n);
  return true;
}

}  // namespace

AutomationServer::AutomationServer(std::function<cad::ObjectRef()> application, QObject* parent)
    : QObject(parent), application_(std::move(application)) {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = server_.nextPendingConnection()) serve(s);
  });
}

bool AutomationServer::listen(const QString& progId, QString* error) {
  const QString path = wire::socketPath(progId);
  QLocalSocket probe;
  probe.connectToServer(path);
  if (probe.waitForConnected(500)) {
    if (error) *error = QStringLiteral("Другая программа-чертёж уже обслуживает %1 для этого пользователя.").arg(progId);
    return false;
  }
  const QString folder = SingleInstance::directory();
  if (!isPrivateFolder(folder)) {
    if (error) *error = QStringLiteral("Папка %1 для сокета программы принадлежит не только этому пользователю; удалите её и запустите снова.").arg(folder);
    return false;
  }
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(path)) {
    if (error) *error = server_.errorString();
    return false;
  }
  return true;
}

struct AutomationServer::Reply {
  std::optional<QCborMap> message;  // nothing: the connection is to be closed
};

AutomationServer::Reply AutomationServer::answer(Session& session, const QCborValue& message) {
  const QCborMap m = message.toMap();
  qint64 id = 0;
  try {
    id = wire::integerIn(m.value(QStringLiteral("id")));
  } catch (const std::invalid_argument&) {
    return {};
  }
  const QString op = m.value(QStringLiteral("op")).toString();
  QCborMap reply;
  try {
    cad::Variant result;
    if (op == QLatin1String("connect")) {
      result = application_();
    } else {
      const cad::ObjectRef target = session.object(wire::integerIn(m.value(QStringLiteral("obj"))));
      const std::string member = m.value(QStringLiteral("member")).toString().toStdString();
      cad::Args args;
      for (const QCborValue& a : m.value(QStringLiteral("args")).toArray())
        args.push_back(wire::decode(a, [&session](qint64 h) { return session.object(h); }));
      if (op == QLatin1String("call")) result = target->call(member, args);
      else if (op == QLatin1String("get")) result = target->get(member);
      else if (op == QLatin1String("put") && args.size() == 1) target->put(member, args[0]);
      else throw std::invalid_argument("unknown operation");
    }
    reply.insert(QStringLiteral("id"), id);
    reply.insert(QStringLiteral("ok"), true);
    reply.insert(QStringLiteral("result"), wire::encode(result, [&session](const cad::ObjectRef& o) { return session.handleOf(o); }));
  } catch (const cad::EOleException& e) {
    reply = failure(id, "exception", e.what());
  } catch (const cad::EOleSysError& e) {
    reply = failure(id, "syserror", e.what());
  } catch (const cad::EOleError& e) {
    reply = failure(id, "error", e.what());
  } catch (const std::invalid_argument&) {
    return {};
  } catch (const std::exception& e) {
    reply = failure(id, "exception", e.what());
  }
  return {reply};
}

void AutomationServer::serve(QLocalSocket* socket) {
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  if (!peerIsThisUser(socket->socketDescriptor())) {
    socket->abort();  // the folder keeps other users out; this is the second lock
    return;
  }
  // What is read ahead of the frames being answered stays within one frame's size.
  socket->setReadBufferSize(wire::kMaxFrame + 4);
  auto session = std::make_shared<Session>();
  connect(socket, &QLocalSocket::readyRead, this, [this, socket, session] { answerWaiting(socket, session); });
}

void AutomationServer::answerWaiting(QLocalSocket* socket, const std::shared_ptr<Session>& session) {
  QPointer<QLocalSocket> alive(socket);
  for (int n = 0; n < kFramesAtOnce;) {
    std::optional<QCborValue> message;
    try {
      message = wire::takeFrame(session->buffer);
    } catch (const std::invalid_argument&) {
      socket->abort();  // a malformed message ends this connection, not the host
      return;
    }
    if (!message) {
      if (!readMore(*socket, session->buffer)) return;
      continue;
    }
    ++n;
    const Reply reply = answer(*session, *message);
    // A prompt may have run a nested event loop in which the client went away.
    if (!alive || alive->state() != QLocalSocket::ConnectedState) return;
    if (!reply.message) {
      socket->abort();
      return;
    }
    socket->write(wire::frame(*reply.message));
    socket->flush();  // answer now, not when the event loop next comes round
    if (socket->bytesToWrite() > kMaxUnreadAnswers) {
      socket->abort();  // a client that takes no answers would hold them all in the host
      return;
    }
  }
  // More may be waiting: go on once the event loop has been round.
  QTimer::singleShot(0, socket, [this, alive, session] {
    if (alive && alive->state() == QLocalSocket::ConnectedState) answerWaiting(alive, session);
  });
}

}  // namespace kelvo::host
