#include "tools/catalog/audit.h"

#include "catalog/picture_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <stdexcept>
#include <system_error>

namespace kelvo::tools {

using namespace catalog;
using namespace kelvo::literals;

namespace {

// Digits, with a decimal comma and digits after it when `fraction` allows; its value in `v`.
bool readNumber(std::string_view s, std::size_t& i, bool fraction, double& v) {
  const std::size_t start = i;
  auto digits = [&] {
    const std::size_t from = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i > from;
  };
  if (!digits()) return false;
  std::string text(s.substr(start, i - start));
  if (fraction && i + 1 < s.size() && s[i] == ',') {
    ++i;
    if (!digits()) return false;
    text = std::string(s.substr(start, i - start));
    text[text.find(',')] = '.';
  }
  v = std::strtod(text.c_str(), nullptr);  // never throws, whatever the number of digits
  return true;
}

bool readRange(std::string_view s, std::size_t& i, bool fraction, double& lo, double& hi) {
  if (!readNumber(s, i, fraction, lo)) return false;
  if (i >= s.size() || s[i] != '-') return false;
  ++i;
  return readNumber(s, i, fraction, hi);
}

bool take(std::string_view s, std::size_t& i, std::string_view what) {
  if (s.substr(i, what.size()) != what) return false;
  i += what.size();
  return true;
}

// "/25" or "/14-150" after a pipe joint's wall thickness: its least outer diameter, or for gas
// welding the span of outer diameters.
bool readDiameter(std::string_view s, std::size_t& i) {
  if (!take(s, i, "/")) return false;
  double lo = 0, hi = 0;
  if (!readNumber(s, i, true, lo)) return false;
  if (i < s.size() && s[i] == '-') {
    ++i;
    return readNumber(s, i, true, hi) && lo <= hi;
  }
  return true;
}

// " (угол 179-91°, 89-5°)": the angle bands a thickness range holds for.
bool readAngles(std::string_view s, std::size_t& i) {
  if (!take(s, i, " (угол "_w)) return false;
  for (;;) {
    double from = 0, to = 0;
    if (!readRange(s, i, false, from, to) || !take(s, i, "°"_w)) return false;
    if (take(s, i, ")")) return true;
    if (!take(s, i, ", ")) return false;
  }
}

std::string utf8(std::string_view cp1251Text) { return cp1251::toUtf8(cp1251Text); }

// The number a data file is named after: "14771-76" of "…/14771-76.dat" or "…/kelvo_14771-76.dat".
std::string numberOf(const std::string& fileName) {
  std::string stem = std::filesystem::path(fileName).stem().string();
  const auto underscore = stem.rfind('_');
  return underscore == std::string::npos ? stem : stem.substr(underscore + 1);
}

struct Joint {
  std::size_t line = 0;
  RecordLine fields;
  std::vector<std::string> body;  // 4 + 2·M lines; fewer when the file ends early
};

std::vector<Joint> jointsOf(Report& report, const std::vector<NumberedLine>& lines, std::size_t methods) {
  std::vector<Joint> joints;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!isRecordLine(lines[i].text)) continue;
    Joint j;
    j.line = lines[i].number;
    try {
      j.fields = parseRecordLine(lines[i].text);
    } catch (const std::invalid_argument&) {
      continue;  // the checker names it
    }
    for (std::size_t k = i + 1; k <= i + 4 + 2 * methods && k < lines.size(); ++k)
      j.body.push_back(lines[k].text);
    if (j.body.size() < 4 + 2 * methods) report.at(j.line, "the joint's lines end with the file");
    joints.push_back(std::move(j));
  }
  return joints;
}

void checkHeading(Report& report, const std::vector<NumberedLine>& lines, const std::string& number,
                  const std::vector<StandardRow>& standards) {
  const std::string designation = std::string(kGostPrefix) + number;
  if (lines.empty() || lines[0].text != designation)
    report.at(1, "line 1 is not \"" + utf8(designation) + "\", the designation the file is named after");
  const auto listed = std::find_if(standards.begin(), standards.end(),
                                   [&](const StandardRow& r) { return r.designation == designation; });
  if (listed == standards.end()) report.whole("the standards list does not hold " + utf8(designation));
  else if (lines.size() < 2 || lines[1].text != listed->title)
    report.at(2, "the title differs from the one in the standards list");
}

void checkJoint(Report& report, const Joint& j, const std::vector<std::string>& methodLines) {
  const std::string name = utf8(j.fields.designation);
  if (j.body.empty()) return;
  if (familyCaption(j.body[0]).empty())
    report.at(j.line, name + ": \"" + utf8(j.body[0]) + "\" is not a type of joint");
  for (std::size_t k = 0; 2 * k + 1 < methodLines.size(); ++k) {
    const std::size_t label = 4 + 2 * k, cell = label + 1;
    if (cell >= j.body.size()) return;
    if (j.body[label] != methodLines[2 * k])
      report.at(j.line + 1 + label, name + ": the line before a thickness names \"" + utf8(j.body[label]) +
                                        "\", not the method \"" + utf8(methodLines[2 * k]) + "\"");
    if (!isThicknessCell(j.body[cell]))
      report.at(j.line + 1 + cell, name + ": \"" + utf8(j.body[cell]) +
                                       "\" is not a thickness range, \"-\" or \"нет данных\"");
  }
}

void checkDesignationsOnce(Report& report, const std::vector<Joint>& joints) {
  std::map<std::string, std::size_t> first;
  for (const Joint& j : joints) {
    const auto [it, fresh] = first.emplace(j.fields.designation, j.line);
    if (!fresh)
      report.at(j.line, utf8(j.fields.designation) + " stands already at line " + std::to_string(it->second));
  }
}

// Each tab holds joints of one type and is captioned after it; a type whose joints do not fit
// the ten buttons of one tab goes over tabs numbered from 1, and only such a type.
void checkTabs(Report& report, const std::vector<Joint>& joints, const std::vector<std::string>& captions) {
  std::map<int, std::string> familyOfTab;
  std::map<std::string, std::size_t> jointsOfFamily;
  for (const Joint& j : joints) {
    if (j.body.empty()) continue;
    const std::string family = familyCaption(j.body[0]);
    if (family.empty()) continue;
    ++jointsOfFamily[family];
    const auto [it, fresh] = familyOfTab.emplace(j.fields.tab, family);
    if (!fresh && it->second != family)
      report.at(j.line, "tab " + std::to_string(j.fields.tab) + " holds both " + utf8(it->second) +
                            " and " + utf8(family) + " joints");
  }
  std::map<std::string, std::vector<int>> tabsOfFamily;
  for (const auto& [tab, family] : familyOfTab) tabsOfFamily[family].push_back(tab);
  for (const auto& [family, tabs] : tabsOfFamily) {
    if (tabs.size() > 1 && jointsOfFamily[family] <= kButtonsPerTab)
      report.whole(utf8(family) + ": " + std::to_string(jointsOfFamily[family]) +
                   " joints fit one tab but are split over " + std::to_string(tabs.size()));
    for (std::size_t k = 0; k < tabs.size(); ++k) {
      const std::string want = tabs.size() == 1 ? family : family + " " + std::to_string(k + 1);
      const auto t = static_cast<std::size_t>(tabs[k]);
      if (t < captions.size() && captions[t] != want)
        report.whole("tab " + std::to_string(t) + " is captioned \"" + utf8(captions[t]) + "\"; its joints want \"" +
                     utf8(want) + "\"");
    }
  }
}

void checkPictures(Report& report, const std::vector<Joint>& joints, const std::string& risName) {
  std::vector<Picture> pictures;
  try {
    loadPictures(risName, pictures);
  } catch (const CatalogError& e) {
    report.whole("its pictures cannot be read: " + e.detail());
    return;
  }
  if (pictures.size() != joints.size())
    report.whole(std::to_string(pictures.size()) + " pictures in " + risName + " for " +
                 std::to_string(joints.size()) + " joints");
  for (const Joint& j : joints) {
    const auto p = static_cast<std::size_t>(j.fields.picture);
    if (p >= pictures.size()) {
      report.at(j.line, "picture " + std::to_string(p) + " is not in " + risName);
      continue;
    }
    const auto size = bitmapSize(pictures[p].bmp);
    if (!size || size->width != kPictureWidth || size->height != kPictureHeight)
      report.at(j.line, "picture " + std::to_string(p) + " is not a bitmap of " + std::to_string(kPictureWidth) +
                            " x " + std::to_string(kPictureHeight));
  }
}

}  // namespace

bool isThicknessCell(std::string_view cell) {
  if (cell == "-" || cell == "нет данных"_w) return true;
  std::size_t i = 0;
  for (;;) {
    double lo = 0, hi = 0;
    if (!readRange(cell, i, true, lo, hi) || lo > hi) return false;
    if (i < cell.size() && cell[i] == '/' && !readDiameter(cell, i)) return false;
    if (i < cell.size() && cell[i] == ' ' && !readAngles(cell, i)) return false;
    if (i == cell.size()) return true;
    if (!take(cell, i, "; ")) return false;
  }
}

std::string familyCaption(std::string_view fullType) {
  // "Стыковое соединение трубы с трубой": the type is its first word.
  const std::string_view jointType = fullType.substr(0, fullType.find(' '));
  const std::string_view ending = "ое"_w;
  if (jointType.size() <= ending.size() || !jointType.ends_with(ending)) return {};
  return std::string(jointType.substr(0, jointType.size() - ending.size())) + std::string("ые"_w);
}

std::vector<Problem> auditData(const std::string& fileName, const std::vector<StandardRow>& standards) {
  Report report(fileName);
  const auto data = readWholeFile(fileName);
  if (!data) {
    report.whole("the file cannot be opened or read");
    return report.problems;
  }
  Heading heading;
  std::vector<std::string> captions;
  try {
    readHeadingAndMethods(fileName, heading);
    readTabCaptions(fileName, captions);
  } catch (const CatalogError& e) {
    report.whole(e.what());
    return report.problems;
  }
  const auto lines = numberedLines(*data);
  const std::string number = numberOf(fileName);
  checkHeading(report, lines, number, standards);
  const auto joints = jointsOf(report, lines, heading.methodLines.size() / 2);
  for (const Joint& j : joints) checkJoint(report, j, heading.methodLines);
  checkDesignationsOnce(report, joints);
  checkTabs(report, joints, captions);
  const std::filesystem::path ris = std::filesystem::path(fileName).replace_extension(".ris");
  checkPictures(report, joints, ris.string());
  return report.problems;
}

std::vector<Problem> auditCatalogue(const std::string& dir) {
  std::vector<StandardRow> standards;
  const std::string list = (std::filesystem::path(dir) / "standards.dat").string();
  try {
    readStandardsList(list, standards);
  } catch (const CatalogError& e) {
    return {{list, e.what()}};
  }
  std::vector<std::string> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const auto& path = it->path();
    if (path.extension() == ".dat" && path.stem().string().find('-') != std::string::npos)
      files.push_back(path.string());
  }
  std::sort(files.begin(), files.end());
  std::vector<Problem> problems;
  if (files.empty()) problems.push_back({dir, "no data file"});
  for (const auto& f : files) {
    auto more = auditData(f, standards);
    problems.insert(problems.end(), more.begin(), more.end());
  }
  return problems;
}

}  // namespace kelvo::tools
