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

// Splits ASCII DXF text into tags. Refuses binary DXF and DWG; a code line that is not a
// number, or a file that ends between a code and its value, is a DxfError naming the line.
Tags readTags(std::string_view text);

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
