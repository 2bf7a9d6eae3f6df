#include "catalog/picker_rules.h"

#include "platform/codepage.h"

namespace kelvo::catalog {

Split SplitAtSpace(std::string_view text, std::size_t limit) {
  if (text.size() > limit) {
    for (std::size_t p = std::min(limit, text.size()); p >= 1; --p)
      if (text[p - 1] == ' ') return {std::string(text.substr(0, p - 1)), std::string(text.substr(p))};
  }
  return {std::string(text), std::nullopt};
}

int methodColumnWidth(int width, int columns) {
  if (columns <= 0) return 0;
  return std::max(0, (width - columns - 3) / columns);
}

std::string titleOfFirstRowWithKey(const std::vector<std::pair<std::string, std::string>>& rows,
                                   std::string_view key) {
  for (const auto& [k, title] : rows)
    if (cp1251::equalsIgnoreCase(k, key)) return title;
  return {};
}

}  // namespace kelvo::catalog
