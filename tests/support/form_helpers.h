// Helpers for tests that drive forms: recorded message boxes, clicks in modal windows, a
// settings file in a fresh directory.
#pragma once

#include "app/forms/messages.h"
#include "platform/codepage.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace kelvo::test {

struct ShownMessage {
  MessageIcon icon;
  std::string utf8;
};

// Records every message box instead of showing it, for the life of the object.
class RecordedMessages final : public MessageSink {
 public:
  RecordedMessages() { setMessageSink(this); }
  ~RecordedMessages() override { setMessageSink(nullptr); }
  void show(QWidget*, MessageIcon icon, const std::string& text) override {
    shown.push_back({icon, cp1251::toUtf8(text)});
  }
  std::vector<ShownMessage> shown;
};

// Runs `action` on the modal window that opens next (once the event loop is inside it).
inline void onNextModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}

}  // namespace kelvo::test
