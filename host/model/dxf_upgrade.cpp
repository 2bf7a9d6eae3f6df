// The R2000 form of an older drawing. Before R13 an object has no subclass markers and no
// owner, and handles only where the drawing had them switched on; R2000 readers (the writer's
// own readers among them) need all three, and a BLOCK_RECORD for every block.
#include "host/model/dxf_sections.h"

#include "platform/codepage.h"

#include <algorithm>

namespace kelvo::host {

namespace {

// A subclass and the group codes it holds; a code that no subclass of the type names goes into
// the one that lists none ({0}: a marker without codes).
struct Subclass {
  const char* marker;
  std::vector<int> codes;
};
using Form = std::vector<Subclass>;

const std::vector<int> kTextCodes{39, 10, 20, 30, 40, 1, 50, 41, 51, 7, 71, 72, 11, 21, 31, 210, 220, 230};

// The subclasses of each type the DXF reference gives, for the types an R12 drawing holds.
const Form* formOf(std::string_view type) {
  static const std::map<std::string_view, Form> forms = {
      {"LINE", {{"AcDbLine", {}}}},
      {"POINT", {{"AcDbPoint", {}}}},
      {"CIRCLE", {{"AcDbCircle", {}}}},
      {"ARC", {{"AcDbCircle", {}}, {"AcDbArc", {50, 51}}}},
      {"TRACE", {{"AcDbTrace", {}}}},
      {"SOLID", {{"AcDbTrace", {}}}},
      {"3DFACE", {{"AcDbFace", {}}}},
      {"SHAPE", {{"AcDbShape", {}}}},
      {"TEXT", {{"AcDbText", {}}, {"AcDbText", {73}}}},
      {"ATTDEF", {{"AcDbText", kTextCodes}, {"AcDbAttributeDefinition", {}}}},
      {"ATTRIB", {{"AcDbText", kTextCodes}, {"AcDbAttribute", {}}}},
      {"INSERT", {{"AcDbBlockReference", {}}}},
      {"SEQEND", {}},
      {"VIEWPORT", {{"AcDbViewport", {}}}},
      {"BLOCK", {{"AcDbBlockBegin", {}}}},
      {"ENDBLK", {{"AcDbBlockEnd", {}}}},
  };
  const auto it = forms.find(type);
  return it == forms.end() ? nullptr : &it->second;
}

int flags(const Tags& o) {
  for (const Tag& g : o)
    if (g.code == 70) return static_cast<int>(parseReal(g.value));
  return 0;
}

// POLYLINE, VERTEX and DIMENSION take their subclasses from their flags.
Form variableForm(const Tags& o, int parentFlags) {
  const std::string& type = o[0].value;
  const int f = flags(o);
  if (type == "POLYLINE")
    return {{f & 64 ? "AcDbPolyFaceMesh" : f & 16 ? "AcDbPolygonMesh" : f & 8 ? "AcDb3dPolyline" : "AcDb2dPolyline", {}}};
  if (type == "VERTEX") {
    const char* kind = (f & 128) && !(f & 64) ? "AcDbFaceRecord"
                       : (f & 128)            ? "AcDbPolyFaceMeshVertex"
                       : (f & 64)             ? "AcDbPolygonMeshVertex"
                       : (f & 32) || (parentFlags & 8) ? "AcDb3dPolylineVertex"
                                                       : "AcDb2dVertex";
    return {{"AcDbVertex", {0}}, {kind, {}}};
  }
  Form dim{{"AcDbDimension", {}}};
  switch (f & 7) {
    case 0: return dim.push_back({"AcDbAlignedDimension", {13, 23, 33, 14, 24, 34, 50, 52}}), dim.push_back({"AcDbRotatedDimension", {0}}), dim;
    case 1: return dim.push_back({"AcDbAlignedDimension", {13, 23, 33, 14, 24, 34, 50, 52}}), dim;
    case 2: return dim.push_back({"AcDb2LineAngularDimension", {13, 23, 33, 14, 24, 34, 15, 25, 35, 16, 26, 36}}), dim;
    case 3: return dim.push_back({"AcDbDiametricDimension", {15, 25, 35, 40}}), dim;
    case 4: return dim.push_back({"AcDbRadialDimension", {15, 25, 35, 40}}), dim;
    case 5: return dim.push_back({"AcDb3PointAngularDimension", {13, 23, 33, 14, 24, 34, 15, 25, 35}}), dim;
    default: return dim.push_back({"AcDbOrdinateDimension", {13, 23, 33, 14, 24, 34}}), dim;
  }
}

// AcDbEntity's codes: space, layer, linetype, colour and the rest of the entity's look.
bool entityCode(int c) {
  return c == 67 || c == 8 || c == 6 || c == 62 || c == 370 || c == 48 || c == 60 || c == 420 || c == 430 || c == 440 || c == 347 || c == 284;
}

const char* recordMarker(std::string_view table) {
  static const std::map<std::string_view, const char*> markers = {
      {"VPORT", "AcDbViewportTableRecord"}, {"LTYPE", "AcDbLinetypeTableRecord"}, {"LAYER", "AcDbLayerTableRecord"},
      {"STYLE", "AcDbTextStyleTableRecord"}, {"VIEW", "AcDbViewTableRecord"},     {"UCS", "AcDbUCSTableRecord"},
      {"APPID", "AcDbRegAppTableRecord"},    {"DIMSTYLE", "AcDbDimStyleTableRecord"}, {"BLOCK_RECORD", "AcDbBlockTableRecord"}};
  const auto it = markers.find(table);
  return it == markers.end() ? nullptr : it->second;
}

bool modern(const Tags& o) {
  return std::any_of(o.begin(), o.end(), [](const Tag& g) { return g.code == 100; });
}

struct Upgrader {
  Upgrader(DxfStructure& s_, Repairs& repairs_) : s(s_), repairs(repairs_) {}
  DxfStructure& s;
  Repairs& repairs;
  std::uint64_t next = 1;
  std::map<std::string, std::string> records;  // block name, case folded -> its record's handle

  // The object's own handle, or a new one.
  std::string handleOf(const Tags& o) {
    const int code = handleCode(o[0].value);
    for (const Tag& g : o)
      if (g.code == code && handleValue(g.value)) return g.value;
    return handleText(next++);
  }

  // The object as R2000 writes it: handle, owner, AcDbEntity for an entity, then each subclass
  // with its codes in the order the file had them, extended data last.
  Tags reform(const Tags& o, const std::string& owner, const Form& form, bool entity) {
    const int hcode = handleCode(o[0].value);
    Tags out{o[0], {hcode, handleOf(o)}, {330, owner}};
    auto xdata = std::find_if(o.begin() + 1, o.end(), [](const Tag& g) { return g.code >= 1000; });
    std::vector<std::vector<Tag>> parts(form.size());
    std::size_t rest = 0;
    while (rest < form.size() && !form[rest].codes.empty()) ++rest;
    if (rest == form.size()) rest = 0;
    Tags common;
    for (auto g = o.begin() + 1; g != xdata; ++g) {
      if (g->code == hcode || g->code == 330) continue;
      if (entity && entityCode(g->code)) {
        (g->code == 67 ? common.insert(common.begin(), *g) : common.insert(common.end(), *g));
        continue;
      }
      std::size_t k = rest;
      for (std::size_t n = 0; n < form.size(); ++n)
        if (std::find(form[n].codes.begin(), form[n].codes.end(), g->code) != form[n].codes.end()) k = n;
      if (parts.empty()) common.push_back(*g);
      else parts[k].push_back(*g);
    }
    if (entity) {
      out.push_back({100, "AcDbEntity"});
      out.insert(out.end(), common.begin(), common.end());
    } else {
      out.push_back({100, "AcDbSymbolTableRecord"});
    }
    for (std::size_t n = 0; n < form.size(); ++n) {
      out.push_back({100, form[n].marker});
      out.insert(out.end(), parts[n].begin(), parts[n].end());
    }
    out.insert(out.end(), xdata, o.end());
    return out;
  }

  void scanHandles() { next = firstFreeHandle(s, objectHandles(s)); }

  void header() {
    setHeaderValue(s, "$ACADVER", {1, "AC1015"});
    if (!headerValue(s, "$HANDSEED")) setHeaderValue(s, "$HANDSEED", {5, "0"});
  }

  // R12 names the spaces' blocks $MODEL_SPACE and $PAPER_SPACE where it has them at all.
  static std::string blockName(const Tags& o) {
    for (const Tag& g : o)
      if (g.code == 2) {
        if (cp1251::equalsIgnoreCase(g.value, "$MODEL_SPACE")) return "*Model_Space";
        if (cp1251::equalsIgnoreCase(g.value, "$PAPER_SPACE")) return "*Paper_Space";
        return g.value;
      }
    return {};
  }
  static std::string key(const std::string& name) { return cp1251::foldCase(name); }

  // A table's head: name, handle, owner, marker, then its count (and DIMSTYLE's own marker).
  Tags tableHead(const std::string& name, const std::string& handle, const Tags& old) {
    Tags out{{0, "TABLE"}, {2, name}, {5, handle}, {330, "0"}, {100, "AcDbSymbolTable"}};
    for (const Tag& g : old)
      if (g.code == 70 || g.code >= 1000) out.push_back(g);
    if (name == "DIMSTYLE") out.push_back({100, "AcDbDimStyleTable"});
    return out;
  }

  void recordTable(DxfSection& tables, const std::vector<std::string>& names) {
    // The table the file has (dxflib writes one into R12) keeps its records; a block without
    // one is given it.
    std::string table;
    std::size_t end = 0;
    for (std::size_t k = 0; k < tables.objects.size(); ++k) {
      Tags& o = tables.objects[k];
      if (o[0].value == "TABLE" && o.size() > 1 && o[1].value == "BLOCK_RECORD") table = o[2].value;
      if (!table.empty() && o[0].value == "BLOCK_RECORD") records[key(blockName(o))] = o[1].value;
      if (!table.empty() && o[0].value == "ENDTAB" && !end) end = k;
    }
    std::vector<Tags> added;
    if (table.empty()) {
      table = handleText(next++),       added.push_back(tableHead("BLOCK_RECORD", table, {{70, std::to_string(names.size())}}));
    }
    for (const std::string& name : names) {
      if (records.count(key(name))) continue;
      const std::string h = handleText(next++);
            records[key(name)] = h;
      added.push_back({{0, "BLOCK_RECORD"}, {5, h}, {330, table}, {100, "AcDbSymbolTableRecord"},
                       {100, "AcDbBlockTableRecord"}, {2, name}});
    }
    if (end) {
      tables.objects.insert(tables.objects.begin() + static_cast<std::ptrdiff_t>(end), added.begin(), added.end());
    } else if (!added.empty()) {
      tables.objects.insert(tables.objects.end(), added.begin(), added.end());
      tables.objects.push_back({{0, "ENDTAB"}});
    }
  }

  void tables(const std::vector<std::string>& blockNames) {
    DxfSection* t = s.find("TABLES");
    if (!t) {
      const auto at = std::find_if(s.sections.begin(), s.sections.end(), [](const DxfSection& x) { return x.name != "HEADER" && x.name != "CLASSES"; });
      t = &*s.sections.insert(at, {"TABLES", {}});
    }
    std::string name, handle;
    for (Tags& o : t->objects) {
      const std::string type = o[0].value;
      if (type == "TABLE") {
        name = o.size() > 1 && o[1].code == 2 ? o[1].value : "";
        if (!modern(o)) o = tableHead(name, handleOf(o), o);
        for (const Tag& g : o)
          if (g.code == 5) handle = g.value;
      } else if (type != "ENDTAB" && !modern(o) && recordMarker(type)) {
        o = reform(o, handle, {{recordMarker(type), {}}}, false);
      }
    }
    recordTable(*t, blockNames);
  }

  std::string recordOf(const std::string& name) {
    const auto it = records.find(key(name));
    return it == records.end() ? "0" : it->second;
  }

  // An entity's owner: its block's record, or for what follows a POLYLINE or an INSERT with
  // attributes (VERTEX, ATTRIB, SEQEND) that entity.
  void entities(std::vector<Tags>& objects, std::string space, bool inBlocks) {
    std::string parent;
    int parentFlags = 0;
    std::string paper = recordOf("*Paper_Space"), model = recordOf("*Model_Space");
    for (Tags& o : objects) {
      if (o[0].value == "3DLINE" && !modern(o)) o[0].value = "LINE", repairs.add("3DLINE записаны как LINE");
      const std::string type = o[0].value;
      if (type == "REPEAT")
        throw DxfError("В чертеже есть REPEAT — повтор объектов AutoCAD 2.1 (1985 г.), которого не знает ни одна "
                       "нынешняя программа. Откройте чертёж в AutoCAD и сохраните его как DXF.");
      if (inBlocks && type == "BLOCK") space = recordOf(blockName(o));
      const bool child = type == "VERTEX" || type == "ATTRIB" || type == "SEQEND";
      if (!child) parent.clear();
      if (modern(o)) continue;
      if (type == "BLOCK")
        for (Tag& g : o)
          if (g.code == 2) g.value = blockName(o);
      std::string owner = child && !parent.empty() ? parent : space;
      if (!inBlocks)
        for (const Tag& g : o)
          if (g.code == 67 && parseReal(g.value) == 1) owner = paper;
      if (!inBlocks && owner == space) owner = model;
      const Form* fixed = formOf(type);
      const Form form = fixed ? *fixed : variableForm(o, parentFlags);
      if (!fixed && type != "POLYLINE" && type != "VERTEX" && type != "DIMENSION") {
        repairs.add("объекты неизвестного R12 типа оставлены как были");
        continue;
      }
      o = reform(o, owner, form, true);
      if (type == "POLYLINE" || (type == "INSERT" && std::any_of(o.begin(), o.end(), [](const Tag& g) { return g.code == 66 && parseReal(g.value) == 1; })))
        parent = o[1].value, parentFlags = flags(o);
      if (type == "SEQEND") parent.clear();
    }
  }

  // R12 needs no blocks for its spaces; R2000 has both.
  void spaceBlocks(DxfSection& blocks) {
    for (const char* name : {"*Model_Space", "*Paper_Space"}) {
      const bool have = std::any_of(blocks.objects.begin(), blocks.objects.end(), [&](const Tags& o) {
        return o[0].value == "BLOCK" && cp1251::equalsIgnoreCase(blockName(o), name);
      });
      if (have) continue;
      const std::string paper = std::string(name) == "*Paper_Space" ? "1" : "0";
      blocks.objects.insert(blocks.objects.begin() + (paper == "1" ? 2 : 0),
                            {{{0, "BLOCK"}, {8, "0"}, {2, name}, {70, "0"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"}, {3, name}, {1, ""}},
                             {{0, "ENDBLK"}, {8, "0"}}});
      if (paper == "1") {
        blocks.objects[2].insert(blocks.objects[2].begin() + 1, {67, "1"});
        blocks.objects[3].insert(blocks.objects[3].begin() + 1, {67, "1"});
      }
    }
  }

  // What R12 has no place for, some writers (dxflib) put into an R12 file all the same, with
  // links to handles the file leaves out: R12 readers pass over it, and so it is left out.
  void dropWhatR12Lacks() {
    const auto before = s.sections.size();
    std::erase_if(s.sections, [](const DxfSection& x) { return x.name == "CLASSES" || x.name == "OBJECTS"; });
    repairs.add("секции CLASSES и OBJECTS, которых нет в R12, пропущены", before - s.sections.size());
    DxfSection* t = s.find("TABLES");
    if (!t) return;
    bool in = false;
    std::size_t dropped = 0;
    std::erase_if(t->objects, [&](const Tags& o) {
      if (o[0].value == "TABLE") in = o.size() > 1 && o[1].value == "BLOCK_RECORD";
      const bool drop = in;
      if (o[0].value == "ENDTAB") in = false;
      return drop && ++dropped;
    });
    repairs.add("таблица BLOCK_RECORD, которой нет в R12, составлена заново", dropped ? 1 : 0);
  }

  void run(bool declaredR12) {
    if (declaredR12) dropWhatR12Lacks();
    scanHandles();
    header();
    DxfSection* b = s.find("BLOCKS");
    if (!b) {
      const auto at = std::find_if(s.sections.begin(), s.sections.end(), [](const DxfSection& x) { return x.name == "ENTITIES"; });
      b = &*s.sections.insert(at, {"BLOCKS", {}});
    }
    spaceBlocks(*b);
    std::vector<std::string> names;
    for (const Tags& o : b->objects)
      if (o[0].value == "BLOCK") names.push_back(blockName(o));
    tables(names);
    entities(s.find("BLOCKS")->objects, "0", true);
    if (DxfSection* e = s.find("ENTITIES")) entities(e->objects, "", false);
    setHeaderValue(s, "$HANDSEED", {5, handleText(next)});
  }
};

}  // namespace

void upgradeLegacy(DxfStructure& s, Repairs& repairs, bool declaredR12) { Upgrader(s, repairs).run(declaredR12); }

}  // namespace kelvo::host
