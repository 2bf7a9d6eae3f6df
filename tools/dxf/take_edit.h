// kelvo-dxf take and edit: a designation found in a drawing by a pick, written into a settings
// file, or replaced by the one a settings file holds, at its own points.
#pragma once

#include "host/model/document.h"

#include <string>
#include <vector>

namespace kelvo::dxftool {

// The drawing, and on stderr what reading it noticed, converted or repaired.
host::Document loadReported(const std::string& fileName);

int take(const std::vector<std::string>& args);
int edit(const std::vector<std::string>& args);

}  // namespace kelvo::dxftool
