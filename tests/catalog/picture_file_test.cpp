#include "catalog/catalog_files.h"
#include "catalog/picture_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

namespace kelvo::catalog {
namespace {

std::string u32(std::uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  return s;
}

// A small but real bitmap file: 4 x 2 pixels, 24 bits.
std::string tinyBmp() {
  std::string px;
  for (int i = 0; i < 2; ++i) px += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x10\x20\x30", 12);
  std::string bmp = "BM" + u32(static_cast<std::uint32_t>(54 + px.size())) + u32(0) + u32(54) +
                    u32(40) + u32(4) + u32(2) + std::string("\x01\x00\x18\x00", 4) + u32(0) +
                    u32(static_cast<std::uint32_t>(px.size())) + u32(2835) + u32(2835) + u32(0) + u32(0);
  return bmp + px;
}

// Eight runs of 4111 bytes: more than one block may decode to.
std::string tooLong() {
  std::string block("\x40\xFF\xFF", 3);
  for (int i = 0; i < 8; ++i) block += std::string("\x00\x0F\xFF" "a", 4);
  return block;
}

std::string header(std::int32_t count) {
  return std::string(kPictureSignature) + u32(static_cast<std::uint32_t>(count)) +
         std::string(4 * static_cast<std::size_t>(std::max(0, count)), '\0');
}

std::vector<Picture> load(const std::string& data) {
  std::vector<Picture> out;
  bytes::loadPictures(data, out);
  return out;
}

TEST(PictureBlocks, DecodesLiteralsCopiesAndRuns) {
  // Control word 0110 0000 ...: literal 'a', copy D=1 len 3, run of 16+2 'z', literal 'b'.
  const std::string block = std::string("\x40\x60\x00", 3) + "a" + std::string("\x00\x10", 2) +
                            std::string("\x00\x00\x02z", 4) + "b";
  EXPECT_EQ(decodeBlock(block), "aaaa" + std::string(18, 'z') + "b");
  EXPECT_EQ(decodeBlock("\x80stored \x40 as is"), "stored \x40 as is");
}

TEST(PictureBlocks, OverlappingCopyRepeatsAPattern) {
  // "ab" then copy D=2 len 18: ababab...
  const std::string block = std::string("\x40\x20\x00", 3) + "ab" + std::string("\x00\x2F", 2);
  EXPECT_EQ(decodeBlock(block), "abababababababababab");
}

TEST(PictureBlocks, GuardsRejectBadBlocks) {
  const std::pair<const char*, std::string> bad[] = {
      {"second control word cut", std::string("\x40\x00\x00", 3) + std::string(16, 'a') + std::string(1, '\0')},
      {"copy before start", std::string("\x40\x80\x00\x00\x50", 5)},
      {"copy cut short", std::string("\x40\x80\x00\x01", 4)},
      {"run cut short", std::string("\x40\x80\x00\x00\x00\x01", 6)},
      {"runs past the block limit", tooLong()},
      {"stored block too long", "\x80" + std::string(kMaxBlockOutput + 1, 'x')},
  };
  for (const auto& [name, block] : bad) EXPECT_THROW(decodeBlock(block), std::invalid_argument) << name;
  // The limit itself is fine.
  EXPECT_EQ(decodeBlock("\x80" + std::string(kMaxBlockOutput, 'x')).size(), kMaxBlockOutput);
  // Blocks too short to hold coded bytes decode to nothing.
  for (const std::string& block : {std::string(), std::string("\x80"), std::string("\x40"),
                                  std::string("\x40\x80", 2), std::string("\x40\x80\x00", 3)})
    EXPECT_EQ(decodeBlock(block), "") << block.size();
}

TEST(PictureBlocks, EncoderRoundTrips) {
  std::mt19937 rng(12345);
  std::vector<std::string> inputs = {"", "a", std::string(5000, 'q'), tinyBmp()};
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "joint С" + std::to_string(i % 37) + ";";
  inputs.push_back(text.substr(0, kBlockInput));
  std::string noise(kBlockInput, '\0');
  for (char& c : noise) c = static_cast<char>(rng() & 0xFF);
  inputs.push_back(noise);
  std::string mixed;
  while (mixed.size() < kBlockInput) mixed += std::string(rng() % 40, static_cast<char>(rng() % 3)) + noise.substr(rng() % 1000, rng() % 50);
  inputs.push_back(mixed.substr(0, kBlockInput));
  for (const auto& in : inputs) {
    const std::string coded = encodeBlock(in);
    EXPECT_LE(coded.size(), in.size() + 1);
    EXPECT_EQ(decodeBlock(coded), in) << in.size();
  }
  EXPECT_EQ(static_cast<unsigned char>(encodeBlock(noise)[0]), 0x80);   // would not shrink
  EXPECT_LT(encodeBlock(std::string(5000, 'q')).size(), 20u);
}

TEST(PictureFile, StoredAndCompressedItemsGiveTheSamePicture) {
  const std::string bmp = tinyBmp();
  const auto stored = load(writePictureFile({bmp}, false));
  const auto packed = load(writePictureFile({bmp}, true));
  ASSERT_EQ(stored.size(), 1u);
  ASSERT_EQ(packed.size(), 1u);
  EXPECT_FALSE(stored[0].compressed);
  EXPECT_TRUE(packed[0].compressed);
  EXPECT_EQ(stored[0].bmp, bmp);
  EXPECT_EQ(packed[0].bmp, bmp);
  const auto size = bitmapSize(bmp);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 4);
  EXPECT_EQ(size->height, 2);
}

TEST(PictureFile, ItemsWithOptionalFieldsAndEmptyItems) {
  const std::string bmp = tinyBmp();
  // Flags 0Eh: description, identifier and payload; hint bits 4-6 are read past.
  std::string data = header(3) + std::string("\x0E\x03" "abc", 5) + u32(77) + u32(static_cast<std::uint32_t>(bmp.size())) + bmp;
  data += std::string("\x00", 1);                              // empty item
  data += std::string("\x79", 1) + u32(static_cast<std::uint32_t>(4 + 1 + bmp.size())) +
          u32(static_cast<std::uint32_t>(1 + bmp.size())) + "\x80" + bmp;  // compressed, 80h block, hint 3
  const auto pics = load(data);
  ASSERT_EQ(pics.size(), 3u);
  EXPECT_EQ(pics[0].bmp, bmp);
  EXPECT_TRUE(pics[1].bmp.empty());
  EXPECT_EQ(pics[2].bmp, bmp);
}

TEST(PictureFile, GuardsRejectCraftedFiles) {
  const std::string bmp = tinyBmp();
  const std::pair<const char*, std::string> bad[] = {
      {"no signature", "BM" + bmp},
      {"short signature", std::string(kPictureSignature.substr(0, 5))},
      {"no count", std::string(kPictureSignature)},
      {"absurd count", std::string(kPictureSignature) + u32(0x7FFFFFFF) + "xxxx"},
      {"offset table cut", std::string(kPictureSignature) + u32(3) + std::string(13, '\0')},
      {"stored size past the end", header(1) + "\x08" + u32(1u << 30) + bmp},
      {"stored size negative", header(1) + "\x08" + u32(0xFFFFFFF0) + bmp},
      {"description past the end", header(1) + "\x02\xFF" + "abc"},
      {"identifier cut", header(1) + "\x04" + "ab"},
      {"payload length past the end", header(1) + "\x09" + u32(1000) + u32(5) + "\x80" "abcd"},
      {"block past the end of the file", header(1) + "\x09" + u32(9) + u32(50) + "\x80" "abcd"},
      {"block decodes to too much", header(1) + "\x09" + u32(4 + 35) + u32(35) + tooLong()},
      {"item missing", header(2) + "\x00"},
  };
  for (const auto& [name, data] : bad) {
    std::vector<Picture> out;
    EXPECT_THROW(bytes::loadPictures(data, out), std::invalid_argument) << name;
  }
}

TEST(PictureFile, ReadsWhatLiesInsideTheFile) {
  const std::string bmp = tinyBmp();
  const auto size = [](std::size_t n) { return u32(static_cast<std::uint32_t>(n)); };
  const struct {
    const char* name;
    std::string data;
    std::vector<std::string> bmps;
  } cases[] = {
      {"negative count: no items", std::string(kPictureSignature) + u32(0xFFFFFFFF) + "junk", {}},
      {"flag bit 7 is read as zero", header(1) + "\x88" + size(bmp.size()) + bmp, {bmp}},
      {"last block runs past its payload's count",
       header(2) + "\x09" + u32(5) + size(1 + bmp.size()) + "\x80" + bmp + std::string(1, '\0'), {bmp, ""}},
      {"coded block of length 1", header(1) + "\x09" + u32(5) + u32(1) + "\x40", {""}},
  };
  for (const auto& c : cases) {
    const auto pics = load(c.data);
    ASSERT_EQ(pics.size(), c.bmps.size()) << c.name;
    for (std::size_t i = 0; i < pics.size(); ++i) EXPECT_EQ(pics[i].bmp, c.bmps[i]) << c.name;
  }
}

TEST(PictureFile, FailureKeepsEarlierPicturesAndNamesTheOperation) {
  test::TempDir dir;
  std::string data = writePictureFile({tinyBmp(), tinyBmp()}, false);
  data.resize(data.size() - 10);
  test::spit(dir.file("k.ris"), data);
  std::vector<Picture> out;
  try {
    loadPictures(dir.file("k.ris"), out);
    FAIL();
  } catch (const CatalogError& e) {
    EXPECT_EQ(e.operation(), Operation::LoadPictures);
  }
  EXPECT_EQ(out.size(), 1u);
}

}  // namespace
}  // namespace kelvo::catalog
