// Every modal message the program shows goes through here: an icon, a text and one OK button.
// Tests replace the sink to see exactly what the user would see.
#pragma once

#include <QWidget>

#include <string>
#include <string_view>

namespace kelvo {

enum class MessageIcon { Error, Warning };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // `text` is Windows-1251, line breaks as "\r\n".
  virtual void show(QWidget* parent, MessageIcon icon, const std::string& text) = 0;
};

// nullptr restores the real message boxes.
void setMessageSink(MessageSink* sink);
void showMessage(QWidget* parent, MessageIcon icon, std::string_view text);

}  // namespace kelvo
