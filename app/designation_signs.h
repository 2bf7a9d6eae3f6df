// The signs a designation carries beyond its texts: the set of shelf signs, and the chain or
// staggered sign that field 7 may hold between the length and the pitch of an intermittent
// seam. Texts are Windows-1251 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// A set of the shelf sign codes 1 to 3, kept in the order of the sign table.
class ShelfSigns {
 public:
  ShelfSigns() = default;
  // The one sign of a single code: none for 0, and none for a code above 3.
  static ShelfSigns single(std::uint8_t code);
  // Codes separated by commas ("1,3"); blanks, codes outside 1 to 3 and anything that is not
  // a number are passed over.
  static ShelfSigns parse(std::string_view text);

  std::string text() const;  // "1,3"; empty for no sign
  std::vector<std::uint8_t> codes() const;
  std::uint8_t first() const;  // 0 when empty
  bool has(std::uint8_t code) const;
  void toggle(std::uint8_t code);
  bool empty() const { return bits_ == 0; }
  bool operator==(const ShelfSigns&) const = default;

 private:
  std::uint8_t bits_ = 0;
};

// Field 7 read as "length, sign, pitch": two numbers (the length may be a resistance seam's
// "width×length", typed with x or х) with "/" (chain) or "Z"/"z" (staggered) between them.
struct IntermittentSign {
  enum class Kind { Chain, Staggered };
  Kind kind = Kind::Chain;
  std::string length;  // as typed, before the sign
  std::string pitch;   // as typed, after it
};

// Nothing for any other text: it is drawn as typed.
std::optional<IntermittentSign> readIntermittent(std::string_view field7);

}  // namespace kelvo
