#include "host/model/dxf_reader.h"

#include "host/model/dxf_sections.h"

#include "platform/codepage.h"
#include "platform/file_io.h"

#include <algorithm>
#include <charconv>
#include <numbers>

namespace kelvo::host {

namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

double num(const std::string& s) { return parseReal(s); }

// An integer group (colour, alignment): what no int holds, or no number at all, reads as 0.
int integer(const std::string& s) {
  const double v = num(s);
  return v >= -2147483648.0 && v <= 2147483647.0 ? static_cast<int>(v) : 0;
}

std::uint64_t hex(const std::string& s) {
  std::uint64_t v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v, 16);
  return v;
}

// A leader's dimension-style overrides in its ACAD extended data: pairs of 1070 (the
// variable's DXF code) and its value; 40 DIMSCALE, 41 DIMASZ, 341 the arrowhead block's record.
void leaderOverrides(const Tags& tags, Entity& e, std::string& arrowRecord) {
  bool acad = false;
  int pending = 0;
  for (const Tag& g : tags) {
    if (g.code == 1001) acad = g.value == "ACAD", pending = 0;
    if (!acad || g.code < 1000) continue;
    if (g.code == 1070 && pending == 0) {
      pending = integer(g.value);
      continue;
    }
    if (pending == 40 && g.code == 1040) e.leaderScale = std::max(0.0, num(g.value));
    else if (pending == 41 && g.code == 1040) e.arrowSize = std::max(0.0, num(g.value));
    else if (pending == 341 && g.code == 1005) arrowRecord = g.value;
    pending = 0;
  }
}

struct Reader {
  explicit Reader(const Tags& tags) : t(tags) {}
  const Tags& t;
  std::size_t i = 0;
  Document doc;
  std::uint64_t maxHandle = 0;

  // Whether reading has come to `marker`, to the end of the section or to the end of the file
  // (a file cut short, or one whose section never ends, stops there).
  bool atEnd(std::string_view marker) const {
    if (i >= t.size()) return true;
    const Tag& g = t[i];
    return g.code == 0 && (g.value == marker || g.value == "ENDSEC" || g.value == "EOF");
  }
  // Past the ENDSEC a section ends with; an EOF stays for the file's end.
  void leaveSection() {
    if (i < t.size() && t[i].value == "ENDSEC") ++i;
  }

  // Stray tags before an object's 0 tag belong to nothing: written back after the object
  // before them, they would join it.
  bool skipStray() {
    if (i < t.size() && t[i].code != 0) {
      ++i;
      return true;
    }
    return false;
  }

  // The tags of one object: from its 0 tag up to the next 0 tag.
  Tags object() {
    Tags out{t[i++]};
    while (i < t.size() && t[i].code != 0) out.push_back(t[i++]);
    return out;
  }
  void noteHandle(const Tags& obj) {
    for (const Tag& g : obj)
      if (g.code == 5 || g.code == 105) maxHandle = std::max(maxHandle, hex(g.value));
  }

  Entity entity(const Tags& tags) {
    Entity e;
    e.original = tags;
    const std::string& type = tags[0].value;
    static const std::map<std::string, Kind> kinds = {
        {"LINE", Kind::Line}, {"CIRCLE", Kind::Circle}, {"ARC", Kind::Arc}, {"SOLID", Kind::Solid},
        {"LWPOLYLINE", Kind::Polyline}, {"TEXT", Kind::Text}, {"INSERT", Kind::Insert}, {"LEADER", Kind::Leader}};
    const auto k = kinds.find(type);
    e.kind = k == kinds.end() ? Kind::Other : k->second;
    Point* last = nullptr;
    double elevation = 0;
    bool inXdata = false;
    for (std::size_t n = 1; n < tags.size(); ++n) {
      const Tag& g = tags[n];
      if (g.code >= 1000) inXdata = true;
      if (inXdata) continue;
      const int c = g.code;
      if (c == 5) e.handle = g.value;
      else if (c == 8) e.layer = fromFile(g.value, doc.encoding);
      else if (c >= 10 && c <= 13) {
        e.points.push_back({num(g.value), 0, elevation});
        last = &e.points.back();
      } else if (c >= 20 && c <= 23 && last) (*last)[1] = num(g.value);
      else if (c >= 30 && c <= 33 && last) (*last)[2] = num(g.value);
      else if (c == 38) elevation = num(g.value);
      else if (c == 40) (e.kind == Kind::Text ? e.height : e.radius) = num(g.value);
      else if (c == 41 && e.kind == Kind::Insert) e.scale[0] = num(g.value);
      else if (c == 42 && e.kind == Kind::Insert) e.scale[1] = num(g.value);
      else if (c == 43 && e.kind == Kind::Insert) e.scale[2] = num(g.value);
      else if (c == 50) (e.kind == Kind::Arc ? e.startAngle : e.rotation) = num(g.value) * kRadians;
      else if (c == 51 && e.kind == Kind::Arc) e.endAngle = num(g.value) * kRadians;
      else if (c == 1 && e.kind == Kind::Text) e.text = fromFile(g.value, doc.encoding);
      else if (c == 2 && e.kind == Kind::Insert) e.text = fromFile(g.value, doc.encoding);
      else if (c == 72 && e.kind == Kind::Text) e.horizontal = integer(g.value);
      else if (c == 73 && e.kind == Kind::Text) e.vertical = integer(g.value);
      else if (c == 340 && e.kind == Kind::Leader) e.annotation = g.value;
    }
    lastArrowRecord.clear();
    if (e.kind == Kind::Leader) leaderOverrides(tags, e, lastArrowRecord);
    return e;
  }
  std::string lastArrowRecord;
  void add(Block& b, const Tags& tags) {
    b.entities.push_back(entity(tags));
    if (!lastArrowRecord.empty()) arrowRecords.push_back({&b.entities.back(), lastArrowRecord});
  }
  // Leaders whose arrowhead block is named by its record's handle, resolved once the records
  // are read (the entity lives in a block's deque, which keeps its place).
  std::vector<std::pair<Entity*, std::string>> arrowRecords;
  void resolveArrowBlocks() {
    for (auto& [leader, record] : arrowRecords)
      for (const Block& b : doc.blocks)
        if (cp1251::equalsIgnoreCase(b.recordHandle, record)) leader->arrowBlock = b.name;
  }

  void header() {
    while (!atEnd("ENDSEC")) {
      if (t[i].code != 9) {
        ++i;
        continue;
      }
      std::pair<std::string, Tags> var{t[i++].value, {}};
      while (i < t.size() && t[i].code != 9 && t[i].code != 0) var.second.push_back(t[i++]);
      doc.header.push_back(std::move(var));
    }
    leaveSection();
  }

  void tables() {
    while (!atEnd("ENDSEC")) {
      if (!(t[i].code == 0 && t[i].value == "TABLE")) {
        ++i;
        continue;
      }
      Tags head = object();
      std::string name;
      for (const Tag& g : head)
        if (g.code == 2) name = g.value;
      Tags whole = head;
      while (!atEnd("ENDTAB")) {
        if (skipStray()) continue;
        Tags entry = object();
        noteHandle(entry);
        if (name == "LAYER") layer(entry);
        else if (name == "BLOCK_RECORD") records.push_back(entry);
        whole.insert(whole.end(), entry.begin(), entry.end());
      }
      // A table the file leaves open is closed, or on the next reading it would take in what
      // follows it.
      if (i < t.size() && t[i].value == "ENDTAB") whole.push_back(t[i++]);
      else whole.push_back({0, "ENDTAB"});
      noteHandle(head);
      doc.keptTables.push_back({name, name == "LAYER" || name == "BLOCK_RECORD" ? head : whole});
    }
    leaveSection();
  }

  void layer(const Tags& entry) {
    Layer l;
    l.original = entry;
    for (const Tag& g : entry) {
      if (g.code == 2) l.name = fromFile(g.value, doc.encoding);
      else if (g.code == 62) {
        // A layer that is off keeps its colour, negated.
        const int c = integer(g.value);
        l.off = c < 0, l.color = c < 0 ? (c < -256 ? 7 : -c) : c;
      }
      else if (g.code == 70) l.frozen = (integer(g.value) & 1) != 0, l.locked = (integer(g.value) & 4) != 0;
      else if (g.code == 5) l.handle = g.value;
    }
    if (l.name == "0" && !doc.layers.empty() && !doc.layers.front().original) doc.layers.front() = l;
    else doc.layers.push_back(l);
  }

  std::vector<Tags> records;

  Block* blockFor(const std::string& name) {
    if (cp1251::equalsIgnoreCase(name, "*Model_Space")) return &doc.blocks[0];
    if (cp1251::equalsIgnoreCase(name, "*Paper_Space")) return &doc.blocks[1];
    doc.blocks.push_back({});
    return &doc.blocks.back();
  }

  void blocks() {
    while (!atEnd("ENDSEC")) {
      if (!(t[i].code == 0 && t[i].value == "BLOCK")) {
        ++i;
        continue;
      }
      Tags begin = object();
      noteHandle(begin);
      std::string name;
      Point base{};
      for (const Tag& g : begin) {
        if (g.code == 2) name = fromFile(g.value, doc.encoding);
        else if (g.code == 10) base[0] = num(g.value);
        else if (g.code == 20) base[1] = num(g.value);
        else if (g.code == 30) base[2] = num(g.value);
      }
      Block* b = blockFor(name);
      b->name = name.empty() ? b->name : name;
      b->base = base;
      b->originalBegin = begin;
      for (const Tag& g : begin)
        if (g.code == 5) b->beginHandle = g.value;
      // A block left open ends where the next one begins.
      while (!atEnd("ENDBLK") && t[i].value != "BLOCK") {
        if (skipStray()) continue;
        const Tags e = object();
        noteHandle(e);
        add(*b, e);
      }
      if (i < t.size() && t[i].value == "ENDBLK") {
        b->originalEnd = object();
        noteHandle(*b->originalEnd);
        for (const Tag& g : *b->originalEnd)
          if (g.code == 5) b->endHandle = g.value;
      }
    }
    leaveSection();
  }

  void entities() {
    while (!atEnd("ENDSEC")) {
      if (skipStray()) continue;
      const Tags e = object();
      noteHandle(e);
      bool paper = false;
      for (const Tag& g : e)
        if (g.code == 67 && num(g.value) == 1) paper = true;
      add(doc.blocks[paper ? 1 : 0], e);
    }
    leaveSection();
  }

  void attachRecords() {
    for (const Tags& r : records) {
      std::string name, handle;
      for (const Tag& g : r) {
        if (g.code == 2) name = fromFile(g.value, doc.encoding);
        else if (g.code == 5) handle = g.value;
      }
      // A file that defines a name twice has a record for each: the first record without a block.
      Block* b = nullptr;
      for (Block& candidate : doc.blocks)
        if (!candidate.originalRecord && cp1251::equalsIgnoreCase(candidate.name, name)) {
          b = &candidate;
          break;
        }
      if (!b) {
        // A second record of a block's name (QCAD writes whole tables twice) would be taken
        // for that block by the next reader: only one of a name is kept.
        const bool named = std::any_of(doc.blocks.begin(), doc.blocks.end(), [&](const Block& x) { return cp1251::equalsIgnoreCase(x.name, name); });
        if (named) doc.repairs.push_back("повторная запись BLOCK_RECORD «" + name + "» пропущена");
        else doc.unattachedRecords.push_back(r);
        continue;
      }
      b->originalRecord = r;
      b->recordHandle = handle;
    }
  }

  Document run() {
    doc.header.clear();
    while (i < t.size()) {
      if (t[i].code == 0 && t[i].value == "EOF") break;
      if (!(t[i].code == 0 && t[i].value == "SECTION") || i + 1 >= t.size()) {
        ++i;
        continue;
      }
      const std::string name = t[i + 1].value;
      if (name == "HEADER") {
        i += 2;
        header();
        checkVersion();
      } else if (name == "TABLES") {
        i += 2;
        tables();
      } else if (name == "BLOCKS") {
        i += 2;
        blocks();
      } else if (name == "ENTITIES") {
        i += 2;
        entities();
      } else {
        const std::size_t start = i;
        while (!atEnd("ENDSEC")) ++i;
        const bool closed = i < t.size() && t[i].value == "ENDSEC";
        Tags kept(t.begin() + static_cast<std::ptrdiff_t>(start), t.begin() + static_cast<std::ptrdiff_t>(i + (closed ? 1 : 0)));
        if (!closed) kept.push_back({0, "ENDSEC"});  // a section the file leaves open is closed
        for (const Tag& g : kept)
          if (g.code == 5 || g.code == 105) maxHandle = std::max(maxHandle, hex(g.value));
        doc.keptSections[name] = std::move(kept);
        leaveSection();
      }
    }
    attachRecords();
    resolveArrowBlocks();
    // A seed of 0 or one that is no number says nothing (and 0 - 1 would wrap to the largest
    // handle, so that new handles would start again low, over the drawing's own).
    if (const auto seed = doc.text("HANDSEED"); seed && hex(*seed) > 0) maxHandle = std::max(maxHandle, hex(*seed) - 1);
    // Below 100h are the fixed handles of the tables and objects written for a drawing that has none.
    doc.nextHandle = std::max<std::uint64_t>(maxHandle + 1, 0x100);
    if (const auto layer = doc.text("CLAYER")) doc.activeLayer = fromFile(*layer, doc.encoding);
    doc.modified = false;
    return std::move(doc);
  }

  void checkVersion() {
    const auto v = doc.text("ACADVER");
    doc.version = v ? *v : "AC1015";
    doc.encoding = fileEncoding(doc.version, doc.text("DWGCODEPAGE"));
    if (doc.encoding.unknownName)
      doc.warnings.push_back("Неизвестная кодовая страница " + *doc.encoding.unknownName + ": тексты прочитаны как ANSI_1252.");
  }
};

// The releases each version string stands for; R2000 and later are read as they are, older
// ones are given the R2000 form.
const char* releaseOf(std::string_view v) {
  static const std::map<std::string_view, const char*> releases = {
      {"AC1.40", "1.4"}, {"AC1.50", "2.0"}, {"AC2.10", "2.1"}, {"AC1001", "2.2"}, {"AC1002", "2.5"},
      {"AC1003", "2.6"}, {"AC1004", "R9"},  {"AC1006", "R10"}, {"AC1009", "R12"}, {"AC1012", "R13"},
      {"AC1014", "R14"}, {"AC1015", "2000"}, {"AC1018", "2004"}, {"AC1021", "2007"}, {"AC1024", "2010"},
      {"AC1027", "2013"}, {"AC1032", "2018"}};
  const auto it = releases.find(v);
  return it == releases.end() ? nullptr : it->second;
}

std::optional<std::string> bringToR2000(DxfStructure& s, Repairs& repairs) {
  const std::string* v = headerValue(s, "$ACADVER");
  if (!v) {
    upgradeLegacy(s, repairs, false);
    return "DXF R12 или старше (без версии)";
  }
  const char* release = releaseOf(*v);
  if (!release)
    throw DxfError("Версия чертежа «" + *v + "» неизвестна: этот DXF записан программой новее, чем умеет читать Kelvo, или "
                   "повреждён. Сохраните его как DXF R2000–2018 и откройте тот файл.");
  // "AC2.10" sorts after "AC1015" but is older than all the AC1xxx numbers.
  const bool numbered = v->starts_with("AC1");
  if (numbered && *v >= "AC1015") return std::nullopt;
  const std::string from = "DXF " + std::string(release) + " (" + *v + ")";
  if (numbered && *v >= "AC1012") {
    // R13 and R14 already have handles, owners and subclass markers: the R2000 form.
    setHeaderValue(s, "$ACADVER", {1, "AC1015"});
  } else {
    upgradeLegacy(s, repairs, true);
  }
  return from;
}

}  // namespace

Document readDxf(std::string_view text) {
  TagNotes notes;
  Tags tags = readTags(text, &notes);
  if (tags.empty() || !(tags[0].code == 0 && tags[0].value == "SECTION"))
    throw DxfError("Этот файл не является чертежом DXF.");
  Repairs repairs, conversion;
  DxfStructure s = splitSections(std::move(tags), repairs);
  std::optional<std::string> from = bringToR2000(s, conversion);
  repairHandles(s, repairs);
  const Tags flat = flatten(std::move(s));
  Reader r(flat);
  Document doc = r.run();
  if (notes.binary) {
    const char* release = releaseOf(doc.version);
    from = "двоичный " + (from ? *from : "DXF " + std::string(release ? release : doc.version));
  }
  doc.convertedFrom = from;
  repairs.add("строки после конца файла (EOF) пропущены", notes.afterEof);
  if (notes.missingEof) repairs.add("дописан конец файла (EOF)");
  std::vector<std::string> lines = repairs.lines();
  lines.insert(lines.end(), doc.repairs.begin(), doc.repairs.end());
  doc.repairs = std::move(lines);
  doc.conversionNotes = conversion.lines();
  return doc;
}

Document loadDxf(const std::string& fileName) {
  const auto bytes = readWholeFile(fileName);
  if (!bytes) throw DxfError("Не удаётся открыть " + fileName);
  return readDxf(*bytes);
}

namespace {
// The form the writer gives the drawing: text, in its own version (R2000 for an older one).
std::string savedForm(const Document& doc) {
  const char* release = releaseOf(doc.version);
  return "текстовый DXF " + std::string(release ? release : "") + " (" + doc.version + ")";
}
}  // namespace

std::vector<std::string> readingReport(const Document& doc) {
  std::vector<std::string> out;
  if (doc.convertedFrom) out.push_back("Чертёж в формате " + *doc.convertedFrom + ": сохранён он будет как " + savedForm(doc) + ".");
  for (const std::string& n : doc.conversionNotes) out.push_back("  " + n);
  if (!doc.repairs.empty()) out.push_back("Чертёж повреждён; при чтении исправлено:");
  for (const std::string& r : doc.repairs) out.push_back("  " + r);
  return out;
}

std::string conversionQuestion(const Document& doc) {
  return "Чертёж прочитан из формата " + doc.convertedFrom.value_or("DXF") + ". Записать его поверх исходного файла как " +
         savedForm(doc) + "? Программы, которые читают только прежний формат, его больше не откроют.";
}

}  // namespace kelvo::host
