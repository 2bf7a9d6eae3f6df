#include "catalog/catalog_text.h"

namespace kelvo::catalog {

LineReader::LineReader(std::string_view bytes) : text_(bytes) {
  const auto eof = text_.find('\x1A');
  if (eof != std::string_view::npos) text_ = text_.substr(0, eof);
}

std::string LineReader::next() {
  ++line_;
  if (pos_ >= text_.size()) return {};
  auto end = text_.find('\n', pos_);
  if (end == std::string_view::npos) end = text_.size();
  const std::string_view raw = text_.substr(pos_, end - pos_);
  pos_ = end + 1;
  // CR LF ends the line at the LF; a CR anywhere else is dropped from the text.
  std::string line;
  line.reserve(raw.size());
  for (char c : raw)
    if (c != '\r') line += c;
  return line;
}

}  // namespace kelvo::catalog
