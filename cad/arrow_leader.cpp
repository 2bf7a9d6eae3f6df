// The one-sided arrowhead blocks and the count/number label along the leader.
#include "cad/draw_weld.h"

#include <cmath>
#include <numbers>

namespace kelvo::cad {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kBarb = 0.2465;
constexpr double kNotch = 0.3264;
}  // namespace

void DrawWeld::EnsureArrowBlock() {
  const AcadBlocks blocks = AcadDoc.Blocks();
  const bool left = in_.arrowLeft;
  // A block of that name in any case is the user's or an earlier command's: never extended.
  const bool have = HasBlock(blocks, left ? "KelvoL" : "KelvoR");
  WorkPoint1[0] = 1, WorkPoint1[1] = 0;
  WorkPoint2[0] = 0, WorkPoint2[1] = 0;
  WorkPoint3[0] = kNotch, WorkPoint3[1] = 0;
  WorkPoint4[0] = 0, WorkPoint4[1] = 0;
  if (have) return;
  WorkPoint2[1] = left ? -kBarb : kBarb;
  const AcadBlock arrow = blocks.Add(WorkPoint1, left ? "KelvoL" : "KelvoR");
  // A SOLID's outline runs through its corners 1-2-4-3: a triangle repeats its third corner as
  // the fourth (repeating the first would enclose nothing and leave the barb unfilled).
  arrow.AddSolid(WorkPoint1, WorkPoint2, WorkPoint3, WorkPoint3);
  arrow.AddLine(WorkPoint1, WorkPoint4);
}

void DrawWeld::DrawLeaderLabel() {
  LabelText = CountText;
  if (!NumberText.empty()) LabelText = CountText + in_.NumberType + NumberText;
  LastText = DrawSpace.AddText(LabelText, InsertPoint, TextHeight);
  Label_ = LastText;
  std::tie(WorkPoint6, WorkPoint7) = LastText.GetBoundingBox();
  TextWidth = std::abs(WorkPoint6[0] - WorkPoint7[0]) + 4 * TextGap;
  ApplyMinimumLength(3 * ArrowSize + TextWidth);
  const double a = LeaderAngle;
  if (a <= kPi / 2 || a > 3 * kPi / 2) {
    WorkPoint3[0] = LeaderPoint[0] - ArrowSize * std::cos(a) + TextGap * std::cos(a + kPi / 2);
    WorkPoint3[1] = LeaderPoint[1] - ArrowSize * std::sin(a) + TextGap * std::sin(a + kPi / 2);
    LastText.setAlignment(2);
    LastText.setTextAlignmentPoint(WorkPoint3);
    LastText.Rotate(WorkPoint3, a);
  } else {
    WorkPoint3[0] = LeaderPoint[0] + 1.5 * ArrowSize * std::cos(a + kPi) + TextGap * std::cos(a - kPi / 2);
    WorkPoint3[1] = LeaderPoint[1] + 1.5 * ArrowSize * std::sin(a + kPi) + TextGap * std::sin(a - kPi / 2);
    LastText.Move(InsertPoint, WorkPoint3);
    LastText.Rotate(WorkPoint3, a + kPi);
  }
}

}  // namespace kelvo::cad
