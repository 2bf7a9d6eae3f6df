// Multi-line text: the inline codes a CAD program applies (paragraphs, height, colour, stacked
// fractions, non-breaking spaces) are applied; the rest (fonts, tracking, underlines...) are
// taken out so that they never show as text.
#include "host/model/display_build.h"

#include "host/model/text_metrics.h"

#include <algorithm>

namespace kelvo::host::display {

namespace {

constexpr double kLineSpacing = 5.0 / 3;  // of the text height: a CAD program's single spacing
constexpr double kStackHeight = 0.7;      // the parts of a stacked fraction, of the text height

struct Style {
  double height = 2.5;
  std::optional<std::uint32_t> rgb;
};

struct Piece {
  enum class Kind { Word, Space, Break, Stack } kind = Kind::Word;
  std::string text, below;  // a stack's upper and lower parts
  char separator = '/';
  Style style;
};

class Parser {
 public:
  Parser(const std::string& s, double height) : s_(s) { style_.height = height; }

  std::vector<Piece> run() {
    while (i_ < s_.size()) {
      const char c = s_[i_++];
      if (c == '\\' && i_ < s_.size()) code(s_[i_++]);
      else if (c == '{') saved_.push_back(style_), flush();
      else if (c == '}') {
        flush();
        if (!saved_.empty()) style_ = saved_.back(), saved_.pop_back();
      } else if (c == ' ') flush(), out_.push_back({Piece::Kind::Space, " ", {}, '/', style_});
      else word_ += c;
    }
    flush();
    return out_;
  }

 private:
  const std::string& s_;
  std::size_t i_ = 0;
  Style style_;
  std::vector<Style> saved_;
  std::string word_;
  std::vector<Piece> out_;

  void flush() {
    if (!word_.empty()) out_.push_back({Piece::Kind::Word, displayText(word_), {}, '/', style_});
    word_.clear();
  }
  std::string argument() {
    const std::size_t end = s_.find(';', i_);
    std::string a = s_.substr(i_, end == std::string::npos ? std::string::npos : end - i_);
    i_ = end == std::string::npos ? s_.size() : end + 1;
    return a;
  }
  void code(char c) {
    switch (c) {
      case 'P': flush(), out_.push_back({Piece::Kind::Break, {}, {}, '/', style_}); break;
      case '~': word_ += ' '; break;
      case '\\': case '{': case '}': word_ += c; break;
      case 'U': case 'M': word_ += '\\', word_ += c; break;  // \U+XXXX: a character the code page lacks
      case 'H': {
        flush();
        const std::string a = argument();
        const double v = parseReal(a);
        if (v > 0) style_.height = !a.empty() && (a.back() == 'x' || a.back() == 'X') ? style_.height * v : v;
        break;
      }
      case 'C': {
        flush();
        const int index = toInt(argument());
        style_.rgb = index >= 1 && index <= 255 ? std::optional(aciRgb(index)) : std::nullopt;
        break;
      }
      case 'c': flush(), style_.rgb = static_cast<std::uint32_t>(toInt(argument())) & 0xFFFFFF; break;
      case 'S': stack(argument()); break;
      case 'f': case 'F': case 'A': case 'Q': case 'T': case 'W': case 'p': flush(), argument(); break;
      default: break;  // \L \l \O \o \K \k \N \X and unknown codes: nothing shown
    }
  }
  void stack(const std::string& a) {
    flush();
    const std::size_t at = a.find_first_of("/#^");
    Piece p{Piece::Kind::Stack, displayText(a.substr(0, at)), at == std::string::npos ? "" : displayText(a.substr(at + 1)),
            at == std::string::npos ? '/' : a[at], style_};
    out_.push_back(std::move(p));
  }
};

struct Placed {
  const Piece* piece;
  double x, width;
};
struct Line {
  std::vector<Placed> runs;
  double width = 0, height = 0;
};

double widthOf(const Document& doc, const Piece& p) {
  if (p.kind == Piece::Kind::Stack)
    return std::max(textWidth(doc.font, p.text, p.style.height * kStackHeight), textWidth(doc.font, p.below, p.style.height * kStackHeight));
  return textWidth(doc.font, p.text, p.style.height);
}

std::vector<Line> wrap(const Document& doc, const std::vector<Piece>& pieces, double column, double height) {
  std::vector<Line> lines(1);
  for (const Piece& p : pieces) {
    Line* line = &lines.back();
    if (p.kind == Piece::Kind::Break) {
      if (line->height == 0) line->height = p.style.height;
      lines.emplace_back();
      continue;
    }
    const double w = widthOf(doc, p);
    if (p.kind == Piece::Kind::Space) {
      if (!line->runs.empty()) line->width += w;
      continue;
    }
    if (column > 0 && !line->runs.empty() && line->width + w > column * 1.0001) {
      lines.emplace_back();
      line = &lines.back();
    }
    line->runs.push_back({&p, line->width, w});
    line->width += w;
    line->height = std::max(line->height, p.style.height);
  }
  for (Line& l : lines)
    if (l.height == 0) l.height = height;
  return lines;
}

}  // namespace

void layoutMText(const Document& doc, const std::string& formatted, const MTextBox& box, Sink& s) {
  const std::vector<Piece> pieces = Parser(formatted, box.height).run();
  const std::vector<Line> lines = wrap(doc, pieces, box.width, box.height);
  std::vector<double> baselines;
  double y = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    y -= k == 0 ? lines[k].height : lines[k].height * kLineSpacing;
    baselines.push_back(y);
  }
  const int column = (std::clamp(box.attachment, 1, 9) - 1) % 3, row = (std::clamp(box.attachment, 1, 9) - 1) / 3;
  const double total = -y, dy = row == 0 ? 0 : row == 1 ? total / 2 : total;
  const double c = std::cos(box.angle), sn = std::sin(box.angle);
  auto at = [&](double lx, double ly) { return P2{box.at[0] + lx * c - (ly + dy) * sn, box.at[1] + lx * sn + (ly + dy) * c}; };
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const Line& l = lines[k];
    const double x0 = column == 0 ? 0 : column == 1 ? -l.width / 2 : -l.width;
    for (const Placed& r : l.runs) {
      const Piece& p = *r.piece;
      const double x = x0 + r.x, base = baselines[k];
      if (p.kind != Piece::Kind::Stack) {
        s.text({at(x, base), p.style.height, box.angle, 1, 0, p.text, p.style.rgb, r.width});
        continue;
      }
      const double h = p.style.height, sh = h * kStackHeight, w = widthOf(doc, p);
      const double above = textWidth(doc.font, p.text, sh), below = textWidth(doc.font, p.below, sh);
      s.text({at(x + (w - above) / 2, base + h * 0.55), sh, box.angle, 1, 0, p.text, p.style.rgb, above});
      s.text({at(x + (w - below) / 2, base - h * 0.75), sh, box.angle, 1, 0, p.below, p.style.rgb, below});
      if (p.separator != '^') s.path({at(x, base + h * 0.4), at(x + w, base + h * 0.4)}, false);
    }
  }
}

}  // namespace kelvo::host::display
