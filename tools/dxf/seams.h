// kelvo-dxf next-number, same and table: the drawing's seam numbers, an identical seam drawn with
// its number alone, and the seam table drawn or written as CSV.
#pragma once

#include <string>
#include <vector>

namespace kelvo::dxftool {

int nextNumber(const std::vector<std::string>& args);
int same(const std::vector<std::string>& args);
int table(const std::vector<std::string>& args);

}  // namespace kelvo::dxftool
