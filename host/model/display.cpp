#include "host/model/display.h"

#include "host/model/display_build.h"
#include "host/model/text_metrics.h"
#include "platform/codepage.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <numbers>
#include <iterator>
#include <set>
#include <thread>
#include <unordered_map>

namespace kelvo::host {

namespace {

using namespace display;

constexpr int kMaxNesting = 8;  // blocks referencing blocks; a cycle ends here
constexpr int kByBlock = 0, kByLayer = 256;

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// An entity's DXF type as its tags name it; nothing for one the host made.
std::string_view typeOf(const Entity& e) {
  return e.original && !e.original->empty() ? std::string_view((*e.original)[0].value) : std::string_view();
}

struct LayerLook {
  bool visible = true;
  std::uint32_t rgb = 0xFFFFFF;
  std::string linetype = "CONTINUOUS";
};

// What the entities inside a block reference take when they say "by block" or sit on layer 0.
struct Inherited {
  const LayerLook* layer = nullptr;
  std::uint32_t rgb = 0xFFFFFF;
  std::string linetype = "CONTINUOUS";
  double linetypeScale = 1;
};

class Builder {
 public:
  Builder(const Document& doc, Picture& out, std::size_t mostPlaced) : doc_(doc), out_(out), mostPlaced_(mostPlaced) {
    ltscale_ = doc.number("LTSCALE").value_or(1.0);
    if (!(ltscale_ > 0)) ltscale_ = 1;
    readLinetypes();
    for (const Layer& l : doc.layers) layers_[upper(l.name)] = look(l);
  }

  void space(const Block& b, const Affine& to, const Inherited& from, int depth) {
    const bool outer = nested_;
    nested_ = depth > 0;
    space(b.entities, 0, b.entities.size(), to, from, depth);
    nested_ = outer;
  }
  // The entities from `first` up to `end` of a space.
  void part(const Block& b, std::size_t first, std::size_t end) { space(b.entities, first, end, {}, {}, 0); }

 private:
  void space(const std::deque<Entity>& list, std::size_t first, std::size_t end, const Affine& to, const Inherited& from, int depth) {
    for (std::size_t i = first; i < end; ++i) {
      if (depth > 0 && ++placed_ > mostPlaced_) return;
      const Entity& e = list[i];
      if (!e.original || e.original->empty() || e.kind != Kind::Other) {
        if (!e.deleted) entity(e, to, from, depth);
        // The attributes that follow a reference belong to it: hidden with it.
        if (e.kind == Kind::Insert && e.deleted) i = skipAttributes(list, i);
        continue;
      }
      if (typeOf(e) == "POLYLINE") {
        std::vector<const Tags*> vertices;
        std::size_t j = i + 1;
        for (; j < list.size() && typeOf(list[j]) == "VERTEX"; ++j) vertices.push_back(&*list[j].original);
        if (!e.deleted && visible(e, from)) {
          Sink s = sinkFor(e, to, from);
          polyline(Fields(*e.original), vertices, s);
        }
        i = j < list.size() && typeOf(list[j]) == "SEQEND" ? j : j - 1;
        continue;
      }
      if (!e.deleted) entity(e, to, from, depth);
    }
  }

  const Document& doc_;
  Picture& out_;
  double ltscale_ = 1;
  std::size_t mostPlaced_, placed_ = 0;
  bool nested_ = false;
  std::unordered_map<std::string, std::vector<double>> linetypes_;
  std::unordered_map<std::string, LayerLook> layers_;
  LayerLook unknownLayer_;

  static std::size_t skipAttributes(const std::deque<Entity>& list, std::size_t i) {
    std::size_t j = i + 1;
    while (j < list.size() && typeOf(list[j]) == "ATTRIB") ++j;
    return j < list.size() && typeOf(list[j]) == "SEQEND" ? j : j - 1;
  }

  // Each entry's dash lengths: + a dash, - a gap, 0 a dot.
  void readLinetypes() {
    for (const auto& [name, tags] : doc_.keptTables) {
      if (name != "LTYPE") continue;
      std::vector<double>* entry = nullptr;
      bool inEntry = false;
      for (const Tag& g : tags) {
        if (g.code == 0) inEntry = g.value == "LTYPE", entry = nullptr;
        else if (inEntry && g.code == 2) entry = &linetypes_[upper(g.value)];
        else if (entry && g.code == 49) entry->push_back(parseReal(g.value));
      }
    }
  }

  LayerLook look(const Layer& l) const {
    LayerLook k;
    k.visible = !l.off && !l.frozen;
    k.rgb = aciRgb(l.color);
    if (l.original) {
      const Fields f(*l.original);
      if (f.has(420)) k.rgb = static_cast<std::uint32_t>(f.integer(420)) & 0xFFFFFF;
      if (const std::string* lt = f.raw(6)) k.linetype = upper(*lt);
    }
    return k;
  }

  const LayerLook& layerOf(const Entity& e, const Inherited& from) const {
    if (from.layer && e.layer == "0") return *from.layer;
    const auto it = layers_.find(upper(e.layer));
    return it == layers_.end() ? unknownLayer_ : it->second;
  }

  // An entity's own colour, linetype and visibility, read from its tags once: the entities of
  // a block are placed as often as the block is referenced.
  struct Own {
    int colour = kByLayer;
    std::optional<std::uint32_t> trueColour;
    std::string linetype = "BYLAYER";
    double scale = 1;
    bool invisible = false;
    std::optional<Affine> plane;  // of a 2D entity in a plane other than the drawing's: its OCS
  };
  std::unordered_map<const Entity*, Own> own_;  // of the entities inside blocks
  Own ownOnce_;                                  // of one in the space itself, placed once
  const Entity* onceOf_ = nullptr;
  const Own& own(const Entity& e) {
    Own* slot = &ownOnce_;
    if (nested_) {
      const auto [it, added] = own_.try_emplace(&e);
      if (!added) return it->second;
      slot = &it->second;
    } else {
      if (onceOf_ == &e) return ownOnce_;
      ownOnce_ = Own();
      onceOf_ = &e;
    }
    Own& o = *slot;
    if (!e.original) return o;
    const Fields f(*e.original);
    o.colour = f.integer(62, kByLayer);
    if (f.has(420)) o.trueColour = static_cast<std::uint32_t>(f.integer(420)) & 0xFFFFFF;
    if (const std::string* lt = f.raw(6)) o.linetype = upper(*lt);
    o.scale = f.real(48, 1);
    o.invisible = f.integer(60) == 1;
    // A 2D entity keeps its points in the plane of its extrusion (mirrored in a CAD program,
    // the plane seen from below, (0, 0, -1)); drawn from above, as its plane shows in plan.
    static const std::set<std::string> planar = {"ARC", "CIRCLE", "LWPOLYLINE", "POLYLINE", "TEXT", "ATTRIB",
                                                  "ATTDEF", "INSERT", "HATCH", "SOLID", "TRACE"};
    const Point n{f.real(210), f.real(220), f.real(230, 1)};
    if ((n[0] != 0 || n[1] != 0 || n[2] < 0) && planar.count((*e.original)[0].value) > 0)
      o.plane = objectPlane(n, f.has(38) ? f.real(38) : f.z(10));
    return o;
  }

  Sink sinkFor(const Entity& e, const Affine& to, const Inherited& from) {
    const LayerLook& layer = layerOf(e, from);
    const Own& o = own(e);
    Sink s{out_, o.plane ? o.plane->then(to) : to, 0xFFFFFF, {}};
    s.rgb = o.trueColour ? *o.trueColour : o.colour == kByLayer ? layer.rgb : o.colour == kByBlock ? from.rgb : aciRgb(std::abs(o.colour));
    double scale = o.scale;
    const std::string* linetype = &o.linetype;
    if (*linetype == "BYLAYER") linetype = &layer.linetype;
    else if (*linetype == "BYBLOCK") linetype = &from.linetype, scale *= from.linetypeScale;
    const auto lt = linetypes_.find(*linetype);
    if (lt != linetypes_.end() && lt->second.size() > 1)
      for (double d : lt->second) s.dashes.push_back(d * scale * ltscale_);
    return s;
  }

  bool visible(const Entity& e, const Inherited& from) { return layerOf(e, from).visible && !own(e).invisible; }

  void entity(const Entity& e, const Affine& to, const Inherited& from, int depth) {
    if (!visible(e, from)) return;
    Sink s = sinkFor(e, to, from);
    if (!e.original || e.kind != Kind::Other) {
      known(e, s, from, depth);
      return;
    }
    const Fields f(*e.original);
    const std::string& type = (*e.original)[0].value;
    if (type == "ELLIPSE") ellipse(f, s);
    else if (type == "SPLINE") spline(f, s);
    else if (type == "HATCH") hatch(f, s);
    else if (type == "MTEXT") mtext(doc_, f, s);
    else if (type == "ATTRIB" || (type == "ATTDEF" && !nested_)) text(doc_, f, s);
    else if (type == "POINT") point(doc_, f, s);
    else if (type == "TRACE") corners(f, s, true);
    else if (type == "3DFACE") corners(f, s, false);
    else if (type == "RAY" || type == "XLINE") constructionLine(f, s, type == "XLINE");
    else if (type == "MULTILEADER" || type == "MLEADER") multileader(doc_, f, s);
    else if (type == "DIMENSION") dimension(e, f, s, from, depth);
    else if (type == "ACAD_TABLE") table(e, f, s, from, depth);
    else if (type == "MESH") mesh(f, s);
  }

  void known(const Entity& e, Sink& s, const Inherited& from, int depth) {
    std::vector<P2> pts;
    for (const Point& p : e.points) pts.push_back({p[0], p[1]});
    switch (e.kind) {
      case Kind::Line:
        s.path(pts, false);
        s.vertexFeatures(pts, false);
        break;
      case Kind::Polyline:
        if (e.original) lightweightPolyline(Fields(*e.original), s);
        else s.path(pts, false), s.vertexFeatures(pts, false);
        break;
      case Kind::Circle:
      case Kind::Arc: arc(e, s); break;
      case Kind::Solid:
        if (e.original) corners(Fields(*e.original), s, true);
        else if (pts.size() >= 4) s.fill({{pts[0], pts[1], pts[3], pts[2]}});
        break;
      case Kind::Text:
        if (e.original) text(doc_, Fields(*e.original), s);
        else hostText(e, s);
        break;
      case Kind::Insert: insert(e, s, from, depth); break;
      case Kind::Leader: leader(e, s, from, depth); break;
      case Kind::Other: break;
    }
  }

  void arc(const Entity& e, Sink& s) {
    if (e.points.empty()) return;
    const P2 c{e.points[0][0], e.points[0][1]};
    const double r = e.radius;
    double sweep = 2 * std::numbers::pi, from = 0;
    if (e.kind == Kind::Arc) {
      from = e.startAngle;
      sweep = std::fmod(e.endAngle - e.startAngle, 2 * std::numbers::pi);
      if (sweep <= 0) sweep += 2 * std::numbers::pi;
    }
    const std::vector<P2> pts = arcPoints(c, r, from, sweep);
    s.path(pts, e.kind == Kind::Circle);
    s.feature(c, SnapKind::Center);
    for (int q = 0; q < 4; ++q) {
      const double a = q * std::numbers::pi / 2;
      const double rel = std::fmod(a - from + 4 * std::numbers::pi, 2 * std::numbers::pi);
      if (e.kind == Kind::Circle || rel <= sweep) s.feature({c[0] + r * std::cos(a), c[1] + r * std::sin(a)}, SnapKind::Quadrant);
    }
    if (e.kind == Kind::Arc) {
      s.feature(pts.front(), SnapKind::Endpoint), s.feature(pts.back(), SnapKind::Endpoint);
      const double mid = from + sweep / 2;
      s.feature({c[0] + r * std::cos(mid), c[1] + r * std::sin(mid)}, SnapKind::Midpoint);
    }
  }

  void hostText(const Entity& e, Sink& s) {
    if (e.points.empty() || e.text.empty()) return;
    Entity placed = e;
    if (e.horizontal != 0 || e.vertical != 0) placeAligned(doc_.font, placed);
    s.text({{placed.points[0][0], placed.points[0][1]}, e.height, e.rotation, 1, 0, displayText(e.text), std::nullopt, 0});
  }

  Inherited inheritedBy(const Entity& e, const Sink& s, const Inherited& from) {
    Inherited in{&layerOf(e, from), s.rgb, "CONTINUOUS", 1};
    std::string lt = "BYLAYER";
    if (e.original)
      if (const std::string* v = Fields(*e.original).raw(6)) lt = upper(*v);
    in.linetype = lt == "BYLAYER" ? in.layer->linetype : lt == "BYBLOCK" ? from.linetype : lt;
    return in;
  }

  void insert(const Entity& e, Sink& s, const Inherited& from, int depth) {
    const Block* b = depth < kMaxNesting && !e.points.empty() ? doc_.findBlock(e.text) : nullptr;
    if (!b) return;
    const Inherited in = inheritedBy(e, s, from);
    int columns = 1, rows = 1;
    double dx = 0, dy = 0;
    if (e.original) {
      const Fields f(*e.original);
      columns = std::clamp(f.integer(70, 1), 1, 100), rows = std::clamp(f.integer(71, 1), 1, 100);
      dx = f.real(44), dy = f.real(45);
    }
    const double c = std::cos(e.rotation), sn = std::sin(e.rotation);
    for (int row = 0; row < rows; ++row)
      for (int col = 0; col < columns; ++col) {
        const P2 at{e.points[0][0] + col * dx * c - row * dy * sn, e.points[0][1] + col * dx * sn + row * dy * c};
        const Affine inner = placement(at, e.rotation, e.scale[0], e.scale[1], {b->base[0], b->base[1]}).then(s.to);
        space(*b, inner, in, depth + 1);
      }
  }

  // A dimension is drawn by its own block, whose geometry is already where the dimension is.
  void dimension(const Entity& e, const Fields& f, Sink& s, const Inherited& from, int depth) {
    if (const Block* b = blockOf(f, depth)) space(*b, s.to, inheritedBy(e, s, from), depth + 1);
  }

  // The block an entity is drawn by (its 2), unless blocks nest past what is drawn.
  const Block* blockOf(const Fields& f, int depth) const {
    const std::string* name = f.raw(2);
    return name && depth < kMaxNesting ? doc_.findBlock(fromFile(*name, doc_.encoding)) : nullptr;
  }

  // A table is drawn by its block, placed at its insertion point along its direction (11).
  void table(const Entity& e, const Fields& f, Sink& s, const Inherited& from, int depth) {
    const Block* b = blockOf(f, depth);
    if (!b) return;
    const P2 dir = f.has(11) ? f.point(11) : P2{1, 0};
    const Affine inner = placement(f.point(10), std::atan2(dir[1], dir[0]), 1, 1, {b->base[0], b->base[1]}).then(s.to);
    space(*b, inner, inheritedBy(e, s, from), depth + 1);
  }

  // The line, and the arrowhead at the first vertex pointing along the leader: the arrowhead
  // block scaled by the arrowhead size, or a CAD program's closed filled arrow.
  void leader(const Entity& e, Sink& s, const Inherited& from, int depth) {
    std::vector<P2> pts;
    for (const Point& p : e.points) pts.push_back({p[0], p[1]});
    s.path(pts, false);
    s.vertexFeatures(pts, false);
    if (pts.size() < 2) return;
    // AutoCAD draws the arrowhead at its size times the leader's overall scale, and leaves it
    // out when the first segment is shorter than twice that.
    const double size = leaderArrowSize(doc_, e) * leaderScale(doc_, e);
    if (std::hypot(pts[1][0] - pts[0][0], pts[1][1] - pts[0][1]) < 2 * size) return;
    const double angle = std::atan2(pts[0][1] - pts[1][1], pts[0][0] - pts[1][0]);
    const Block* arrow = e.arrowBlock.empty() || depth >= kMaxNesting ? nullptr : doc_.findBlock(e.arrowBlock);
    if (arrow) {
      const Affine inner = placement(pts[0], angle, size, size, {arrow->base[0], arrow->base[1]}).then(s.to);
      space(*arrow, inner, inheritedBy(e, s, from), depth + 1);
      return;
    }
    if (e.original && Fields(*e.original).integer(71, 1) == 0) return;
    arrowhead(s, pts, size);
  }
};

// Each shape's box, and the texts' into the extents.
void boxes(Picture& d, const Document& doc) {
  for (Shape& sh : d.shapes) {
    sh.lo = {1e300, 1e300}, sh.hi = {-1e300, -1e300};
    auto take = [&sh](P2 p) {
      for (std::size_t k = 0; k < 2; ++k) sh.lo[k] = std::min(sh.lo[k], p[k]), sh.hi[k] = std::max(sh.hi[k], p[k]);
    };
    if (sh.type == Shape::Type::Ray) continue;
    if (sh.type != Shape::Type::Text) {
      for (const P2& p : sh.points) take(p);
      continue;
    }
    if (sh.width == 0) sh.width = textWidth(doc.font, sh.text, sh.height) * sh.widthFactor;
    const double w = sh.width, up = sh.upsideDown ? -sh.height : sh.height;
    const double c = std::cos(sh.angle), s = std::sin(sh.angle);
    for (const P2 corner : {P2{0, 0}, P2{w, 0}, P2{0, up}, P2{w, up}})
      take({sh.points[0][0] + corner[0] * c - corner[1] * s, sh.points[0][1] + corner[0] * s + corner[1] * c});
    for (std::size_t k = 0; k < 2; ++k) d.min[k] = std::min(d.min[k], sh.lo[k]), d.max[k] = std::max(d.max[k], sh.hi[k]);
  }
}

}  // namespace

std::uint32_t aciRgb(int i) {
  static constexpr std::uint32_t base[] = {0xFFFFFF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                           0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
  if (i >= 0 && i <= 9) return base[i];
  if (i >= 250 && i <= 255) {
    const auto v = static_cast<std::uint32_t>(51 + (i - 250) * 40);
    return v << 16 | v << 8 | v;
  }
  if (i < 0 || i > 255) return 0xFFFFFF;
  // 10..249: hue in steps of 15 degrees, then value and saturation by the last digit.
  const double hue = ((i - 10) / 10) * 15 % 360;
  const double value = (255 - ((i % 10) / 2) * 45) / 255.0, sat = i % 2 ? 0.5 : 1.0;
  const double c = value * sat, x = c * (1 - std::abs(std::fmod(hue / 60, 2) - 1)), m = value - c;
  const int sector = static_cast<int>(hue / 60);
  const double rgb[6][3] = {{c, x, 0}, {x, c, 0}, {0, c, x}, {0, x, c}, {x, 0, c}, {c, 0, x}};
  auto byte = [&](double v) { return static_cast<std::uint32_t>(std::lround((v + m) * 255)); };
  return byte(rgb[sector][0]) << 16 | byte(rgb[sector][1]) << 8 | byte(rgb[sector][2]);
}

namespace {

// Where a space can be cut in two: not inside a polyline's vertices or a reference's attributes.
std::size_t middleOf(const Block& space) {
  std::size_t mid = space.entities.size() / 2;
  auto follows = [&](std::size_t i) {
    const std::string_view type = typeOf(space.entities[i]);
    return type == "VERTEX" || type == "SEQEND" || type == "ATTRIB";
  };
  while (mid < space.entities.size() && follows(mid)) ++mid;
  return mid;
}

void append(Picture& to, Picture&& from) {
  std::move(from.shapes.begin(), from.shapes.end(), std::back_inserter(to.shapes));
  std::move(from.edges.begin(), from.edges.end(), std::back_inserter(to.edges));
  to.features.insert(to.features.end(), from.features.begin(), from.features.end());
  for (std::size_t k = 0; k < 2; ++k) to.min[k] = std::min(to.min[k], from.min[k]), to.max[k] = std::max(to.max[k], from.max[k]);
}

}  // namespace

// A large space is worked out in two halves at once: opening a big drawing waits for it.
Picture pictureOf(const Document& doc, const Block& space, std::size_t mostPlaced) {
  constexpr std::size_t kHalvesFrom = 20000;  // entities; fewer are quicker than a thread
  Picture d;
  d.shapes.reserve(space.entities.size() * 2);
  if (space.entities.size() < kHalvesFrom) {
    Builder(doc, d, mostPlaced).space(space, {}, {}, 0);
  } else {
    const std::size_t mid = middleOf(space);
    Picture second;
    second.shapes.reserve((space.entities.size() - mid) * 2);
    std::thread other([&] { Builder(doc, second, mostPlaced / 2).part(space, mid, space.entities.size()); });
    Builder(doc, d, mostPlaced - mostPlaced / 2).part(space, 0, mid);
    other.join();
    append(d, std::move(second));
  }
  boxes(d, doc);
  return d;
}

}  // namespace kelvo::host
