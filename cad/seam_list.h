// GOST 2.312's numbering of identical seams over the designations of one drawing: a seam number
// names one designation; the others of its seams carry a leader and shelf with the number only.
// From the drawing's designations come the next free number, the designation a number is already
// given to, the count of seams a number carries, and the rows of the seam table.
#pragma once

#include "app/weld_record.h"
#include "cad/drawing_designations.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvo::cad {

// Field 2 as a seam number: digits only (blanks around them aside), above 0.
std::optional<int> seamNumber(const std::string& field2);

// Numbers compare as numbers when both read as such ("05" is 5), else as typed.
bool sameNumber(const std::string& a, const std::string& b);

// A designation that says nothing but its number (and perhaps a count): a seam identical to the
// one whose full designation carries that number.
bool isNumberOnly(const DrawInput& in);

// Two designations describe the same seam: the same shelf texts (fields 3 to 8) and signs.
// Count, number, side and arrow do not make another seam.
bool sameSeam(const DrawInput& a, const DrawInput& b);

// One more than the largest seam number of the drawing's designations; 1 in a drawing without.
int nextFreeNumber(const std::vector<FoundDesignation>& found);

// The full designations that carry the number.
std::vector<const FoundDesignation*> fullDesignationsNumbered(const std::vector<FoundDesignation>& found,
                                                               const std::string& number);

// The full designation that the drawing gives `input`'s number while it describes another seam;
// nothing when the number is free for it. `replacing` (a reference's handle) is left out.
const FoundDesignation* numberTakenBy(const std::vector<FoundDesignation>& found, const DrawInput& input,
                                      const std::string& replacing = {});

// How many designations carry the number: the full ones and their number-only ones.
int seamsNumbered(const std::vector<FoundDesignation>& found, const std::string& number);

// One row of the seam table.
struct SeamRow {
  std::string number;  // as typed in field 2; empty for seams without a number
  DrawInput designation;
  int count = 0;
};

// Numbered seams first, by number (numbers before other texts), then the seams without a
// number, identical ones joined. A number's count is its designations in the drawing, or what
// its full designation's count field says when that is more. A number that only number-only
// designations carry has a designation of empty texts.
std::vector<SeamRow> seamRows(const std::vector<FoundDesignation>& found);

// The designation as its shelf reads, in UTF-8, the signs as the characters nearest to them
// (the leg triangle, the roughness check mark); `plain` leaves the signs out and answers
// Windows-1251 (a name for a list).
std::string shelfText(const DrawInput& in, bool plain = false);

// The rows as CSV for a spreadsheet: UTF-8 with a byte-order mark, a header row, CR LF lines,
// fields quoted where they hold a comma, a quote or a line end.
std::string seamRowsCsv(const std::vector<SeamRow>& rows);

}  // namespace kelvo::cad
