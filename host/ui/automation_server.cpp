#include "host/ui/automation_server.h"

#include "platform/automation_wire.h"

#include <QCborArray>
#include <QCborMap>
#include <QLocalSocket>
#include <QPointer>

#include <map>
#include <memory>

namespace kelvo::host {

namespace {

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

QCborMap failure(qint64 id, const char* kind, const std::string& message) {
  QCborMap r;
  r.insert(QStringLiteral("id"), id);
  r.insert(QStringLiteral("ok"), false);
  r.insert(QStringLiteral("kind"), QString::fromLatin1(kind));
  r.insert(QStringLiteral("message"), QString::fromStdString(message));
  return r;
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
    if (error) *error = QStringLiteral("Another drawing host is already serving %1 for this user.").arg(progId);
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

void AutomationServer::serve(QLocalSocket* socket) {
  auto session = std::make_shared<Session>();
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  connect(socket, &QLocalSocket::readyRead, this, [this, socket, session] {
    QPointer<QLocalSocket> alive(socket);
    session->buffer += socket->readAll();
    for (;;) {
      std::optional<QCborValue> message;
      try {
        message = wire::takeFrame(session->buffer);
      } catch (const std::invalid_argument&) {
        socket->abort();  // a malformed message ends this connection, not the host
        return;
      }
      if (!message) return;
      const QCborMap m = message->toMap();
      const qint64 id = m.value(QStringLiteral("id")).toInteger();
      const QString op = m.value(QStringLiteral("op")).toString();
      QCborMap reply;
      try {
        cad::Variant result;
        if (op == QLatin1String("connect")) {
          result = application_();
        } else {
          const cad::ObjectRef target = session->object(m.value(QStringLiteral("obj")).toInteger());
          const std::string member = m.value(QStringLiteral("member")).toString().toStdString();
          cad::Args args;
          for (const QCborValue& a : m.value(QStringLiteral("args")).toArray())
            args.push_back(wire::decode(a, [&session](qint64 h) { return session->object(h); }));
          if (op == QLatin1String("call")) result = target->call(member, args);
          else if (op == QLatin1String("get")) result = target->get(member);
          else if (op == QLatin1String("put") && args.size() == 1) target->put(member, args[0]);
          else throw std::invalid_argument("unknown operation");
        }
        reply.insert(QStringLiteral("id"), id);
        reply.insert(QStringLiteral("ok"), true);
        reply.insert(QStringLiteral("result"), wire::encode(result, [&session](const cad::ObjectRef& o) { return session->handleOf(o); }));
      } catch (const cad::EOleException& e) {
        reply = failure(id, "exception", e.what());
      } catch (const cad::EOleSysError& e) {
        reply = failure(id, "syserror", e.what());
      } catch (const cad::EOleError& e) {
        reply = failure(id, "error", e.what());
      } catch (const std::invalid_argument&) {
        socket->abort();
        return;
      } catch (const std::exception& e) {
        reply = failure(id, "exception", e.what());
      }
      // A prompt may have run a nested event loop in which the client went away.
      if (!alive || alive->state() != QLocalSocket::ConnectedState) return;
      socket->write(wire::frame(reply));
      socket->flush();  // answer now, not when the event loop next comes round
    }
  });
}

}  // namespace kelvo::host
