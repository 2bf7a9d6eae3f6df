// The host's questions with Russian buttons: Qt's standard buttons are named in English unless
// Qt's own translations are installed, which the host does not rely on.
#pragma once

#include <QMessageBox>
#include <QPushButton>

namespace kelvo::host {

inline QMessageBox::StandardButton askQuestion(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton preferred) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Чертёж Kelvo"), text, buttons, parent);
  const std::pair<QMessageBox::StandardButton, const char16_t*> names[] = {
      {QMessageBox::Yes, u"Да"}, {QMessageBox::No, u"Нет"}, {QMessageBox::Save, u"Сохранить"},
      {QMessageBox::Discard, u"Не сохранять"}, {QMessageBox::Cancel, u"Отмена"}};
  for (const auto& [button, name] : names)
    if (QAbstractButton* b = box.button(button)) b->setText(QString::fromUtf16(name));
  box.setDefaultButton(preferred);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace kelvo::host
