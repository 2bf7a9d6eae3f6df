#include "platform/text_codec.h"

#include <windows.h>

namespace kelvo::codec {

namespace {

void appendUtf32(std::u32string& out, const std::wstring& w) {
  for (std::size_t i = 0; i < w.size(); ++i) {
    char32_t u = w[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF)
      u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<char32_t>(w[++i]) - 0xDC00);
    out += u;
  }
}

// One character's bytes, or nothing when the page would have to substitute it.
bool decodeExactly(unsigned page, std::string_view bytes, std::wstring& out) {
  const int n = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
  return true;
}

}  // namespace

bool available(unsigned page) { return IsValidCodePage(page) != 0; }

std::u32string decode(unsigned page, std::string_view bytes) {
  std::u32string out;
  if (!available(page)) return std::u32string(bytes.size(), U'\uFFFD');
  std::wstring w;
  if (decodeExactly(page, bytes, w)) {
    appendUtf32(out, w);
    return out;
  }
  // Somewhere a byte the page has no character for: go character by character.
  std::size_t i = 0;
  while (i < bytes.size()) {
    const bool lead = IsDBCSLeadByteEx(page, static_cast<BYTE>(bytes[i])) && i + 1 < bytes.size();
    const std::size_t len = lead ? 2 : 1;
    if (decodeExactly(page, bytes.substr(i, len), w)) appendUtf32(out, w);
    else out += U'\uFFFD';
    i += len;
  }
  return out;
}

std::string encode(unsigned page, std::u32string_view text, const std::function<std::string(char32_t)>& unheld) {
  std::string out;
  for (const char32_t u : text) {
    wchar_t w[2];
    int n = 1;
    if (u > 0xFFFF) {
      w[0] = static_cast<wchar_t>(0xD800 + ((u - 0x10000) >> 10));
      w[1] = static_cast<wchar_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
      n = 2;
    } else {
      w[0] = static_cast<wchar_t>(u);
    }
    char buf[8];
    BOOL substituted = FALSE;
    const int len = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, w, n, buf, sizeof buf, nullptr, &substituted);
    if (len > 0 && !substituted) out.append(buf, static_cast<std::size_t>(len));
    else out += unheld(u);
  }
  return out;
}

}  // namespace kelvo::codec
