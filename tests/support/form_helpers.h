// Helpers for tests that drive forms: recorded message boxes, clicks in modal windows, a
// settings file in a fresh directory.
#pragma once

#include "app/forms/messages.h"
#include "platform/codepage.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <optional>
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
  // Questions are recorded too and answered from the queues (Нет, or a cancel, when empty).
  bool ask(QWidget*, const std::string& text) override {
    asked.push_back(cp1251::toUtf8(text));
    return take(yes, false);
  }
  std::optional<std::string> askText(QWidget*, const std::string& prompt, const std::string&) override {
    asked.push_back(cp1251::toUtf8(prompt));
    return take(typed, std::optional<std::string>());
  }
  std::optional<std::string> askSaveFile(QWidget*, const std::string&) override { return take(files, std::optional<std::string>()); }
  std::vector<ShownMessage> shown;
  std::vector<std::string> asked;
  std::deque<bool> yes;
  std::deque<std::optional<std::string>> typed;  // Windows-1251
  std::deque<std::optional<std::string>> files;

 private:
  template <typename Queue, typename Value>
  static Value take(Queue& q, Value empty) {
    if (q.empty()) return empty;
    Value v = q.front();
    q.pop_front();
    return v;
  }
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
