// An object of the automation surface served to COM clients as an IDispatch, late bound: the
// mirror of the COM transport, sharing its variant conversion. Windows only.
#pragma once

#include "cad/automation.h"

#include <oaidl.h>

namespace kelvo::com {

// A new IDispatch (one reference, the caller's) serving `object`.
IDispatch* makeDispatch(cad::ObjectRef object);

}  // namespace kelvo::com
