#include "catalog/catalog_files.h"

#include "catalog/catalog_text.h"
#include "platform/file_io.h"

#include <cstdio>
#include <memory>

namespace kelvo::catalog {

const char* operationName(Operation op) {
  switch (op) {
    case Operation::ReadStandards: return "read standards list";
    case Operation::CheckDataFile: return "check data file";
    case Operation::ReadHeading: return "read heading and methods";
    case Operation::ReadTabs: return "read tab captions";
    case Operation::LocateJoint: return "locate a joint";
    case Operation::ReadTabRecords: return "read a tab's records";
    case Operation::FindJoint: return "find a joint from its designation";
    case Operation::FindJointByNumber: return "find a joint from its number and designation";
    case Operation::LoadPictures: return "load pictures";
  }
  return "catalogue operation";
}

CatalogError::CatalogError(Operation op, const std::string& fileName, const std::string& detail)
    : std::runtime_error(std::string(operationName(op)) + ": " + fileName + ": " + detail),
      op_(op),
      file_(fileName),
      detail_(detail) {}

int TwoDigitNumber(std::string_view two) {
  if (two.size() != 2) throw std::invalid_argument("two-digit field is cut short");
  if (two.front() == '0') two.remove_prefix(1);
  int value = 0;
  for (char c : two) {
    if (c < '0' || c > '9') throw std::invalid_argument("two-digit field is not a number");
    value = value * 10 + (c - '0');
  }
  return value;
}

bool isRecordLine(std::string_view line) { return !line.empty() && line.front() == '#'; }

namespace {

int tabDigit(std::string_view line) {
  if (line.size() < 5 || line[4] < '0' || line[4] > '9')
    throw std::invalid_argument("tab digit in column 5 is not a digit");
  return line[4] - '0';
}

std::string_view designationOf(std::string_view line) {
  return line.size() > 9 ? line.substr(9, 3) : std::string_view();
}

// Lines are taken after the header: the first always, then up to the first empty line.
void readSection(LineReader& in, std::string_view header, std::vector<std::string>& out) {
  while (!in.atEnd()) {
    if (in.next() != header) continue;
    out.push_back(in.next());
    for (std::string line = in.next(); !line.empty(); line = in.next()) out.push_back(line);
    return;
  }
}

void readBody(LineReader& in, int methods, JointBody& body) {
  body.type = in.next();
  body.edges = in.next();
  body.character = in.next();
  body.thicknessCaption = in.next();
  body.thickness.clear();
  for (int m = 0; m < methods; ++m) {
    in.next();
    body.thickness.push_back(in.next());
  }
}

std::string twoDigits(int n) {
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

// Reads the whole file (it is closed again before the text is looked at) and runs `op` on it,
// turning any failure into a CatalogError of `which`.
template <typename F>
auto onFile(Operation which, const std::string& fileName, F op) {
  const auto data = readWholeFile(fileName);
  if (!data) throw CatalogError(which, fileName, "the file cannot be opened or read");
  try {
    return op(std::string_view(*data));
  } catch (const std::invalid_argument& e) {
    throw CatalogError(which, fileName, e.what());
  }
}

}  // namespace

RecordLine parseRecordLine(std::string_view line) {
  if (!isRecordLine(line)) throw std::invalid_argument("not a record line");
  RecordLine r;
  r.picture = TwoDigitNumber(line.substr(1, std::min<std::size_t>(2, line.size() - 1)));
  r.tab = tabDigit(line);
  r.position = TwoDigitNumber(line.size() > 6 ? line.substr(6, 2) : std::string_view());
  r.designation = std::string(designationOf(line));
  return r;
}

namespace bytes {

void readStandards(std::string_view data, std::vector<StandardRow>& rows) {
  LineReader in(data);
  in.next();  // heading
  while (!in.atEnd()) {
    StandardRow row;
    row.designation = std::string(kGostPrefix) + in.next();
    row.title = in.next();
    rows.push_back(std::move(row));
  }
}

void readHeading(std::string_view data, Heading& out) {
  LineReader in(data);
  out.designation = in.next();
  out.title = in.next();
  readSection(in, kMethodHeader, out.methodLines);
}

void readTabs(std::string_view data, std::vector<std::string>& captions) {
  LineReader in(data);
  readSection(in, kTabHeader, captions);
}

void locateJoint(std::string_view data, int picture, int& tab, int& position) {
  if (picture < 0 || picture > 99) return;
  const std::string wanted = twoDigits(picture);
  LineReader in(data);
  while (!in.atEnd()) {
    const std::string line = in.next();
    if (!isRecordLine(line) || line.substr(1, 2) != wanted) continue;
    tab = tabDigit(line);
    position = TwoDigitNumber(line.size() > 6 ? std::string_view(line).substr(6, 2) : "");
    return;
  }
}

void readTabRecords(std::string_view data, int tab, std::vector<std::string>& records) {
  LineReader in(data);
  bool runBegun = false;
  do {
    std::string line = in.next();
    if (!isRecordLine(line)) continue;
    if (tabDigit(line) == tab) {
      records.push_back(std::move(line));
      runBegun = true;
    } else if (runBegun) {
      return;
    }
  } while (!in.atEnd());
}

bool findJoint(std::string_view data, std::string_view designation, int methods, int& picture,
               JointBody& body) {
  LineReader in(data);
  while (!in.atEnd()) {
    const std::string line = in.next();
    if (!isRecordLine(line) || designationOf(line) != designation) continue;
    const int number =
        TwoDigitNumber(std::string_view(line).substr(1, std::min<std::size_t>(2, line.size() - 1)));
    if (picture >= 0 && number != picture) continue;
    picture = number;
    readBody(in, methods, body);
    return true;
  }
  return false;
}

}  // namespace bytes

void readStandardsList(const std::string& fileName, std::vector<StandardRow>& rows) {
  onFile(Operation::ReadStandards, fileName,
         [&](std::string_view d) { bytes::readStandards(d, rows); });
}

bool checkDataFile(const std::string& fileName) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(openFile(fileName, "rb"),
                                                     &std::fclose);
  if (!f) return false;
  int c = 0;
  while ((c = std::fgetc(f.get())) != EOF && c != '\n') {
  }
  // A directory opens but cannot be read: ferror tells it from an empty file.
  return std::ferror(f.get()) == 0;
}

void readHeadingAndMethods(const std::string& fileName, Heading& out) {
  onFile(Operation::ReadHeading, fileName, [&](std::string_view d) { bytes::readHeading(d, out); });
}

void readTabCaptions(const std::string& fileName, std::vector<std::string>& captions) {
  onFile(Operation::ReadTabs, fileName, [&](std::string_view d) { bytes::readTabs(d, captions); });
}

void locateJoint(const std::string& fileName, int picture, int& tab, int& position) {
  onFile(Operation::LocateJoint, fileName,
         [&](std::string_view d) { bytes::locateJoint(d, picture, tab, position); });
}

void readTabRecords(const std::string& fileName, int tab, std::vector<std::string>& records) {
  onFile(Operation::ReadTabRecords, fileName,
         [&](std::string_view d) { bytes::readTabRecords(d, tab, records); });
}

bool findJointByDesignation(const std::string& fileName, std::string_view designation,
                            int methods, int& picture, JointBody& body) {
  return onFile(Operation::FindJoint, fileName, [&](std::string_view d) {
    int found = -1;
    if (!bytes::findJoint(d, designation, methods, found, body)) return false;
    picture = found;
    return true;
  });
}

bool findJointByNumberAndDesignation(const std::string& fileName, int picture,
                                     std::string_view designation, int methods, JointBody& body) {
  return onFile(Operation::FindJointByNumber, fileName, [&](std::string_view d) {
    if (picture < 0) return false;  // no record carries a negative number
    int wanted = picture;
    return bytes::findJoint(d, designation, methods, wanted, body);
  });
}

}  // namespace kelvo::catalog
