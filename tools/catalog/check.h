// The rules that Kelvo's catalogue readers depend on, checked file by file.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace kelvo::tools {

enum class CatalogKind { Standards, Data, Pictures };

struct Problem {
  std::string where;  // "file:line" or "file@offset"
  std::string text;   // plain words, UTF-8
};

// Guesses the kind from the contents: the picture signature, a section header, else a list.
CatalogKind guessKind(const std::string& fileName);

// A line of a catalogue text file with its number counted from 1, as the readers take it.
struct NumberedLine {
  std::size_t number;
  std::string text;
};
std::vector<NumberedLine> numberedLines(const std::string& data);

// Collects the problems of one file, each placed at a line or on the whole file.
class Report {
 public:
  explicit Report(std::string file) : file_(std::move(file)) {}
  void at(std::size_t line, std::string text) {
    problems.push_back({file_ + ":" + std::to_string(line), std::move(text)});
  }
  void whole(std::string text) { problems.push_back({file_, std::move(text)}); }
  std::vector<Problem> problems;

 private:
  std::string file_;
};

std::vector<Problem> checkStandards(const std::string& fileName);
// The data file's picture numbers are checked against the ".ris" file of the same name.
std::vector<Problem> checkData(const std::string& fileName);
std::vector<Problem> checkPictures(const std::string& fileName);
std::vector<Problem> checkFile(const std::string& fileName);

}  // namespace kelvo::tools
