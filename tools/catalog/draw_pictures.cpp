// kelvo-catalog-pictures DIR: draws the schematic joint cross-sections of the sample catalogue
// as 24-bit Windows bitmaps (104 x 68, the size of a joint button's picture) into DIR.
// Parts are outlined in black, the weld metal is filled grey, a backing strip is hatched.
#include "platform/file_io.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kW = 104, kH = 68;

struct Pt {
  double x, y;
};

class Canvas {
 public:
  Canvas() : px_(kW * kH, 0xFFFFFF) {}

  void fill(const std::vector<Pt>& poly, std::uint32_t rgb) {
    for (int y = 0; y < kH; ++y) {
      std::vector<double> xs;
      const double sy = y + 0.5;
      for (std::size_t i = 0; i < poly.size(); ++i) {
        const Pt a = poly[i], b = poly[(i + 1) % poly.size()];
        if ((a.y <= sy) != (b.y <= sy)) xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
      }
      std::sort(xs.begin(), xs.end());
      for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        for (int x = static_cast<int>(std::ceil(xs[i] - 0.5)); x < xs[i + 1] - 0.5; ++x) set(x, y, rgb);
    }
  }
  void outline(const std::vector<Pt>& poly) {
    for (std::size_t i = 0; i < poly.size(); ++i) line(poly[i], poly[(i + 1) % poly.size()]);
  }
  void part(const std::vector<Pt>& poly) {
    fill(poly, 0xFFFFFF);
    outline(poly);
  }
  void weld(const std::vector<Pt>& poly) {
    fill(poly, 0x909090);
    outline(poly);
  }
  void hatch(const std::vector<Pt>& box) {
    part(box);
    const double x0 = box[0].x, y0 = box[0].y, x1 = box[2].x, y1 = box[2].y;
    for (double s = x0 - (y1 - y0); s < x1; s += 4)
      line({std::max(s, x0), y0 + std::max(0.0, x0 - s)}, {std::min(s + (y1 - y0), x1), y1 - std::max(0.0, s + (y1 - y0) - x1)});
  }
  void line(Pt a, Pt b) {
    const int steps = static_cast<int>(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y))) + 1;
    for (int i = 0; i <= steps; ++i) {
      const double t = static_cast<double>(i) / steps;
      set(static_cast<int>(std::lround(a.x + t * (b.x - a.x))), static_cast<int>(std::lround(a.y + t * (b.y - a.y))), 0);
    }
  }
  std::string bmp() const {
    const int row = (kW * 3 + 3) & ~3;
    std::string out;
    auto u16 = [&out](unsigned v) { out += static_cast<char>(v & 0xFF); out += static_cast<char>(v >> 8); };
    auto u32 = [&u16](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    out += "BM";
    u32(static_cast<std::uint32_t>(54 + row * kH)); u32(0); u32(54);
    u32(40); u32(kW); u32(kH); u16(1); u16(24); u32(0); u32(static_cast<std::uint32_t>(row * kH));
    u32(3780); u32(3780); u32(0); u32(0);
    for (int y = kH - 1; y >= 0; --y) {  // bottom-up rows
      std::string r;
      for (int x = 0; x < kW; ++x) {
        const std::uint32_t c = px_[static_cast<std::size_t>(y * kW + x)];
        r += static_cast<char>(c & 0xFF);
        r += static_cast<char>((c >> 8) & 0xFF);
        r += static_cast<char>((c >> 16) & 0xFF);
      }
      r.resize(static_cast<std::size_t>(row), '\0');
      out += r;
    }
    return out;
  }

 private:
  void set(int x, int y, std::uint32_t rgb) {
    if (x >= 0 && x < kW && y >= 0 && y < kH) px_[static_cast<std::size_t>(y * kW + x)] = rgb;
  }
  std::vector<std::uint32_t> px_;
};

// Butt joint, both edges bent up into flanges that the weld melts together.
Canvas buttFlangedBoth() {
  Canvas c;
  c.part({{6, 40}, {46, 40}, {46, 24}, {51, 24}, {51, 48}, {6, 48}});
  c.part({{53, 24}, {58, 24}, {58, 40}, {98, 40}, {98, 48}, {53, 48}});
  c.weld({{44, 24}, {47, 16}, {57, 16}, {60, 24}});
  return c;
}

// Butt joint, one edge bent up against the flat edge of the other part.
Canvas buttFlangedOne() {
  Canvas c;
  c.part({{6, 40}, {46, 40}, {46, 26}, {51, 26}, {51, 48}, {6, 48}});
  c.part({{53, 40}, {98, 40}, {98, 48}, {53, 48}});
  c.weld({{44, 26}, {48, 20}, {54, 30}, {58, 40}, {51, 40}});
  return c;
}

// Butt joint whose edge preparation the catalogue does not give: the parts and the weld zone.
Canvas buttPlain() {
  Canvas c;
  c.part({{6, 30}, {49, 30}, {49, 44}, {6, 44}});
  c.part({{55, 30}, {98, 30}, {98, 44}, {55, 44}});
  c.weld({{47, 30}, {49, 26}, {55, 26}, {57, 30}, {55, 44}, {49, 44}});
  return c;
}

// Corner joint without bevel, welded from the outside of the corner.
Canvas cornerSingle() {
  Canvas c;
  c.part({{20, 14}, {30, 14}, {30, 54}, {20, 54}});
  c.part({{30, 44}, {90, 44}, {90, 54}, {30, 54}});
  c.weld({{20, 56}, {12, 56}, {20, 46}});
  return c;
}

// The same corner on a backing strip.
Canvas cornerBacking() {
  Canvas c = cornerSingle();
  c.hatch({{10, 57}, {44, 57}, {44, 63}, {10, 63}});
  return c;
}

// Corner joint welded from both sides.
Canvas cornerDouble() {
  Canvas c = cornerSingle();
  c.weld({{30, 44}, {30, 36}, {38, 44}});
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kelvo-catalog-pictures DIR\n";
    return 2;
  }
  const std::string dir = argv[1];
  const std::pair<const char*, Canvas> all[] = {
      {"butt-flanged-both", buttFlangedBoth()}, {"butt-flanged-one", buttFlangedOne()},
      {"butt-plain", buttPlain()},              {"corner-single", cornerSingle()},
      {"corner-backing", cornerBacking()},      {"corner-double", cornerDouble()},
  };
  for (const auto& [name, canvas] : all)
    if (!kelvo::replaceFileAtomically(dir + "/" + name + ".bmp", canvas.bmp())) {
      std::cerr << "cannot write " << dir << "/" << name << ".bmp\n";
      return 1;
    }
  return 0;
}
