#include "cad/acad.h"

namespace kelvo::cad {

Variant pointArg(const Point& p) { return std::vector<double>{p[0], p[1], p[2]}; }

Point toPoint(const Variant& v) {
  const std::vector<double> a = toDoubles(v);
  if (a.size() != 3) throw EOleError("the host returned a point without three coordinates");
  return {a[0], a[1], a[2]};
}

AutoObject& AcadObject::obj() const {
  if (!o_) throw EOleError("Variant does not reference an automation object");
  return *o_;
}

std::pair<Point, Point> AcadText::GetBoundingBox() const {
  const std::vector<double> a = toDoubles(call("GetBoundingBox"));
  if (a.size() != 6) throw EOleError("the host returned a bounding box without two points");
  return {{a[0], a[1], a[2]}, {a[3], a[4], a[5]}};
}

AcadEntity AcadBlock::AddLine(const Point& a, const Point& b) const {
  return AcadEntity(toObject(call("AddLine", {pointArg(a), pointArg(b)})));
}

AcadText AcadBlock::AddText(const std::string& text, const Point& at, double height) const {
  return AcadText(toObject(call("AddText", {text, pointArg(at), height})));
}

AcadEntity AcadBlock::AddCircle(const Point& centre, double radius) const {
  return AcadEntity(toObject(call("AddCircle", {pointArg(centre), radius})));
}

AcadEntity AcadBlock::AddArc(const Point& centre, double radius, double start, double end) const {
  return AcadEntity(toObject(call("AddArc", {pointArg(centre), radius, start, end})));
}

AcadEntity AcadBlock::AddSolid(const Point& a, const Point& b, const Point& c, const Point& d) const {
  return AcadEntity(toObject(call("AddSolid", {pointArg(a), pointArg(b), pointArg(c), pointArg(d)})));
}

AcadEntity AcadBlock::AddPolyLine(const std::vector<double>& xyz) const {
  return AcadEntity(toObject(call("AddPolyLine", {xyz})));
}

AcadEntity AcadSpace::InsertBlock(const Point& at, const std::string& name, double sx, double sy,
                                  double sz, double rotation) const {
  return AcadEntity(toObject(call("InsertBlock", {pointArg(at), name, sx, sy, sz, rotation})));
}

AcadLeader AcadSpace::AddLeader(const std::vector<double>& xyz, const AcadObject& annotation,
                                int type) const {
  return AcadLeader(toObject(call("AddLeader", {xyz, annotation.ref(), type})));
}

Point AcadUtility::GetPoint(const std::optional<Point>& base, const std::string& prompt) const {
  return toPoint(call("GetPoint", {base ? pointArg(*base) : Variant(Omitted{}), prompt}));
}

std::pair<std::vector<std::int16_t>, std::vector<Variant>> AcadEntity::GetXData(const std::string& app) const {
  const std::vector<Variant> outs = toVariants(call("GetXData", {app}));
  if (outs.size() != 2) throw EOleError("GetXData answered something else than codes and values");
  // An entity without the application's data answers two empty variants.
  if (std::holds_alternative<std::monostate>(outs[0])) return {};
  return {toShorts(outs[0]), toVariants(outs[1])};
}

std::pair<AcadEntity, Point> AcadUtility::GetEntity(const std::string& prompt) const {
  const std::vector<Variant> outs = toVariants(call("GetEntity", {prompt}));
  if (outs.size() != 2) throw EOleError("GetEntity answered something else than an object and a point");
  return {AcadEntity(toObject(outs[0])), toPoint(outs[1])};
}

std::int64_t AcadApplication::HWND() const {
  const double h = toDouble(get("HWND"));
  // Anything that is no handle (NaN, out of range) reads as none.
  return h >= -9.0e18 && h <= 9.0e18 ? static_cast<std::int64_t>(h) : 0;
}

}  // namespace kelvo::cad
