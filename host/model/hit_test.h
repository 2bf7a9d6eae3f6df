// What a pick selects: the entity of a space nearest to a point, within a tolerance, as a CAD
// program's object selection finds it (a block reference by any of its block's entities).
#pragma once

#include "host/model/document.h"

#include <optional>

namespace kelvo::host {

// The index in `space` of the nearest entity not deleted, or nothing within `tolerance`.
std::optional<std::size_t> entityAt(const Document& doc, const Block& space, const Point& p, double tolerance);

// The selection tolerance of a drawing: half its dimension text height.
double pickTolerance(const Document& doc);

}  // namespace kelvo::host
