// The shelf's texts and signs, placed one after another from the bend with the cursor
// ShelfLength: in reading order on a shelf running to +x, in reverse on one running to -x.
#include "cad/draw_weld.h"

#include <cmath>

namespace kelvo::cad {

std::string DrawWeld::CompositeStandardText() const {
  std::string s = StandardText;
  if (!JointText.empty()) {
    s += "-" + JointText;
    if (!MethodText.empty()) {
      s += "-" + MethodText;
      if (!LegText.empty()) s += "-";
    }
  }
  return s;
}

double DrawWeld::BaselineY() const {
  return in_.side == Side::Back ? LeaderPoint[1] - 1.5 * TextGap - TextHeight
                                : LeaderPoint[1] + TextGap;
}

// The width of the text just added, as drawn, before any alignment changes it.
double DrawWeld::MeasureLastText() {
  std::tie(WorkPoint6, WorkPoint7) = LastText.GetBoundingBox();
  TextWidth = std::abs(WorkPoint6[0] - WorkPoint7[0]);
  return TextWidth;
}

namespace {
void rightAlign(const AcadText& text, const Point& at) {
  text.setVerticalAlignment(0);
  text.setHorizontalAlignment(2);
  text.setTextAlignmentPoint(at);
}

double signWidth(std::uint8_t znak2, double u) {
  switch (znak2) {
    case 1: return 16 * u;
    case 2: return 33 * u;
    case 3: return 17 * u;
    default: return 0;
  }
}
}  // namespace

void DrawWeld::LayoutShelfRight() {
  const double g = TextGap, u = SignUnit, lx = LeaderPoint[0];
  ShelfLength = 1.5 * g;
  if (in_.Znak1 > 0) ShelfLength += 4 * u;
  WorkPoint1[0] = lx + ShelfLength, WorkPoint1[1] = BaselineY();
  if (!StandardText.empty()) {
    LabelText = CompositeStandardText();
    LastText = WeldBlock.AddText(LabelText, WorkPoint1, TextHeight);
    ShelfLength += MeasureLastText();
  }
  if (!LegText.empty()) {
    WorkPoint1[0] = lx + ShelfLength + g;
    DrawLegTriangle();
    ShelfLength += 7 * u + g;
    WorkPoint1[0] = lx + ShelfLength + g;
    LastText = WeldBlock.AddText(LegText, WorkPoint1, TextHeight);
    ShelfLength += MeasureLastText() + g;
  }
  WorkPoint1[0] = lx + ShelfLength + 1.5 * g;
  DrawAuxSign();
}

void DrawWeld::DrawRoughnessRight() {
  if (RoughnessText.empty()) return;
  const double g = TextGap, u = SignUnit, lx = LeaderPoint[0], ly = LeaderPoint[1];
  double w = 0;
  if (in_.side == Side::Front) {
    WorkPoint1[0] = lx + ShelfLength + g, WorkPoint1[1] = ly + 14 * u;
    LastText = WeldBlock.AddText(RoughnessText, WorkPoint1, TextHeight);
    w = MeasureLastText();
    WorkPoint1[0] = WorkPoint1[0] + w - 4 * u, WorkPoint1[1] = ly;
    DrawRoughMark(true);
  } else {
    WorkPoint1[0] = lx + ShelfLength + g + 7.5 * u, WorkPoint1[1] = ly - 14 * u - TextHeight;
    LastText = WeldBlock.AddText(RoughnessText, WorkPoint1, TextHeight);
    w = MeasureLastText();
    WorkPoint1[0] = WorkPoint1[0] + 4 * u, WorkPoint1[1] = ly;
    DrawRoughMark(false);
  }
  ShelfLength += w + 7.5 * u;
}

void DrawWeld::DrawRoughnessLeft() {
  if (RoughnessText.empty()) return;
  const double g = TextGap, u = SignUnit, lx = LeaderPoint[0], ly = LeaderPoint[1];
  ShelfLength = in_.Znak1 > 0 ? 4 * u + 1.5 * g : 1.5 * g;
  double w = 0;
  if (in_.side == Side::Front) {
    WorkPoint1[0] = lx - ShelfLength - 11.547 * u, WorkPoint1[1] = ly;
    DrawRoughMark(true);
    LastText = WeldBlock.AddText(RoughnessText, WorkPoint1, TextHeight);
    w = MeasureLastText();
    rightAlign(LastText, {WorkPoint1[0] + 4 * u, ly + 14 * u, WorkPoint1[2]});
  } else {
    LastText = WeldBlock.AddText(RoughnessText, LeaderPoint, TextHeight);
    w = MeasureLastText();
    rightAlign(LastText, {lx - ShelfLength, ly - 14 * u - TextHeight, LeaderPoint[2]});
    WorkPoint1[0] = lx - ShelfLength - w + 4 * u, WorkPoint1[1] = ly;
    DrawRoughMark(false);
  }
  ShelfLength += w + 7.5 * u;
}

void DrawWeld::LayoutShelfLeft() {
  const double g = TextGap, u = SignUnit, lx = LeaderPoint[0];
  if (RoughnessText.empty()) {
    ShelfLength = 0.5 * g;
    if (in_.Znak1 > 0) ShelfLength += 4 * u;
  }
  WorkPoint1[0] = lx - ShelfLength, WorkPoint1[1] = BaselineY();
  if (in_.Znak2 >= 1 && in_.Znak2 <= 3) WorkPoint1[0] -= signWidth(in_.Znak2, u) + 1.5 * g;
  DrawAuxSign();
  if (!LegText.empty()) {
    ShelfLength += 1.5 * g;
    LastText = WeldBlock.AddText(LegText, WorkPoint1, TextHeight);
    const double w = MeasureLastText();
    WorkPoint1[0] -= 1.5 * g;
    rightAlign(LastText, WorkPoint1);
    ShelfLength += w + 1.5 * g;
    WorkPoint1[0] -= w + 7 * u + g;
    DrawLegTriangle();
    ShelfLength += 7 * u + g;
  }
  if (!StandardText.empty()) {
    LabelText = CompositeStandardText();
    LastText = WeldBlock.AddText(LabelText, WorkPoint1, TextHeight);
    const double w = MeasureLastText();
    WorkPoint1[0] -= g;
    rightAlign(LastText, WorkPoint1);
    ShelfLength += w;
  }
}

}  // namespace kelvo::cad
