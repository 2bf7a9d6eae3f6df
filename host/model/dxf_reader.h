// Reading ASCII DXF R2000 to R2018 into a document. What the model does not understand is kept
// as tags, so that saving loses nothing.
#pragma once

#include "host/model/document.h"

#include <string>
#include <string_view>

namespace kelvo::host {

// Throws DxfError for binary DXF, DWG, DXF older than R2000, and files that are not DXF.
Document readDxf(std::string_view text);
Document loadDxf(const std::string& fileName);

}  // namespace kelvo::host
