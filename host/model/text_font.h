// The font the host measures and draws texts with. Built in: Liberation Sans, whose advances are
// Arial's, so a drawing laid out here keeps its widths in any CAD program that draws the
// "arial.ttf" a new drawing names. A drawing naming another font may be measured with that font
// where the machine has it (the viewer supplies its advances).
#pragma once

#include <functional>
#include <utility>
#include <string>

namespace kelvo::host {

class TextFont {
 public:
  TextFont() = default;
  // `advance`: a character's advance as a fraction of the font's cap height.
  TextFont(std::string family, std::function<double(char32_t)> advance)
      : family_(std::move(family)), advance_(std::move(advance)) {}

  const std::string& family() const { return family_; }
  double advance(char32_t c) const;

 private:
  std::string family_ = "Liberation Sans";
  std::function<double(char32_t)> advance_;
};

// The font file a new drawing's "Standard" text style names.
inline constexpr const char* kNewDrawingFontFile = "arial.ttf";

}  // namespace kelvo::host
