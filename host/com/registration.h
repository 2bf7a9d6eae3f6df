// A ProgID of the COM drawing server, registered for the current user.
#pragma once

#include <string>

#include <windows.h>

namespace kelvo::host {

// The CLSID the ProgID names. A ProgID not yet known is registered for the current user under
// HKCU\Software\Classes with a CLSID derived from its name, so that a fresh prefix (or a
// machine without the CAD program) resolves it; a known ProgID keeps its CLSID.
CLSID registerProgId(const std::string& progId);

}  // namespace kelvo::host
