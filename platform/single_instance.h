// One running copy per user and executable name. The first copy holds a lock file and
// listens on a local socket beside it; a later copy finds the lock taken and asks the first,
// through the socket, to come to the front.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

namespace kelvo {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // `name` is the executable's file name. Takes the lock at once; listening starts with
  // listen(), which needs the application object.
  explicit SingleInstance(const QString& name, QObject* parent = nullptr);
  ~SingleInstance() override;

  bool isPrimary() const { return primary_; }
  // Primary only: start answering later copies.
  bool listen();
  // Secondary only: ask the primary to come to the front; true once it has answered.
  bool raisePrimary(int timeoutMs = 5000);

  // The private directory that holds the lock and the socket of every name.
  static QString directory();
  static QString socketPath(const QString& name);

 signals:
  void raiseRequested();

 private:
  QString name_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
  bool primary_ = false;
};

}  // namespace kelvo
