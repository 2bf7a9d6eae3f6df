// Reading the catalogue: the standards list, a standard's data file (heading, methods, tabs,
// joint records) and its picture file. Every operation opens its file, reads it from the top
// and closes it; nothing is kept between operations. A failure raises CatalogError naming the
// operation, after the operation has delivered whatever it read before the failure.
#pragma once

#include "platform/codepage.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::catalog {

enum class Operation {
  ReadStandards,
  CheckDataFile,
  ReadHeading,
  ReadTabs,
  LocateJoint,
  ReadTabRecords,
  FindJoint,
  FindJointByNumber,
  LoadPictures,
};

const char* operationName(Operation op);

class CatalogError : public std::runtime_error {
 public:
  CatalogError(Operation op, const std::string& fileName, const std::string& detail);
  Operation operation() const { return op_; }
  const std::string& fileName() const { return file_; }
  const std::string& detail() const { return detail_; }

 private:
  Operation op_;
  std::string file_;
  std::string detail_;
};

namespace detail {
using namespace kelvo::literals;
inline constexpr std::string_view kMethodHeader = "[Способ сварки]"_w;
inline constexpr std::string_view kTabHeader = "[Тип соединения - закладки]"_w;
inline constexpr std::string_view kGostPrefix = "ГОСТ "_w;
}  // namespace detail
using detail::kGostPrefix;
using detail::kMethodHeader;
using detail::kTabHeader;

struct StandardRow {
  std::string designation;  // "ГОСТ " + number
  std::string title;
};

struct Heading {
  std::string designation;  // line 1
  std::string title;        // line 2
  std::vector<std::string> methodLines;
};

struct JointBody {
  std::string type;
  std::string edges;
  std::string character;
  // What the thickness cells give, "Толщина свариваемых деталей, мм", or for pipes the wall
  // thickness over the least outer diameter; may be empty.
  std::string thicknessCaption;
  std::vector<std::string> thickness;  // one per method
};

// A record line's columns. Throws std::invalid_argument when a digit field does not convert.
struct RecordLine {
  int picture = 0;
  int tab = 0;
  int position = 0;
  std::string designation;  // columns 10 to 12, as many as the line has
};
bool isRecordLine(std::string_view line);
RecordLine parseRecordLine(std::string_view line);

// Two characters as a number: a leading "0" is dropped, the rest must be decimal digits.
// Throws std::invalid_argument otherwise.
int TwoDigitNumber(std::string_view two);

// Operations on bytes already read (what the file operations below do once they have the
// file); kept apart so that they can be fed anything.
namespace bytes {
void readStandards(std::string_view data, std::vector<StandardRow>& rows);
void readHeading(std::string_view data, Heading& out);
void readTabs(std::string_view data, std::vector<std::string>& captions);
// Unchanged `tab` and `position` when no record has the picture number.
void locateJoint(std::string_view data, int picture, int& tab, int& position);
void readTabRecords(std::string_view data, int tab, std::vector<std::string>& records);
// False when no record matches. On entry `picture` < 0 accepts any picture number (the
// designation alone decides); on a match it holds the record's number.
bool findJoint(std::string_view data, std::string_view designation, int methods, int& picture,
               JointBody& body);
}  // namespace bytes

void readStandardsList(const std::string& fileName, std::vector<StandardRow>& rows);
bool checkDataFile(const std::string& fileName);
void readHeadingAndMethods(const std::string& fileName, Heading& out);
void readTabCaptions(const std::string& fileName, std::vector<std::string>& captions);
void locateJoint(const std::string& fileName, int picture, int& tab, int& position);
void readTabRecords(const std::string& fileName, int tab, std::vector<std::string>& records);
// The first record whose designation equals `designation`; its picture number into `picture`.
bool findJointByDesignation(const std::string& fileName, std::string_view designation,
                            int methods, int& picture, JointBody& body);
// The first record with both the picture number and the designation given.
bool findJointByNumberAndDesignation(const std::string& fileName, int picture,
                                     std::string_view designation, int methods, JointBody& body);

}  // namespace kelvo::catalog
