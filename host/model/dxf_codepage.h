// How a DXF file spells its texts. R2007 and later are UTF-8. Older files are in the code page
// their $DWGCODEPAGE names, and a character that page cannot hold is spelled \U+XXXX (or, by
// East Asian programs, \M+nXXXX: the two bytes of the character in the page that n numbers).
// Whatever the file says, the model keeps one spelling: cp1251 with \U+XXXX for the rest.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelvo::host {

struct FileEncoding {
  bool utf8 = false;
  unsigned page = 1251;  // a Windows code page number
  // Set when $DWGCODEPAGE names a page this machine cannot convert: read as ANSI_1252.
  std::optional<std::string> unknownName;
};

// From $ACADVER and $DWGCODEPAGE; a file that names no page is ANSI_1252, as CAD programs read it.
FileEncoding fileEncoding(std::string_view acadver, const std::optional<std::string>& dwgcodepage);

std::string fromFile(std::string_view raw, const FileEncoding& encoding);
std::string toFile(std::string_view model, const FileEncoding& encoding);

}  // namespace kelvo::host
