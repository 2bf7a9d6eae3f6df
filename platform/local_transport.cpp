#include "platform/local_transport.h"

#include "platform/automation_wire.h"
#include "platform/local_peer.h"

#include <QCborArray>
#include <QCborMap>
#include <QLocalSocket>

#include <memory>

namespace kelvo {

namespace {

using cad::EOleError;
using cad::EOleException;
using cad::EOleSysError;

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  bool open(const QString& path) {
    socket_.connectToServer(path);
    // A host of another user would see every designation and answer for the drawing.
    return socket_.waitForConnected(3000) && peerIsThisUser(socket_.socketDescriptor());
  }

  cad::Variant request(QCborMap message);

 private:
  QLocalSocket socket_;
  QByteArray buffer_;
  qint64 nextId_ = 1;
};

class RemoteObject : public cad::AutoObject {
 public:
  RemoteObject(std::shared_ptr<Connection> c, qint64 handle) : c_(std::move(c)), handle_(handle) {}
  qint64 handle() const { return handle_; }
  cad::Variant call(std::string_view m, const cad::Args& args) override { return send("call", m, args); }
  cad::Variant get(std::string_view m) override { return send("get", m, {}); }
  void put(std::string_view m, const cad::Variant& v) override { send("put", m, {v}); }

 private:
  cad::Variant send(const char* op, std::string_view member, const cad::Args& args) {
    QCborArray list;
    for (const auto& a : args)
      list.append(wire::encode(a, [](const cad::ObjectRef& o) -> qint64 {
        auto* r = dynamic_cast<RemoteObject*>(o.get());
        if (!r) throw EOleError("an object of another host cannot be passed to this one");
        return r->handle();
      }));
    QCborMap m;
    m.insert(QStringLiteral("op"), QString::fromLatin1(op));
    m.insert(QStringLiteral("obj"), handle_);
    m.insert(QStringLiteral("member"), QString::fromUtf8(member.data(), static_cast<qsizetype>(member.size())));
    m.insert(QStringLiteral("args"), list);
    return c_->request(m);
  }
  std::shared_ptr<Connection> c_;
  qint64 handle_;
};

cad::Variant Connection::request(QCborMap message) {
  if (socket_.state() != QLocalSocket::ConnectedState) throw EOleSysError("The drawing host is no longer running");
  const qint64 id = nextId_++;
  message.insert(QStringLiteral("id"), id);
  socket_.write(wire::frame(message));
  socket_.flush();
  while (socket_.bytesToWrite() > 0)
    if (!socket_.waitForBytesWritten(30000)) throw EOleSysError("The drawing host does not take the call");
  for (;;) {
    std::optional<QCborValue> reply;
    try {
      reply = wire::takeFrame(buffer_);
    } catch (const std::invalid_argument&) {
      socket_.abort();
      throw EOleError("The drawing host answered something that is not an answer");
    }
    if (reply) {
      const QCborMap r = reply->toMap();
      const QCborValue answered = r.value(QStringLiteral("id"));
      if (!answered.isInteger() || answered.toInteger() != id) continue;
      if (r.value(QStringLiteral("ok")).toBool()) {
        auto self = shared_from_this();
        return wire::decode(r.value(QStringLiteral("result")), [self](qint64 h) -> cad::ObjectRef {
          return std::make_shared<RemoteObject>(self, h);
        });
      }
      const QString kind = r.value(QStringLiteral("kind")).toString();
      const std::string text = r.value(QStringLiteral("message")).toString().toStdString();
      if (kind == QLatin1String("exception")) throw EOleException(text);
      if (kind == QLatin1String("syserror")) throw EOleSysError(text);
      throw EOleError(text);
    }
    // No time limit: the host may be waiting for the user to pick a point. A host that goes
    // away closes the socket, which ends the wait.
    if (!socket_.waitForReadyRead(-1)) {
      if (socket_.state() != QLocalSocket::ConnectedState)
        throw EOleSysError("The drawing host closed the connection");
    }
    buffer_ += socket_.readAll();
  }
}

}  // namespace

int registerLocalTransport() {
  return cad::registerTransport([](std::string_view progId) -> cad::ObjectRef {
    auto c = std::make_shared<Connection>();
    if (!c->open(wire::socketPath(QString::fromUtf8(progId.data(), static_cast<qsizetype>(progId.size())))))
      return nullptr;
    QCborMap hello;
    hello.insert(QStringLiteral("op"), QStringLiteral("connect"));
    return cad::toObject(c->request(hello));
  });
}

}  // namespace kelvo
