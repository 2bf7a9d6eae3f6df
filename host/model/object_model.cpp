#include "host/model/object_model.h"

#include "host/model/hit_test.h"
#include "host/model/text_metrics.h"
#include "host/model/xdata.h"
#include "platform/codepage.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace kelvo::host {

using cad::Args;
using cad::EOleError;
using cad::EOleException;
using cad::ObjectRef;
using cad::sameMember;
using cad::Variant;

namespace {

Point toPoint(const Variant& v) {
  const auto a = cad::toDoubles(v);
  if (a.size() != 3) throw EOleException("Invalid argument: a point needs three coordinates");
  return {a[0], a[1], a[2]};
}
Variant fromPoint(const Point& p) { return std::vector<double>{p[0], p[1], p[2]}; }
const Variant& argAt(const Args& a, std::size_t i) {
  if (i >= a.size()) throw EOleException("Invalid number of parameters");
  return a[i];
}

std::atomic<std::size_t> gLiveObjects{0};

class HostObject : public cad::AutoObject {
 public:
  HostObject(std::shared_ptr<HostContext> ctx, std::string label) : ctx_(std::move(ctx)), label_(std::move(label)) {
    ++gLiveObjects;
  }
  ~HostObject() override { --gLiveObjects; }
  HostObject(const HostObject&) = delete;
  HostObject& operator=(const HostObject&) = delete;
  const std::string& label() const { return label_; }
  Variant call(std::string_view m, const Args& args) override { return served(m, args, onCall(m, args)); }
  Variant get(std::string_view m) override { return served(m, {}, onGet(m)); }
  void put(std::string_view m, const Variant& v) override {
    onPut(m, v);
    ctx_->doc.modified = true;
    served(m, {v}, {});
  }

 protected:
  [[noreturn]] void unknown(std::string_view m) const {
    throw EOleError("Unknown name: " + label_ + " has no member " + std::string(m));
  }
  virtual Variant onCall(std::string_view m, const Args&) { unknown(m); }
  virtual Variant onGet(std::string_view m) { unknown(m); }
  virtual void onPut(std::string_view m, const Variant&) { unknown(m); }
  Document& doc() const { return ctx_->doc; }

  std::shared_ptr<HostContext> ctx_;
  std::string label_;

 private:
  Variant served(std::string_view m, const Args& args, Variant result) {
    if (ctx_->observer) ctx_->observer(label_, std::string(m), args, result);
    return result;
  }
};

// Objects find their part of the document by position on every call: a client may keep an
// object across a New or Open of the host, and must then get an error, not a stale reference.
Block& blockAt(Document& doc, std::size_t i) {
  if (i >= doc.blocks.size()) throw EOleError("The object is no longer in the drawing");
  return doc.blocks[i];
}

class EntityObject : public HostObject {
 public:
  EntityObject(std::shared_ptr<HostContext> c, std::size_t block, std::size_t index, const std::string& handle)
      : HostObject(std::move(c), "entity:" + handle), block_(block), index_(index) {}

 protected:
  Variant onCall(std::string_view m, const Args& a) override {
    Entity& e_ = entity();
    if (!sameMember(m, "GetBoundingBox") && !sameMember(m, "GetXData")) ctx_->undo.touchEntity(doc(), block_, index_);
    if (sameMember(m, "Delete")) {
      e_.deleted = true;
      return {};
    }
    if (sameMember(m, "GetBoundingBox") && e_.kind == Kind::Text) {
      const Box b = textBox(doc().font, e_);
      return std::vector<double>{b.min[0], b.min[1], b.min[2], b.max[0], b.max[1], b.max[2]};
    }
    if (sameMember(m, "Move")) {
      const Point from = toPoint(argAt(a, 0)), to = toPoint(argAt(a, 1));
      for (Point& p : e_.points)
        for (int i = 0; i < 3; ++i) p[static_cast<std::size_t>(i)] += to[static_cast<std::size_t>(i)] - from[static_cast<std::size_t>(i)];
      return changed(e_);
    }
    if (sameMember(m, "SetXData")) {
      setXData(doc(), e_, cad::toShorts(argAt(a, 0)), cad::toVariants(argAt(a, 1)));
      doc().modified = true;
      return {};
    }
    if (sameMember(m, "GetXData")) return getXData(doc(), e_, cad::toText(argAt(a, 0)));
    if (sameMember(m, "Rotate")) {
      const Point base = toPoint(argAt(a, 0));
      const double angle = cad::toDouble(argAt(a, 1)), c = std::cos(angle), s = std::sin(angle);
      for (Point& p : e_.points) {
        const double dx = p[0] - base[0], dy = p[1] - base[1];
        p[0] = base[0] + dx * c - dy * s, p[1] = base[1] + dx * s + dy * c;
      }
      e_.rotation = std::fmod(e_.rotation + angle, 2 * std::numbers::pi);
      return changed(e_);
    }
    unknown(m);
  }
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Handle")) return entity().handle;
    unknown(m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    Entity& e_ = entity();
    ctx_->undo.touchEntity(doc(), block_, index_);
    if (e_.kind == Kind::Text) {
      if (sameMember(m, "Alignment")) {
        // acAlignmentLeft 0, Center 1, Right 2 on the baseline; the text stays where it is.
        const int a = cad::toInt(v);
        e_.points.resize(2, e_.points.empty() ? Point{} : e_.points[0]);
        const double w = textWidth(doc().font, e_.text, e_.height) * (a == 2 ? 1 : a == 1 ? 0.5 : 0);
        e_.points[1] = {e_.points[0][0] + w * std::cos(e_.rotation), e_.points[0][1] + w * std::sin(e_.rotation), e_.points[0][2]};
        e_.horizontal = a, e_.vertical = 0;
        changed(e_);
        return;
      }
      if (sameMember(m, "HorizontalAlignment")) return void((e_.horizontal = cad::toInt(v), placeAligned(doc().font, e_), changed(e_)));
      if (sameMember(m, "VerticalAlignment")) return void((e_.vertical = cad::toInt(v), changed(e_)));
      if (sameMember(m, "TextAlignmentPoint")) {
        e_.points.resize(2, e_.points.empty() ? Point{} : e_.points[0]);
        e_.points[1] = toPoint(v);
        placeAligned(doc().font, e_);
        changed(e_);
        return;
      }
    }
    if (e_.kind == Kind::Leader) {
      if (sameMember(m, "ArrowheadBlock")) return void((e_.arrowBlock = cad::toText(v), changed(e_)));
      if (sameMember(m, "ArrowHeadSize")) return void((e_.arrowSize = cad::toDouble(v), changed(e_)));
    }
    unknown(m);
  }

 private:
  Variant changed(Entity& e) const {
    if (e.original && e.xdata.empty()) e.xdata = xdataOf(doc(), e);  // the file's data stays
    e.original.reset();  // written anew from the model from now on
    return {};
  }
  Entity& entity() const {
    Block& b = blockAt(doc(), block_);
    if (index_ >= b.entities.size()) throw EOleError("The object is no longer in the drawing");
    return b.entities[index_];
  }
  std::size_t block_, index_;
};

class BlockObject : public HostObject {
 public:
  BlockObject(std::shared_ptr<HostContext> c, std::size_t index, bool space)
      : HostObject(c, (space ? "space:" : "block:") + cp1251::toUtf8(blockAt(c->doc, index).name)), index_(index), space_(space) {}

 protected:
  Variant onGet(std::string_view m) override {
    Block& b_ = blockAt(doc(), index_);
    if (sameMember(m, "Name")) return b_.name;
    if (sameMember(m, "Count")) return static_cast<std::int32_t>(b_.entities.size());
    unknown(m);
  }
  Variant onCall(std::string_view m, const Args& a) override {
    Block& b_ = blockAt(doc(), index_);
    Entity e;
    e.layer = doc().activeLayer;
    if (sameMember(m, "AddLine")) {
      e.kind = Kind::Line, e.points = {toPoint(argAt(a, 0)), toPoint(argAt(a, 1))};
    } else if (sameMember(m, "AddCircle")) {
      e.kind = Kind::Circle, e.points = {toPoint(argAt(a, 0))}, e.radius = cad::toDouble(argAt(a, 1));
    } else if (sameMember(m, "AddArc")) {
      e.kind = Kind::Arc, e.points = {toPoint(argAt(a, 0))}, e.radius = cad::toDouble(argAt(a, 1));
      e.startAngle = cad::toDouble(argAt(a, 2)), e.endAngle = cad::toDouble(argAt(a, 3));
    } else if (sameMember(m, "AddSolid")) {
      e.kind = Kind::Solid;
      for (std::size_t i = 0; i < 4; ++i) e.points.push_back(toPoint(argAt(a, i)));
    } else if (sameMember(m, "AddPolyLine")) {
      e.kind = Kind::Polyline, e.points = flatPoints(argAt(a, 0));
    } else if (sameMember(m, "AddText")) {
      e.kind = Kind::Text, e.text = cad::toText(argAt(a, 0)), e.points = {toPoint(argAt(a, 1))};
      e.height = cad::toDouble(argAt(a, 2));
    } else if (space_ && sameMember(m, "InsertBlock")) {
      e.kind = Kind::Insert, e.points = {toPoint(argAt(a, 0))}, e.text = cad::toText(argAt(a, 1));
      if (!doc().findBlock(e.text)) throw EOleException("Invalid input: no block named " + cp1251::toUtf8(e.text));
      for (std::size_t i = 0; i < 3; ++i) e.scale[i] = cad::toDouble(argAt(a, 2 + i));
      e.rotation = cad::toDouble(argAt(a, 5));
    } else if (space_ && sameMember(m, "AddLeader")) {
      e.kind = Kind::Leader, e.points = flatPoints(argAt(a, 0));
      if (const auto* o = std::get_if<ObjectRef>(&argAt(a, 1)); o && *o)
        if (auto* ref = dynamic_cast<HostObject*>(o->get())) e.annotation = ref->label().substr(ref->label().find(':') + 1);
    } else {
      unknown(m);
    }
    e.handle = doc().newHandle();
    const std::string handle = e.handle;
    b_.entities.push_back(std::move(e));
    doc().modified = true;
    return ObjectRef(std::make_shared<EntityObject>(ctx_, index_, b_.entities.size() - 1, handle));
  }

 private:
  static std::vector<Point> flatPoints(const Variant& v) {
    const auto a = cad::toDoubles(v);
    if (a.size() % 3 != 0 || a.size() < 6) throw EOleException("Invalid argument: a vertex list of x, y, z triples is needed");
    std::vector<Point> pts;
    for (std::size_t i = 0; i + 2 < a.size(); i += 3) pts.push_back({a[i], a[i + 1], a[i + 2]});
    return pts;
  }
  std::size_t index_;
  bool space_;
};

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
    unknown(m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    Layer& l_ = layer();
    if (!sameMember(m, "Color")) unknown(m);
    const int c = cad::toInt(v);
    if (c < 0 || c > 256) throw EOleException("Invalid colour index");
    ctx_->undo.touchLayer(doc(), index_);
    l_.color = c;
    l_.original.reset();
  }

 private:
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
  static ObjectRef make(const std::shared_ptr<HostContext>& c, std::size_t i) { return std::make_shared<BlockObject>(c, i, false); }
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

class UtilityObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onCall(std::string_view m, const Args& a) override {
    if (sameMember(m, "GetPoint")) {
      std::optional<Point> base;
      if (!a.empty() && std::holds_alternative<std::vector<double>>(a[0])) base = toPoint(a[0]);
      const std::string prompt = a.size() > 1 ? cad::toText(a[1]) : std::string();
      const auto picked = ctx_->prompt ? ctx_->prompt(prompt, base) : std::nullopt;
      if (!picked) throw EOleException("The point prompt was cancelled");
      return fromPoint(*picked);
    }
    if (sameMember(m, "GetEntity")) return getEntity(a);
    if (sameMember(m, "AngleFromXAxis")) {
      const Point p = toPoint(argAt(a, 0)), q = toPoint(argAt(a, 1));
      double angle = std::atan2(q[1] - p[1], q[0] - p[0]);
      if (angle < 0) angle += 2 * std::numbers::pi;
      return angle;
    }
    unknown(m);
  }

 private:
  Variant getEntity(const Args& a);
};

// Registering an application makes its extended data welcome in the drawing; registering one
// twice is no error, as in CAD systems.
class RegisteredAppsObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onCall(std::string_view m, const Args& a) override {
    if (!sameMember(m, "Add")) unknown(m);
    const std::string name = cad::toText(argAt(a, 0));
    if (name.empty() || name.find_first_of(" <>/\\\":;?*|=`") != std::string::npos)
      throw EOleException("Invalid input: not an application name");
    doc().registerApp(name);
    return ObjectRef(std::make_shared<HostObject>(ctx_, "regapp:" + cp1251::toUtf8(name)));
  }
};

// The object a pick selects, and the point picked; a pick on nothing fails as in CAD systems.
Variant UtilityObject::getEntity(const Args& a) {
  const std::string prompt = !a.empty() && std::holds_alternative<std::string>(a.back()) ? cad::toText(a.back()) : "";
  const auto picked = ctx_->prompt ? ctx_->prompt(prompt, std::nullopt) : std::nullopt;
  if (!picked) throw EOleException("The selection was cancelled");
  for (std::size_t space = 0; space < 2; ++space) {
    const Block& b = blockAt(doc(), space);
    if (const auto i = entityAt(doc(), b, *picked, pickTolerance(doc()))) {
      cad::VariantArray out;
      out.items.emplace_back(ObjectRef(std::make_shared<EntityObject>(ctx_, space, *i, b.entities[*i].handle)));
      out.items.emplace_back(fromPoint(*picked));
      return out;
    }
  }
  throw EOleException("Nothing was selected at the point");
}

class DocumentObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onCall(std::string_view m, const Args& a) override {
    if (sameMember(m, "StartUndoMark")) return ctx_->undo.startMark(doc()), Variant();
    if (sameMember(m, "EndUndoMark")) return ctx_->undo.endMark(), Variant();
    if (sameMember(m, "SendCommand")) return sendCommand(cad::toText(argAt(a, 0)));
    if (sameMember(m, "HandleToObject")) {
      const std::string handle = cad::toText(argAt(a, 0));
      for (std::size_t b = 0; b < doc().blocks.size(); ++b) {
        const auto& entities = doc().blocks[b].entities;
        for (std::size_t i = 0; i < entities.size(); ++i)
          if (!entities[i].deleted && cp1251::equalsIgnoreCase(entities[i].handle, handle))
            return ObjectRef(std::make_shared<EntityObject>(ctx_, b, i, entities[i].handle));
      }
      throw EOleException("Invalid input: no object with handle " + handle);
    }
    if (sameMember(m, "GetVariable")) {
      const std::string name = cad::toText(argAt(a, 0));
      const auto v = doc().number(name);
      if (!v) {
        if (const auto t = doc().text(name)) return *t;
        throw EOleException("Unknown system variable " + name);
      }
      if (name == "TILEMODE" || name == "CVPORT") return static_cast<std::int32_t>(*v);
      return *v;
    }
    unknown(m);
  }
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "ModelSpace")) return ObjectRef(std::make_shared<BlockObject>(ctx_, 0, true));
    if (sameMember(m, "PaperSpace")) return ObjectRef(std::make_shared<BlockObject>(ctx_, 1, true));
    if (sameMember(m, "Layers")) return ObjectRef(std::make_shared<TableObject<LayerTable>>(ctx_, "layers"));
    if (sameMember(m, "Blocks")) return ObjectRef(std::make_shared<TableObject<BlockTable>>(ctx_, "blocks"));
    if (sameMember(m, "Utility")) return ObjectRef(std::make_shared<UtilityObject>(ctx_, "utility"));
    if (sameMember(m, "RegisteredApplications"))
      return ObjectRef(std::make_shared<RegisteredAppsObject>(ctx_, "registeredapplications"));
    if (sameMember(m, "ActiveLayer")) {
      const Layer* l = doc().findLayer(doc().activeLayer);
      return ObjectRef(std::make_shared<LayerObject>(ctx_, l ? indexOf(doc().layers, l) : 0));
    }
    unknown(m);
  }
  // The commands a script sends to undo and redo ("_U", "_.UNDO 1", "_REDO"); no others.
  Variant sendCommand(std::string command) {
    std::string c;
    for (char ch : command)
      if (ch != '_' && ch != '.' && ch != '\n' && ch != '\r') c += static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
    while (!c.empty() && c.back() == ' ') c.pop_back();
    while (!c.empty() && c.front() == ' ') c.erase(0, 1);
    if (c == "U" || c == "UNDO 1") ctx_->undo.undo(doc());
    else if (c == "REDO") ctx_->undo.redo(doc());
    else throw EOleException("Unknown command: " + command);
    doc().modified = true;
    return {};
  }
  void onPut(std::string_view m, const Variant& v) override {
    if (!sameMember(m, "ActiveLayer")) unknown(m);
    auto* layer = dynamic_cast<LayerObject*>(cad::toObject(v).get());
    if (!layer) throw EOleException("Invalid input: not a layer");
    doc().activeLayer = layer->layer().name;
  }
};

class ApplicationObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "ActiveDocument")) return ObjectRef(std::make_shared<DocumentObject>(ctx_, "document"));
    unknown(m);
  }
  Variant onCall(std::string_view m, const Args&) override {
    if (!sameMember(m, "Quit") || !ctx_->onQuit) unknown(m);
    ctx_->onQuit();
    return {};
  }
  void onPut(std::string_view m, const Variant& v) override {
    if (!sameMember(m, "Visible")) unknown(m);
    if (std::get_if<bool>(&v) && std::get<bool>(v) && ctx_->onVisible) ctx_->onVisible();
  }
};

}  // namespace

std::size_t liveHostObjects() { return gLiveObjects; }

cad::ObjectRef makeApplication(std::shared_ptr<HostContext> context) {
  return std::make_shared<ApplicationObject>(std::move(context), "application");
}

std::string hostObjectLabel(const cad::ObjectRef& o) {
  auto* h = dynamic_cast<HostObject*>(o.get());
  return h ? h->label() : "?";
}

}  // namespace kelvo::host
