// Texts: single-line text and attributes placed by their alignment, and the multi-line texts
// of MTEXT and multileaders with their inline codes laid out in their column.
#include "host/model/display_build.h"

#include "host/model/text_metrics.h"

#include <algorithm>
#include <numbers>

namespace kelvo::host::display {

namespace {

constexpr double kRadians = std::numbers::pi / 180;

std::string textOf(const Document& doc, const Fields& f, int code, int continuation) {
  std::string all;
  for (std::size_t i = 1; i < f.size(); ++i)
    if (f.tags()[i].code == continuation) all += f.tags()[i].value;
  if (const std::string* last = f.raw(code)) all += *last;
  return fromFile(all, doc.encoding);
}

P2 rotate(P2 v, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  return {v[0] * c - v[1] * s, v[0] * s + v[1] * c};
}

}  // namespace

// TEXT, ATTRIB, and ATTDEF outside a block (which a CAD program shows by its tag).
void text(const Document& doc, const Fields& f, Sink& s) {
  const std::string& type = f.tags()[0].value;
  const bool attribute = type == "ATTRIB" || type == "ATTDEF";
  if (attribute && (f.integer(70) & 1)) return;  // an invisible attribute
  TextRun run;
  run.text = displayText(textOf(doc, f, type == "ATTDEF" ? 2 : 1, -1));
  run.backward = (f.integer(71) & 2) != 0;
  run.upsideDown = (f.integer(71) & 4) != 0;
  run.height = f.real(40, 2.5);
  run.angle = f.real(50) * kRadians;
  run.widthFactor = f.real(41, 1);
  run.oblique = f.real(51) * kRadians;
  const int h = f.integer(72), v = f.integer(attribute ? 74 : 73);
  const P2 first = f.point(10), second = f.has(11) ? f.point(11) : first;
  const double w = textWidth(doc.font, run.text, run.height) * run.widthFactor;
  if ((h == 3 || h == 5) && w > 0) {  // aligned or fitted between the two points
    const double d = std::hypot(second[0] - first[0], second[1] - first[1]);
    run.angle = std::atan2(second[1] - first[1], second[0] - first[0]);
    if (h == 3) run.height *= d / w;
    else run.widthFactor *= d / w;
    run.at = first;
    return s.text(run);
  }
  if (h == 0 && v == 0) {
    run.width = w;
    run.at = first;
    return s.text(run);
  }
  run.width = w;
  // Mirrored, the text lies on the other side of its alignment point.
  const double dx = (h == 1 || h == 4 ? -w / 2 : h == 2 ? -w : 0) * (run.backward ? -1 : 1);
  const double dy = (h == 4 || v == 2 ? -run.height / 2 : v == 3 ? -run.height : v == 1 ? run.height / 3 : 0) * (run.upsideDown ? -1 : 1);
  const P2 off = rotate({dx, dy}, run.angle);
  run.at = {second[0] + off[0], second[1] + off[1]};
  s.text(run);
}

void mtext(const Document& doc, const Fields& f, Sink& s) {
  MTextBox box;
  box.at = f.point(10);
  box.height = f.real(40, 2.5);
  box.width = f.real(41);
  box.attachment = f.integer(71, 1);
  box.angle = f.has(11) ? std::atan2(f.real(21), f.real(11)) : f.real(50) * kRadians;
  layoutMText(doc, textOf(doc, f, 1, 3), box, s);
}

// The leader lines with their arrowheads and landings, and the text, of a multileader's
// context data.
void multileader(const Document& doc, const Fields& f, Sink& s) {
  std::vector<std::vector<P2>> lines;
  std::vector<P2> line;
  P2 last{}, dogleg{};
  double doglegLength = 0, arrow = 0;
  bool inLeader = false, inLine = false, hasDogleg = false;
  std::string content;
  MTextBox box;
  for (std::size_t i = 1; i < f.size(); ++i) {
    const Tag& g = f.tags()[i];
    const double x = parseReal(g.value);
    auto y = [&] { return i + 1 < f.size() ? parseReal(f.tags()[i + 1].value) : 0.0; };
    if (g.code == 302) inLeader = true, line.clear(), hasDogleg = false;
    else if (g.code == 304 && g.value == "LEADER_LINE{") inLine = true, line.clear();
    else if (g.code == 305) {
      inLine = false;
      lines.push_back(line);
    } else if (g.code == 303) {
      inLeader = false;
      for (auto& l : lines)
        if (l.empty() || l.back() != last) l.push_back(last);
      for (const auto& l : lines) arrowhead(s, l, arrow);
      if (hasDogleg && doglegLength > 0) lines.push_back({last, {last[0] + dogleg[0] * doglegLength, last[1] + dogleg[1] * doglegLength}});
      for (const auto& l : lines) s.path(l, false), s.vertexFeatures(l, false);
      lines.clear();
    } else if (inLine && g.code == 10) line.push_back({x, y()});
    else if (inLeader && !inLine && g.code == 10) last = {x, y()};
    else if (inLeader && g.code == 11) dogleg = {x, y()};
    else if (inLeader && g.code == 291) hasDogleg = x != 0;
    else if (inLeader && g.code == 40) doglegLength = x;
    else if (!inLeader && g.code == 140 && arrow == 0) arrow = x;
    else if (!inLeader && g.code == 304) content = g.value;
    else if (!inLeader && g.code == 12) box.at = {x, y()};
    else if (!inLeader && g.code == 41 && box.height == 2.5) box.height = x;
    else if (!inLeader && g.code == 43) box.width = x;
    else if (!inLeader && g.code == 42) box.angle = x;
    else if (!inLeader && g.code == 171 && x >= 1 && x <= 9) box.attachment = static_cast<int>(x);
    else if (g.code == 301) break;  // the context's end: what follows are the style's overrides
  }
  if (!content.empty()) layoutMText(doc, fromFile(content, doc.encoding), box, s);
}

}  // namespace kelvo::host::display
