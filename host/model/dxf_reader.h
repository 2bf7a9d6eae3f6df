// Reading ASCII DXF R2000 to R2018 into a document. What the model does not understand is kept
// as tags, so that saving loses nothing.
#pragma once

#include "host/model/document.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvo::host {

// Reads text and binary DXF of every version from 2.5 to 2018: an older form is given the
// R2000 one, a malformed file is repaired as far as rules allow (Document::repairs lists what
// was done). Throws DxfError for DWG, an unknown version, and files that are not DXF.
Document readDxf(std::string_view text);
Document loadDxf(const std::string& fileName);

// What the user is told of a drawing just read: the form it will be saved in, each repair.
std::vector<std::string> readingReport(const Document& doc);
// The question asked before a drawing read from another form replaces its file.
std::string conversionQuestion(const Document& doc);

}  // namespace kelvo::host
