// Laying a standard's joints out on the joint picker's tabs: one run of tabs a type of joint,
// captioned after it, ten buttons a tab, and a type that ten buttons do not hold spread over
// tabs numbered from 1 ("Стыковые 1", "Стыковые 2"), so that a user sees which tab goes on
// where the other stops.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo::tools {

struct TabPlan {
  std::vector<std::string> captions;           // cp1251
  std::vector<std::pair<int, int>> placeOfJoint;  // (tab, button position), in the joints' order
};

// The joints' types (cp1251) in file order. Throws std::invalid_argument when a type comes
// back after another (its tabs would not stand together), a type is not one a caption can be
// made of, or the joints need more tabs than a record's one tab digit can name.
TabPlan planTabs(const std::vector<std::string>& jointTypes);

// A data file's text with its tab section and the tab and position columns of its records
// laid out by planTabs; everything else, the picture numbers among it, stays. Lines end in
// CR LF. Throws std::invalid_argument as planTabs does, or when the tab section is missing.
std::string layOut(std::string_view data);

}  // namespace kelvo::tools
