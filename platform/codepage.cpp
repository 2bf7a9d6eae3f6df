#include "platform/codepage.h"

namespace kelvo::cp1251 {

namespace {
std::string describe(char32_t cp) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s = "U+";
  for (int shift = cp > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) s += kHex[(cp >> shift) & 0xF];
  return s;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Byte -> lower-case byte, derived from the Unicode mapping so that it cannot drift from it.
std::array<unsigned char, 256> makeFoldTable() {
  std::array<unsigned char, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    const char32_t u = toUnicode(static_cast<unsigned char>(b));
    char32_t lower = u;
    if (u >= U'A' && u <= U'Z') lower = u + 32;
    else if (u >= 0x0410 && u <= 0x042F) lower = u + 32;
    else if (u >= 0x0400 && u <= 0x040F) lower = u + 80;
    else if (u == 0x0490) lower = 0x0491;
    t[b] = fromUnicode(lower).value_or(static_cast<unsigned char>(b));
  }
  return t;
}
}  // namespace

Unrepresentable::Unrepresentable(char32_t codePoint, std::size_t offset)
    : std::runtime_error("character " + describe(codePoint) + " at " + std::to_string(offset) +
                         " cannot be written in Windows-1251"),
      codePoint_(codePoint),
      offset_(offset) {}

std::string toUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (char c : cp1251) appendUtf8(out, toUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string toUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char32_t u : text) appendUtf8(out, u > 0x10FFFF ? 0xFFFD : u);
  return out;
}

std::string fromUtf16Escaped(std::u16string_view utf16) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(utf16.size());
  for (const char16_t u : utf16) {
    if (const auto b = fromUnicode(u)) {
      out += static_cast<char>(*b);
      continue;
    }
    out += "\\U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(u >> shift) & 0xF];
  }
  return out;
}

std::u32string decodeEscaped(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const auto u = unicodeEscapeAt(s, i);
    if (!u) {
      out += toUnicode(static_cast<unsigned char>(s[i++]));
      continue;
    }
    i += 7;
    const auto lo = *u >= 0xD800 && *u <= 0xDBFF ? unicodeEscapeAt(s, i) : std::nullopt;
    if (lo && *lo >= 0xDC00 && *lo <= 0xDFFF) {
      out += 0x10000 + ((*u - 0xD800) << 10) + (*lo - 0xDC00);
      i += 7;
    } else {
      out += *u;
    }
  }
  return out;
}

std::string encodeEscaped(std::u32string_view text) {
  std::u16string units;
  for (const char32_t u : text) {
    if (u > 0xFFFF && u <= 0x10FFFF) {
      units += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(u > 0xFFFF ? 0xFFFD : u);
    }
  }
  return fromUtf16Escaped(units);
}

std::u16string toUtf16Unescaped(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto u = unicodeEscapeAt(text, i);
    out += u ? static_cast<char16_t>(*u) : static_cast<char16_t>(toUnicode(static_cast<unsigned char>(text[i])));
    i += u ? 7 : 1;
  }
  return out;
}

std::string canonical(std::string_view text) {
  if (text.find('\\') == std::string_view::npos) return std::string(text);
  return encodeEscaped(decodeEscaped(text));
}

std::u16string toUtf16(std::string_view cp1251) {
  std::u16string out;
  out.reserve(cp1251.size());
  for (char c : cp1251) out += static_cast<char16_t>(toUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string fromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const std::size_t at = i;
    const char32_t cp = decodeUtf8(utf8, i);
    const auto b = cp == kBadSequence ? std::nullopt : fromUnicode(cp);
    if (!b) throw Unrepresentable(cp == kBadSequence ? 0xFFFD : cp, at);
    out += static_cast<char>(*b);
  }
  return out;
}

std::optional<std::size_t> firstUnrepresentable(std::u16string_view utf16) {
  for (std::size_t i = 0; i < utf16.size(); ++i)
    if (!fromUnicode(utf16[i])) return i;  // surrogates are never in cp1251
  return std::nullopt;
}

std::string fromUtf16(std::u16string_view utf16) {
  if (const auto bad = firstUnrepresentable(utf16)) {
    char32_t cp = utf16[*bad];
    if (cp >= 0xD800 && cp <= 0xDBFF && *bad + 1 < utf16.size()) {
      const char32_t lo = utf16[*bad + 1];
      if (lo >= 0xDC00 && lo <= 0xDFFF) cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
    }
    throw Unrepresentable(cp, *bad);
  }
  std::string out;
  out.reserve(utf16.size());
  for (char16_t c : utf16) out += static_cast<char>(*fromUnicode(c));
  return out;
}

unsigned char foldCase(unsigned char b) {
  static const std::array<unsigned char, 256> table = makeFoldTable();
  return table[b];
}

std::string foldCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(foldCase(static_cast<unsigned char>(c)));
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldCase(static_cast<unsigned char>(a[i])) != foldCase(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace kelvo::cp1251
