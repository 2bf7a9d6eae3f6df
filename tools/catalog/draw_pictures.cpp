// kelvo-catalog-pictures DATA.dat DIR: draws every joint of a standard's data file from its row
// (type of joint, form of the edges, character of the seam) into DIR as "NN.bmp", NN being the
// joint's picture number, ready to be packed in number order into the standard's picture file.
#include "catalog/catalog_files.h"
#include "catalog/catalog_text.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "tools/catalog/joint_picture.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

using namespace kelvo;

// The number of rows that could not be drawn (each named on stderr), or -1 when the file
// cannot be read at all.
int drawAll(const std::string& fileName, const std::string& dir) {
  catalog::Heading heading;
  catalog::readHeadingAndMethods(fileName, heading);
  const int methods = static_cast<int>(heading.methodLines.size() / 2);
  const auto data = readWholeFile(fileName);
  if (!data) return -1;
  int failures = 0;
  catalog::LineReader in(*data);
  while (!in.atEnd()) {
    const std::string line = in.next();
    if (!catalog::isRecordLine(line)) continue;
    const catalog::RecordLine record = catalog::parseRecordLine(line);
    int picture = record.picture;
    catalog::JointBody body;
    catalog::bytes::findJoint(*data, record.designation, methods, picture, body);
    const auto shape = tools::shapeOf(body.type, body.edges, body.character);
    if (!shape) {
      std::cerr << fileName << ":" << in.lineNumber() << ": " << cp1251::toUtf8(record.designation)
                << ": no drawing for \"" << cp1251::toUtf8(body.type) << "\" with \""
                << cp1251::toUtf8(body.edges) << "\"\n";
      ++failures;
      continue;
    }
    char name[16];
    std::snprintf(name, sizeof name, "/%02d.bmp", record.picture);
    if (!replaceFileAtomically(dir + name, tools::drawJoint(*shape).bmp())) {
      std::cerr << "cannot write " << dir << name << "\n";
      return -1;
    }
  }
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: kelvo-catalog-pictures DATA.dat DIR\n";
    return 2;
  }
  try {
    const int failures = drawAll(argv[1], argv[2]);
    if (failures < 0) std::cerr << "cannot read " << argv[1] << "\n";
    return failures == 0 ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
}
