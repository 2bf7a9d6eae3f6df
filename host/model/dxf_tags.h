// DXF's group-code/value pairs: reading an ASCII DXF into tags and writing tags back out.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::host {

struct Tag {
  int code = 0;
  std::string value;  // as in the file (its encoding), trimmed of the line end
  bool operator==(const Tag&) const = default;
};
using Tags = std::vector<Tag>;

// A drawing that cannot be read: the message says what and what to do instead.
class DxfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What reading a file's tags met besides the tags: it is told to the user, who may keep the
// original rather than have it replaced by what was read.
struct TagNotes {
  bool binary = false;
  std::size_t comments = 0;      // 999 lines: read past, as CAD programs do, and not written back
  std::size_t afterEof = 0;      // lines after the end-of-file marker, left out
  bool missingEof = false;       // the file ends without its marker
};

inline constexpr std::string_view kBinarySentinel{"AutoCAD Binary DXF\r\n\x1a\0", 22};

// Splits a DXF file, text or binary, into tags. Refuses DWG; a code line that is not a number,
// or a file that ends between a code and its value, is a DxfError naming the line.
Tags readTags(std::string_view text, TagNotes* notes = nullptr);
// The tags of a binary DXF (it begins with kBinarySentinel), values as the text form writes them.
Tags readBinaryTags(std::string_view data);

class TagWriter {
 public:
  void add(int code, std::string_view value);
  void add(int code, double value);
  void add(int code, int value);
  void addAll(const Tags& tags);
  std::string& text() { return out_; }

 private:
  std::string out_;
};

// Shortest text that reads back to the same double.
std::string formatDouble(double v);
// A real of the file, whatever the process's locale (leading blanks allowed); 0 for none.
double parseReal(std::string_view s);

}  // namespace kelvo::host
