#include "host/model/object_model.h"

#include "host/model/hit_test.h"
#include "host/model/host_object.h"
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

using served::argAt;
using served::blockAt;
using served::fromPoint;
using served::HostObject;
using served::toPoint;

namespace served {

Point toPoint(const Variant& v) {
  const auto a = cad::toDoubles(v);
  if (a.size() != 3) throw EOleException("Invalid argument: a point needs three coordinates");
  return {a[0], a[1], a[2]};
}
const Variant& argAt(const Args& a, std::size_t i) {
  if (i >= a.size()) throw EOleException("Invalid number of parameters");
  return a[i];
}
std::atomic<std::size_t>& liveObjects() {
  static std::atomic<std::size_t> count{0};
  return count;
}
Block& blockAt(Document& doc, std::size_t i) {
  if (i >= doc.blocks.size()) throw EOleError("The object is no longer in the drawing");
  return doc.blocks[i];
}

}  // namespace served

namespace {

class EntityObject : public HostObject {
 public:
  EntityObject(std::shared_ptr<HostContext> c, std::size_t block, std::size_t index, const std::string& handle)
      : HostObject(std::move(c), "entity:" + handle), block_(block), index_(index) {}

 protected:
  Variant onCall(std::string_view m, const Args& a) override {
    Entity& e_ = entity();
    if (!sameMember(m, "GetBoundingBox") && !sameMember(m, "GetXData")) {
      served::refuseIfLocked(doc(), e_);
      ctx_->undo.touchEntity(doc(), block_, index_);
    }
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
    const Entity& e_ = entity();
    if (sameMember(m, "Handle")) return e_.handle;
    if (sameMember(m, "Layer")) return e_.layer;
    if (e_.kind == Kind::Leader && sameMember(m, "ScaleFactor")) return leaderScale(doc(), e_);
    if (e_.kind == Kind::Leader && sameMember(m, "ArrowheadSize")) return leaderArrowSize(doc(), e_);
    unknown(m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    Entity& e_ = entity();
    served::refuseIfLocked(doc(), e_);
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
    if (e_.kind == Kind::Polyline && sameMember(m, "Elevation")) {
      const double z = cad::toDouble(v);
      for (Point& p : e_.points) p[2] = z;
      changed(e_);
      return;
    }
    if (e_.kind == Kind::Leader) {
      if (sameMember(m, "ArrowheadBlock")) return void((e_.arrowBlock = cad::toText(v), changed(e_)));
      if (sameMember(m, "ArrowHeadSize")) return void((e_.arrowSize = atLeastZero(v, "arrowhead size"), changed(e_)));
      if (sameMember(m, "ScaleFactor")) return void((e_.leaderScale = positive(v, "scale factor"), changed(e_)));
    }
    unknown(m);
  }

 private:
  static double positive(const Variant& v, const char* what) {
    const double d = cad::toDouble(v);
    if (!(d > 0)) throw EOleException(std::string("Invalid input: the ") + what + " must be positive");
    return d;
  }
  static double atLeastZero(const Variant& v, const char* what) {
    const double d = cad::toDouble(v);
    if (!(d >= 0)) throw EOleException(std::string("Invalid input: the ") + what + " must not be negative");
    return d;
  }
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
      // AutoCAD's 2-D polyline ignores its vertices' z; its Elevation lifts it.
      e.kind = Kind::Polyline, e.points = flatPoints(argAt(a, 0));
      for (Point& p : e.points) p[2] = 0;
    } else if (sameMember(m, "AddText")) {
      e.kind = Kind::Text, e.text = cad::toText(argAt(a, 0)), e.points = {toPoint(argAt(a, 1))};
      e.height = cad::toDouble(argAt(a, 2));
    } else if (space_ && sameMember(m, "InsertBlock")) {
      e.kind = Kind::Insert, e.points = {toPoint(argAt(a, 0))}, e.text = cad::toText(argAt(a, 1));
      if (!doc().findBlock(e.text)) throw EOleException("Invalid input: no block named " + cp1251::toUtf8(e.text));
      for (std::size_t i = 0; i < 3; ++i) e.scale[i] = cad::toDouble(argAt(a, 2 + i));
      e.rotation = cad::toDouble(argAt(a, 5));
    } else if (space_ && sameMember(m, "AddLeader")) {
      // A new leader takes the drawing's overall scale and arrowhead size as its own.
      e.kind = Kind::Leader, e.points = flatPoints(argAt(a, 0));
      e.leaderScale = leaderScale(doc(), e), e.arrowSize = leaderArrowSize(doc(), e);
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
  // Only the space the user works in: an entity of the other at the same coordinates is not
  // under the cursor. In a layout with a viewport active the picks are model-space points.
  const std::size_t space = doc().currentSpace();
  const Block& b = blockAt(doc(), space);
  if (const auto i = entityAt(doc(), b, *picked, pickTolerance(doc()))) {
    cad::VariantArray out;
    out.items.emplace_back(ObjectRef(std::make_shared<EntityObject>(ctx_, space, *i, b.entities[*i].handle)));
    out.items.emplace_back(fromPoint(*picked));
    return out;
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
    if (sameMember(m, "GetVariable")) return served::systemVariable(doc(), cad::toText(argAt(a, 0)));
    unknown(m);
  }
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "ModelSpace")) return served::makeBlock(ctx_, 0, true);
    if (sameMember(m, "PaperSpace")) return served::makeBlock(ctx_, 1, true);
    if (sameMember(m, "Layers")) return served::makeLayers(ctx_);
    if (sameMember(m, "Blocks")) return served::makeBlocks(ctx_);
    if (sameMember(m, "Utility")) return ObjectRef(std::make_shared<UtilityObject>(ctx_, "utility"));
    if (sameMember(m, "SelectionSets")) return served::makeSelectionSets(ctx_);
    if (sameMember(m, "RegisteredApplications"))
      return ObjectRef(std::make_shared<RegisteredAppsObject>(ctx_, "registeredapplications"));
    if (sameMember(m, "ActiveLayer")) {
      const Layer* l = doc().findLayer(doc().activeLayer);
      std::size_t at = 0;
      for (std::size_t i = 0; i < doc().layers.size(); ++i)
        if (&doc().layers[i] == l) at = i;
      return served::makeLayer(ctx_, at);
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
    const Layer* layer = served::layerOf(cad::toObject(v));
    if (!layer) throw EOleException("Invalid input: not a layer");
    if (layer->frozen) throw EOleException("Invalid input: a frozen layer cannot be made current");
    doc().activeLayer = layer->name;
  }
};

class ApplicationObject : public HostObject {
 public:
  using HostObject::HostObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "ActiveDocument")) return ObjectRef(std::make_shared<DocumentObject>(ctx_, "document"));
    if (sameMember(m, "HWND")) {
      const std::int64_t h = ctx_->windowHandle ? ctx_->windowHandle() : 0;
      if (h >= INT32_MIN && h <= INT32_MAX) return static_cast<std::int32_t>(h);
      return static_cast<double>(h);
    }
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

std::size_t liveHostObjects() { return served::liveObjects(); }

namespace served {
ObjectRef makeEntity(const std::shared_ptr<HostContext>& ctx, std::size_t block, std::size_t index) {
  return std::make_shared<EntityObject>(ctx, block, index, blockAt(ctx->doc, block).entities.at(index).handle);
}
ObjectRef makeBlock(const std::shared_ptr<HostContext>& ctx, std::size_t index, bool space) {
  return std::make_shared<BlockObject>(ctx, index, space);
}
}  // namespace served

cad::ObjectRef makeApplication(std::shared_ptr<HostContext> context) {
  return std::make_shared<ApplicationObject>(std::move(context), "application");
}

std::string hostObjectLabel(const cad::ObjectRef& o) {
  auto* h = dynamic_cast<HostObject*>(o.get());
  return h ? h->label() : "?";
}

}  // namespace kelvo::host
