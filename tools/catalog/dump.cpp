#include "tools/catalog/dump.h"

#include "catalog/catalog_files.h"
#include "catalog/catalog_text.h"
#include "catalog/picture_file.h"
#include "platform/file_io.h"
#include "tools/catalog/json.h"

namespace kelvo::tools {

using namespace catalog;

std::string dumpStandards(const std::string& fileName) {
  std::vector<StandardRow> rows;
  readStandardsList(fileName, rows);
  std::vector<std::string> items;
  for (const auto& r : rows)
    items.push_back(JsonObject().text("designation", r.designation).text("title", r.title).str());
  return JsonObject().text("kind", "standards").raw("rows", jsonArray(items)).str();
}

std::string dumpData(const std::string& fileName) {
  Heading heading;
  readHeadingAndMethods(fileName, heading);
  std::vector<std::string> tabs;
  readTabCaptions(fileName, tabs);
  const int methodCount = static_cast<int>(heading.methodLines.size() / 2);
  std::vector<std::string> methods;
  for (int k = 0; k < methodCount; ++k)
    methods.push_back(JsonObject()
                          .text("designation", heading.methodLines[static_cast<std::size_t>(2 * k)])
                          .text("description", heading.methodLines[static_cast<std::size_t>(2 * k + 1)])
                          .str());
  // Every record line in file order, with the body that Kelvo finds for its number and
  // designation (the first such record's, should two be alike).
  const std::string data = readWholeFile(fileName).value_or("");
  LineReader in(data);
  std::vector<std::string> records;
  while (!in.atEnd()) {
    const std::string line = in.next();
    if (!isRecordLine(line)) continue;
    RecordLine r;
    try {
      r = parseRecordLine(line);
    } catch (const std::invalid_argument& e) {
      throw CatalogError(Operation::ReadTabRecords, fileName, e.what());
    }
    JointBody body;
    findJointByNumberAndDesignation(fileName, r.picture, r.designation, methodCount, body);
    records.push_back(JsonObject()
                          .number("picture", r.picture)
                          .number("tab", r.tab)
                          .number("position", r.position)
                          .text("designation", r.designation)
                          .text("type", body.type)
                          .text("edges", body.edges)
                          .text("character", body.character)
                          .text("thicknessCaption", body.thicknessCaption)
                          .raw("thickness", jsonStrings(body.thickness))
                          .str());
  }
  return JsonObject()
      .text("kind", "data")
      .text("heading", heading.designation)
      .text("title", heading.title)
      .raw("methods", jsonArray(methods))
      .raw("tabs", jsonStrings(tabs))
      .raw("records", jsonArray(records))
      .str();
}

std::string dumpPictures(const std::string& fileName) {
  std::vector<Picture> pictures;
  loadPictures(fileName, pictures);
  std::vector<std::string> items;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    const auto size = bitmapSize(pictures[i].bmp).value_or(BitmapSize{});
    items.push_back(JsonObject()
                        .number("index", static_cast<long long>(i))
                        .boolean("compressed", pictures[i].compressed)
                        .number("bytes", static_cast<long long>(pictures[i].bmp.size()))
                        .number("width", size.width)
                        .number("height", size.height)
                        .str());
  }
  return JsonObject()
      .text("kind", "pictures")
      .number("count", static_cast<long long>(pictures.size()))
      .raw("pictures", jsonArray(items))
      .str();
}

}  // namespace kelvo::tools
