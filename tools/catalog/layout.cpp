#include "tools/catalog/layout.h"

#include "catalog/catalog_files.h"
#include "catalog/catalog_text.h"
#include "platform/codepage.h"
#include "tools/catalog/audit.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>

namespace kelvo::tools {

TabPlan planTabs(const std::vector<std::string>& jointTypes) {
  // Runs of one type in file order, each split into tabs of at most ten. The type is its first
  // word: "Стыковое соединение трубы с трубой" and "Стыковое соединение фланца с трубой" share tabs.
  std::vector<std::pair<std::string, std::size_t>> runs;
  for (const auto& type : jointTypes) {
    const std::string family = familyCaption(type);
    if (family.empty()) throw std::invalid_argument("\"" + cp1251::toUtf8(type) + "\" is not a type of joint");
    if (!runs.empty() && runs.back().first == family) {
      ++runs.back().second;
      continue;
    }
    for (const auto& run : runs)
      if (run.first == family)
        throw std::invalid_argument("the " + cp1251::toUtf8(family) + " joints do not stand together");
    runs.emplace_back(family, 1);
  }
  TabPlan plan;
  for (const auto& [family, count] : runs) {
    const std::size_t tabs = (count + kButtonsPerTab - 1) / kButtonsPerTab;
    for (std::size_t k = 0; k < tabs; ++k)
      plan.captions.push_back(family + (tabs > 1 ? " " + std::to_string(k + 1) : ""));
    const auto first = static_cast<int>(plan.captions.size() - tabs);
    for (std::size_t j = 0; j < count; ++j)
      plan.placeOfJoint.emplace_back(first + static_cast<int>(j / kButtonsPerTab),
                                     static_cast<int>(j % kButtonsPerTab));
  }
  if (plan.captions.size() > 10)
    throw std::invalid_argument(std::to_string(plan.captions.size()) + " tabs; a record names at most 10");
  return plan;
}

std::string layOut(std::string_view data) {
  std::vector<std::string> lines;
  catalog::LineReader in(data);
  while (!in.atEnd()) lines.push_back(in.next());
  std::vector<std::size_t> records;
  std::vector<std::string> types;
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (catalog::isRecordLine(lines[i])) {
      catalog::parseRecordLine(lines[i]);  // an incomplete record line is no place to write into
      records.push_back(i);
      types.push_back(i + 1 < lines.size() ? lines[i + 1] : std::string());
    }
  if (records.empty()) throw std::invalid_argument("no joint to lay out");
  const TabPlan plan = planTabs(types);
  for (std::size_t r = 0; r < records.size(); ++r) {
    std::string& line = lines[records[r]];
    const auto [tab, position] = plan.placeOfJoint[r];
    line[4] = static_cast<char>('0' + tab);
    line[6] = static_cast<char>('0' + position / 10);
    line[7] = static_cast<char>('0' + position % 10);
  }
  std::size_t header = 0;
  while (header < lines.size() && lines[header] != catalog::kTabHeader) ++header;
  if (header == lines.size()) throw std::invalid_argument("the tab section header is missing");
  // The captions run to the first empty line; a record line ends them too, and then the empty
  // line the readers need is put in.
  std::size_t end = header + 1;
  if (end < lines.size() && !catalog::isRecordLine(lines[end])) ++end;  // taken even when empty
  while (end < lines.size() && !lines[end].empty() && !catalog::isRecordLine(lines[end])) ++end;
  const bool closed = end < lines.size() && lines[end].empty();
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(std::min(header + 1, lines.size())),
              lines.begin() + static_cast<std::ptrdiff_t>(std::min(end, lines.size())));
  auto at = lines.begin() + static_cast<std::ptrdiff_t>(header + 1);
  if (!closed) at = lines.insert(at, std::string());
  lines.insert(at, plan.captions.begin(), plan.captions.end());
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace kelvo::tools
