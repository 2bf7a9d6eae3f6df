#include "tools/catalog/check.h"

#include "catalog/catalog_files.h"
#include "catalog/catalog_text.h"
#include "catalog/picture_file.h"
#include "platform/file_io.h"

#include <map>
#include <optional>
#include <set>

namespace kelvo::tools {

using namespace catalog;

namespace {

bool blankAtEdge(const std::string& s) {
  return !s.empty() && (static_cast<unsigned char>(s.front()) <= 32 ||
                        static_cast<unsigned char>(s.back()) <= 32);
}

// The section's lines as the readers take them; nothing when the header is missing.
std::optional<std::pair<std::size_t, std::vector<NumberedLine>>> section(const std::vector<NumberedLine>& lines,
                                                                 std::string_view header,
                                                                 std::size_t from) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    if (lines[i].text != header) continue;
    std::vector<NumberedLine> taken;
    for (std::size_t k = i + 1; k < lines.size(); ++k) {
      if (k > i + 1 && lines[k].text.empty()) break;
      taken.push_back(lines[k]);
    }
    return std::make_pair(lines[i].number, taken);
  }
  return std::nullopt;
}

std::optional<std::size_t> pictureCount(const std::string& risName) {
  std::vector<Picture> pictures;
  try {
    loadPictures(risName, pictures);
  } catch (const CatalogError&) {
    return std::nullopt;
  }
  return pictures.size();
}

struct Record {
  std::size_t line;
  RecordLine fields;
};

void checkRecords(Report& report, const std::vector<NumberedLine>& lines, std::size_t methods,
                  std::size_t tabs, const std::string& risName) {
  std::vector<Record> records;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!isRecordLine(lines[i].text)) continue;
    try {
      records.push_back({lines[i].number, parseRecordLine(lines[i].text)});
    } catch (const std::invalid_argument& e) {
      report.at(lines[i].number, std::string("record line is incomplete: ") + e.what());
    }
    const std::size_t bodyEnd = i + 4 + 2 * methods;
    for (std::size_t k = i + 1; k <= bodyEnd && k < lines.size(); ++k)
      if (isRecordLine(lines[k].text)) {
        report.at(lines[k].number, "a record begins inside the body lines of the record at line " +
                                       std::to_string(lines[i].number));
        break;
      }
  }
  std::map<int, std::vector<const Record*>> byTab;
  std::map<int, std::size_t> firstOfPicture;
  int previousTab = -1;
  for (const Record& r : records) {
    if (r.fields.designation.empty()) report.at(r.line, "record has no designation");
    if (r.fields.tab >= static_cast<int>(tabs))
      report.at(r.line, "record is on tab " + std::to_string(r.fields.tab) + " but the tab section has " +
                            std::to_string(tabs) + " captions");
    if (r.fields.tab != previousTab && byTab.count(r.fields.tab))
      report.at(r.line, "records of tab " + std::to_string(r.fields.tab) +
                            " do not stand in one unbroken run");
    previousTab = r.fields.tab;
    byTab[r.fields.tab].push_back(&r);
    const auto [it, fresh] = firstOfPicture.emplace(r.fields.picture, r.line);
    if (!fresh)
      report.at(r.line, "picture number " + std::to_string(r.fields.picture) +
                            " is used already at line " + std::to_string(it->second));
  }
  for (std::size_t t = 0; t < tabs; ++t)
    if (!byTab.count(static_cast<int>(t))) report.whole("tab " + std::to_string(t) + " has no records");
  for (const auto& [tab, list] : byTab) {
    if (list.size() > 10)
      report.at(list[10]->line, "tab " + std::to_string(tab) + " has more than 10 records");
    std::set<int> positions;
    for (const Record* r : list) {
      if (r->fields.position >= static_cast<int>(list.size()) || !positions.insert(r->fields.position).second)
        report.at(r->line, "button position " + std::to_string(r->fields.position) + " on tab " +
                               std::to_string(tab) + " is not one of 0 to " +
                               std::to_string(list.size() - 1) + " used once");
    }
  }
  const auto count = pictureCount(risName);
  if (!count) {
    report.whole("its picture file " + risName + " is missing or cannot be read");
    return;
  }
  for (const Record& r : records)
    if (r.fields.picture >= static_cast<int>(*count))
      report.at(r.line, "picture number " + std::to_string(r.fields.picture) +
                            " is not below the " + std::to_string(*count) + " pictures of " + risName);
}

// The file's lines, or nothing (and the problem reported) when it cannot be read.
std::optional<std::vector<NumberedLine>> readLines(Report& report, const std::string& fileName) {
  const auto data = readWholeFile(fileName);
  if (!data) {
    report.whole("the file cannot be opened or read");
    return std::nullopt;
  }
  return numberedLines(*data);
}

}  // namespace

std::vector<NumberedLine> numberedLines(const std::string& data) {
  LineReader in(data);
  std::vector<NumberedLine> lines;
  while (!in.atEnd()) {
    std::string text = in.next();
    lines.push_back({in.lineNumber(), std::move(text)});
  }
  return lines;
}

CatalogKind guessKind(const std::string& fileName) {
  const std::string data = readWholeFile(fileName).value_or("");
  if (data.starts_with(kPictureSignature)) return CatalogKind::Pictures;
  for (const NumberedLine& l : numberedLines(data))
    if (l.text == kMethodHeader || l.text == kTabHeader) return CatalogKind::Data;
  return CatalogKind::Standards;
}

std::vector<Problem> checkStandards(const std::string& fileName) {
  Report report(fileName);
  const auto read = readLines(report, fileName);
  if (!read) return report.problems;
  const auto& lines = *read;
  if (lines.empty()) report.whole("the file is empty: it needs a heading line");
  for (std::size_t i = 1; i < lines.size(); i += 2) {
    const NumberedLine& number = lines[i];
    if (number.text.empty()) report.at(number.number, "empty standard number");
    else if (number.text.size() > 14) report.at(number.number, "standard number longer than 14 characters");
    else if (blankAtEdge(number.text)) report.at(number.number, "standard number begins or ends with a space or control character");
    if (i + 1 >= lines.size()) report.at(number.number, "standard number without a title line");
  }
  return report.problems;
}

std::vector<Problem> checkData(const std::string& fileName) {
  Report report(fileName);
  const auto read = readLines(report, fileName);
  if (!read) return report.problems;
  const auto& lines = *read;
  if (lines.size() < 2) report.whole("the file needs the designation on line 1 and the title on line 2");
  const auto methods = section(lines, kMethodHeader, 2);
  const auto tabs = section(lines, kTabHeader, 0);
  std::size_t methodCount = 0;
  if (!methods) {
    report.whole("the method section header is missing (it must stand at line 3 or later)");
  } else {
    if (methods->second.size() % 2) report.at(methods->first, "the method section has an odd number of lines");
    methodCount = methods->second.size() / 2;
    if (methodCount == 0) report.at(methods->first, "the method section holds no method");
    for (const NumberedLine& l : methods->second)
      if (isRecordLine(l.text)) report.at(l.number, "a method line begins with #");
  }
  if (!tabs) report.whole("the tab section header is missing");
  else
    for (const NumberedLine& l : tabs->second)
      if (isRecordLine(l.text)) report.at(l.number, "a tab caption begins with #");
  const std::string ris = fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) + ".ris" : fileName + ".ris";
  checkRecords(report, lines, methodCount, tabs ? tabs->second.size() : 0, ris);
  return report.problems;
}

std::vector<Problem> checkPictures(const std::string& fileName) {
  Report report(fileName);
  std::vector<Picture> pictures;
  try {
    loadPictures(fileName, pictures);
  } catch (const CatalogError& e) {
    report.whole("picture " + std::to_string(pictures.size()) + ": " + e.detail());
    return report.problems;
  }
  for (std::size_t i = 0; i < pictures.size(); ++i)
    if (!pictures[i].bmp.empty() && !bitmapSize(pictures[i].bmp))
      report.whole("picture " + std::to_string(i) + " is not a Windows bitmap file");
  return report.problems;
}

std::vector<Problem> checkFile(const std::string& fileName) {
  switch (guessKind(fileName)) {
    case CatalogKind::Pictures: return checkPictures(fileName);
    case CatalogKind::Data: return checkData(fileName);
    case CatalogKind::Standards: return checkStandards(fileName);
  }
  return {};
}

}  // namespace kelvo::tools
