#include "catalog/forms/picker_common.h"

#include "app/forms/glyphs.h"
#include "app/forms/hints.h"
#include "app/weld_record.h"
#include "platform/codepage.h"
#include "platform/ini_store.h"

namespace kelvo {

void keepSizeInSettings(QDialog* picker, Picker which) {
  const IniFile ini(SettingsFileName(mainWeld().BasePath));
  const WindowSize size = readPickerSize(ini, which);
  picker->resize(size.width, size.height);
  QObject::connect(picker, &QDialog::finished, picker, [picker, which] {
    IniFile out(SettingsFileName(mainWeld().BasePath));
    try {
      writePickerSize(out, which, {picker->height(), picker->width()});
    } catch (const IniWriteError&) {
      // The size is a convenience; a settings file that cannot be written loses only it, and
      // the main window reports the file when it closes.
    }
  });
}

ButtonBar addButtonBar(QDialog* picker, int closeLeft, int okLeft, const QString& closeHint,
                       const QString& okHint) {
  auto* panel = new QWidget(picker);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFixedHeight(49);
  auto* close = new QPushButton(cancelIcon(), QStringLiteral("  Закончить"), panel);
  close->setObjectName(QStringLiteral("bbClose"));
  close->setGeometry(closeLeft, 10, 130, 31);
  close->setToolTip(closeHint);
  auto* ok = new QPushButton(okIcon(), QStringLiteral("  Ok"), panel);
  ok->setObjectName(QStringLiteral("bbOk"));
  ok->setGeometry(okLeft, 10, 130, 31);
  ok->setToolTip(okHint);
  return {panel, close, ok};
}

void followOwnerHints(QWidget* picker, QWidget* owner) {
  setShowHint(picker, owner ? showHint(owner->window()) : true);
}

std::string fileMessage(const char* moduleProcedure, const char* what, const std::string& file,
                        const char* tail) {
  std::string text = cp1251::fromUtf8(moduleProcedure) + "\r\n" + cp1251::fromUtf8(what) + "\r\n" + file;
  if (tail) text += "\r\n" + cp1251::fromUtf8(tail);
  return text;
}

}  // namespace kelvo
