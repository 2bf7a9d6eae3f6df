// GetVariable as AutoCAD answers it: each variable in its own type, and the annotation scale,
// which a DXF file keeps in its objects rather than its header.
#include "host/model/host_object.h"

#include "host/model/dxf_codepage.h"
#include "platform/codepage.h"


namespace kelvo::host::served {

namespace {

// Integer variables AutoCAD keeps as 16-bit numbers but a DXF header does not hold.
bool shortWithoutHeader(std::string_view name) { return name == "CVPORT" || name == "DIMANNO"; }

// Group codes of 16-bit integers in a DXF file (70-79, 170-179, 270-289, 370-389); 90-99 are
// 32-bit.
bool shortCode(int c) {
  return (c >= 60 && c <= 79) || (c >= 170 && c <= 179) || (c >= 270 && c <= 289) || (c >= 370 && c <= 389);
}

const Tags* objects(const Document& doc) {
  const auto it = doc.keptSections.find("OBJECTS");
  return it == doc.keptSections.end() ? nullptr : &it->second;
}

// The value of a DICTIONARYVAR named in a dictionary (AcDbVariableDictionary holds CANNOSCALE).
std::optional<std::string> dictionaryVariable(const Document& doc, std::string_view name) {
  const Tags* t = objects(doc);
  if (!t) return std::nullopt;
  std::string handle;
  for (std::size_t i = 0; i + 1 < t->size() && handle.empty(); ++i)
    if ((*t)[i].code == 3 && cp1251::equalsIgnoreCase((*t)[i].value, name) && ((*t)[i + 1].code == 350 || (*t)[i + 1].code == 360))
      handle = (*t)[i + 1].value;
  if (handle.empty()) return std::nullopt;
  bool inVar = false;
  for (std::size_t i = 0; i < t->size(); ++i) {
    const Tag& g = (*t)[i];
    if (g.code == 0) inVar = false;
    if (g.code == 0 && g.value == "DICTIONARYVAR" && i + 1 < t->size() && (*t)[i + 1].code == 5 &&
        cp1251::equalsIgnoreCase((*t)[i + 1].value, handle))
      inVar = true;
    else if (inVar && g.code == 1) return fromFile(g.value, doc.encoding);
  }
  return std::nullopt;
}

// Paper units over drawing units of the SCALE object of that name; else read off "1:10" (a
// drawing without its scale list: AutoCAD would have the list, so this is a guess).
double scaleValue(const Document& doc, const std::string& name) {
  if (const Tags* t = objects(doc)) {
    bool inScale = false, named = false;
    double paper = 0, drawing = 0;
    for (const Tag& g : *t) {
      if (g.code == 0) {
        if (inScale && named && paper > 0 && drawing > 0) return paper / drawing;
        inScale = g.value == "SCALE", named = false, paper = drawing = 0;
      } else if (inScale && g.code == 300) named = cp1251::equalsIgnoreCase(fromFile(g.value, doc.encoding), name);
      else if (inScale && g.code == 140) paper = parseReal(g.value);
      else if (inScale && g.code == 141) drawing = parseReal(g.value);
    }
  }
  const auto colon = name.find(':');
  if (colon == std::string::npos) return 1.0;
  const double paper = parseReal(name.substr(0, colon)), drawing = parseReal(name.substr(colon + 1));
  return paper > 0 && drawing > 0 ? paper / drawing : 1.0;
}

// The current dimension style is annotative when its entry carries AcadAnnotative data whose
// flag (the second 1070) is set.
bool annotativeDimStyle(const Document& doc) {
  const std::string style = doc.text("DIMSTYLE").value_or("Standard");
  for (const auto& [table, tags] : doc.keptTables) {
    if (table != "DIMSTYLE") continue;
    bool entry = false, app = false;
    int shorts = 0;
    for (const Tag& g : tags) {
      if (g.code == 0) entry = false, app = false, shorts = 0;
      else if (g.code == 2 && !app) entry = cp1251::equalsIgnoreCase(g.value, style);
      else if (g.code == 1001) app = entry && cp1251::equalsIgnoreCase(g.value, "AcadAnnotative"), shorts = 0;
      else if (app && g.code == 1070 && ++shorts == 2) return parseReal(g.value) != 0;
    }
  }
  return false;
}

const Tag* headerTag(const Document& doc, std::string_view name) {
  const std::string key = "$" + std::string(name);
  for (const auto& [n, tags] : doc.header)
    if (cp1251::equalsIgnoreCase(n, key) && !tags.empty()) return &tags.front();
  return nullptr;
}

}  // namespace

cad::Variant systemVariable(const Document& doc, const std::string& name) {
  std::string upper = name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  if (upper == "CANNOSCALE") return dictionaryVariable(doc, "CANNOSCALE").value_or("1:1");
  if (upper == "CANNOSCALEVALUE") return scaleValue(doc, dictionaryVariable(doc, "CANNOSCALE").value_or("1:1"));
  if (upper == "DIMANNO") return static_cast<std::int16_t>(annotativeDimStyle(doc) ? 1 : 0);
  const Tag* tag = headerTag(doc, upper);
  const auto v = doc.number(upper);
  if (!v) {
    if (const auto t = doc.text(upper)) return fromFile(*t, doc.encoding);
    throw cad::EOleException("Unknown system variable " + name);
  }
  const int code = tag ? tag->code : upper == "TILEMODE" || shortWithoutHeader(upper) ? 70 : 40;
  if (shortCode(code) && *v >= INT16_MIN && *v <= INT16_MAX) return static_cast<std::int16_t>(*v);
  if (code >= 90 && code <= 99 && *v >= INT32_MIN && *v <= INT32_MAX) return static_cast<std::int32_t>(*v);
  return *v;
}

}  // namespace kelvo::host::served
