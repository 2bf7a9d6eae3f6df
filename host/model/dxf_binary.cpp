// Binary DXF: the same group codes and values as the text form, values stored by their type.
#include "host/model/dxf_tags.h"

#include <cstdint>
#include <cstring>

namespace kelvo::host {

namespace {

enum class Type { Text, Real, Int16, Int32, Int64, Bool, Chunk };

// What the DXF reference gives each range of group codes.
Type typeOf(int c) {
  if (c == 1004 || (c >= 310 && c <= 319)) return Type::Chunk;
  if ((c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) || (c >= 460 && c <= 469) ||
      (c >= 1010 && c <= 1059))
    return Type::Real;
  if ((c >= 60 && c <= 79) || (c >= 170 && c <= 179) || (c >= 270 && c <= 289) || (c >= 370 && c <= 389) ||
      (c >= 400 && c <= 409) || (c >= 1060 && c <= 1070))
    return Type::Int16;
  if ((c >= 90 && c <= 99) || (c >= 420 && c <= 429) || (c >= 440 && c <= 459) || c == 1071) return Type::Int32;
  if (c >= 160 && c <= 169) return Type::Int64;
  if (c >= 290 && c <= 299) return Type::Bool;
  return Type::Text;
}

struct Bytes {
  std::string_view data;
  std::size_t pos = 0;

  [[noreturn]] void cut() const {
    throw DxfError("Двоичный DXF обрезан или повреждён (байт " + std::to_string(pos) + " из " +
                   std::to_string(data.size()) + ").");
  }
  // Little-endian, whatever the machine: the format fixes the byte order.
  std::uint64_t little(std::size_t n) {
    if (data.size() - pos < n) cut();
    std::uint64_t v = 0;
    for (std::size_t k = 0; k < n; ++k) v |= std::uint64_t(static_cast<unsigned char>(data[pos + k])) << (8 * k);
    pos += n;
    return v;
  }
  // A binary string may hold a line end, which a text DXF line cannot: control characters are
  // written as the text form spells them, a caret and a letter (^J), and a caret as "^ ".
  std::string text() {
    const auto end = data.find('\0', pos);
    if (end == std::string_view::npos) cut();
    std::string s;
    for (const char c : data.substr(pos, end - pos)) {
      if (static_cast<unsigned char>(c) < 0x20) s += '^', s += static_cast<char>(c + 0x40);
      else if (c == '^') s += "^ ";
      else s += c;
    }
    pos = end + 1;
    return s;
  }
  std::string chunk() {
    const std::size_t n = little(1);
    if (data.size() - pos < n) cut();
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t k = 0; k < n; ++k) {
      const auto b = static_cast<unsigned char>(data[pos + k]);
      hex += digits[b >> 4], hex += digits[b & 15];
    }
    pos += n;
    return hex;
  }
};

std::string value(Bytes& in, int code) {
  switch (typeOf(code)) {
    case Type::Real: {
      const std::uint64_t bits = in.little(8);
      double d;
      std::memcpy(&d, &bits, sizeof d);
      return formatDouble(d);
    }
    case Type::Int16: return std::to_string(static_cast<std::int16_t>(in.little(2)));
    case Type::Int32: return std::to_string(static_cast<std::int32_t>(in.little(4)));
    case Type::Int64: return std::to_string(static_cast<std::int64_t>(in.little(8)));
    case Type::Bool: return std::to_string(in.little(1));
    case Type::Chunk: return in.chunk();
    case Type::Text: break;
  }
  return in.text();
}

}  // namespace

Tags readBinaryTags(std::string_view data) {
  Bytes in{data, kBinarySentinel.size()};
  // Before R13 a code is one byte (255 escaping a two-byte one); the first tag, 0 SECTION,
  // shows which: its value's "S" follows one zero byte or two.
  const bool wide = data.size() > in.pos + 1 && data[in.pos + 1] == '\0';
  Tags tags;
  tags.reserve(data.size() / 10);
  while (in.pos < data.size()) {
    int code = static_cast<int>(in.little(wide ? 2 : 1));
    if (!wide && code == 255) code = static_cast<int>(in.little(2));
    tags.push_back({code, value(in, code)});
    if (code == 0 && tags.back().value == "EOF") break;
  }
  return tags;
}

}  // namespace kelvo::host
