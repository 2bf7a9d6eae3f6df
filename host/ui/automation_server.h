// The drawing host's end of the local automation protocol: serves the object model to every
// client of this user that connects, with object handles per connection that go when the client
// goes. A connection that breaks the protocol, or takes no answers, is closed; the others go on.
#pragma once

#include "cad/automation.h"

#include <QCborValue>
#include <QLocalServer>
#include <QObject>

#include <functional>
#include <memory>

namespace kelvo::host {

class AutomationServer : public QObject {
  Q_OBJECT
 public:
  // `application` makes the root object a client connects to.
  AutomationServer(std::function<cad::ObjectRef()> application, QObject* parent = nullptr);

  // Listens under the ProgID. False, with `error` saying why, when another host has the name.
  bool listen(const QString& progId, QString* error);

 private:
  void serve(class QLocalSocket* socket);
  // Answers the whole frames a connection has sent, a few at a time so that the window repaints
  // between them however much a client sends at once.
  void answerWaiting(class QLocalSocket* socket, const std::shared_ptr<struct Session>& session);
  struct Reply;
  Reply answer(Session& session, const QCborValue& message);
  std::function<cad::ObjectRef()> application_;
  QLocalServer server_;
};

}  // namespace kelvo::host
