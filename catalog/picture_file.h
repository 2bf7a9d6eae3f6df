// The catalogue's picture files: a signature, a count, an offset table and the items, each a
// Windows bitmap file stored as it is or in LZRW-coded blocks. Reading never goes outside the
// file or the output, whatever the file says.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::catalog {

inline constexpr std::string_view kPictureSignature{"\x08LMDBML30", 9};
inline constexpr std::size_t kMaxBlockOutput = 32781;
// What the writer puts into one block; the reader accepts up to kMaxBlockOutput.
inline constexpr std::size_t kBlockInput = 32768;

struct Picture {
  bool compressed = false;
  std::string bmp;  // the bytes of a Windows bitmap file; empty for an item without picture
};

// Decodes one block. Throws std::invalid_argument for a block that would read outside itself,
// copy from before the start of its output, or decode to more than kMaxBlockOutput bytes.
std::string decodeBlock(std::string_view block);
// The same, appending to `out`.
void decodeBlockInto(std::string_view block, std::string& out);
// Codes up to kBlockInput bytes; a block that coding would not shrink is stored (80h).
std::string encodeBlock(std::string_view plain);

// A whole picture file's bytes. The stored form when `compress` is false.
std::string writePictureFile(const std::vector<std::string>& bmps, bool compress);

struct BitmapSize {
  int width = 0;
  int height = 0;
};
// Width and height from a bitmap file's header (height positive also for top-down bitmaps).
std::optional<BitmapSize> bitmapSize(std::string_view bmp);

namespace bytes {
// Appends the pictures read so far to `out`; throws std::invalid_argument at the first fault.
void loadPictures(std::string_view data, std::vector<Picture>& out);
}  // namespace bytes

// Throws CatalogError (operation "load pictures") keeping the pictures read before the fault.
void loadPictures(const std::string& fileName, std::vector<Picture>& out);

}  // namespace kelvo::catalog
