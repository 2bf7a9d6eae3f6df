// Windows-1251 is the one text encoding inside Kelvo's core: settings, catalogue files and the
// designation all hold cp1251 bytes, one byte per character. Every edge that meets Unicode
// (widgets, automation calls, DXF) converts through this header and nowhere else.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kelvo::cp1251 {

// Unicode for bytes 80h..FFh. Byte 98h has no character in cp1251; it maps to U+0098 (as
// Windows' own conversion does) so that every byte value survives a round trip.
inline constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr char32_t toUnicode(unsigned char b) {
  return b < 0x80 ? char32_t{b} : char32_t{kHigh[b - 0x80u]};
}

constexpr std::optional<unsigned char> fromUnicode(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(c);
  for (std::size_t i = 0; i < kHigh.size(); ++i)
    if (kHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

// A code point the text cannot be held in cp1251 as, or a malformed UTF-8/UTF-16 sequence
// (reported as U+FFFD). `offset` counts code units of the input.
class Unrepresentable : public std::runtime_error {
 public:
  Unrepresentable(char32_t codePoint, std::size_t offset);
  char32_t codePoint() const { return codePoint_; }
  std::size_t offset() const { return offset_; }

 private:
  char32_t codePoint_;
  std::size_t offset_;
};

inline constexpr char32_t kBadSequence = 0xFFFFFFFF;

// Decodes one UTF-8 code point at `i` and advances `i`; kBadSequence for malformed input
// (overlong forms, surrogates, truncated or stray continuation bytes), consuming one byte.
constexpr char32_t decodeUtf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i++]);
  if (b0 < 0x80) return b0;
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) { extra = 1; cp = b0 & 0x1Fu; min = 0x80; }
  else if ((b0 & 0xF0) == 0xE0) { extra = 2; cp = b0 & 0x0Fu; min = 0x800; }
  else if ((b0 & 0xF8) == 0xF0) { extra = 3; cp = b0 & 0x07u; min = 0x10000; }
  else return kBadSequence;
  const std::size_t start = i;
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      i = start;
      return kBadSequence;
    }
    cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3Fu);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    i = start;
    return kBadSequence;
  }
  return cp;
}

std::string toUtf8(std::string_view cp1251);
std::string toUtf8(std::u32string_view text);
std::u16string toUtf16(std::string_view cp1251);

// Throw Unrepresentable instead of substituting anything.
std::string fromUtf8(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);
// A host's text as CAD keeps it: what cp1251 cannot hold becomes \U+XXXX (upper-case hex, one
// escape per UTF-16 unit).
std::string fromUtf16Escaped(std::u16string_view utf16);

// A text as the model keeps it (cp1251 bytes, \U+XXXX escapes for the rest, hex digits of
// either case) as code points; an escaped surrogate pair becomes its one character.
std::u32string decodeEscaped(std::string_view text);

// The value of `digits` hex digits from `i`, in text of any character width (the escapes are
// ASCII, so they are found in bytes and in decoded text alike).
template <class View>
std::optional<unsigned> hexAt(View s, std::size_t i, std::size_t digits) {
  if (i + digits > s.size()) return std::nullopt;
  unsigned v = 0;
  for (std::size_t k = i; k < i + digits; ++k) {
    const auto c = static_cast<char32_t>(s[k]);
    const unsigned d = c >= '0' && c <= '9'   ? c - '0'
                       : c >= 'a' && c <= 'f' ? c - 'a' + 10
                       : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : 16;
    if (d > 15) return std::nullopt;
    v = (v << 4) | d;
  }
  return v;
}

// The UTF-16 unit of a \U+XXXX escape at `i`, if one is there.
template <class View>
std::optional<char32_t> unicodeEscapeAt(View s, std::size_t i) {
  if (i + 7 > s.size() || s[i] != '\\' || (s[i + 1] | 0x20) != 'u' || s[i + 2] != '+') return std::nullopt;
  const auto v = hexAt(s, i + 3, 4);
  return v ? std::optional<char32_t>(*v) : std::nullopt;
}
// Code points as the model keeps them: cp1251 where it can, \U+XXXX (upper case) otherwise.
std::string encodeEscaped(std::u32string_view text);
// A model text for display: its escapes shown as the characters they stand for.
std::u16string toUtf16Unescaped(std::string_view text);
// The one spelling of a text, so that two spellings of the same characters compare equal.
std::string canonical(std::string_view text);

// Index (in UTF-16 units) of the first character cp1251 cannot hold, if any.
std::optional<std::size_t> firstUnrepresentable(std::u16string_view utf16);

// Lower case of a cp1251 letter (Latin and Cyrillic), other bytes unchanged: what Windows
// uses when it compares INI section and key names.
unsigned char foldCase(unsigned char b);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// The text with every letter folded: two texts equal without regard to case fold alike.
std::string foldCase(std::string_view s);

// Compile-time conversion of a UTF-8 source literal: `"Общая"_w` is a string_view of the
// cp1251 bytes, and a character outside cp1251 fails the build.
template <std::size_t N>
struct Utf8Literal {
  char bytes[N]{};
  consteval Utf8Literal(const char (&s)[N]) {  // NOLINT: implicit by design
    for (std::size_t i = 0; i < N; ++i) bytes[i] = s[i];
  }
};

template <std::size_t N>
struct EncodedLiteral {
  std::array<char, N> bytes{};
  std::size_t length = 0;
};

template <Utf8Literal L>
consteval auto encodeLiteral() {
  EncodedLiteral<sizeof(L.bytes)> out;
  const std::string_view in(L.bytes, sizeof(L.bytes) - 1);
  std::size_t i = 0;
  while (i < in.size()) {
    const auto b = fromUnicode(decodeUtf8(in, i));
    if (!b) throw "literal holds a character outside Windows-1251";
    out.bytes[out.length++] = static_cast<char>(*b);
  }
  return out;
}

template <Utf8Literal L>
inline constexpr auto kEncoded = encodeLiteral<L>();

}  // namespace kelvo::cp1251

namespace kelvo::literals {
template <cp1251::Utf8Literal L>
constexpr std::string_view operator""_w() {
  return {cp1251::kEncoded<L>.bytes.data(), cp1251::kEncoded<L>.length};
}
}  // namespace kelvo::literals
