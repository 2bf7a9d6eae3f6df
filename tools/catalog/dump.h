// What Kelvo's readers see in a catalogue file, as JSON (UTF-8).
#pragma once

#include <string>

namespace kelvo::tools {

// Each throws catalog::CatalogError when the readers fail.
std::string dumpStandards(const std::string& fileName);
std::string dumpData(const std::string& fileName);
std::string dumpPictures(const std::string& fileName);

}  // namespace kelvo::tools
