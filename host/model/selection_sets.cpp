// The document's named selection sets, as AutoCAD serves them: SelectionSets.Add refuses a name
// the document has already (names compare without regard to case), Select with
// acSelectionSetAll takes every top-level entity of the drawing that the filter lets through
// (model space and every layout, layers off and frozen included, as "ssget X"), and Delete
// forgets the set, never its entities.
#include "host/model/host_object.h"
#include "host/model/xdata.h"
#include "platform/codepage.h"

#include <algorithm>

namespace kelvo::host::served {

using cad::Args;
using cad::EOleException;
using cad::ObjectRef;
using cad::sameMember;
using cad::Variant;
using SelectionSet = HostContext::SelectionSet;

namespace {

// AutoCAD's AcSelect: the window, crossing, fence and polygon modes need a view, which a host
// without one cannot offer; only "all" is served.
constexpr int kSelectAll = 5;
// At most this many selection sets a drawing holds (AutoCAD's limit).
constexpr std::size_t kMaxSets = 128;

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return out;
}

// One pattern of a filter value: "*" any run, "?" one character, compared without regard to
// case; a comma separates alternatives.
bool wildMatch(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return text.empty();
  if (pattern[0] == '*')
    return wildMatch(pattern.substr(1), text) || (!text.empty() && wildMatch(pattern, text.substr(1)));
  if (text.empty()) return false;
  const bool same = pattern[0] == '?' || cp1251::equalsIgnoreCase(pattern.substr(0, 1), text.substr(0, 1));
  return same && wildMatch(pattern.substr(1), text.substr(1));
}

bool matches(std::string_view patterns, std::string_view text) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = patterns.find(',', start);
    if (wildMatch(patterns.substr(start, comma == std::string_view::npos ? comma : comma - start), text)) return true;
    if (comma == std::string_view::npos) return false;
    start = comma + 1;
  }
}

std::string typeName(const Entity& e) {
  if (e.original && !e.original->empty()) return (*e.original)[0].value;
  switch (e.kind) {
    case Kind::Line: return "LINE";
    case Kind::Circle: return "CIRCLE";
    case Kind::Arc: return "ARC";
    case Kind::Solid: return "SOLID";
    case Kind::Polyline: return "LWPOLYLINE";
    case Kind::Text: return "TEXT";
    case Kind::Insert: return "INSERT";
    case Kind::Leader: return "LEADER";
    case Kind::Other: break;
  }
  return "";
}

// The group codes a filter may name here: type, block name, layer, space, application.
struct Condition {
  int code;
  std::string value;
};

std::vector<Condition> readFilter(const Args& a) {
  std::vector<Condition> filter;
  if (a.size() < 5 || std::holds_alternative<cad::Omitted>(a[3]) || std::holds_alternative<std::monostate>(a[3]))
    return filter;
  const std::vector<std::int16_t> codes = cad::toShorts(a[3]);
  const std::vector<Variant> values = cad::toVariants(a[4]);
  if (codes.size() != values.size()) throw EOleException("Invalid argument: FilterType and FilterData differ in length");
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const int code = codes[i];
    if (code != 0 && code != 2 && code != 8 && code != 67 && code != 1001)
      throw EOleException("Invalid argument: this host does not filter on group code " + std::to_string(code));
    filter.push_back({code, code == 67 ? std::to_string(cad::toInt(values[i])) : cad::toText(values[i])});
  }
  return filter;
}

bool passes(const Document& doc, const Entity& e, bool paper, const std::vector<Condition>& filter) {
  for (const Condition& c : filter) {
    switch (c.code) {
      case 0:
        if (!matches(c.value, typeName(e))) return false;
        break;
      case 2:
        if (e.kind != Kind::Insert || !matches(c.value, e.text)) return false;
        break;
      case 8:
        if (!matches(c.value, e.layer)) return false;
        break;
      case 67:
        if ((c.value == "1") != paper) return false;
        break;
      default: {
        const XData data = xdataOf(doc, e);
        const bool has = std::any_of(data.begin(), data.end(), [&](const auto& d) { return matches(c.value, d.first); });
        if (!has) return false;
      }
    }
  }
  return true;
}

// Model space, the paper space of the current layout and those of the other layouts.
bool isLayout(const Document& doc, std::size_t block) {
  return block < 2 || upper(doc.blocks[block].name).starts_with("*PAPER_SPACE");
}

class SelectionSetObject : public HostObject {
 public:
  SelectionSetObject(std::shared_ptr<HostContext> c, const std::string& name)
      : HostObject(std::move(c), "selectionset:" + cp1251::toUtf8(name)), name_(name) {}

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Name")) return set().name;
    if (sameMember(m, "Count")) return static_cast<std::int32_t>(set().items.size());
    unknown(m);
  }
  Variant onCall(std::string_view m, const Args& a) override {
    if (sameMember(m, "Select")) return select(a), Variant();
    if (sameMember(m, "Item")) return item(cad::toInt(argAt(a, 0)));
    if (sameMember(m, "Clear")) return set().items.clear(), Variant();
    if (sameMember(m, "Delete")) {
      auto& sets = ctx_->selectionSets;
      sets.erase(sets.begin() + (&set() - sets.data()));
      return {};
    }
    unknown(m);
  }

 private:
  SelectionSet& set() const {
    for (SelectionSet& s : ctx_->selectionSets)
      if (cp1251::equalsIgnoreCase(s.name, name_)) return s;
    throw EOleException("The selection set was deleted");
  }
  void select(const Args& a) {
    if (cad::toInt(argAt(a, 0)) != kSelectAll)
      throw EOleException("Invalid argument: this host selects only acSelectionSetAll");
    const std::vector<Condition> filter = readFilter(a);
    SelectionSet& s = set();
    const Document& d = doc();
    for (std::size_t b = 0; b < d.blocks.size(); ++b) {
      if (!isLayout(d, b)) continue;
      const auto& entities = d.blocks[b].entities;
      for (std::size_t i = 0; i < entities.size(); ++i) {
        const Entity& e = entities[i];
        if (e.deleted || !passes(d, e, b != 0, filter)) continue;
        const bool held = std::any_of(s.items.begin(), s.items.end(), [&](const auto& it) { return it.handle == e.handle; });
        if (!held) s.items.push_back({b, i, e.handle});
      }
    }
  }
  Variant item(int index) {
    const SelectionSet& s = set();
    if (index < 0 || index >= static_cast<int>(s.items.size()))
      throw EOleException("The index is out of range: " + std::to_string(index));
    const SelectionSet::Item& it = s.items[static_cast<std::size_t>(index)];
    const Document& d = doc();
    if (it.block >= d.blocks.size() || it.index >= d.blocks[it.block].entities.size() ||
        d.blocks[it.block].entities[it.index].handle != it.handle || d.blocks[it.block].entities[it.index].deleted)
      throw EOleException("Object was erased");
    return makeEntity(ctx_, it.block, it.index);
  }
  std::string name_;
};

class SelectionSetsObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Count")) return static_cast<std::int32_t>(ctx_->selectionSets.size());
    unknown(m);
  }
  Variant onCall(std::string_view m, const Args& a) override {
    auto& sets = ctx_->selectionSets;
    if (sameMember(m, "Add")) {
      const std::string name = cad::toText(argAt(a, 0));
      if (name.empty()) throw EOleException("Invalid input: a selection set needs a name");
      if (findSet(name)) throw EOleException("Duplicate record name");
      if (sets.size() >= kMaxSets) throw EOleException("Too many selection sets");
      sets.push_back({name, {}});
      return ObjectRef(std::make_shared<SelectionSetObject>(ctx_, name));
    }
    if (sameMember(m, "Item")) {
      if (const auto* name = std::get_if<std::string>(&argAt(a, 0))) {
        if (!findSet(*name)) throw EOleException("Key not found: " + cp1251::toUtf8(*name));
        return ObjectRef(std::make_shared<SelectionSetObject>(ctx_, findSet(*name)->name));
      }
      const int i = cad::toInt(argAt(a, 0));
      if (i < 0 || i >= static_cast<int>(sets.size())) throw EOleException("The index is out of range: " + std::to_string(i));
      return ObjectRef(std::make_shared<SelectionSetObject>(ctx_, sets[static_cast<std::size_t>(i)].name));
    }
    unknown(m);
  }

 private:
  const SelectionSet* findSet(const std::string& name) const {
    for (const SelectionSet& s : ctx_->selectionSets)
      if (cp1251::equalsIgnoreCase(s.name, name)) return &s;
    return nullptr;
  }
};

}  // namespace

ObjectRef makeSelectionSets(const std::shared_ptr<HostContext>& ctx) {
  return std::make_shared<SelectionSetsObject>(ctx, "selectionsets");
}

}  // namespace kelvo::host::served
