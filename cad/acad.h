// A thin typed facade over the automation surface, one class per kind of host object, so that
// the draw routines read like what they do. It adds no behaviour: every method is one call.
#pragma once

#include "cad/automation.h"

#include <array>
#include <optional>
#include <string>
#include <utility>

namespace kelvo::cad {

using Point = std::array<double, 3>;

Variant pointArg(const Point& p);
Point toPoint(const Variant& v);

class AcadObject {
 public:
  AcadObject() = default;
  explicit AcadObject(ObjectRef o) : o_(std::move(o)) {}
  bool assigned() const { return o_ != nullptr; }
  const ObjectRef& ref() const { return o_; }

 protected:
  // An object that was never obtained fails as an unconnected automation object does.
  AutoObject& obj() const;
  Variant call(std::string_view member, const Args& args = {}) const { return obj().call(member, args); }
  Variant get(std::string_view member) const { return obj().get(member); }
  void put(std::string_view member, const Variant& v) const { obj().put(member, v); }

 private:
  ObjectRef o_;
};

class AcadEntity : public AcadObject {
 public:
  using AcadObject::AcadObject;
  void Delete() const { call("Delete"); }
  void setElevation(double z) const { put("Elevation", z); }
  std::string Handle() const { return toText(get("Handle")); }
  std::string Layer() const { return toText(get("Layer")); }
  void SetXData(const std::vector<std::int16_t>& types, const VariantArray& values) const {
    call("SetXData", {types, values});
  }
  // The application's group codes and values (the host answers both as out-parameters).
  std::pair<std::vector<std::int16_t>, std::vector<Variant>> GetXData(const std::string& app) const;
};

class AcadText : public AcadEntity {
 public:
  using AcadEntity::AcadEntity;
  // Lower-left and upper-right corners (the host answers six numbers).
  std::pair<Point, Point> GetBoundingBox() const;
  void setAlignment(int a) const { put("Alignment", a); }
  void setHorizontalAlignment(int a) const { put("HorizontalAlignment", a); }
  void setVerticalAlignment(int a) const { put("VerticalAlignment", a); }
  void setTextAlignmentPoint(const Point& p) const { put("TextAlignmentPoint", pointArg(p)); }
  void Rotate(const Point& base, double angle) const { call("Rotate", {pointArg(base), angle}); }
  void Move(const Point& from, const Point& to) const { call("Move", {pointArg(from), pointArg(to)}); }
};

class AcadLeader : public AcadEntity {
 public:
  using AcadEntity::AcadEntity;
  void setArrowheadBlock(const std::string& name) const { put("ArrowheadBlock", name); }
  void setArrowHeadSize(double size) const { put("ArrowHeadSize", size); }
  void setScaleFactor(double scale) const { put("ScaleFactor", scale); }
};

// A block definition; model and paper space are blocks too.
class AcadBlock : public AcadObject {
 public:
  using AcadObject::AcadObject;
  std::string name() const { return toText(get("Name")); }
  AcadEntity AddLine(const Point& a, const Point& b) const;
  AcadText AddText(const std::string& text, const Point& at, double height) const;
  AcadEntity AddCircle(const Point& centre, double radius) const;
  AcadEntity AddArc(const Point& centre, double radius, double start, double end) const;
  AcadEntity AddSolid(const Point& a, const Point& b, const Point& c, const Point& d) const;
  AcadEntity AddPolyLine(const std::vector<double>& xyz) const;
};

class AcadSpace : public AcadBlock {
 public:
  using AcadBlock::AcadBlock;
  AcadEntity InsertBlock(const Point& at, const std::string& name, double sx, double sy, double sz,
                         double rotation) const;
  AcadLeader AddLeader(const std::vector<double>& xyz, const AcadObject& annotation, int type) const;
};

class AcadLayer : public AcadObject {
 public:
  using AcadObject::AcadObject;
  std::string name() const { return toText(get("Name")); }
  void setColor(int index) const { put("Color", index); }
  bool Freeze() const { return toInt(get("Freeze")) != 0; }
  bool Lock() const { return toInt(get("Lock")) != 0; }
  bool LayerOn() const { return toInt(get("LayerOn")) != 0; }
};

template <typename Item>
class AcadCollection : public AcadObject {
 public:
  using AcadObject::AcadObject;
  int Count() const { return toInt(get("Count")); }
  Item ItemAt(int index) const { return Item(toObject(call("Item", {index}))); }
  // By name, without regard to case; a name the host does not hold raises its EOleException.
  Item ItemNamed(const std::string& name) const { return Item(toObject(call("Item", {name}))); }
};

class AcadLayers : public AcadCollection<AcadLayer> {
 public:
  using AcadCollection::AcadCollection;
  AcadLayer Add(const std::string& name) const { return AcadLayer(toObject(call("Add", {name}))); }
};

class AcadBlocks : public AcadCollection<AcadBlock> {
 public:
  using AcadCollection::AcadCollection;
  AcadBlock Add(const Point& base, const std::string& name) const {
    return AcadBlock(toObject(call("Add", {pointArg(base), name})));
  }
};

class AcadUtility : public AcadObject {
 public:
  using AcadObject::AcadObject;
  Point GetPoint(const std::optional<Point>& base, const std::string& prompt) const;
  // The entity the user picks and the point picked (out-parameters at the host).
  std::pair<AcadEntity, Point> GetEntity(const std::string& prompt) const;
  double AngleFromXAxis(const Point& a, const Point& b) const {
    return toDouble(call("AngleFromXAxis", {pointArg(a), pointArg(b)}));
  }
};

// A named selection set of the document. Select with acSelectionSetAll takes every top-level
// entity of the drawing, all layouts and layers, that the filter (DXF group codes and values,
// all of which must match) lets through.
class AcadSelectionSet : public AcadObject {
 public:
  using AcadObject::AcadObject;
  static constexpr int acSelectionSetAll = 5;
  void SelectAll(const std::vector<std::int16_t>& filterTypes, const VariantArray& filterData) const {
    call("Select", {acSelectionSetAll, Omitted{}, Omitted{}, filterTypes, filterData});
  }
  int Count() const { return toInt(get("Count")); }
  AcadEntity Item(int index) const { return AcadEntity(toObject(call("Item", {index}))); }
  void Delete() const { call("Delete"); }
};

class AcadSelectionSets : public AcadObject {
 public:
  using AcadObject::AcadObject;
  // A name the document holds already is refused (AutoCAD raises an error).
  AcadSelectionSet Add(const std::string& name) const { return AcadSelectionSet(toObject(call("Add", {name}))); }
  AcadSelectionSet ItemNamed(const std::string& name) const { return AcadSelectionSet(toObject(call("Item", {name}))); }
};

class AcadRegisteredApplications : public AcadObject {
 public:
  using AcadObject::AcadObject;
  void Add(const std::string& name) const { call("Add", {name}); }
};

class AcadDocument : public AcadObject {
 public:
  using AcadObject::AcadObject;
  Variant GetVariable(const std::string& name) const { return call("GetVariable", {name}); }
  AcadSpace ModelSpace() const { return AcadSpace(toObject(get("ModelSpace"))); }
  AcadSpace PaperSpace() const { return AcadSpace(toObject(get("PaperSpace"))); }
  AcadLayers Layers() const { return AcadLayers(toObject(get("Layers"))); }
  AcadBlocks Blocks() const { return AcadBlocks(toObject(get("Blocks"))); }
  AcadUtility Utility() const { return AcadUtility(toObject(get("Utility"))); }
  AcadRegisteredApplications RegisteredApplications() const {
    return AcadRegisteredApplications(toObject(get("RegisteredApplications")));
  }
  AcadSelectionSets SelectionSets() const { return AcadSelectionSets(toObject(get("SelectionSets"))); }
  AcadLayer ActiveLayer() const { return AcadLayer(toObject(get("ActiveLayer"))); }
  void setActiveLayer(const AcadLayer& layer) const { put("ActiveLayer", layer.ref()); }
  AcadEntity HandleToObject(const std::string& handle) const { return AcadEntity(toObject(call("HandleToObject", {handle}))); }
  void StartUndoMark() const { call("StartUndoMark"); }
  void EndUndoMark() const { call("EndUndoMark"); }
};

class AcadApplication : public AcadObject {
 public:
  using AcadObject::AcadObject;
  AcadDocument ActiveDocument() const { return AcadDocument(toObject(get("ActiveDocument"))); }
  void setVisible(bool on) const { put("Visible", on); }
  // The main window's handle (LONG_PTR: VT_I4 or VT_I8, whichever the program answers).
  std::int64_t HWND() const;
};

}  // namespace kelvo::cad
