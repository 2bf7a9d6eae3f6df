// Taking a designation back from the drawing: the user picks any of its parts in the CAD
// program, and what the draw command stored on it comes back, with its parts checked.
#pragma once

#include "cad/acad.h"
#include "cad/designation_xdata.h"

namespace kelvo::cad {

enum class TakeOutcome {
  Taken,
  NothingPicked,    // the pick met nothing, or the user cancelled it
  NotADesignation,  // what was picked carries no designation of Kelvo's
  PartsErased,      // a part the designation names is no longer in the drawing
};

struct Taken {
  TakeOutcome outcome = TakeOutcome::NothingPicked;
  StoredDesignation designation;
};

// Failures other than the host's own refusals (a lost connection) go to the caller.
Taken takeDesignation(const AcadDocument& doc);

// What Kelvo says for each outcome but Taken (Windows-1251).
std::string takeMessage(TakeOutcome outcome);

}  // namespace kelvo::cad
