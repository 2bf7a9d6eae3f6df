// Bringing another program's window to the front: the CAD program's, before it asks the user
// for points, so that its prompt is where the user looks.
#pragma once

#include <cstdint>

namespace kelvo::platform {

// A window handle as the program's automation answers it (Application.HWND); 0 does nothing,
// as does every handle where there is no such facility.
void bringWindowToFront(std::int64_t handle);

}  // namespace kelvo::platform
