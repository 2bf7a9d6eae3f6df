// What a drawn designation carries with it: extended entity data of the application "KELVO"
// on each of its parts (the block reference, the leader and the count/number text), so that it
// can be found in the drawing again and survives the user's CAD program, DXF round trips and
// copy and paste (the handles are 1005 codes, which CAD programs translate on copy).
#pragma once

#include "app/weld_record.h"
#include "cad/automation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cad {

inline constexpr char kXDataApplication[] = "KELVO";
inline constexpr int kXDataVersion = 1;

struct StoredDesignation {
  DrawInput input;  // texts, side, arrow, signs, catalogue record; layer and ProgID are not kept
  std::array<double, 3> insert{}, bend{}, direction{};  // the three points as picked
  double leaderAngle = 0;
  std::vector<std::string> handles;  // block reference, leader, then the text when there is one
};

struct XDataArrays {
  std::vector<std::int16_t> types;
  VariantArray values;
};

XDataArrays designationXData(const StoredDesignation& d);

// A CAD program takes at most 255 bytes in a string (1000) of extended data. A longer text is
// stored as pieces, each within that in any drawing's encoding, between 1002 "{" and "}".
inline constexpr std::size_t kMaxXDataBytes = 255;
std::vector<std::string> xdataPieces(const std::string& text);

// Nothing for data of another application, another format version or a broken list.
std::optional<StoredDesignation> readDesignationXData(const std::vector<std::int16_t>& types,
                                                      const std::vector<Variant>& values);

}  // namespace kelvo::cad
