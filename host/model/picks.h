// Scripted picks of a headless host: "x,y;x,y,z;..." (z is 0 when left out).
#pragma once

#include "host/model/document.h"

#include <deque>
#include <string_view>

namespace kelvo::host {

// Throws std::invalid_argument for a coordinate that is not a number.
std::deque<Point> parsePicks(std::string_view text);

}  // namespace kelvo::host
