// kelvo-dxf take and edit: a designation found in a drawing by a pick, written into a settings
// file, or replaced by the one a settings file holds, at its own points.
#pragma once

#include <string>
#include <vector>

namespace kelvo::dxftool {

int take(const std::vector<std::string>& args);
int edit(const std::vector<std::string>& args);

}  // namespace kelvo::dxftool
