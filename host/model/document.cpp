#include "host/model/document.h"

#include "platform/codepage.h"

#include <charconv>
#include <cstdio>
#include <utility>

namespace kelvo::host {

namespace {

using Header = std::vector<std::pair<std::string, Tags>>;

const Header& newDrawingHeader() {
  static const Header header = {
      {"$ACADVER", {{1, "AC1015"}}},    {"$DWGCODEPAGE", {{3, "ANSI_1251"}}},
      {"$INSBASE", {{10, "0.0"}, {20, "0.0"}, {30, "0.0"}}},
      {"$CLAYER", {{8, "0"}}},          {"$DIMSCALE", {{40, "1.0"}}},
      {"$DIMASZ", {{40, "2.5"}}},       {"$DIMTXT", {{40, "2.5"}}},
      {"$DIMGAP", {{40, "0.625"}}},     {"$TILEMODE", {{70, "1"}}},
      {"$INSUNITS", {{70, "4"}}},       {"$MEASUREMENT", {{70, "1"}}},
      {"$HANDSEED", {{5, "0"}}},
  };
  return header;
}

const Tags* findVariable(const Header& header, std::string_view name) {
  const std::string key = "$" + std::string(name);
  for (const auto& [n, tags] : header)
    if (cp1251::equalsIgnoreCase(n, key) && !tags.empty()) return &tags;
  return nullptr;
}

}  // namespace

Document::Document() {
  header = newDrawingHeader();
  layers.push_back({"0", 7, "", std::nullopt});
  blocks.push_back({"*Model_Space", {}, "", "", "", {}, {}, {}, {}});
  blocks.push_back({"*Paper_Space", {}, "", "", "", {}, {}, {}, {}});
}

std::size_t Document::currentSpace() const {
  return number("TILEMODE").value_or(1) == 0 && number("CVPORT").value_or(2) == 1 ? 1 : 0;
}

std::optional<double> Document::number(std::string_view name) const {
  if (name == "CVPORT") {  // not stored in a DXF file: the model tab or the paper of a layout
    if (cvport) return *cvport;
    const auto tile = number("TILEMODE");
    return tile && *tile == 1 ? 2.0 : 1.0;
  }
  // A drawing written by another program may leave variables out of its header; a CAD system
  // still has them, with the values a new drawing starts with.
  const Tags* tags = findVariable(header, name);
  if (!tags) tags = findVariable(newDrawingHeader(), name);
  if (!tags) return std::nullopt;
  double v = 0;
  const auto& s = tags->front().value;
  const char* b = s.data();
  while (b < s.data() + s.size() && *b == ' ') ++b;
  if (std::from_chars(b, s.data() + s.size(), v).ec == std::errc()) return v;
  return std::nullopt;
}

void Document::setNumber(std::string_view name, double value, int code) {
  const std::string key = "$" + std::string(name);
  const std::string text = code >= 60 && code < 100 ? std::to_string(static_cast<long long>(value)) : formatDouble(value);
  for (auto& [n, tags] : header)
    if (cp1251::equalsIgnoreCase(n, key)) {
      tags = {{code, text}};
      return;
    }
  header.push_back({key, {{code, text}}});
}

std::optional<std::string> Document::text(std::string_view name) const {
  const Tags* tags = findVariable(header, name);
  return tags ? std::optional<std::string>(tags->front().value) : std::nullopt;
}

const Block* Document::findBlock(std::string_view name) const {
  const std::string key = cp1251::canonical(name);
  for (const auto& b : blocks)
    if (cp1251::equalsIgnoreCase(b.name, key)) return &b;
  return nullptr;
}

Block* Document::findBlock(std::string_view name) {
  return const_cast<Block*>(std::as_const(*this).findBlock(name));
}

const Layer* Document::findLayer(std::string_view name) const {
  const std::string key = cp1251::canonical(name);
  for (const auto& l : layers)
    if (cp1251::equalsIgnoreCase(l.name, key)) return &l;
  return nullptr;
}

Layer* Document::findLayer(std::string_view name) {
  return const_cast<Layer*>(std::as_const(*this).findLayer(name));
}

Block& Document::addBlock(const std::string& name, const Point& base) {
  blocks.push_back({cp1251::canonical(name), base, "", "", "", {}, {}, {}, {}});
  modified = true;
  return blocks.back();
}

Layer& Document::addLayer(const std::string& name) {
  layers.push_back({cp1251::canonical(name), 7, "", std::nullopt});
  modified = true;
  return layers.back();
}

std::string Document::newHandle() {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(nextHandle++));
  return buf;
}

std::string Document::encodeForFile(const std::string& text) const { return toFile(text, encoding); }

std::string Document::styleFontFile() const {
  for (const auto& [name, tags] : keptTables) {
    if (name != "STYLE") continue;
    bool standard = false;
    for (const Tag& t : tags) {
      if (t.code == 0) standard = false;
      else if (t.code == 2) standard = cp1251::equalsIgnoreCase(t.value, "Standard");
      else if (t.code == 3 && standard) return t.value;
    }
  }
  return keptTables.empty() ? kNewDrawingFontFile : "";
}

bool Document::hasApp(std::string_view name) const {
  for (const RegisteredApp& a : addedApps)
    if (cp1251::equalsIgnoreCase(a.name, name)) return true;
  if (keptTables.empty()) return cp1251::equalsIgnoreCase(name, "ACAD");  // a new drawing's one entry
  for (const auto& [table, tags] : keptTables) {
    if (table != "APPID") continue;
    bool entry = false;
    for (const Tag& t : tags) {
      if (t.code == 0) entry = t.value == "APPID";
      else if (t.code == 2 && entry && cp1251::equalsIgnoreCase(toFile(name, encoding), t.value)) return true;
    }
  }
  return false;
}

void Document::registerApp(const std::string& name) {
  if (hasApp(name)) return;
  addedApps.push_back({cp1251::canonical(name), newHandle()});
  modified = true;
}

double leaderScale(const Document& doc, const Entity& leader) {
  if (leader.leaderScale > 0) return leader.leaderScale;
  const double s = doc.number("DIMSCALE").value_or(1.0);
  return s > 0 ? s : 1.0;
}

double leaderArrowSize(const Document& doc, const Entity& leader) {
  if (leader.arrowSize > 0) return leader.arrowSize;
  return doc.number("DIMASZ").value_or(2.5);
}

std::size_t Document::entityCount() const {
  std::size_t n = 0;
  for (const auto& b : blocks)
    for (const auto& e : b.entities) n += e.deleted ? 0 : 1;
  return n;
}

}  // namespace kelvo::host
