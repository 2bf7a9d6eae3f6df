// The catalogue checked against itself: what the readers do not need but an engineer relies on.
// Each joint once a standard, a thickness cell of a known form for every method, tabs named
// after the joints they hold and split only when ten buttons do not hold them, and a picture
// of the button's size for exactly the joints there are.
#pragma once

#include "catalog/catalog_files.h"
#include "tools/catalog/check.h"
#include "tools/catalog/joint_picture.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvo::tools {

inline constexpr std::size_t kButtonsPerTab = 10;

// "-" (the standard does not allow the method), "нет данных" (not known), or one or more
// thickness ranges "0,5-4,0", each optionally followed by a pipe's least outer diameter or span
// of diameters, "/25" or "/14-150", and by the bands of the angle between the parts it holds
// for, " (угол 179-91°, 89-5°)", joined by "; ". cp1251 text.
bool isThicknessCell(std::string_view cell);

// The caption of the tabs that hold joints of a type: "Стыковое" and "Стыковое соединение трубы
// с трубой" give "Стыковые"; empty when the type's first word is not an adjective of that form.
// cp1251 text.
std::string familyCaption(std::string_view jointType);

// One data file, against the standards list read from the same directory. The file's name
// ends in "<number>.dat", its pictures in "<number>.ris" beside it.
std::vector<Problem> auditData(const std::string& fileName,
                               const std::vector<catalog::StandardRow>& standards);

// Every "<number>.dat" in `dir` (those whose name holds a "-"), with `dir`/standards.dat.
std::vector<Problem> auditCatalogue(const std::string& dir);

}  // namespace kelvo::tools
