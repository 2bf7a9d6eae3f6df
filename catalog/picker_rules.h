// Rules the catalogue pickers apply to what they read, kept apart from the windows so that
// they can be checked on their own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvo::catalog {

// A text longer than `limit` is split at its last space at position `limit` or before (counted
// from 1): the part before the space, and the part after it. Otherwise the text stays whole
// and there is no second part.
struct Split {
  std::string first;
  std::optional<std::string> second;
};
Split SplitAtSpace(std::string_view text, std::size_t limit);

inline constexpr std::size_t kTitleLimit = 65;
inline constexpr std::size_t kDescriptionLimit = 85;

// Width of each of `columns` grid columns in a grid `width` pixels wide: the width less its
// border and the lines between columns, shared equally without remainder; 0 without columns.
int methodColumnWidth(int width, int columns);

// The title of the first row whose key equals `key`, letter case ignored ("" when none does).
std::string titleOfFirstRowWithKey(const std::vector<std::pair<std::string, std::string>>& rows,
                                   std::string_view key);

}  // namespace kelvo::catalog
