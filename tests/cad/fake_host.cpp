#include "tests/cad/fake_host.h"

#include "platform/codepage.h"

#include <cmath>
#include <numbers>

namespace kelvo::cad::test {

namespace {

[[noreturn]] void unknown(std::string_view object, std::string_view member) {
  throw EOleError("Unknown name: " + std::string(object) + "." + std::string(member));
}

// Objects hold their host weakly: the host records every call's arguments, objects among
// them, and a strong reference back would keep both alive for ever. An object whose host has
// gone fails as a disconnected automation object does.
class FakeObject : public AutoObject {
 public:
  FakeObject(std::weak_ptr<FakeHost> host, std::string label)
      : weak_(std::move(host)), label_(std::move(label)) {}
  Variant call(std::string_view member, const Args& args) override {
    const Lock lock(this);
    host_->record(label_, member, args);
    return onCall(member, args);
  }
  Variant get(std::string_view member) override {
    const Lock lock(this);
    host_->record(label_, member, {});
    return onGet(member);
  }
  void put(std::string_view member, const Variant& value) override {
    const Lock lock(this);
    host_->record(label_, member, {value});
    onPut(member, value);
  }

 protected:
  virtual Variant onCall(std::string_view m, const Args&) { unknown(label_, m); }
  virtual Variant onGet(std::string_view m) { unknown(label_, m); }
  virtual void onPut(std::string_view m, const Variant&) { unknown(label_, m); }

  struct Lock {
    explicit Lock(FakeObject* o) : o_(o) {
      o->host_ = o->weak_.lock();
      if (!o->host_) throw EOleSysError("The RPC server is unavailable");
    }
    ~Lock() { o_->host_.reset(); }
    FakeObject* o_;
  };
  std::weak_ptr<FakeHost> weak_;
  std::shared_ptr<FakeHost> host_;  // held for the length of one call
  std::string label_;
};

class EntityObject : public FakeObject {
 public:
  EntityObject(std::weak_ptr<FakeHost> host, std::shared_ptr<FakeEntity> e)
      : FakeObject(std::move(host), e->kind == "Text" ? "text" : "entity"), e_(std::move(e)) {}

 protected:
  Variant onCall(std::string_view m, const Args& args) override {
    if (sameMember(m, "Delete")) {
      e_->deleted = true;
      return {};
    }
    if (sameMember(m, "SetXData")) {
      e_->xdata = args;
      return {};
    }
    if (sameMember(m, "GetBoundingBox") && e_->kind == "Text") {
      const auto at = xyz(e_->args[1]);
      const double h = toDouble(e_->args[2]);
      const double w = host_->textWidth(toText(e_->args[0]));
      return std::vector<double>{at[0], at[1], at[2], at[0] + w, at[1] + h, at[2]};
    }
    e_->edits.emplace_back(std::string(m), args);
    return {};
  }
  void onPut(std::string_view m, const Variant& v) override { e_->edits.push_back({std::string(m), {v}}); }
  Variant onGet(std::string_view m) override {
    if (!sameMember(m, "Handle")) unknown(label_, m);
    if (e_->handle.empty()) e_->handle = std::to_string(100 + ++host_->handles);
    return e_->handle;
  }

 private:
  std::shared_ptr<FakeEntity> e_;
};

class BlockObject : public FakeObject {
 public:
  BlockObject(std::weak_ptr<FakeHost> host, std::shared_ptr<FakeBlock> b, std::string label)
      : FakeObject(std::move(host), std::move(label)), b_(std::move(b)) {}

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Name")) return b_->name;
    unknown(label_, m);
  }
  Variant onCall(std::string_view m, const Args& args) override {
    static const char* kinds[] = {"AddLine", "AddText", "AddCircle", "AddArc", "AddSolid",
                                  "AddPolyLine", "InsertBlock", "AddLeader"};
    for (const char* k : kinds)
      if (sameMember(m, k)) {
        auto e = std::make_shared<FakeEntity>();
        e->kind = std::string(k).substr(std::string(k) == "InsertBlock" ? 0 : 3);
        if (e->kind == "InsertBlock") e->kind = "Insert";
        e->args = args;
        e->layer = host_->activeLayer ? host_->activeLayer->name : "0";
        b_->entities.push_back(e);
        return ObjectRef(std::make_shared<EntityObject>(weak_, e));
      }
    unknown(label_, m);
  }

 private:
  std::shared_ptr<FakeBlock> b_;
};

class LayerObject : public FakeObject {
 public:
  LayerObject(std::weak_ptr<FakeHost> host, std::shared_ptr<FakeLayer> l)
      : FakeObject(std::move(host), "layer:" + l->name), l_(std::move(l)) {}
  std::shared_ptr<FakeLayer> layer() const { return l_; }

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Name")) return l_->name;
    if (sameMember(m, "Freeze")) return l_->frozen;
    if (sameMember(m, "Lock")) return l_->locked;
    if (sameMember(m, "LayerOn")) return l_->on;
    unknown(label_, m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    if (!sameMember(m, "Color")) unknown(label_, m);
    l_->color = toInt(v);
  }

 private:
  std::shared_ptr<FakeLayer> l_;
};

class LayersObject : public FakeObject {
 public:
  using FakeObject::FakeObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Count")) return static_cast<std::int32_t>(host_->layers.size());
    unknown(label_, m);
  }
  Variant onCall(std::string_view m, const Args& args) override {
    if (sameMember(m, "Item")) {
      const int i = toInt(args.at(0));
      if (i < 0 || i >= static_cast<int>(host_->layers.size())) throw EOleException("Index out of range");
      return ObjectRef(std::make_shared<LayerObject>(weak_, host_->layers[static_cast<std::size_t>(i)]));
    }
    if (sameMember(m, "Add")) {
      auto l = std::make_shared<FakeLayer>(FakeLayer{toText(args.at(0)), std::nullopt});
      host_->layers.push_back(l);
      return ObjectRef(std::make_shared<LayerObject>(weak_, l));
    }
    unknown(label_, m);
  }
};

class BlocksObject : public FakeObject {
 public:
  using FakeObject::FakeObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "Count")) return static_cast<std::int32_t>(host_->blocks.size());
    unknown(label_, m);
  }
  Variant onCall(std::string_view m, const Args& args) override {
    if (sameMember(m, "Item")) {
      std::size_t i = 0;
      if (const auto* name = std::get_if<std::string>(&args.at(0))) {
        while (i < host_->blocks.size() && !cp1251::equalsIgnoreCase(host_->blocks[i]->name, *name)) ++i;
        if (i == host_->blocks.size()) throw EOleException("Key not found");
      } else {
        const int at = toInt(args.at(0));
        if (at < 0 || at >= static_cast<int>(host_->blocks.size())) throw EOleException("Index out of range");
        i = static_cast<std::size_t>(at);
      }
      const auto& b = host_->blocks[i];
      return ObjectRef(std::make_shared<BlockObject>(weak_, b, "block:" + b->name));
    }
    if (sameMember(m, "Add")) {
      auto b = std::make_shared<FakeBlock>(FakeBlock{toText(args.at(1)), xyz(args.at(0)), {}});
      host_->blocks.push_back(b);
      return ObjectRef(std::make_shared<BlockObject>(weak_, b, "block:" + b->name));
    }
    unknown(label_, m);
  }
};

class UtilityObject : public FakeObject {
 public:
  using FakeObject::FakeObject;

 protected:
  Variant onCall(std::string_view m, const Args& args) override {
    if (sameMember(m, "GetPoint")) {
      host_->prompts.push_back(toText(args.at(1)));
      if (host_->picks.empty()) throw EOleException("User input is a keyword");  // cancelled
      auto p = host_->picks.front();
      host_->picks.pop_front();
      return p;
    }
    if (sameMember(m, "AngleFromXAxis")) {
      const auto a = xyz(args.at(0)), b = xyz(args.at(1));
      double angle = std::atan2(b[1] - a[1], b[0] - a[0]);
      if (angle < 0) angle += 2 * std::numbers::pi;
      return angle;
    }
    unknown(label_, m);
  }
};

class RegisteredAppsObject : public FakeObject {
 public:
  using FakeObject::FakeObject;

 protected:
  Variant onCall(std::string_view m, const Args& args) override {
    if (!sameMember(m, "Add")) unknown(label_, m);
    host_->registeredApps.push_back(toText(args.at(0)));
    return {};
  }
};

class DocumentObject : public FakeObject {
 public:
  using FakeObject::FakeObject;

 protected:
  Variant onCall(std::string_view m, const Args& args) override {
    if (sameMember(m, "StartUndoMark") || sameMember(m, "EndUndoMark")) return {};
    if (sameMember(m, "GetVariable")) {
      const auto it = host_->variables.find(toText(args.at(0)));
      if (it == host_->variables.end()) throw EOleException("unknown system variable");
      return it->second;
    }
    unknown(label_, m);
  }
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "ModelSpace")) return ObjectRef(std::make_shared<BlockObject>(weak_, host_->modelSpace, "modelspace"));
    if (sameMember(m, "PaperSpace")) return ObjectRef(std::make_shared<BlockObject>(weak_, host_->paperSpace, "paperspace"));
    if (sameMember(m, "Layers")) return ObjectRef(std::make_shared<LayersObject>(weak_, "layers"));
    if (sameMember(m, "Blocks")) return ObjectRef(std::make_shared<BlocksObject>(weak_, "blocks"));
    if (sameMember(m, "Utility")) return ObjectRef(std::make_shared<UtilityObject>(weak_, "utility"));
    if (sameMember(m, "ActiveLayer")) return ObjectRef(std::make_shared<LayerObject>(weak_, host_->activeLayer));
    if (sameMember(m, "RegisteredApplications")) return ObjectRef(std::make_shared<RegisteredAppsObject>(weak_, "regapps"));
    unknown(label_, m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    if (!sameMember(m, "ActiveLayer")) unknown(label_, m);
    host_->activeLayer = std::dynamic_pointer_cast<LayerObject>(toObject(v))->layer();
  }
};

class ApplicationObject : public FakeObject {
 public:
  using FakeObject::FakeObject;

 protected:
  Variant onGet(std::string_view m) override {
    if (sameMember(m, "ActiveDocument")) return ObjectRef(std::make_shared<DocumentObject>(weak_, "document"));
    if (sameMember(m, "HWND")) return host_->hwnd;
    unknown(label_, m);
  }
  void onPut(std::string_view m, const Variant& v) override {
    if (!sameMember(m, "Visible")) unknown(label_, m);
    host_->visible = std::get<bool>(v);
  }
};

}  // namespace

FakeHost::FakeHost()
    : modelSpace(std::make_shared<FakeBlock>(FakeBlock{"*Model_Space", {0, 0, 0}, {}})),
      paperSpace(std::make_shared<FakeBlock>(FakeBlock{"*Paper_Space", {0, 0, 0}, {}})) {
  // Integer variables come as 16-bit integers (VT_I2), as AutoCAD answers them.
  variables = {{"TILEMODE", std::int16_t{1}}, {"CVPORT", std::int16_t{2}}, {"DIMSCALE", 1.0},
               {"DIMTXT", 10.0},             {"DIMASZ", 5.0},           {"DIMGAP", 2.0}};
  layers.push_back(std::make_shared<FakeLayer>(FakeLayer{"0", 7}));
  activeLayer = layers.front();
}

FakeHost::~FakeHost() {
  if (transport_) unregisterTransport(transport_);
}

ObjectRef FakeHost::application() {
  return std::make_shared<ApplicationObject>(weak_from_this(), "application");
}

void FakeHost::registerAsRunning() {
  std::weak_ptr<FakeHost> self = weak_from_this();
  transport_ = registerTransport([self](std::string_view progId) -> ObjectRef {
    auto host = self.lock();
    if (!host || progId != "AutoCAD.Application") return nullptr;
    return host->application();
  });
}

std::shared_ptr<FakeBlock> FakeHost::block(const std::string& name) const {
  for (const auto& b : blocks)
    if (b->name == name) return b;
  return nullptr;
}

std::shared_ptr<FakeLayer> FakeHost::layer(const std::string& name) const {
  for (const auto& l : layers)
    if (l->name == name) return l;
  return nullptr;
}

void FakeHost::record(const std::string& object, std::string_view member, const Args& args) {
  calls.push_back({object, std::string(member), args});
  if (!failAt || calls.size() - 1 != *failAt) return;
  switch (failKind) {
    case FailKind::Exception: throw EOleException("host error");
    case FailKind::SysError: throw EOleSysError("call failed");
    case FailKind::Error: throw EOleError("not connected");
    case FailKind::Other: throw std::runtime_error("something else");
  }
}

std::vector<double> xyz(const Variant& v) { return toDoubles(v); }
const Variant& arg(const FakeEntity& e, std::size_t i) { return e.args.at(i); }

}  // namespace kelvo::cad::test
