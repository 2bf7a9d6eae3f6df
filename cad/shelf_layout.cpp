// The shelf's texts and signs, placed one after another from the bend with a running length:
// in reading order on a shelf running to +x, in reverse on one running to -x, where the texts
// are right-aligned. The designation reads left to right either way.
#include "cad/shelf_layout.h"

#include <cmath>

namespace kelvo::cad::shelf {

std::string compositeStandardText(const Input& in) {
  std::string s = in.standard;
  if (!in.joint.empty()) {
    s += "-" + in.joint;
    if (!in.method.empty()) {
      s += "-" + in.method;
      if (!in.leg.empty()) s += "-";
    }
  }
  return s;
}

Prepared prepare(const DrawInput& in) {
  const auto& t = in.texts;
  Prepared p{t[0], t[1], t[2], t[3], t[4], t[5], t[7], {}, false};
  if (p.standard.empty()) {
    if (!p.count.empty()) {
      p.standard = p.count;
      p.count.clear();
    }
    if (!p.number.empty()) {
      p.standard += in.NumberType + p.number;
      p.number.clear();
    }
  }
  if (!t[6].empty()) {
    for (std::string* host : {&p.leg, &p.method, &p.joint, &p.standard})
      if (!host->empty()) {
        *host += "-" + t[6];
        p.intermittent = t[6];
        p.intermittentOnLeg = host == &p.leg;
        break;
      }
  }
  return p;
}

Input itemsOf(const Prepared& p, const DrawInput& d) {
  Input in;
  in.standard = p.standard, in.joint = p.joint, in.method = p.method, in.leg = p.leg, in.roughness = p.roughness;
  in.shelfSigns = shelfSignsOf(d).codes();
  in.side = d.side;
  if (!p.intermittent.empty()) {
    in.intermittent = readIntermittent(p.intermittent);
    in.intermittentText = p.intermittent;
    in.intermittentOnLeg = p.intermittentOnLeg;
  }
  return in;
}

namespace {

class Layout {
 public:
  Layout(const Input& in, Sink& sink)
      : in_(in), sink_(sink), H(in.sizes.height), g(in.sizes.gap), u(in.sizes.unit),
        lx(in.bend[0]), ly(in.bend[1]), markZ_(in.markZ) {}

  Result run() {
    for (const Shape& s : bendSigns(in_.bendSign, in_.bend, in_.anchorZ, in_.sizes)) sink_.shape(s);
    if (in_.toRight) {
      layoutShelfRight();
      drawRoughnessRight();
      if (in_.shelfLine) sink_.shape(Line{in_.bend, at(lx + s_ + g, ly)});
    } else {
      drawRoughnessLeft();
      layoutShelfLeft();
      if (in_.shelfLine) sink_.shape(Line{in_.bend, at(lx - (s_ + g), ly)});
    }
    return {s_, label_};
  }

 private:
  // Texts stand above the shelf on the front side and hang below it on the back side.
  double baseline() const { return in_.side == Side::Back ? ly - 1.5 * g - H : ly + g; }
  Point at(double x, double y) const { return {x, y, in_.anchorZ}; }
  double bendRoom() const { return in_.bendSign > 0 ? 4 * u : 0; }

  double placeText(const std::string& text, const Point& where, std::optional<Point> rightEnd = {}) {
    const Box box = sink_.text({text, where, rightEnd});
    markZ_ = box.low[2];
    return std::abs(box.low[0] - box.high[0]);
  }
  void place(const std::vector<Shape>& shapes) {
    for (const Shape& s : shapes) sink_.shape(s);
  }
  // Draws a sign from its left end; the length grows by the sign and the gap before it.
  void placeSign(std::uint8_t sign, double x, double y) {
    place(auxSign(sign, at(x, y), in_.side, in_.sizes));
    const double width = auxSignWidth(sign, u);
    if (width > 0) s_ += width + 1.5 * g;
  }

  // A text that may end with field 7's length, sign and pitch: the sign then stands between
  // two texts as a glyph, a gap either side as the leg sign has. Answers the whole width.
  double placeRun(const std::string& text, bool isLeg, const Point& where, std::optional<Point> rightEnd = {}) {
    const std::string& typed = in_.intermittentText;
    if (!in_.intermittent || isLeg != in_.intermittentOnLeg || !text.ends_with("-" + typed))
      return placeText(text, where, rightEnd);
    const std::string head = text.substr(0, text.size() - typed.size()) + in_.intermittent->length;
    const std::string& tail = in_.intermittent->pitch;
    const double glyph = intermittentGlyphWidth(in_.sizes);
    if (!rightEnd) {
      const double w1 = placeText(head, where);
      place({intermittentGlyph(in_.intermittent->kind, at(where[0] + w1 + g, where[1]), in_.sizes)});
      const double w2 = placeText(tail, at(where[0] + w1 + g + glyph + g, where[1]));
      return w1 + g + glyph + g + w2;
    }
    const Point& end = *rightEnd;
    const double w2 = placeText(tail, where, end);
    const double glyphLeft = end[0] - w2 - g - glyph;
    place({intermittentGlyph(in_.intermittent->kind, at(glyphLeft, end[1]), in_.sizes)});
    const double w1 = placeText(head, where, Point{glyphLeft - g, end[1], end[2]});
    return w1 + g + glyph + g + w2;
  }

  void layoutShelfRight() {
    s_ = 1.5 * g;
    if (in_.bendSign > 0) s_ += bendRoom();
    const double y = baseline();
    if (!in_.standard.empty()) {
      label_ = compositeStandardText(in_);
      s_ += placeRun(label_, false, at(lx + s_, y));
    }
    if (!in_.leg.empty()) {
      place({legTriangle(at(lx + s_ + g, y), in_.sizes)});
      s_ += 7 * u + g;
      s_ += placeRun(in_.leg, true, at(lx + s_ + g, y)) + g;
    }
    for (std::uint8_t sign : in_.shelfSigns) placeSign(sign, lx + s_ + 1.5 * g, y);
  }

  void drawRoughnessRight() {
    if (in_.roughness.empty()) return;
    double w = 0;
    if (in_.side == Side::Front) {
      const Point p = at(lx + s_ + g, ly + 14 * u);
      w = placeText(in_.roughness, p);
      place({roughMark(at(p[0] + w - 4 * u, ly), true, ly, markZ_, in_.sizes)});
    } else {
      const Point p = at(lx + s_ + g + 7.5 * u, ly - 14 * u - H);
      w = placeText(in_.roughness, p);
      place({roughMark(at(p[0] + 4 * u, ly), false, ly, markZ_, in_.sizes)});
    }
    s_ += w + 7.5 * u;
  }

  void drawRoughnessLeft() {
    if (in_.roughness.empty()) return;
    s_ = in_.bendSign > 0 ? 4 * u + 1.5 * g : 1.5 * g;
    double w = 0;
    if (in_.side == Side::Front) {
      const Point vertex = at(lx - s_ - 11.547 * u, ly);
      place({roughMark(vertex, true, ly, markZ_, in_.sizes)});
      w = placeText(in_.roughness, vertex, Point{vertex[0] + 4 * u, ly + 14 * u, in_.anchorZ});
    } else {
      w = placeText(in_.roughness, in_.bend, Point{lx - s_, ly - 14 * u - H, in_.bend[2]});
      place({roughMark(at(lx - s_ - w + 4 * u, ly), false, ly, markZ_, in_.sizes)});
    }
    s_ += w + 7.5 * u;
  }

  void layoutShelfLeft() {
    if (in_.roughness.empty()) {
      s_ = 0.5 * g;
      if (in_.bendSign > 0) s_ += bendRoom();
    }
    double x = lx - s_;
    const double y = baseline();
    // Laid out from the bend outwards, so the last sign of the set comes first.
    for (auto sign = in_.shelfSigns.rbegin(); sign != in_.shelfSigns.rend(); ++sign) {
      const double width = auxSignWidth(*sign, u);
      if (width > 0) x -= width + 1.5 * g;
      placeSign(*sign, x, y);
    }
    if (!in_.leg.empty()) {
      s_ += 1.5 * g;
      const double w = placeRun(in_.leg, true, at(x, y), at(x - 1.5 * g, y));
      x -= 1.5 * g;
      s_ += w + 1.5 * g;
      x -= w + 7 * u + g;
      place({legTriangle(at(x, y), in_.sizes)});
      s_ += 7 * u + g;
    }
    if (!in_.standard.empty()) {
      label_ = compositeStandardText(in_);
      s_ += placeRun(label_, false, at(x, y), at(x - g, y));
    }
  }

  const Input& in_;
  Sink& sink_;
  const double H, g, u, lx, ly;
  double s_ = 0;  // the length along the shelf already taken
  double markZ_;
  std::string label_;
};

}  // namespace

Result layout(const Input& in, Sink& sink) { return Layout(in, sink).run(); }

}  // namespace kelvo::cad::shelf
