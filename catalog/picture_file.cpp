#include "catalog/picture_file.h"

#include "catalog/catalog_files.h"
#include "platform/file_io.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace kelvo::catalog {

namespace {

[[noreturn]] void fail(const char* what) { throw std::invalid_argument(what); }

unsigned byteAt(std::string_view s, std::size_t i) {
  if (i >= s.size()) fail("a coded block reads past its end");
  return static_cast<unsigned char>(s[i]);
}

// Little-endian reads with the file's end checked before every one.
class Cursor {
 public:
  explicit Cursor(std::string_view data) : data_(data) {}
  std::size_t left() const { return data_.size() - pos_; }
  std::string_view take(std::size_t n, const char* what) {
    if (n > left()) fail(what);
    const auto s = data_.substr(pos_, n);
    pos_ += n;
    return s;
  }
  std::uint32_t u32(const char* what) {
    const auto s = take(4, what);
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
    return v;
  }
  unsigned u8(const char* what) { return static_cast<unsigned char>(take(1, what)[0]); }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

void putU32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string readCompressed(Cursor& in) {
  const std::uint32_t total = in.u32("the file ends inside a payload's length");
  if (total > in.left()) fail("a payload's length runs past the end of the file");
  std::string out;
  std::uint64_t taken = 0;
  // Only the start of a block has to lie inside the payload's count: the last block may run
  // past it, as long as it stays inside the file.
  while (taken < total) {
    const std::uint32_t length = in.u32("the file ends inside a block's length");
    decodeBlockInto(in.take(length, "a block runs past the end of the file"), out);
    taken += 4ull + length;
  }
  return out;
}

Picture readItem(Cursor& in) {
  // Bit 7 means nothing to a reader; writers leave it clear, but a set bit is no reason to
  // refuse the item.
  const unsigned flags = in.u8("the file ends before an item");
  Picture p;
  p.compressed = (flags & 0x01) != 0;
  if (flags & 0x02) in.take(in.u8("the file ends inside a description"), "a description runs past the end of the file");
  if (flags & 0x04) in.take(4, "the file ends inside an identifier");
  if (flags & 0x08) {
    if (p.compressed) {
      p.bmp = readCompressed(in);
    } else {
      const std::uint32_t size = in.u32("the file ends inside a payload's length");
      p.bmp = std::string(in.take(size, "a picture runs past the end of the file"));
    }
  }
  return p;
}

// The longest match for `at` within the 4095 bytes before it, by a hash of three bytes.
struct Matcher {
  std::array<std::int32_t, 4096> head{};
  Matcher() { head.fill(-1); }
  static std::size_t hash(std::string_view s, std::size_t i) {
    return ((static_cast<unsigned char>(s[i]) << 8) ^ (static_cast<unsigned char>(s[i + 1]) << 4) ^
            static_cast<unsigned char>(s[i + 2])) & 0xFFF;
  }
};

}  // namespace

void decodeBlockInto(std::string_view block, std::string& result) {
  if (block.empty()) return;  // no byte to mark it stored, none to decode: nothing comes out
  if (static_cast<unsigned char>(block[0]) == 0x80) {
    if (block.size() - 1 > kMaxBlockOutput) fail("a stored block is longer than a block may be");
    result.append(block.substr(1));
    return;
  }
  // The coded bytes start after the control word at 1-2; a block that ends before them holds
  // nothing to decode, and its control word is never looked at.
  if (block.size() <= 3) return;
  // Decoded into a buffer of the largest size a block may have; every write is checked
  // against it, and every copy against what is already decoded.
  const std::size_t base = result.size();
  result.resize(base + kMaxBlockOutput);
  char* const out = result.data() + base;
  std::size_t n = 0;
  const auto* in = reinterpret_cast<const unsigned char*>(block.data());
  const std::size_t end = block.size();
  std::size_t p = 3;
  unsigned w = (byteAt(block, 1) << 8) | byteAt(block, 2);
  int bits = 16;
  while (p < end) {
    if (bits == 0) {
      w = (byteAt(block, p) << 8) | byteAt(block, p + 1);
      p += 2;
      bits = 16;
      if (p >= end) break;
    }
    if ((w & 0x8000) == 0) {
      if (n == kMaxBlockOutput) fail("a block decodes to more than a block may hold");
      out[n++] = static_cast<char>(in[p++]);
    } else {
      if (p + 1 >= end) fail("a coded block reads past its end");
      const std::size_t d = (static_cast<std::size_t>(in[p]) << 4) | (in[p + 1] >> 4);
      if (d == 0) {
        if (p + 3 >= end) fail("a coded block reads past its end");
        const std::size_t count = ((static_cast<std::size_t>(in[p + 1]) << 8) | in[p + 2]) + 16;
        if (count > kMaxBlockOutput - n) fail("a block decodes to more than a block may hold");
        std::memset(out + n, in[p + 3], count);
        n += count;
        p += 4;
      } else {
        const std::size_t count = (in[p + 1] & 0x0Fu) + 3;
        if (d > n) fail("a copy reaches before the start of the output");
        if (count > kMaxBlockOutput - n) fail("a block decodes to more than a block may hold");
        if (d >= count) {
          std::memcpy(out + n, out + n - d, count);
        } else {
          for (std::size_t k = 0; k < count; ++k) out[n + k] = out[n + k - d];  // overlapping
        }
        n += count;
        p += 2;
      }
    }
    w = (w << 1) & 0xFFFF;
    --bits;
  }
  result.resize(base + n);
}

std::string decodeBlock(std::string_view block) {
  std::string out;
  decodeBlockInto(block, out);
  return out;
}

std::string encodeBlock(std::string_view in) {
  std::string out(1, '\x40');
  Matcher m;
  std::size_t control = 1;  // where the current control word goes
  out.append(2, '\0');
  unsigned word = 0;
  int items = 0;
  auto flush = [&] {
    word <<= (16 - items);
    out[control] = static_cast<char>(word >> 8);
    out[control + 1] = static_cast<char>(word & 0xFF);
  };
  std::size_t i = 0;
  while (i < in.size()) {
    if (items == 16) {
      flush();
      control = out.size();
      out.append(2, '\0');
      word = 0;
      items = 0;
    }
    std::size_t run = 1;
    while (i + run < in.size() && run < 4111 && in[i + run] == in[i]) ++run;
    std::size_t bestLen = 0, bestDist = 0;
    if (i + 3 <= in.size()) {
      const std::size_t h = Matcher::hash(in, i);
      const std::int32_t cand = m.head[h];
      m.head[h] = static_cast<std::int32_t>(i);
      if (cand >= 0 && i - static_cast<std::size_t>(cand) <= 4095) {
        std::size_t len = 0;
        while (len < 18 && i + len < in.size() && in[static_cast<std::size_t>(cand) + len] == in[i + len]) ++len;
        if (len >= 3) {
          bestLen = len;
          bestDist = i - static_cast<std::size_t>(cand);
        }
      }
    }
    word <<= 1;
    ++items;
    if (run >= 16 && run > bestLen) {
      word |= 1;
      const std::size_t n = run - 16;
      out += '\0';
      out += static_cast<char>(n >> 8);
      out += static_cast<char>(n & 0xFF);
      out += in[i];
      i += run;
    } else if (bestLen >= 3) {
      word |= 1;
      out += static_cast<char>(bestDist >> 4);
      out += static_cast<char>(((bestDist & 0x0F) << 4) | (bestLen - 3));
      i += bestLen;
    } else {
      out += in[i++];
    }
  }
  flush();
  if (out.size() < in.size() + 1) return out;
  std::string stored(1, '\x80');
  stored.append(in);
  return stored;
}

std::string writePictureFile(const std::vector<std::string>& bmps, bool compress) {
  std::vector<std::string> items;
  for (const std::string& bmp : bmps) {
    std::string item;
    if (bmp.empty()) {
      item += '\0';
    } else if (!compress) {
      item += '\x08';
      putU32(item, static_cast<std::uint32_t>(bmp.size()));
      item += bmp;
    } else {
      std::string blocks;
      for (std::size_t at = 0; at < bmp.size(); at += kBlockInput) {
        const std::string coded = encodeBlock(std::string_view(bmp).substr(at, kBlockInput));
        putU32(blocks, static_cast<std::uint32_t>(coded.size()));
        blocks += coded;
      }
      item += '\x09';
      putU32(item, static_cast<std::uint32_t>(blocks.size()));
      item += blocks;
    }
    items.push_back(std::move(item));
  }
  std::string out(kPictureSignature);
  putU32(out, static_cast<std::uint32_t>(items.size()));
  std::size_t offset = out.size() + 4 * items.size();
  for (const auto& item : items) {
    putU32(out, static_cast<std::uint32_t>(offset));
    offset += item.size();
  }
  for (const auto& item : items) out += item;
  return out;
}

std::optional<BitmapSize> bitmapSize(std::string_view bmp) {
  if (bmp.size() < 26 || bmp.substr(0, 2) != "BM") return std::nullopt;
  auto i32 = [bmp](std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(bmp[at + static_cast<std::size_t>(k)]);
    return static_cast<std::int32_t>(v);
  };
  const std::int32_t header = i32(14);
  if (header == 12) {  // the old OS/2 header has 16-bit sizes
    auto u16 = [bmp](std::size_t at) {
      return static_cast<unsigned char>(bmp[at]) | (static_cast<unsigned char>(bmp[at + 1]) << 8);
    };
    return BitmapSize{u16(18), u16(20)};
  }
  const std::int32_t h = i32(22);
  return BitmapSize{i32(18), h == INT32_MIN ? 0 : (h < 0 ? -h : h)};
}

namespace bytes {

void loadPictures(std::string_view data, std::vector<Picture>& out) {
  Cursor in(data);
  if (in.take(std::min(in.left(), kPictureSignature.size()), "") != kPictureSignature)
    fail("the file does not begin with the picture file signature");
  const auto count = static_cast<std::int32_t>(in.u32("the file ends before the picture count"));
  if (count <= 0) return;  // a file of no pictures, however its count says so
  // Nothing is allocated by the count: every item read takes at least one byte of the file,
  // so the items read before the file ends stay with the caller.
  if (4 * static_cast<std::uint64_t>(count) > in.left()) fail("the offset table runs past the end of the file");
  in.take(4 * static_cast<std::size_t>(count), "the offset table runs past the end of the file");
  for (std::int32_t i = 0; i < count; ++i) out.push_back(readItem(in));
}

}  // namespace bytes

void loadPictures(const std::string& fileName, std::vector<Picture>& out) {
  const auto data = readWholeFile(fileName);
  if (!data) throw CatalogError(Operation::LoadPictures, fileName, "the file cannot be opened or read");
  try {
    bytes::loadPictures(*data, out);
  } catch (const std::invalid_argument& e) {
    throw CatalogError(Operation::LoadPictures, fileName, e.what());
  }
}

}  // namespace kelvo::catalog
