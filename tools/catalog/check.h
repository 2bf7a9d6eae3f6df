// The rules that Kelvo's catalogue readers depend on, checked file by file.
#pragma once

#include <string>
#include <vector>

namespace kelvo::tools {

enum class CatalogKind { Standards, Data, Pictures };

struct Problem {
  std::string where;  // "file:line" or "file@offset"
  std::string text;   // plain words, UTF-8
};

// Guesses the kind from the contents: the picture signature, a section header, else a list.
CatalogKind guessKind(const std::string& fileName);

std::vector<Problem> checkStandards(const std::string& fileName);
// The data file's picture numbers are checked against the ".ris" file of the same name.
std::vector<Problem> checkData(const std::string& fileName);
std::vector<Problem> checkPictures(const std::string& fileName);
std::vector<Problem> checkFile(const std::string& fileName);

}  // namespace kelvo::tools
