// The check Kelvo makes before it opens a picker on a standard's data file.
#pragma once

#include <string>

namespace kelvo::catalog {

// Opens the file as text, reads its first line and closes it; false when the file is missing
// or cannot be opened or read. An empty file passes.
bool checkDataFile(const std::string& fileName);

}  // namespace kelvo::catalog
