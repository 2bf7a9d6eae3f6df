// Every designation Kelvo drew in a drawing, and the seam tables it drew there, found through one
// selection set of the block references that carry Kelvo's extended data: the calls it costs
// grow with Kelvo's own objects, never with the rest of the drawing.
#pragma once

#include "cad/acad.h"
#include "cad/designation_xdata.h"

#include <string>
#include <vector>

namespace kelvo::cad {

struct FoundDesignation {
  StoredDesignation stored;
  // The block reference's handle as the designation's data names it. A copy made in the CAD
  // program is found as a designation of its own all the same: the search selects each reference.
  std::string handle;
};

struct DrawingDesignations {
  std::vector<FoundDesignation> designations;
  std::vector<AcadEntity> tables;  // the block references of seam tables Kelvo drew
  bool searched = true;            // false: the CAD program offers no selection sets
};

// A lost connection is raised; a program without selection sets answers searched = false.
DrawingDesignations findDrawingDesignations(const AcadDocument& doc);

// What a seam table's block reference carries, so that the next table replaces it.
XDataArrays seamTableXData();

}  // namespace kelvo::cad
