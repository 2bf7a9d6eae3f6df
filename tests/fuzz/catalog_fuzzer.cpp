// libFuzzer target over every catalogue reader: the text operations and the picture loader get
// the same bytes. A reader may refuse the bytes (std::invalid_argument); anything else, and any
// read outside a buffer, is a finding.
#include "catalog/catalog_files.h"
#include "catalog/picture_file.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvo::catalog;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const int small = size ? data[0] % 12 : 0;
  try {
    std::vector<StandardRow> rows;
    bytes::readStandards(bytes, rows);
  } catch (const std::invalid_argument&) {
  }
  try {
    Heading h;
    bytes::readHeading(bytes, h);
    std::vector<std::string> tabs;
    bytes::readTabs(bytes, tabs);
    int tab = -1, position = -1;
    bytes::locateJoint(bytes, small, tab, position);
    std::vector<std::string> records;
    bytes::readTabRecords(bytes, small % 10, records);
    for (const auto& r : records) {
      const RecordLine line = parseRecordLine(r);
      int picture = -1;
      JointBody body;
      bytes::findJoint(bytes, line.designation, static_cast<int>(h.methodLines.size() / 2), picture, body);
    }
  } catch (const std::invalid_argument&) {
  }
  try {
    std::vector<Picture> pictures;
    bytes::loadPictures(bytes, pictures);
    for (const auto& p : pictures) bitmapSize(p.bmp);
  } catch (const std::invalid_argument&) {
  }
  try {
    decodeBlock(bytes);
  } catch (const std::invalid_argument&) {
  }
  return 0;
}
