#include "host/model/dxf_writer.h"

#include "platform/codepage.h"
#include "platform/file_io.h"

namespace kelvo::host {

namespace {

// Fixed handles of the parts of a new drawing; everything else counts up from 100h.
constexpr const char* kBlockRecordTable = "1";
constexpr const char* kLayerTable = "2";
constexpr const char* kRootDictionary = "C";
constexpr const char* kLayoutDictionary = "1A";
constexpr const char* kModelLayout = "22";
constexpr const char* kPaperLayout = "1E";

struct Writer {
  Document& doc;
  TagWriter w;
  std::string enc(const std::string& cp) const { return doc.encodeForFile(cp); }
  void section(const char* name) { w.add(0, "SECTION"), w.add(2, name); }
  void endsec() { w.add(0, "ENDSEC"); }

  // What is written from its own tags keeps them, handle or none: a handle given to it here
  // would never reach the file, and every save would take another.
  void assignHandles() {
    for (Layer& l : doc.layers)
      if (l.handle.empty() && !l.original) l.handle = doc.newHandle();
    for (Block& b : doc.blocks) {
      const std::pair<std::string*, bool> parts[] = {
          {&b.recordHandle, b.originalRecord.has_value()}, {&b.beginHandle, b.originalBegin.has_value()}, {&b.endHandle, b.originalEnd.has_value()}};
      for (const auto& [h, kept] : parts)
        if (h->empty() && !kept) *h = doc.newHandle();
      for (Entity& e : b.entities)
        if (e.handle.empty() && !e.original) e.handle = doc.newHandle();
    }
  }

  void headerSection() {
    section("HEADER");
    for (auto& [name, tags] : doc.header) {
      w.add(9, name);
      if (name == "$HANDSEED") {
        char buf[24];
        std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(doc.nextHandle));
        w.add(5, buf);
      } else {
        w.addAll(tags);
      }
    }
    endsec();
  }

  // A read drawing's own table head (its handle kept), with the entry count brought up to date.
  const Tags* keptHead(const char* name) const {
    for (const auto& [n, tags] : doc.keptTables)
      if (n == name) return &tags;
    return nullptr;
  }
  std::string tableHandle(const char* name, const char* fallback) const {
    if (const Tags* head = keptHead(name))
      for (const Tag& t : *head)
        if (t.code == 5) return t.value;
    return fallback;
  }
  void headFor(const char* name, const char* handle, std::size_t count) {
    const Tags* head = keptHead(name);
    if (!head) return tableHead(name, handle, count);
    for (const Tag& t : *head) {
      if (t.code == 70) w.add(70, static_cast<int>(count));
      else w.add(t.code, t.value);
    }
  }

  void tableHead(const char* name, const char* handle, std::size_t count) {
    w.add(0, "TABLE"), w.add(2, name), w.add(5, handle), w.add(330, "0");
    w.add(100, "AcDbSymbolTable"), w.add(70, static_cast<int>(count));
  }
  void record(const char* type, const std::string& handle, const std::string& table, const char* sub) {
    w.add(0, type), w.add(5, handle), w.add(330, table);
    w.add(100, "AcDbSymbolTableRecord"), w.add(100, sub);
  }

  void layerTable() {
    headFor("LAYER", kLayerTable, doc.layers.size());
    const std::string table = tableHandle("LAYER", kLayerTable);
    for (const Layer& l : doc.layers) {
      if (l.original) {
        w.addAll(*l.original);
        continue;
      }
      record("LAYER", l.handle, table, "AcDbLayerTableRecord");
      // A layer that is off has its colour negative; 70 holds frozen (1) and locked (4).
      w.add(2, enc(l.name)), w.add(70, (l.frozen ? 1 : 0) | (l.locked ? 4 : 0));
      w.add(62, l.off ? -l.color : l.color), w.add(6, "Continuous");
    }
    w.add(0, "ENDTAB");
  }

  void blockRecordTable() {
    headFor("BLOCK_RECORD", kBlockRecordTable, doc.blocks.size() + doc.unattachedRecords.size());
    const std::string table = tableHandle("BLOCK_RECORD", kBlockRecordTable);
    for (std::size_t i = 0; i < doc.blocks.size(); ++i) {
      const Block& b = doc.blocks[i];
      if (b.originalRecord) {
        w.addAll(*b.originalRecord);
        continue;
      }
      record("BLOCK_RECORD", b.recordHandle, table, "AcDbBlockTableRecord");
      w.add(2, enc(b.name));
      if (i < 2) w.add(340, i == 0 ? kModelLayout : kPaperLayout);
    }
    for (const Tags& r : doc.unattachedRecords) w.addAll(r);
    w.add(0, "ENDTAB");
  }

  void standardTables() {
    // The tables every R2000 drawing carries, for a drawing made here.
    tableHead("VPORT", "8", 1);
    record("VPORT", "29", "8", "AcDbViewportTableRecord");
    w.add(2, "*ACTIVE"), w.add(70, 0);
    for (int c : {10, 20, 11, 21, 12, 22, 13, 23, 14, 24, 15, 25, 16, 26, 36, 17, 27, 37})
      w.add(c, c == 11 || c == 21 || c == 36 ? 1.0 : c == 14 || c == 24 || c == 15 || c == 25 ? 10.0 : 0.0);
    w.add(40, 297.0), w.add(41, 1.414), w.add(42, 50.0), w.add(43, 0.0), w.add(44, 0.0), w.add(50, 0.0), w.add(51, 0.0);
    for (int c : {71, 72, 73, 74, 75, 76, 77, 78}) w.add(c, c == 72 ? 100 : c == 73 ? 1 : c == 74 ? 3 : 0);
    w.add(0, "ENDTAB");
    tableHead("LTYPE", "5", 3);
    const std::pair<const char*, const char*> ltypes[] = {{"14", "ByBlock"}, {"15", "ByLayer"}, {"16", "Continuous"}};
    for (const auto& [h, name] : ltypes) {
      record("LTYPE", h, "5", "AcDbLinetypeTableRecord");
      w.add(2, name), w.add(70, 0), w.add(3, std::string(name) == "Continuous" ? "Solid line" : "");
      w.add(72, 65), w.add(73, 0), w.add(40, 0.0);
    }
    w.add(0, "ENDTAB");
    layerTable();
    tableHead("STYLE", "3", 1);
    record("STYLE", "11", "3", "AcDbTextStyleTableRecord");
    w.add(2, "Standard"), w.add(70, 0), w.add(40, 0.0), w.add(41, 1.0), w.add(50, 0.0), w.add(71, 0);
    w.add(42, 2.5), w.add(3, kNewDrawingFontFile), w.add(4, "");
    w.add(0, "ENDTAB");
    tableHead("VIEW", "6", 0), w.add(0, "ENDTAB");
    tableHead("UCS", "7", 0), w.add(0, "ENDTAB");
    tableHead("APPID", "9", 1 + doc.addedApps.size());
    record("APPID", "12", "9", "AcDbRegAppTableRecord");
    w.add(2, "ACAD"), w.add(70, 0);
    addedApps("9");
    w.add(0, "ENDTAB");
    w.add(0, "TABLE"), w.add(2, "DIMSTYLE"), w.add(5, "A"), w.add(330, "0");
    w.add(100, "AcDbSymbolTable"), w.add(70, 1), w.add(100, "AcDbDimStyleTable"), w.add(71, 0);
    w.add(0, "DIMSTYLE"), w.add(105, "27"), w.add(330, "A");
    w.add(100, "AcDbSymbolTableRecord"), w.add(100, "AcDbDimStyleTableRecord");
    w.add(2, "Standard"), w.add(70, 0);
    const auto var = [this](const char* n, double d) { return doc.number(n).value_or(d); };
    w.add(40, var("DIMSCALE", 1)), w.add(41, var("DIMASZ", 2.5)), w.add(140, var("DIMTXT", 2.5));
    w.add(147, var("DIMGAP", 0.625)), w.add(340, "11");
    w.add(0, "ENDTAB");
    blockRecordTable();
  }

  void addedApps(const std::string& table) {
    for (const Document::RegisteredApp& a : doc.addedApps) {
      record("APPID", a.handle, table, "AcDbRegAppTableRecord");
      w.add(2, enc(a.name)), w.add(70, 0);
    }
  }

  // The file's own entries as they were, the count brought up to date, then those added here.
  void keptAppTable(const Tags& tags) {
    std::size_t entries = doc.addedApps.size(), end = tags.size();
    for (std::size_t i = 0; i < tags.size(); ++i) {
      if (tags[i].code == 0 && tags[i].value == "APPID") ++entries;
      if (tags[i].code == 0 && tags[i].value == "ENDTAB") end = i;
    }
    std::string handle;
    bool head = true;
    for (std::size_t i = 0; i < end; ++i) {
      const Tag& t = tags[i];
      if (t.code == 0 && t.value == "APPID") head = false;
      if (head && t.code == 5) handle = t.value;
      if (head && t.code == 70) w.add(70, static_cast<int>(entries));
      else w.add(t.code, t.value);
    }
    addedApps(handle);
    w.add(0, "ENDTAB");
  }

  void keptTables() {
    bool layers = false, records = false;
    // The model holds one table of each: a file that repeats a table has all its entries there.
    for (const auto& [name, tags] : doc.keptTables) {
      if (name == "LAYER") {
        if (!layers) layerTable(), layers = true;
      } else if (name == "BLOCK_RECORD") {
        if (!records) blockRecordTable(), records = true;
      } else if (name == "APPID" && !doc.addedApps.empty()) {
        keptAppTable(tags);
      } else {
        w.addAll(tags);
      }
    }
    // A drawing read without them still has layers and blocks, which need their entries to be
    // read back as the same drawing.
    if (!layers) layerTable();
    if (!records) blockRecordTable();
  }

  void blocksSection() {
    section("BLOCKS");
    for (std::size_t i = 0; i < doc.blocks.size(); ++i) {
      const Block& b = doc.blocks[i];
      if (b.originalBegin) {
        w.addAll(*b.originalBegin);
      } else {
        w.add(0, "BLOCK"), w.add(5, b.beginHandle), w.add(330, b.recordHandle), w.add(100, "AcDbEntity");
        if (i == 1) w.add(67, 1);
        w.add(8, "0"), w.add(100, "AcDbBlockBegin"), w.add(2, enc(b.name)), w.add(70, 0);
        w.add(10, b.base[0]), w.add(20, b.base[1]), w.add(30, b.base[2]), w.add(3, enc(b.name)), w.add(1, "");
      }
      if (i >= 2) entities(b, false);
      if (b.originalEnd) {
        w.addAll(*b.originalEnd);
      } else {
        w.add(0, "ENDBLK"), w.add(5, b.endHandle), w.add(330, b.recordHandle), w.add(100, "AcDbEntity");
        if (i == 1) w.add(67, 1);
        w.add(8, "0"), w.add(100, "AcDbBlockEnd");
      }
    }
    endsec();
  }

  void entities(const Block& b, bool paper) {
    for (const Entity& e : b.entities) {
      if (e.deleted) continue;
      if (e.original) w.addAll(*e.original);
      else w.addAll(entityTags(doc, e, b.recordHandle, paper));
    }
  }

  void objectsSection() {
    section("OBJECTS");
    const auto dict = [this](const char* h, const char* owner, std::initializer_list<std::pair<const char*, const char*>> items) {
      w.add(0, "DICTIONARY"), w.add(5, h), w.add(330, owner), w.add(100, "AcDbDictionary"), w.add(281, 1);
      for (const auto& [k, v] : items) w.add(3, k), w.add(350, v);
    };
    dict(kRootDictionary, "0", {{"ACAD_GROUP", "D"}, {"ACAD_LAYOUT", kLayoutDictionary}});
    dict("D", kRootDictionary, {});
    dict(kLayoutDictionary, kRootDictionary, {{"Layout1", kPaperLayout}, {"Model", kModelLayout}});
    layout(kPaperLayout, "Layout1", 1, doc.blocks[1].recordHandle);
    layout(kModelLayout, "Model", 0, doc.blocks[0].recordHandle);
    endsec();
  }

  void layout(const char* h, const char* name, int order, const std::string& record) {
    w.add(0, "LAYOUT"), w.add(5, h), w.add(330, kLayoutDictionary);
    w.add(100, "AcDbPlotSettings"), w.add(1, ""), w.add(4, ""), w.add(6, "");
    for (int c : {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 140, 141}) w.add(c, 0.0);
    w.add(142, 1.0), w.add(143, 1.0), w.add(70, 688), w.add(72, 1), w.add(73, 0), w.add(74, 5), w.add(7, "");
    w.add(75, 16), w.add(147, 1.0), w.add(148, 0.0), w.add(149, 0.0);
    w.add(100, "AcDbLayout"), w.add(1, name), w.add(70, 1), w.add(71, order);
    w.add(10, 0.0), w.add(20, 0.0), w.add(11, 420.0), w.add(21, 297.0);
    for (int c : {12, 22, 32, 14, 24, 34, 15, 25, 35, 146, 13, 23, 33}) w.add(c, 0.0);
    w.add(16, 1.0), w.add(26, 0.0), w.add(36, 0.0), w.add(17, 0.0), w.add(27, 1.0), w.add(37, 0.0);
    w.add(76, 0), w.add(330, record);
  }

  void keptOr(const char* name, void (Writer::*make)()) {
    const auto it = doc.keptSections.find(name);
    if (it != doc.keptSections.end()) w.addAll(it->second);
    else if (make) (this->*make)();
  }

  void classesSection() { section("CLASSES"), endsec(); }

  std::string run() {
    assignHandles();
    headerSection();
    keptOr("CLASSES", &Writer::classesSection);
    section("TABLES");
    if (doc.keptTables.empty()) standardTables();
    else keptTables();
    endsec();
    blocksSection();
    section("ENTITIES");
    entities(doc.blocks[0], false);
    entities(doc.blocks[1], true);
    endsec();
    keptOr("OBJECTS", &Writer::objectsSection);
    for (const auto& [name, tags] : doc.keptSections)
      if (name != "CLASSES" && name != "OBJECTS") w.addAll(tags);
    w.add(0, "EOF");
    return std::move(w.text());
  }
};

}  // namespace

std::string writeDxf(Document& doc) { return Writer{doc, {}}.run(); }

void saveDxf(Document& doc, const std::string& fileName) {
  if (!replaceFileAtomically(fileName, writeDxf(doc)))
    throw DxfError("Не удаётся записать " + fileName);
  doc.modified = false;
}

}  // namespace kelvo::host
