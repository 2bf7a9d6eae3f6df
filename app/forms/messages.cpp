#include "app/forms/messages.h"

#include "app/forms/qt_text.h"

#include <QMessageBox>

namespace kelvo {

namespace {

class BoxSink final : public MessageSink {
 public:
  void show(QWidget* parent, MessageIcon icon, const std::string& text) override {
    QMessageBox box(icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::Warning,
                    QStringLiteral("Kelvo"), toQ(text).replace(QStringLiteral("\r\n"), "\n"),
                    QMessageBox::Ok, parent);
    box.exec();
  }
};

MessageSink& boxes() {
  static BoxSink sink;
  return sink;
}

MessageSink*& current() {
  static MessageSink* sink = &boxes();
  return sink;
}

}  // namespace

void setMessageSink(MessageSink* sink) { current() = sink ? sink : &boxes(); }

void showMessage(QWidget* parent, MessageIcon icon, std::string_view text) {
  current()->show(parent, icon, std::string(text));
}

}  // namespace kelvo
