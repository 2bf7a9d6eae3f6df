// Object snap: the point of the drawing's geometry that a pick near it means, as CAD users
// know it (end, middle, centre, quadrant, intersection, perpendicular from the base point, and
// nearest when none of those is within the aperture).
#pragma once

#include "host/model/display.h"

#include <optional>

namespace kelvo::host {

struct Snapped {
  P2 at;
  SnapKind kind;
};

// The snap point within `aperture` (drawing units) of `cursor`: of the special points the one
// nearest the cursor, else the nearest point on the geometry; nothing when nothing is that near.
std::optional<Snapped> snapPoint(const Picture& d, P2 cursor, double aperture, const std::optional<P2>& base = std::nullopt);

}  // namespace kelvo::host
