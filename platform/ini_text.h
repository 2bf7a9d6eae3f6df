// The text rules of the Windows private-profile functions, on a whole file's bytes. Kept apart
// from the file I/O so that every rule can be checked on strings.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvo::ini {

// Lines split on LF with a CR before it dropped; a missing final newline is no error.
std::vector<std::string_view> splitLines(std::string_view text);

// The value of the first matching key in the first matching section (names compare without
// regard to case), trimmed of spaces and tabs, with one pair of enclosing quotes removed and
// cut to kIniValueLimit; `defaultValue` when there is no such key.
std::string readValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view defaultValue);

// The file's new contents with the key set: replaced in place, appended at the end of its
// section, or appended with a new section at the end of the file. Every other line is kept;
// lines end in CR LF.
std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value);

// The section names in file order, as the header lines spell them (repeats included).
std::vector<std::string> sectionNames(std::string_view text);

// The file's new contents without the first section of that name (its header and its lines up
// to the next header); the text as it was when there is none.
std::string withoutSection(std::string_view text, std::string_view section);

// The file's new contents with the first section of that name given the new one, in place.
std::string withSectionRenamed(std::string_view text, std::string_view section, std::string_view newName);

}  // namespace kelvo::ini
