// Every modal message and question the program shows goes through here: an icon, a text and one
// OK button; a question answered Да or Нет; a name the user types; a file to save to. Tests
// replace the sink to see exactly what the user would see and to answer for the user.
#pragma once

#include <QWidget>

#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

enum class MessageIcon { Error, Warning, Information };

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // `text` is Windows-1251, line breaks as "\r\n".
  virtual void show(QWidget* parent, MessageIcon icon, const std::string& text) = 0;
  // True for Да.
  virtual bool ask(QWidget* parent, const std::string& text) = 0;
  // A line typed over `initial` (Windows-1251 both); nothing when the user cancels.
  virtual std::optional<std::string> askText(QWidget* parent, const std::string& prompt, const std::string& initial) = 0;
  // A file name (Windows-1251, as every file name of the program) to save to, `suggested` (UTF-8)
  // offered; nothing when the user cancels.
  virtual std::optional<std::string> askSaveFile(QWidget* parent, const std::string& suggested) = 0;
};

// nullptr restores the real message boxes.
void setMessageSink(MessageSink* sink);
void showMessage(QWidget* parent, MessageIcon icon, std::string_view text);
bool askYesNo(QWidget* parent, std::string_view text);
std::optional<std::string> askText(QWidget* parent, std::string_view prompt, std::string_view initial);
std::optional<std::string> askSaveFile(QWidget* parent, std::string_view suggested);

}  // namespace kelvo
