#include "platform/foreground.h"

#include <windows.h>

namespace kelvo::platform {

// Kelvo is the foreground process when its draw button is pressed, so Windows lets it hand
// the foreground on; a minimised CAD window is restored first.
void bringWindowToFront(std::int64_t handle) {
  const HWND window = reinterpret_cast<HWND>(static_cast<std::intptr_t>(handle));
  if (!handle || !IsWindow(window)) return;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

}  // namespace kelvo::platform
