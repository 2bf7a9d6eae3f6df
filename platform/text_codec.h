// Windows code pages <-> Unicode through the system's own converters (iconv on POSIX,
// MultiByteToWideChar on Windows): the tables of the Japanese, Chinese and Korean pages are
// far too large to carry, and the system's are the ones the user's other programs agree with.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kelvo::codec {

// Whether this machine can convert the page (a Windows code page number: 1252, 936, 866...).
bool available(unsigned page);

// Bytes the page cannot decode become U+FFFD, one per byte; an unavailable page decodes every
// byte as U+FFFD too, so check available() first.
std::u32string decode(unsigned page, std::string_view bytes);

// The page's bytes for the text; a character the page cannot hold is written as `unheld`
// spells it (never as a look-alike).
std::string encode(unsigned page, std::u32string_view text, const std::function<std::string(char32_t)>& unheld);

}  // namespace kelvo::codec
