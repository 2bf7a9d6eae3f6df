// A joint's picture drawn from its catalogue row: the parts arranged as the type of joint puts
// them, their edges prepared as the row says and the weld on the side or sides the seam
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

// The parts, as the words after the type's first one name them.
enum class Arrangement {
  Plates,        // the type alone: "Стыковое"
  Pipes,         // трубы с трубой или с арматурой
  ElbowSectors,  // секторов колен (отводов)
  FlangeToPipe,  // фланца с трубой, butt
  Nipple,        // промежуточного штуцера или ниппеля с трубой, lapped
  ExpandedEnd,   // труб с раздачей одного конца трубы
  Sleeve,        // труб муфтой
  FlangeOnPipe,  // фланца или кольца с трубой, corner
  EqualBranch,   // отростка с трубой равных размеров
  Branch,        // отростка, ответвительного штуцера или приварыша с трубой
};

enum class EdgePrep {
  NotGiven,      // the row leaves the edge form out: the parts and the weld zone only
  Square,        // без скоса кромок
  FlangedOne,    // с отбортовкой одной кромки
  FlangedBoth,   // с отбортовкой (двух) кромок
  Bevel,         // со скосом: single bevel on one part, V on both
  DoubleBevel,   // с двумя скосами: K on one part, double V (X) on both
  Curved,        // с криволинейным скосом: J on one part, U on both
  DoubleCurved,  // с двумя криволинейными скосами
  Broken,        // с ломаным скосом: a bevel steeper towards the root
  DoubleBroken,  // с двумя ломаными скосами
};

enum class Backing {
  None,
  Strip,      // на остающейся (или съемной) подкладке
  Lock,       // замковый: one part's lip carries the other
  Removable,  // на съемной подкладке
  Conical,    // на остающейся конической подкладке
  Insert,     // с расплавляемой вставкой in the root
  Spigot,     // на цилиндрическом усе: the branch's lip reaches into the hole
  Flare,      // с раздачей и развальцовкой: the pipe's end spread against the flange
};

struct JointShape {
  JointFamily family = JointFamily::Butt;
  EdgePrep prep = EdgePrep::NotGiven;
  bool onePart = false;   // only one of the parts is prepared ("одной кромки")
  bool twoSided = false;  // welded from both sides
  Backing backing = Backing::None;
  Arrangement arrangement = Arrangement::Plates;
  bool asymmetric = false;  // two bevels of unequal depth ("несимметричными")
  bool boring = false;      // the inner face bored out at the edge ("с расточкой")
  bool expansion = false;   // one pipe's end widened ("с раздачей")
  bool gouged = false;      // the root gouged out before the back weld ("с последующей строжкой")
  bool doubleWeld = false;  // a weld at each end of a sleeve ("двойной")
  bool operator==(const JointShape&) const = default;
};

// The shape the row's cp1251 texts describe; nothing when a word of them is not one the drawing
// knows, so that no picture shows less than, or other than, what the row says.
std::optional<JointShape> shapeOf(std::string_view type, std::string_view edges, std::string_view character);

// kPictureWidth x kPictureHeight.
Canvas drawJoint(const JointShape& shape);

}  // namespace kelvo::tools
