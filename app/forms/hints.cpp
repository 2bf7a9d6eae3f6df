#include "app/forms/hints.h"

#include <QApplication>
#include <QEvent>

namespace kelvo {

namespace {

constexpr char kShowHint[] = "ShowHint";

class HintGate final : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
    return !showHint(static_cast<QWidget*>(watched)->window());
  }
};

void installGate() {
  static HintGate* gate = [] {
    auto* g = new HintGate;
    g->setParent(qApp);
    qApp->installEventFilter(g);
    return g;
  }();
  (void)gate;
}

}  // namespace

void setShowHint(QWidget* window, bool on) {
  installGate();
  window->setProperty(kShowHint, on);
}

bool showHint(const QWidget* window) {
  const QVariant v = window->property(kShowHint);
  return !v.isValid() || v.toBool();
}

}  // namespace kelvo
