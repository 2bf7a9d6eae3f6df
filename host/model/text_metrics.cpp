#include "host/model/text_metrics.h"

#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelvo::host {

namespace {
#include "host/model/text_metrics_table.inc"
}  // namespace

double TextFont::advance(char32_t c) const {
  if (advance_) return advance_(c);
  const auto b = cp1251::fromUnicode(c);
  return b ? kAdvance[*b] : kOtherAdvance;
}

std::string displayText(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    // A DXF line cannot hold a control character: "^J" stands for one, which a one-line text
    // does not show (a tab shows as a blank), and "^ " for the caret itself.
    if (s[i] == '^' && i + 1 < s.size() && (s[i + 1] == ' ' || (s[i + 1] >= '@' && s[i + 1] <= '_'))) {
      if (s[i + 1] == ' ') out += '^';
      else if (s[i + 1] == 'I') out += ' ';
      ++i;
      continue;
    }
    if (s[i] == '%' && i + 2 < s.size() && s[i + 1] == '%') {
      switch (s[i + 2] | 0x20) {
        case 'd': out += '\xB0'; i += 2; continue;  // degree
        case 'p': out += '\xB1'; i += 2; continue;  // plus-minus
        case 'c': out += '\xD8'; i += 2; continue;  // diameter, shown as a slashed O
        case 'u': case 'o': i += 2; continue;
        default:
          if (s[i + 2] == '%') {
            out += '%';
            i += 2;
            continue;
          }
      }
    }
    out += s[i];
  }
  return out;
}

double textWidth(const TextFont& font, std::string_view text, double height) {
  double units = 0;
  for (const char32_t c : cp1251::decodeEscaped(displayText(text))) units += font.advance(c);
  return units * height;
}

Box textBox(const TextFont& font, const Entity& t) {
  const double w = textWidth(font, t.text, t.height);
  const Point o = t.points.empty() ? Point{} : t.points[0];
  const double c = std::cos(t.rotation), s = std::sin(t.rotation);
  Box b{{o[0], o[1], o[2]}, {o[0], o[1], o[2]}};
  for (const auto& [dx, dy] : {std::pair{w, 0.0}, std::pair{0.0, t.height}, std::pair{w, t.height}}) {
    const double x = o[0] + dx * c - dy * s, y = o[1] + dx * s + dy * c;
    b.min[0] = std::min(b.min[0], x), b.max[0] = std::max(b.max[0], x);
    b.min[1] = std::min(b.min[1], y), b.max[1] = std::max(b.max[1], y);
  }
  return b;
}

void placeAligned(const TextFont& font, Entity& t) {
  if (t.points.size() < 2) t.points.resize(2, t.points.empty() ? Point{} : t.points[0]);
  if (t.horizontal == 0) return;
  const double w = textWidth(font, t.text, t.height);
  const double shift = t.horizontal == 2 ? w : t.horizontal == 1 ? w / 2 : 0;
  t.points[0][0] = t.points[1][0] - shift * std::cos(t.rotation);
  t.points[0][1] = t.points[1][1] - shift * std::sin(t.rotation);
  t.points[0][2] = t.points[1][2];
}

}  // namespace kelvo::host
