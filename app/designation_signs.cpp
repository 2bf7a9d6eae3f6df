#include "app/designation_signs.h"

#include "app/weld_record.h"

namespace kelvo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits with at most one decimal point or comma inside.
bool isNumber(std::string_view s) {
  if (s.empty() || !isDigit(s.front()) || !isDigit(s.back())) return false;
  int separators = 0;
  for (char c : s)
    if (!isDigit(c) && !((c == '.' || c == ',') && ++separators == 1)) return false;
  return true;
}

// Windows-1251 has no "×": the letters typed for it are Latin x and X, Cyrillic х and Х.
bool isTimes(char c) {
  const auto b = static_cast<unsigned char>(c);
  return c == 'x' || c == 'X' || b == 0xF5 || b == 0xD5;
}

bool isLength(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (isTimes(s[i])) return isNumber(s.substr(0, i)) && isNumber(s.substr(i + 1));
  return isNumber(s);
}

}  // namespace

ShelfSigns ShelfSigns::single(std::uint8_t code) {
  ShelfSigns s;
  if (code >= 1 && code <= 3) s.toggle(code);
  return s;
}

ShelfSigns ShelfSigns::parse(std::string_view text) {
  ShelfSigns s;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = trimText(text.substr(0, comma));
    if (item.size() == 1 && item[0] >= '1' && item[0] <= '3' && !s.has(static_cast<std::uint8_t>(item[0] - '0')))
      s.toggle(static_cast<std::uint8_t>(item[0] - '0'));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return s;
}

std::string ShelfSigns::text() const {
  std::string out;
  for (std::uint8_t c : codes()) out += (out.empty() ? "" : ",") + std::to_string(c);
  return out;
}

std::vector<std::uint8_t> ShelfSigns::codes() const {
  std::vector<std::uint8_t> out;
  for (std::uint8_t c = 1; c <= 3; ++c)
    if (has(c)) out.push_back(c);
  return out;
}

std::uint8_t ShelfSigns::first() const {
  const auto c = codes();
  return c.empty() ? 0 : c.front();
}

bool ShelfSigns::has(std::uint8_t code) const { return code >= 1 && code <= 3 && (bits_ >> (code - 1) & 1u); }

void ShelfSigns::toggle(std::uint8_t code) {
  if (code >= 1 && code <= 3) bits_ = static_cast<std::uint8_t>(bits_ ^ (1u << (code - 1)));
}

std::optional<IntermittentSign> readIntermittent(std::string_view field7) {
  const std::string_view s = trimText(field7);
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c != '/' && c != 'Z' && c != 'z') continue;
    const std::string_view length = trimText(s.substr(0, i)), pitch = trimText(s.substr(i + 1));
    if (!isLength(length) || !isNumber(pitch)) return std::nullopt;
    return IntermittentSign{c == '/' ? IntermittentSign::Kind::Chain : IntermittentSign::Kind::Staggered,
                            std::string(length), std::string(pitch)};
  }
  return std::nullopt;
}

}  // namespace kelvo
