#include "catalog/forms/picker_hooks.h"

#include "app/forms/qt_text.h"
#include "catalog/forms/gost_weld.h"
#include "catalog/forms/spos_weld.h"

namespace kelvo {

MainHooks catalogPickers() {
  MainHooks hooks;
  hooks.gostPicker = [](QWidget* owner) {
    auto* main = qobject_cast<TfmMain*>(owner);
    TfmGost picker(owner, main ? fromQ(main->edit(field::GOST)->text()) : std::string());
    return picker.exec() == QDialog::Accepted;
  };
  hooks.sposPicker = [](QWidget* owner) {
    auto* main = qobject_cast<TfmMain*>(owner);
    if (!main) return;
    SposHost host;
    host.standardField = [main] { return fromQ(main->edit(field::GOST)->text()); };
    host.jointField = [main] { return fromQ(main->edit(field::Tip)->text()); };
    host.methodField = [main] { return fromQ(main->edit(field::Spos)->text()); };
    host.clearJointAndMethod = [main] {
      main->edit(field::Tip)->setText(QString());
      main->edit(field::Spos)->setText(QString());
    };
    host.openJointField = [main] { main->pTipClick(); };
    TfmSpos picker(owner, host);
    picker.exec();
  };
  return hooks;
}

}  // namespace kelvo
