// The library of designations ("Избранное"): designations saved under names the user gives,
// in a Windows-1251 INI file beside the program (BasePath + "_lib.ini"), one section a
// designation with every field, sign, the side, the arrow and the catalogue record. A file
// copied from another user is read as it is. An entry that does not read is skipped and named,
// and stays in the file as it was: nothing of a library is ever lost by reading or writing it.
#pragma once

#include "app/weld_record.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvo::library {

struct Entry {
  std::string name;  // the section's name
  DrawInput designation;  // texts, side, arrow, signs and the catalogue record
};

struct Loaded {
  std::vector<Entry> entries;        // in file order
  std::vector<std::string> skipped;  // one message a damaged entry, naming it (Windows-1251)
};

// A change that could not be made; the message (Windows-1251) says why and names the file.
class LibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string fileName(std::string_view basePath);

// A missing file is an empty library; one that exists but cannot be read is a LibraryError.
Loaded load(const std::string& file);

// What is wrong with a name for an entry, or nothing (Windows-1251).
std::optional<std::string> nameProblem(const std::string& name);

// Each change reads the file afresh, changes its own section only and stores the whole file by
// one replacement (whole old or whole new). A name compares without regard to case.
void save(const std::string& file, const Entry& entry);  // replaces an entry of the same name
void rename(const std::string& file, const std::string& from, const std::string& to);
void remove(const std::string& file, const std::string& name);
bool has(const std::string& file, const std::string& name);

}  // namespace kelvo::library
