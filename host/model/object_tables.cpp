// The layer and block tables the host serves, and its layers with their states.
#include "host/model/host_object.h"

#include "platform/codepage.h"

namespace kelvo::host::served {

using cad::Args;
using cad::EOleError;
using cad::EOleException;
using cad::ObjectRef;
using cad::sameMember;
using cad::Variant;

namespace {

class LayerObject : public HostObject {
 public:
  LayerObject(std::shared_ptr<HostContext> c, std::size_t index)
      : HostObject(c, "layer:" + std::to_string(index)), index_(index) {}
  Layer& layer() const {
    if (index_ >= doc().layers.size()) throw EOleError("The object is no longer in the drawing");
    return doc().layers[index_];
  }

 protected:
  Variant onGet(std::string_view m) override {
    Layer& l_ = layer();
    if (sameMember(m, "Name")) return l_.name;
    if (sameMember(m, "Color")) return static_cast<std::int32_t>(l_.color);
    if (sameMember(m, "Lock")) return l_.locked;
    if (sameMember(m, "Freeze")) return l_.frozen;
    if (sameMember(m, "LayerOn")) return !l_.off;
    unknown(m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    Layer& l_ = layer();
    if (sameMember(m, "Color")) {
      const int c = cad::toInt(v);
      if (c < 1 || c > 255) throw EOleException("Invalid colour index");
      return change([&] { l_.color = c; });
    }
    const bool on = cad::toInt(v) != 0;
    if (sameMember(m, "Lock")) return change([&] { l_.locked = on; });
    if (sameMember(m, "LayerOn")) return change([&] { l_.off = !on; });
    if (sameMember(m, "Freeze")) {
      // AutoCAD cannot freeze the current layer (a guess for the message's wording).
      if (on && cp1251::equalsIgnoreCase(l_.name, doc().activeLayer))
        throw EOleException("Invalid input: the current layer cannot be frozen");
      return change([&] { l_.frozen = on; });
    }
    unknown(m);
  }

 private:
  template <typename Change>
  void change(Change c) {
    ctx_->undo.touchLayer(doc(), index_);
    c();
    layer().original.reset();
  }
  std::size_t index_;
};

template <typename Item, typename Make>
Variant itemAt(const std::deque<Item>& items, const Args& a, Make make) {
  // By name, as CAD collections take it: without regard to case, a missing one raised as the
  // host's own error.
  if (const auto* name = std::get_if<std::string>(&argAt(a, 0))) {
    const std::string key = cp1251::canonical(*name);
    for (std::size_t i = 0; i < items.size(); ++i)
      if (cp1251::equalsIgnoreCase(items[i].name, key)) return make(i);
    throw EOleException("Key not found: " + *name);
  }
  const int i = cad::toInt(argAt(a, 0));
  if (i < 0 || i >= static_cast<int>(items.size())) throw EOleException("The index is out of range: " + std::to_string(i));
  return make(static_cast<std::size_t>(i));
}

template <typename Item>
std::size_t indexOf(const std::deque<Item>& items, const Item* item) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (&items[i] == item) return i;
  return 0;
}

// The layer and block tables: Count, Item by index, and Add that hands back the existing entry
// when the name is taken (names compare without regard to case, as in CAD systems).
struct LayerTable {
  static std::deque<Layer>& items(Document& d) { return d.layers; }
  static ObjectRef make(const std::shared_ptr<HostContext>& c, std::size_t i) { return std::make_shared<LayerObject>(c, i); }
  static const Layer* add(Document& d, const Args& a) {
    const std::string name = cad::toText(argAt(a, 0));
    if (name.empty()) throw EOleException("Invalid input: a layer needs a name");
    const Layer* l = d.findLayer(name);
    return l ? l : &d.addLayer(name);
  }
};

struct BlockTable {
  static std::deque<Block>& items(Document& d) { return d.blocks; }
  static ObjectRef make(const std::shared_ptr<HostContext>& c, std::size_t i) { return makeBlock(c, i, false); }
  static const Block* add(Document& d, const Args& a) {
    const Point base = toPoint(argAt(a, 0));
    const std::string name = cad::toText(argAt(a, 1));
    if (name.empty()) throw EOleException("Invalid input: a block needs a name");
    const Block* b = d.findBlock(name);
    return b ? b : &d.addBlock(name, base);
  }
};

template <typename Table>
class TableObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Count")) return static_cast<std::int32_t>(Table::items(doc()).size());
    unknown(m);
  }
  Variant onCall(std::string_view m, const Args& a) override {
    auto make = [this](std::size_t i) { return Variant(Table::make(ctx_, i)); };
    if (sameMember(m, "Item")) return itemAt(Table::items(doc()), a, make);
    if (sameMember(m, "Add")) return make(indexOf(Table::items(doc()), Table::add(doc(), a)));
    unknown(m);
  }
};

}  // namespace

ObjectRef makeLayers(const std::shared_ptr<HostContext>& ctx) { return std::make_shared<TableObject<LayerTable>>(ctx, "layers"); }
ObjectRef makeBlocks(const std::shared_ptr<HostContext>& ctx) { return std::make_shared<TableObject<BlockTable>>(ctx, "blocks"); }
ObjectRef makeLayer(const std::shared_ptr<HostContext>& ctx, std::size_t index) {
  return std::make_shared<LayerObject>(ctx, index);
}

Layer* layerOf(const ObjectRef& o) {
  auto* layer = dynamic_cast<LayerObject*>(o.get());
  return layer ? &layer->layer() : nullptr;
}

void refuseIfLocked(const Document& doc, const Entity& e) {
  const Layer* l = doc.findLayer(e.layer);
  if (l && l->locked) throw EOleException("The object is on a locked layer");
}

}  // namespace kelvo::host::served
