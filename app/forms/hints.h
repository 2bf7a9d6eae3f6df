// Hints (tooltips) on or off per window, as the settings file says.
#pragma once

#include <QWidget>

namespace kelvo {

// Tooltips of `window` and its children are shown only while this is on (the default).
void setShowHint(QWidget* window, bool on);
bool showHint(const QWidget* window);

}  // namespace kelvo
