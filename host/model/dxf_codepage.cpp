#include "host/model/dxf_codepage.h"

#include "platform/codepage.h"
#include "platform/text_codec.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace kelvo::host {

namespace {

// The pages \M+n names.
constexpr unsigned kMbcsPages[] = {0, 932, 950, 949, 1361, 936};

std::optional<unsigned> pageNamed(std::string_view name) {
  std::string n;
  for (char c : name) n += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const std::pair<std::string_view, unsigned> named[] = {
      {"BIG5", 950}, {"GB2312", 936}, {"KSC5601", 949}, {"JOHAB", 1361}, {"MACINTOSH", 10000}};
  for (const auto& [k, v] : named)
    if (n == k) return v;
  std::string_view digits;
  unsigned base = 0;
  if (n.starts_with("ANSI_")) digits = std::string_view(n).substr(5);
  else if (n.starts_with("DOS")) digits = std::string_view(n).substr(3);
  else if (n.starts_with("ISO8859-")) digits = std::string_view(n).substr(8), base = 28590;
  unsigned v = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return base + v;
}

// \M+nXXXX at i: the character and the length of the escape.
std::optional<std::u32string> mbcsAt(std::u32string_view s, std::size_t i) {
  if (i + 8 > s.size() || s[i] != '\\' || (s[i + 1] | 0x20) != 'm' || s[i + 2] != '+') return std::nullopt;
  const auto n = cp1251::hexAt(s, i + 3, 1);
  const auto code = cp1251::hexAt(s, i + 4, 4);
  if (!n || !code || *n < 1 || *n > 5) return std::nullopt;
  const char bytes[2] = {static_cast<char>(*code >> 8), static_cast<char>(*code & 0xFF)};
  const std::u32string u = codec::decode(kMbcsPages[*n], std::string_view(bytes, 2));
  if (u.size() != 1 || u[0] == U'\uFFFD') return std::nullopt;
  return u;
}

}  // namespace

FileEncoding fileEncoding(std::string_view acadver, const std::optional<std::string>& dwgcodepage) {
  FileEncoding e;
  e.utf8 = acadver >= "AC1021";
  e.page = 1252;
  if (!dwgcodepage) return e;
  const auto page = pageNamed(*dwgcodepage);
  if (page && (*page == 1251 || codec::available(*page))) e.page = *page;
  else e.unknownName = *dwgcodepage;
  return e;
}

std::string fromFile(std::string_view raw, const FileEncoding& encoding) {
  const bool plain = std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\\'; });
  if (plain) return std::string(raw);
  // The model's own page: every byte stands for itself, and without a '+' there is no \U+ or
  // \M+ escape to decode (multi-line texts are full of other backslash codes).
  if (!encoding.utf8 && encoding.page == 1251 && raw.find('+') == std::string_view::npos) return std::string(raw);
  std::u32string text;
  if (encoding.utf8) {
    for (std::size_t i = 0; i < raw.size();) {
      const char32_t u = cp1251::decodeUtf8(raw, i);
      text += u == cp1251::kBadSequence ? U'\uFFFD' : u;
    }
  } else if (encoding.page == 1251) {
    for (const char c : raw) text += cp1251::toUnicode(static_cast<unsigned char>(c));
  } else {
    text = codec::decode(encoding.page, raw);
  }
  // The escapes are ASCII, so they are found after decoding, where a trail byte of a double-
  // byte character can no longer pass for a backslash.
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    if (const auto m = mbcsAt(text, i)) {
      out += *m, i += 8;
    } else if (const auto u = cp1251::unicodeEscapeAt(std::u32string_view(text), i)) {
      out += *u, i += 7;
    } else {
      out += text[i++];
    }
  }
  // An escaped surrogate pair is put together by the model's own decoding.
  return cp1251::canonical(cp1251::encodeEscaped(out));
}

std::string toFile(std::string_view model, const FileEncoding& encoding) {
  if (!encoding.utf8 && encoding.page == 1251) return cp1251::canonical(model);
  const std::u32string text = cp1251::decodeEscaped(model);
  if (encoding.utf8) return cp1251::toUtf8(text);
  return codec::encode(encoding.page, text, [](char32_t u) {
    // Escaped as UTF-16 units, as CAD programs spell a character beyond the first plane.
    std::string out;
    for (const char32_t unit : u > 0xFFFF ? std::u32string{0xD800 + ((u - 0x10000) >> 10), 0xDC00 + ((u - 0x10000) & 0x3FF)} : std::u32string{u}) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\U+%04X", static_cast<unsigned>(unit));
      out += buf;
    }
    return out;
  });
}

}  // namespace kelvo::host
