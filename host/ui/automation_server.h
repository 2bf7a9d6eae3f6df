// The drawing host's end of the local automation protocol: serves the object model to every
// client that connects, with object handles per connection that go when the client goes.
#pragma once

#include "cad/automation.h"

#include <QLocalServer>
#include <QObject>

#include <functional>

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
  std::function<cad::ObjectRef()> application_;
  QLocalServer server_;
};

}  // namespace kelvo::host
