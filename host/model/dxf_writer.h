// Writing a document as ASCII DXF: the version it was read in, or R2000 for a new drawing.
#pragma once

#include "host/model/document.h"

#include <string>

namespace kelvo::host {

// The whole file. Gives every table entry, block and entity without a handle a new one.
std::string writeDxf(Document& doc);
// Writes to a temporary file beside `fileName` and renames it over, so that a crash never
// leaves half a drawing. Throws DxfError when the file cannot be written.
void saveDxf(Document& doc, const std::string& fileName);

// The entity's tags as the writer puts them out (for golden-tag tests).
Tags entityTags(const Document& doc, const Entity& e, const std::string& ownerHandle, bool paper);

}  // namespace kelvo::host
