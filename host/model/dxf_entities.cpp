// Entity kind -> group codes: one table that both the writer and its tests read.
#include "host/model/dxf_writer.h"

#include "host/model/xdata.h"
#include "platform/codepage.h"

#include <cmath>
#include <functional>
#include <numbers>

namespace kelvo::host {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

struct Out {
  Tags& tags;
  const Document& doc;
  void add(int code, std::string v) { tags.push_back({code, std::move(v)}); }
  void num(int code, double v) { add(code, formatDouble(v)); }
  void text(int code, const std::string& cp) { add(code, doc.encodeForFile(cp)); }
};

using Emit = std::function<void(Out&, const Entity&)>;

Emit subclass(const char* name) { return [name](Out& o, const Entity&) { o.add(100, name); }; }
Emit point(int code, std::size_t i) {
  return [code, i](Out& o, const Entity& e) {
    const Point p = i < e.points.size() ? e.points[i] : Point{};
    o.num(code, p[0]);
    o.num(code + 10, p[1]);
    o.num(code + 20, p[2]);
  };
}
Emit number(int code, double Entity::*field, double factor = 1) {
  return [=](Out& o, const Entity& e) { o.num(code, e.*field * factor); };
}

struct Definition {
  const char* name;
  std::vector<Emit> fields;
};

const Definition& definition(Kind k) {
  static const std::map<Kind, Definition> table = {
      {Kind::Line, {"LINE", {subclass("AcDbLine"), point(10, 0), point(11, 1)}}},
      {Kind::Circle, {"CIRCLE", {subclass("AcDbCircle"), point(10, 0), number(40, &Entity::radius)}}},
      {Kind::Arc,
       {"ARC",
        {subclass("AcDbCircle"), point(10, 0), number(40, &Entity::radius), subclass("AcDbArc"),
         number(50, &Entity::startAngle, kDegrees), number(51, &Entity::endAngle, kDegrees)}}},
      {Kind::Solid,
       {"SOLID", {subclass("AcDbTrace"), point(10, 0), point(11, 1), point(12, 2), point(13, 3)}}},
      {Kind::Polyline,
       {"LWPOLYLINE",
        {subclass("AcDbPolyline"),
         [](Out& o, const Entity& e) {
           o.add(90, std::to_string(e.points.size()));
           o.add(70, "0");
           if (!e.points.empty() && e.points[0][2] != 0) o.num(38, e.points[0][2]);
           for (const Point& p : e.points) o.num(10, p[0]), o.num(20, p[1]);
         }}}},
      {Kind::Text,
       {"TEXT",
        {subclass("AcDbText"), point(10, 0), number(40, &Entity::height),
         [](Out& o, const Entity& e) { o.text(1, e.text); },
         [](Out& o, const Entity& e) {
           if (e.rotation != 0) o.num(50, e.rotation * kDegrees);
           if (e.horizontal != 0) o.add(72, std::to_string(e.horizontal));
           if (e.horizontal != 0 || e.vertical != 0) point(11, 1)(o, e);
         },
         subclass("AcDbText"),
         [](Out& o, const Entity& e) {
           if (e.vertical != 0) o.add(73, std::to_string(e.vertical));
         }}}},
      {Kind::Insert,
       {"INSERT",
        {subclass("AcDbBlockReference"), [](Out& o, const Entity& e) { o.text(2, e.text); }, point(10, 0),
         [](Out& o, const Entity& e) {
           o.num(41, e.scale[0]), o.num(42, e.scale[1]), o.num(43, e.scale[2]);
           o.num(50, e.rotation * kDegrees);
         }}}},
      {Kind::Leader,
       {"LEADER",
        {subclass("AcDbLeader"),
         [](Out& o, const Entity& e) {
           o.add(3, "Standard");
           o.add(71, "1"), o.add(72, "0"), o.add(73, e.annotation.empty() ? "3" : "2");
           o.add(74, "0"), o.add(75, "0");
           o.num(40, 0), o.num(41, 0);
           o.add(76, std::to_string(e.points.size()));
           for (const Point& p : e.points) o.num(10, p[0]), o.num(20, p[1]), o.num(30, p[2]);
           if (!e.annotation.empty()) o.add(340, e.annotation);
         }}}},
  };
  return table.at(k);
}

}  // namespace

Tags entityTags(const Document& doc, const Entity& e, const std::string& ownerHandle, bool paper) {
  Tags tags;
  Out o{tags, doc};
  const Definition& d = definition(e.kind);
  o.add(0, d.name);
  o.add(5, e.handle);
  o.add(330, ownerHandle);
  o.add(100, "AcDbEntity");
  if (paper) o.add(67, "1");
  o.text(8, e.layer);
  for (const Emit& f : d.fields) f(o, e);
  const bool dstyle = e.kind == Kind::Leader && (e.arrowSize != 0 || e.leaderScale != 0 || !e.arrowBlock.empty());
  if (dstyle) {
    // The overall scale, arrowhead size and block as the leader's own dimension-style
    // overrides (DIMSCALE 40, DIMASZ 41, DIMBLK 341): the arrow is drawn at 41 x 40.
    o.add(1001, "ACAD");
    o.add(1000, "DSTYLE");
    o.add(1002, "{");
    if (e.leaderScale != 0) o.add(1070, "40"), o.num(1040, e.leaderScale);
    if (e.arrowSize != 0) o.add(1070, "41"), o.num(1040, e.arrowSize);
    if (!e.arrowBlock.empty())
      for (const Block& b : doc.blocks)
        if (cp1251::equalsIgnoreCase(b.name, e.arrowBlock)) o.add(1070, "341"), o.add(1005, b.recordHandle);
    o.add(1002, "}");
  }
  XData data = e.xdata;
  // The override above is the leader's ACAD data, made from the model; a second would repeat it.
  if (dstyle) std::erase_if(data, [](const auto& app) { return cp1251::equalsIgnoreCase(app.first, "ACAD"); });
  appendXDataTags(doc, data, tags);
  return tags;
}

}  // namespace kelvo::host
