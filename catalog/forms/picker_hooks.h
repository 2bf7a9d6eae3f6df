// The catalogue pickers as the main window opens them.
#pragma once

#include "app/forms/main_weld.h"

namespace kelvo {

// gostPicker and sposPicker for a TfmMain (the owner handed to the hooks).
MainHooks catalogPickers();

}  // namespace kelvo
