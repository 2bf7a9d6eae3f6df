// The text rules of the catalogue's ".dat" files: Windows-1251, lines end at LF or CR LF, a
// lone CR is dropped, byte 1Ah ends the file, reading past the end gives empty lines.
#pragma once

#include <string>
#include <string_view>

namespace kelvo::catalog {

class LineReader {
 public:
  // `bytes` must outlive the reader.
  explicit LineReader(std::string_view bytes);

  // The next line without its end; an empty line past the end of the file.
  std::string next();
  bool atEnd() const { return pos_ >= text_.size(); }
  // Lines handed out so far (a line past the end counts too).
  std::size_t lineNumber() const { return line_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 0;
};

}  // namespace kelvo::catalog
