#include "platform/text_codec.h"

#include <cerrno>
#include <iconv.h>

namespace kelvo::codec {

namespace {

std::string iconvName(unsigned page) {
  if (page == 1361) return "JOHAB";
  if (page == 10000) return "MACINTOSH";
  if (page > 28590 && page < 28600) return "ISO-8859-" + std::to_string(page - 28590);
  return "CP" + std::to_string(page);
}

// One converter for the length of a call; iconv_t is not safe to share between threads.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts as much of [in, in + n) as it can; returns the bytes left and sets errno.
  std::size_t run(const char*& in, std::size_t n, std::string& out) {
    char buf[256];
    while (n > 0) {
      char* o = buf;
      std::size_t room = sizeof buf;
      char* i = const_cast<char*>(in);
      const std::size_t r = iconv(cd_, &i, &n, &o, &room);
      const int err = errno;
      in = i;
      out.append(buf, static_cast<std::size_t>(o - buf));
      if (r != static_cast<std::size_t>(-1)) break;
      if (err != E2BIG) {
        errno = err;
        return n;
      }
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return 0;
  }

 private:
  iconv_t cd_;
};

}  // namespace

bool available(unsigned page) { return Converter("UTF-32LE", iconvName(page)).ok(); }

std::u32string decode(unsigned page, std::string_view bytes) {
  Converter c("UTF-32LE", iconvName(page));
  std::u32string out;
  if (!c.ok()) return std::u32string(bytes.size(), U'\uFFFD');
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  std::string raw;
  while (left > 0) {
    left = c.run(in, left, raw);
    if (left == 0) break;
    raw.append("\xFD\xFF\0\0", 4);  // a byte the page has no character for
    ++in, --left;
  }
  for (std::size_t k = 0; k + 4 <= raw.size(); k += 4) {
    char32_t u = 0;
    for (int b = 3; b >= 0; --b) u = (u << 8) | static_cast<unsigned char>(raw[k + static_cast<std::size_t>(b)]);
    out += u;
  }
  return out;
}

std::string encode(unsigned page, std::u32string_view text, const std::function<std::string(char32_t)>& unheld) {
  Converter c(iconvName(page), "UTF-32LE");
  std::string out;
  for (const char32_t u : text) {
    char in[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
                  static_cast<char>((u >> 24) & 0xFF)};
    const char* p = in;
    std::string bytes;
    if (c.ok() && c.run(p, sizeof in, bytes) == 0) out += bytes;
    else out += unheld(u);
  }
  return out;
}

}  // namespace kelvo::codec
