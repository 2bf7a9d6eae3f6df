#include "host/model/dxf_sections.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace kelvo::host {

namespace {

bool is(const Tag& t, std::string_view value) { return t.code == 0 && t.value == value; }

bool drawingSection(std::string_view name) {
  return name == "CLASSES" || name == "TABLES" || name == "BLOCKS" || name == "ENTITIES" || name == "OBJECTS";
}

// Object types that stand only in TABLES, BLOCKS' frame, CLASSES or OBJECTS: outside every
// section they cannot be taken for drawing entities.
bool entityType(std::string_view type) {
  static const std::string_view notEntities[] = {"TABLE", "ENDTAB", "BLOCK", "ENDBLK", "CLASS", "DICTIONARY",
                                                 "LAYER", "LTYPE", "STYLE", "VPORT", "VIEW", "UCS", "APPID",
                                                 "DIMSTYLE", "BLOCK_RECORD", "LAYOUT", "XRECORD"};
  for (const auto& n : notEntities)
    if (type == n) return false;
  return !type.empty();
}

struct Splitter {
  Splitter(Tags& t_, Repairs& repairs_) : t(t_), repairs(repairs_) {}
  Tags& t;
  Repairs& repairs;
  std::size_t i = 0;
  DxfStructure out;
  std::vector<Tags> strayEntities;

  bool sectionEnds() const { return i >= t.size() || is(t[i], "ENDSEC") || is(t[i], "SECTION") || is(t[i], "EOF"); }

  Tags object() {
    Tags o{std::move(t[i++])};
    while (i < t.size() && t[i].code != 0) o.push_back(std::move(t[i++]));
    return o;
  }

  void section() {
    ++i;
    DxfSection s;
    if (i < t.size() && t[i].code == 2) s.name = std::move(t[i++].value);
    if (s.name == "HEADER") s.objects.emplace_back();
    // A section the model reads object by object has nothing before its first object; one it
    // keeps as tags (ACDSDATA begins with two) keeps whatever it holds.
    const bool read = drawingSection(s.name);
    std::size_t stray = 0;
    while (!sectionEnds()) {
      if (s.name == "HEADER") s.objects[0].push_back(std::move(t[i++]));
      else if (t[i].code == 0) s.objects.push_back(object());
      else if (!read && s.objects.empty()) s.objects.push_back({std::move(t[i++])});
      else if (!read && s.objects.size() == 1 && s.objects[0][0].code != 0) s.objects[0].push_back(std::move(t[i++]));
      else ++i, ++stray;
    }
    repairs.add("теги вне объектов в секции " + s.name + " пропущены", stray);
    if (i < t.size() && is(t[i], "ENDSEC")) ++i;
    else repairs.add("секции " + s.name + " дописан конец (ENDSEC)");
    // A second ENTITIES (or TABLES...) would be read over the first: its objects join them.
    DxfSection* earlier = s.name == "HEADER" || read ? out.find(s.name) : nullptr;
    if (earlier) {
      repairs.add("повторная секция " + s.name + " присоединена к первой");
      if (s.name == "HEADER") earlier->objects[0].insert(earlier->objects[0].end(), s.objects[0].begin(), s.objects[0].end());
      else
        for (Tags& o : s.objects) earlier->objects.push_back(std::move(o));
      return;
    }
    out.sections.push_back(std::move(s));
  }

  // Between sections: an entity is taken into ENTITIES, header variables back into the HEADER
  // just closed (some writers end it twice), anything else is left out.
  void outside() {
    if (is(t[i], "ENDSEC")) {
      ++i;
      return repairs.add("лишний конец секции (ENDSEC) пропущен");
    }
    if (t[i].code == 0) {
      const bool entity = entityType(t[i].value);
      Tags o = object();
      if (entity) strayEntities.push_back(std::move(o)), repairs.add("объекты вне секций перенесены в ENTITIES");
      else repairs.add("объекты вне секций пропущены");
      return;
    }
    // Header variables (9, then their values) belong in the HEADER, made for them if need be.
    const bool header = t[i].code == 9;
    if (header && !out.find("HEADER")) out.sections.insert(out.sections.begin(), {"HEADER", {{}}});
    DxfSection* h = header ? out.find("HEADER") : nullptr;
    std::size_t n = 0;
    for (; i < t.size() && t[i].code != 0; ++i, ++n)
      if (h) h->objects[0].push_back(std::move(t[i]));
    repairs.add(header ? "переменные вне секции HEADER перенесены в неё" : "теги вне секций пропущены", header ? 1 : n);
  }

  DxfStructure run() {
    while (i < t.size() && !is(t[i], "EOF")) {
      if (is(t[i], "SECTION")) section();
      else outside();
    }
    if (!strayEntities.empty()) {
      DxfSection* entities = out.find("ENTITIES");
      if (!entities) out.sections.push_back({"ENTITIES", {}}), entities = &out.sections.back();
      for (Tags& o : strayEntities) entities->objects.push_back(std::move(o));
    }
    return std::move(out);
  }
};

}  // namespace

std::vector<std::string> Repairs::lines() const {
  std::vector<std::string> out;
  for (const auto& [what, n] : counts_) out.push_back(what + ": " + std::to_string(n));
  return out;
}

DxfSection* DxfStructure::find(const std::string& name) {
  for (DxfSection& s : sections)
    if (s.name == name) return &s;
  return nullptr;
}

DxfStructure splitSections(Tags&& tags, Repairs& repairs) { return Splitter(tags, repairs).run(); }

Tags flatten(DxfStructure&& s) {
  Tags out;
  for (DxfSection& sec : s.sections) {
    out.push_back({0, "SECTION"});
    out.push_back({2, std::move(sec.name)});
    for (Tags& o : sec.objects)
      for (Tag& g : o) out.push_back(std::move(g));
    out.push_back({0, "ENDSEC"});
  }
  out.push_back({0, "EOF"});
  return out;
}

namespace {
// Where a header variable's name stands among the HEADER's tags (their size: nowhere).
std::size_t variableAt(const Tags& vars, std::string_view name) {
  for (std::size_t k = 0; k < vars.size(); ++k)
    if (vars[k].code == 9 && vars[k].value == name) return k;
  return vars.size();
}
// The tag after a name is its value, unless it is the next name (or the next object).
bool isValue(const Tags& vars, std::size_t k) { return k < vars.size() && vars[k].code != 9 && vars[k].code != 0; }
}  // namespace

const std::string* headerValue(const DxfStructure& s, std::string_view name) {
  for (const DxfSection& sec : s.sections)
    if (sec.name == "HEADER" && !sec.objects.empty()) {
      const Tags& vars = sec.objects[0];
      const std::size_t k = variableAt(vars, name);
      return isValue(vars, k + 1) ? &vars[k + 1].value : nullptr;
    }
  return nullptr;
}

void setHeaderValue(DxfStructure& s, std::string_view name, const Tag& value) {
  if (!s.find("HEADER")) s.sections.insert(s.sections.begin(), {"HEADER", {{}}});
  Tags& vars = s.find("HEADER")->objects[0];
  const std::size_t k = variableAt(vars, name);
  if (k == vars.size()) vars.insert(vars.end(), {{9, std::string(name)}, value});
  else if (isValue(vars, k + 1)) vars[k + 1] = value;
  else vars.insert(vars.begin() + static_cast<std::ptrdiff_t>(k + 1), value);
}

int handleCode(std::string_view type) { return type == "DIMSTYLE" ? 105 : 5; }

std::set<std::uint64_t> objectHandles(const DxfStructure& s) {
  std::set<std::uint64_t> out;
  for (const DxfSection& sec : s.sections) {
    if (sec.name == "HEADER" || sec.objects.empty() || sec.objects[0][0].code != 0) continue;
    for (const Tags& o : sec.objects) {
      const int code = handleCode(o[0].value);
      for (const Tag& g : o)
        if (g.code == code && handleValue(g.value)) out.insert(handleValue(g.value));
    }
  }
  return out;
}

std::uint64_t firstFreeHandle(const DxfStructure& s, const std::set<std::uint64_t>& handles) {
  std::uint64_t top = handles.empty() ? 0 : *handles.rbegin();
  if (const std::string* seed = headerValue(s, "$HANDSEED")) top = std::max(top, handleValue(*seed));
  return std::max<std::uint64_t>(top + 1, 0x100);
}

std::uint64_t handleValue(std::string_view s) {
  std::uint64_t v = 0;
  const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  return ec == std::errc() && p == s.data() + s.size() ? v : 0;
}

std::string handleText(std::uint64_t h) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(h));
  return buf;
}

}  // namespace kelvo::host
