// The seam table as a plain computation over a sink, as the shelf is: a header row and a row a
// seam (number, the designation as its shelf writes it, count), the columns as wide as their
// widest text, the grid drawn last. Texts are measured by whoever draws them.
#pragma once

#include "cad/seam_list.h"
#include "cad/shelf_layout.h"

#include <vector>

namespace kelvo::cad::table {

struct Extent {
  shelf::Point low, high;  // the grid's corners
};

// `topLeft` is the table's upper-left corner; texts stand at the sizes' height.
Extent layout(const std::vector<SeamRow>& rows, const shelf::Point& topLeft, const shelf::Sizes& sizes, shelf::Sink& sink);

}  // namespace kelvo::cad::table
