#include "tools/catalog/canvas.h"

#include <algorithm>
#include <cmath>

namespace kelvo::tools {

Canvas::Canvas(int width, int height)
    : w_(width), h_(height), px_(static_cast<std::size_t>(width * height), kWhite) {}

std::uint32_t Canvas::at(int x, int y) const {
  if (x < 0 || x >= w_ || y < 0 || y >= h_) return kWhite;
  return px_[static_cast<std::size_t>(y * w_ + x)];
}

void Canvas::set(int x, int y, std::uint32_t rgb) {
  if (x >= 0 && x < w_ && y >= 0 && y < h_) px_[static_cast<std::size_t>(y * w_ + x)] = rgb;
}

void Canvas::fill(const std::vector<Pt>& poly, std::uint32_t rgb) {
  for (int y = 0; y < h_; ++y) {
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

void Canvas::line(Pt a, Pt b) {
  const int steps = static_cast<int>(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y))) + 1;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    set(static_cast<int>(std::floor(a.x + t * (b.x - a.x))), static_cast<int>(std::floor(a.y + t * (b.y - a.y))),
        kBlack);
  }
}

void Canvas::outline(const std::vector<Pt>& poly) {
  for (std::size_t i = 0; i < poly.size(); ++i) line(poly[i], poly[(i + 1) % poly.size()]);
}

void Canvas::part(const std::vector<Pt>& poly) {
  fill(poly, kWhite);
  outline(poly);
}

void Canvas::weld(const std::vector<Pt>& poly) {
  fill(poly, kWeldGrey);
  outline(poly);
}

void Canvas::hatch(double x0, double y0, double x1, double y1) {
  part({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
  const double h = y1 - y0;
  for (double s = x0 - h + 3; s < x1; s += 3)
    line({std::max(s, x0), y1 - std::max(0.0, x0 - s)}, {std::min(s + h, x1), y0 + std::max(0.0, s + h - x1)});
}

void Canvas::hatchPolygon(const std::vector<Pt>& poly) {
  fill(poly, kWhite);
  // Hatch pixels first, then the outline over them: the same diagonal pitch as hatch().
  Canvas inside(w_, h_);
  inside.fill(poly, kBlack);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x)
      if (inside.at(x, y) == kBlack && (x + y) % 3 == 0) set(x, y, kBlack);
  outline(poly);
}

void Canvas::axis(const std::vector<Pt>& points) {
  // Pattern in pixels along the line: 7 drawn, 2 blank, 1 drawn, 2 blank.
  constexpr int kPattern = 12;
  int step = 0;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const Pt a = points[i], b = points[i + 1];
    const int n = static_cast<int>(std::max(std::abs(b.x - a.x), std::abs(b.y - a.y)));
    for (int k = 0; k < n; ++k, ++step) {
      const int phase = step % kPattern;
      if (phase >= 7 && phase != 9) continue;
      const double t = static_cast<double>(k) / n;
      set(static_cast<int>(std::floor(a.x + t * (b.x - a.x))), static_cast<int>(std::floor(a.y + t * (b.y - a.y))),
          kBlack);
    }
  }
}

std::string Canvas::bmp() const {
  const int row = (w_ * 3 + 3) & ~3;
  std::string out;
  auto u16 = [&out](unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
  };
  auto u32 = [&u16](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  const auto pixels = static_cast<std::uint32_t>(row * h_);
  out += "BM";
  u32(54 + pixels), u32(0), u32(54);
  u32(40), u32(static_cast<std::uint32_t>(w_)), u32(static_cast<std::uint32_t>(h_)), u16(1), u16(24), u32(0);
  u32(pixels), u32(3780), u32(3780), u32(0), u32(0);
  for (int y = h_ - 1; y >= 0; --y) {  // bottom-up rows, blue green red
    std::string r;
    for (int x = 0; x < w_; ++x) {
      const std::uint32_t c = at(x, y);
      r += static_cast<char>(c & 0xFF);
      r += static_cast<char>((c >> 8) & 0xFF);
      r += static_cast<char>((c >> 16) & 0xFF);
    }
    r.resize(static_cast<std::size_t>(row), '\0');
    out += r;
  }
  return out;
}

}  // namespace kelvo::tools
