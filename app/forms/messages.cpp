#include "app/forms/messages.h"

#include "app/forms/qt_text.h"
#include "platform/codepage.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace kelvo {

namespace {

class BoxSink final : public MessageSink {
 public:
  void show(QWidget* parent, MessageIcon icon, const std::string& text) override {
    const auto kind = icon == MessageIcon::Error     ? QMessageBox::Critical
                      : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                     : QMessageBox::Information;
    QMessageBox box(kind, QStringLiteral("Kelvo"), lines(text), QMessageBox::Ok, parent);
    box.exec();
  }
  bool ask(QWidget* parent, const std::string& text) override {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Kelvo"), lines(text), QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole));
    box.exec();
    return box.clickedButton() == yes;
  }
  std::optional<std::string> askText(QWidget* parent, const std::string& prompt, const std::string& initial) override {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Kelvo"));
    dialog.setLabelText(toQ(prompt));
    dialog.setTextValue(toQ(initial));
    dialog.setOkButtonText(QStringLiteral("Ok"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    // What Windows-1251 cannot hold cannot be typed, as in every edit box of the program.
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setValidator(new CodePageValidator(edit));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return fromQ(dialog.textValue());
  }
  std::optional<std::string> askSaveFile(QWidget* parent, const std::string& suggested) override {
    const QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Kelvo - Сохранить список швов"),
                                                      QString::fromStdString(suggested),
                                                      QStringLiteral("Таблица CSV (*.csv)"));
    if (name.isEmpty()) return std::nullopt;
    try {
      return fromQ(name);
    } catch (const cp1251::Unrepresentable&) {
      show(parent, MessageIcon::Error, cp1251::fromUtf8("В имени файла есть знаки, которых нет в кодировке Windows-1251: выберите другое имя."));
      return std::nullopt;
    }
  }

 private:
  static QString lines(const std::string& text) { return toQ(text).replace(QStringLiteral("\r\n"), "\n"); }
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

bool askYesNo(QWidget* parent, std::string_view text) { return current()->ask(parent, std::string(text)); }

std::optional<std::string> askText(QWidget* parent, std::string_view prompt, std::string_view initial) {
  return current()->askText(parent, std::string(prompt), std::string(initial));
}

std::optional<std::string> askSaveFile(QWidget* parent, std::string_view suggested) {
  return current()->askSaveFile(parent, std::string(suggested));
}

}  // namespace kelvo
