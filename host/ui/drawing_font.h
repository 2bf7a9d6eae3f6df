// The font a drawing's texts are measured and drawn with on this machine.
#pragma once

#include "host/model/document.h"

namespace kelvo::host {

// Sets doc.font: Liberation Sans for a drawing naming Arial (or nothing), the drawing's own font
// where the machine has it, and otherwise Liberation Sans with a warning in doc.warnings.
void chooseFont(Document& doc);

}  // namespace kelvo::host
