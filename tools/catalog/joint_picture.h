// A joint's picture drawn from its catalogue row: the two parts arranged as the type of joint
// puts them, their edges prepared as the row says and the weld on the side or sides the seam
// character names. Schematic cross-sections of our own, at the size of a joint button's picture,
// drawn alike for joints of one type so that they differ only where their rows differ.
#pragma once

#include "tools/catalog/canvas.h"

#include <optional>
#include <string_view>

namespace kelvo::tools {

// The size at which the joint picker shows a joint on its button.
inline constexpr int kPictureWidth = 104;
inline constexpr int kPictureHeight = 68;

enum class JointFamily { Butt, Corner, Tee, Lap };

enum class EdgePrep {
  NotGiven,     // the row leaves the edge form out: the parts and the weld zone only
  Square,       // без скоса кромок
  FlangedOne,   // с отбортовкой одной кромки
  FlangedBoth,  // с отбортовкой (двух) кромок
  Bevel,        // со скосом: single bevel on one part, V on both
  DoubleBevel,  // с двумя скосами: K on one part, double V (X) on both
  Curved,       // с криволинейным скосом: J on one part, U on both
  DoubleCurved, // с двумя криволинейными скосами
};

enum class Backing { None, Strip, Lock };

struct JointShape {
  JointFamily family = JointFamily::Butt;
  EdgePrep prep = EdgePrep::NotGiven;
  bool onePart = false;   // only one of the parts is prepared ("одной кромки")
  bool twoSided = false;  // welded from both sides
  Backing backing = Backing::None;
  bool operator==(const JointShape&) const = default;
};

// The shape the row's cp1251 texts describe; nothing when a text is not one the drawing knows
// (an unknown type of joint or edge form), so that no picture shows what the row does not say.
std::optional<JointShape> shapeOf(std::string_view type, std::string_view edges, std::string_view character);

// kPictureWidth x kPictureHeight.
Canvas drawJoint(const JointShape& shape);

}  // namespace kelvo::tools
