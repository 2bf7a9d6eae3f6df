// Recovery of handles and owner links, by the rules a recovering reader applies: the drawing
// keeps every object, and what points to an object still finds it wherever it can.
#include "host/model/dxf_sections.h"

#include "platform/codepage.h"

#include <algorithm>
#include <set>

namespace kelvo::host {

namespace {

bool structural(std::string_view type) { return type == "ENDTAB" || type == "CLASS" || type == "ENDSEC"; }

struct HandleRepair {
  HandleRepair(DxfStructure& s_, Repairs& repairs_) : s(s_), repairs(repairs_) {}
  DxfStructure& s;
  Repairs& repairs;
  std::set<std::uint64_t> all;
  std::uint64_t next = 0x100;

  void scan() {
    all = objectHandles(s);
    next = firstFreeHandle(s, all);
  }

  // A handle of its own for an object that has none, or one an earlier object has.
  void own(Tags& o, std::set<std::uint64_t>& seen) {
    const int code = handleCode(o[0].value);
    const auto h = std::find_if(o.begin(), o.end(), [code](const Tag& g) { return g.code == code; });
    const std::uint64_t v = h == o.end() ? 0 : handleValue(h->value);
    if (v && seen.insert(v).second) return;
    const std::string fresh = handleText(next++);
    if (h == o.end()) {
      // A table's head names its table before its handle.
      const bool named = o[0].value == "TABLE" && o.size() > 1 && o[1].code == 2;
      o.insert(o.begin() + (named ? 2 : 1), {code, fresh});
      repairs.add("объектам без дескриптора даны дескрипторы");
    } else {
      repairs.add(v ? "повторённые дескрипторы заменены новыми" : "пустые дескрипторы заменены новыми");
      h->value = fresh;
    }
    all.insert(next - 1);
  }

  // The owner is the first 330 outside the 102 groups.
  static Tags::iterator ownerTag(Tags& o) {
    bool inGroup = false;
    for (auto g = o.begin() + 1; g != o.end(); ++g) {
      if (g->code == 102) inGroup = g->value.starts_with("{");
      else if (!inGroup && g->code == 330) return g;
      else if (g->code == 100 || g->code >= 1000) break;
    }
    return o.end();
  }
  void owner(Tags& o, const std::string& expected) {
    if (expected.empty()) return;
    const auto g = ownerTag(o);
    if (g == o.end()) return;  // an owner the file never gave is not a broken link
    if (all.count(handleValue(g->value))) return;
    g->value = expected;
    repairs.add("ссылки на владельца, которого нет, направлены к его блоку или таблице");
  }

  std::map<std::string, std::string> records;  // folded block name -> record handle
  std::string record(const std::string& name) const {
    const auto it = records.find(cp1251::foldCase(name));
    return it == records.end() ? std::string() : it->second;
  }
  static std::string field(const Tags& o, int code) {
    for (const Tag& g : o)
      if (g.code == code) return g.value;
    return {};
  }

  // Entries stand between a TABLE and its ENDTAB: a table that lacks its head is given one
  // (its handle the one its entries name as owner, where that is free), one that runs into the
  // next its end.
  void tableFrames(DxfSection& tables) {
    std::vector<Tags> out;
    bool open = false;
    for (Tags& o : tables.objects) {
      const std::string type = o[0].value;
      if (type == "TABLE" && open) out.push_back({{0, "ENDTAB"}}), repairs.add("таблицам дописан конец (ENDTAB)");
      if (type != "TABLE" && type != "ENDTAB" && !open) {
        const std::string wanted = field(o, 330);
        const bool free = handleValue(wanted) && !all.count(handleValue(wanted));
        const std::string h = free ? wanted : handleText(next++);
        all.insert(handleValue(h));
        out.push_back({{0, "TABLE"}, {2, type}, {5, h}, {330, "0"}, {100, "AcDbSymbolTable"}, {70, "0"}});
        repairs.add("таблице " + type + " дописано начало (TABLE)");
        open = true;
      }
      if (type == "TABLE") open = true;
      if (type == "ENDTAB") open = false;
      out.push_back(std::move(o));
    }
    if (open) out.push_back({{0, "ENDTAB"}}), repairs.add("таблицам дописан конец (ENDTAB)");
    tables.objects = std::move(out);
  }

  void run() {
    scan();
    if (DxfSection* t = s.find("TABLES")) tableFrames(*t);
    std::set<std::uint64_t> seen;
    for (DxfSection& sec : s.sections) {
      if (sec.name != "TABLES" && sec.name != "BLOCKS" && sec.name != "ENTITIES" && sec.name != "OBJECTS") continue;
      std::string table;
      for (Tags& o : sec.objects) {
        if (structural(o[0].value)) continue;
        own(o, seen);
        if (sec.name == "TABLES") {
          if (o[0].value == "TABLE") table = field(o, 5);
          else owner(o, table);
          if (o[0].value == "BLOCK_RECORD") records[cp1251::foldCase(field(o, 2))] = field(o, 5);
        }
      }
    }
    entityOwners();
  }

  void entityOwners() {
    if (DxfSection* b = s.find("BLOCKS")) {
      std::string rec;
      for (Tags& o : b->objects) {
        if (o[0].value == "BLOCK") rec = record(field(o, 2));
        ownerOfEntity(o, rec);
      }
    }
    if (DxfSection* e = s.find("ENTITIES")) {
      const std::string model = record("*Model_Space"), paper = record("*Paper_Space");
      for (Tags& o : e->objects) ownerOfEntity(o, parseReal(field(o, 67)) == 1 ? paper : model);
    }
  }

  // VERTEX, ATTRIB and SEQEND belong to the entity before them; their owner is left alone.
  std::string parent;
  void ownerOfEntity(Tags& o, const std::string& space) {
    const std::string& type = o[0].value;
    if (type == "VERTEX" || type == "ATTRIB" || type == "SEQEND") return owner(o, parent);
    parent = field(o, 5);
    owner(o, space);
  }
};

}  // namespace

void repairHandles(DxfStructure& s, Repairs& repairs) { HandleRepair(s, repairs).run(); }

}  // namespace kelvo::host
