// A small raster for the joint pictures: filled and outlined polygons on white, written as a
// 24-bit Windows bitmap file, the form the catalogue's picture files hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::tools {

struct Pt {
  double x, y;
};

inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kWeldGrey = 0x909090;
inline constexpr std::uint32_t kZoneGrey = 0xD8D8D8;

class Canvas {
 public:
  Canvas(int width, int height);

  int width() const { return w_; }
  int height() const { return h_; }
  // White outside the canvas.
  std::uint32_t at(int x, int y) const;

  // Pixels whose centres lie inside the polygon (even-odd rule).
  void fill(const std::vector<Pt>& poly, std::uint32_t rgb);
  void outline(const std::vector<Pt>& poly);
  void line(Pt a, Pt b);
  // A part of the joint: white, outlined in black.
  void part(const std::vector<Pt>& poly);
  // Weld metal: grey, outlined in black.
  void weld(const std::vector<Pt>& poly);
  // A backing strip: outlined and hatched; `x0, y0` top left, `x1, y1` bottom right.
  void hatch(double x0, double y0, double x1, double y1);
  // A backing of any outline, hatched alike.
  void hatchPolygon(const std::vector<Pt>& poly);
  // A centre line (long dash, gap, dot, gap) through the points in turn.
  void axis(const std::vector<Pt>& points);

  std::string bmp() const;

 private:
  void set(int x, int y, std::uint32_t rgb);
  int w_, h_;
  std::vector<std::uint32_t> px_;
};

}  // namespace kelvo::tools
