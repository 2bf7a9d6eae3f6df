#include "app/forms/picker_common.h"

#include "app/forms/glyphs.h"
#include "app/forms/hints.h"
#include "app/forms/kit.h"
#include "app/forms/outer_size.h"
#include "app/weld_record.h"
#include "platform/codepage.h"
#include "platform/ini_store.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPalette>

namespace kelvo {

namespace {

// Esc reaches the dialog when nothing inside it wants the key; it then clicks the close button,
// which has more to do than a plain rejection.
class EscapeClicks : public QObject {
 public:
  EscapeClicks(QDialog* dialog, QPushButton* button) : QObject(dialog), button_(button) {
    dialog->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    button_->click();
    return true;
  }

 private:
  QPushButton* button_;
};

}  // namespace

ListFrame addListFrame(QDialog* picker, const char* objectName, const QString& title, const QString& caption) {
  picker->setObjectName(QString::fromLatin1(objectName));
  picker->setWindowTitle(title);
  QFont f;
  f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans")});
  f.setPixelSize(13);
  f.setBold(true);
  picker->setFont(f);
  auto* band = new TPanel(picker);
  band->setObjectName(QStringLiteral("Panel3"));
  auto* label = new QLabel(caption, band);
  label->setAlignment(Qt::AlignCenter);
  label->setObjectName(QStringLiteral("lbCaption"));
  auto* body = new QWidget(picker);
  body->setObjectName(QStringLiteral("Panel4"));
  return {band, body};
}

void layOutListFrame(QDialog* picker, const ListFrame& frame, QWidget* buttonBar) {
  const int w = picker->width(), h = picker->height();
  frame.caption->setGeometry(0, 0, w, 37);
  frame.caption->findChild<QLabel*>()->setGeometry(0, 0, w, 37);
  buttonBar->setGeometry(0, h - 49, w, 49);
  frame.body->setGeometry(0, 37, w, std::max(0, h - 37 - 49));
}

void keepSizeInSettings(QDialog* picker, Picker which) {
  const IniFile ini(SettingsFileName(mainWeld().BasePath));
  const WindowSize size = readPickerSize(ini, which);
  const auto* geometry = new OuterGeometry(picker, QSize(size.width, size.height));
  QObject::connect(picker, &QDialog::finished, picker, [geometry, which] {
    IniBatch out{IniFile(SettingsFileName(mainWeld().BasePath))};
    const QSize outer = geometry->outer();
    try {
      writePickerSize(out, which, {outer.height(), outer.width()});
      out.commit();
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
  // Enter confirms and Esc answers as the close button does, whatever button was made first.
  ok->setDefault(true);
  new EscapeClicks(picker, close);
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

void keepSelectionShown(QWidget* list) {
  QPalette p = list->palette();
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
  list->setPalette(p);
}

}  // namespace kelvo
