#include "platform/ini_text.h"

#include "platform/codepage.h"
#include "platform/ini_store.h"

#include <optional>

namespace kelvo::ini {

namespace {

std::string_view trimBlanks(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// The section name of a header line, or nothing for any other line.
std::optional<std::string_view> headerName(std::string_view line) {
  const std::string_view t = trimBlanks(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const std::string_view inner = t.substr(1);
  return trimBlanks(inner.substr(0, inner.find(']')));
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> keyName(std::string_view line) {
  const auto eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return trimBlanks(line.substr(0, eq));
}

struct Located {
  std::size_t header = 0;          // index of the section's header line
  std::size_t end = 0;             // one past its last line
  std::optional<std::size_t> key;  // index of the key's line
};

std::optional<Located> locate(const std::vector<std::string_view>& lines,
                              std::string_view section, std::string_view key) {
  std::size_t i = 0;
  while (i < lines.size()) {
    const auto name = headerName(lines[i]);
    if (name && cp1251::equalsIgnoreCase(*name, section)) break;
    ++i;
  }
  if (i == lines.size()) return std::nullopt;
  Located at{i, i + 1, std::nullopt};
  for (; at.end < lines.size() && !headerName(lines[at.end]); ++at.end) {
    if (at.key) continue;
    const auto k = keyName(lines[at.end]);
    if (k && cp1251::equalsIgnoreCase(*k, key)) at.key = at.end;
  }
  return at;
}

std::string unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v.substr(0, kIniValueLimit));
}

// A value is one line: a CR or LF in it would start a line of its own in the file and could
// pose as another key, so it becomes a space.
std::string oneLine(std::string_view value) {
  std::string s(value);
  for (char& c : s)
    if (c == '\r' || c == '\n') c = ' ';
  return s;
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    auto nl = text.find('\n', pos);
    const std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    pos = next;
  }
  return lines;
}

std::string readValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view defaultValue) {
  const auto lines = splitLines(text);
  const auto at = locate(lines, section, key);
  if (!at || !at->key) return std::string(defaultValue.substr(0, kIniValueLimit));
  const std::string_view line = lines[*at->key];
  return unquote(trimBlanks(line.substr(line.find('=') + 1)));
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value) {
  auto lines = splitLines(text);
  const std::string keyLine = std::string(key) + "=" + oneLine(value);
  std::vector<std::string> added;
  std::size_t insertAt = lines.size();
  const auto at = locate(lines, section, key);
  if (!at) {
    added = {"[" + std::string(section) + "]", keyLine};
  } else if (at->key) {
    const std::string_view line = lines[*at->key];
    const std::string kept = std::string(trimBlanks(line.substr(0, line.find('=')))) + "=" +
                             oneLine(value);
    added = {kept};
    insertAt = *at->key;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(insertAt));
  } else {
    insertAt = at->end;
    while (insertAt > at->header + 1 && trimBlanks(lines[insertAt - 1]).empty()) --insertAt;
    added = {keyLine};
  }
  std::string out;
  out.reserve(text.size() + keyLine.size() + section.size() + 8);
  auto put = [&out](std::string_view l) {
    out.append(l);
    out.append("\r\n");
  };
  for (std::size_t i = 0; i <= lines.size(); ++i) {
    if (i == insertAt)
      for (const auto& a : added) put(a);
    if (i < lines.size()) put(lines[i]);
  }
  return out;
}

std::vector<std::string> sectionNames(std::string_view text) {
  std::vector<std::string> names;
  for (std::string_view line : splitLines(text))
    if (const auto name = headerName(line)) names.emplace_back(*name);
  return names;
}

namespace {

// The lines joined again, each ending in CR LF.
std::string joined(const std::vector<std::string_view>& lines) {
  std::string out;
  for (std::string_view l : lines) out.append(l).append("\r\n");
  return out;
}

std::optional<std::size_t> headerOf(const std::vector<std::string_view>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (const auto name = headerName(lines[i]); name && cp1251::equalsIgnoreCase(*name, section)) return i;
  return std::nullopt;
}

}  // namespace

std::string withoutSection(std::string_view text, std::string_view section) {
  auto lines = splitLines(text);
  const auto header = headerOf(lines, section);
  if (!header) return std::string(text);
  std::size_t end = *header + 1;
  while (end < lines.size() && !headerName(lines[end])) ++end;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*header), lines.begin() + static_cast<std::ptrdiff_t>(end));
  return joined(lines);
}

std::string withSectionRenamed(std::string_view text, std::string_view section, std::string_view newName) {
  auto lines = splitLines(text);
  const auto header = headerOf(lines, section);
  if (!header) return std::string(text);
  const std::string renamed = "[" + std::string(newName) + "]";
  lines[*header] = renamed;
  return joined(lines);
}

}  // namespace kelvo::ini
