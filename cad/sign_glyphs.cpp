// The small signs of the designation, drawn into the weld block at sizes of the sign unit.
#include "cad/draw_weld.h"

#include <numbers>

namespace kelvo::cad {

namespace {
constexpr double kPi = std::numbers::pi;
}

void DrawWeld::AddPolyLine(std::initializer_list<Point> vertices) {
  PointList.clear();
  for (const Point& p : vertices) PointList.insert(PointList.end(), p.begin(), p.end());
  WeldBlock.AddPolyLine(PointList);
}

void DrawWeld::DrawBendSigns() {
  const std::uint8_t z = in_.Znak1;
  if (z == 1 || z == 3) WeldBlock.AddCircle(LeaderPoint, 4 * SignUnit);
  if (z > 1) {
    WorkPoint1[0] = LeaderPoint[0], WorkPoint1[1] = LeaderPoint[1] + TextHeight;
    WorkPoint2[0] = LeaderPoint[0] - 0.5 * TextHeight, WorkPoint2[1] = LeaderPoint[1] + TextHeight;
    AddPolyLine({LeaderPoint, WorkPoint1, WorkPoint2});
  }
}

void DrawWeld::DrawAuxSign() {
  const double u = SignUnit, x = WorkPoint1[0], y = WorkPoint1[1];
  const bool back = in_.side == Side::Back;
  const double yL = back ? y + TextHeight : y;
  switch (in_.Znak2) {
    case 1: {
      const double r = 5 * u;
      WorkPoint2[0] = x, WorkPoint2[1] = yL;
      WorkPoint3[0] = x + 16 * u, WorkPoint3[1] = yL;
      WorkPoint4[0] = x + 8 * u, WorkPoint4[1] = y + r;
      WeldBlock.AddLine(WorkPoint2, WorkPoint3);
      WeldBlock.AddCircle(WorkPoint4, r);
      ShelfLength += 16 * u + 1.5 * TextGap;
      break;
    }
    case 2: {
      const double r = 7.5 * u;
      const double yC = back ? y + 2.5 * u : y + 7.5 * u;
      const double a0 = back ? 0 : kPi, a1 = back ? kPi : 0;
      WorkPoint2[0] = x, WorkPoint2[1] = yL;
      WorkPoint3[0] = x + 33 * u, WorkPoint3[1] = yL;
      WorkPoint4[0] = x + 9 * u, WorkPoint4[1] = yC;
      WorkPoint5[0] = x + 24 * u, WorkPoint5[1] = yC;
      WeldBlock.AddLine(WorkPoint2, WorkPoint3);
      WeldBlock.AddArc(WorkPoint4, r, a0, a1);
      WeldBlock.AddArc(WorkPoint5, r, a0, a1);
      ShelfLength += 33 * u + 1.5 * TextGap;
      break;
    }
    case 3:
      WorkPoint2[0] = x + 17 * u, WorkPoint2[1] = y;
      WorkPoint3[0] = x + 17 * u, WorkPoint3[1] = y + TextHeight;
      WorkPoint4[0] = x, WorkPoint4[1] = y + TextHeight;
      AddPolyLine({WorkPoint1, WorkPoint2, WorkPoint3, WorkPoint4});
      ShelfLength += 17 * u + 1.5 * TextGap;
      break;
    default:
      break;
  }
}

void DrawWeld::DrawRoughMark(bool up) {
  const double u = SignUnit, x = WorkPoint1[0], ly = LeaderPoint[1];
  if (up) {
    WorkPoint5[0] = x - 5.7735 * u, WorkPoint5[1] = ly + 10 * u;
    WorkPoint6[0] = x + 11.547 * u, WorkPoint6[1] = ly + 20 * u;
  } else {
    WorkPoint5[0] = x + 5.7735 * u, WorkPoint5[1] = ly - 10 * u;
    WorkPoint6[0] = x - 11.547 * u, WorkPoint6[1] = ly - 20 * u;
  }
  AddPolyLine({WorkPoint5, WorkPoint1, WorkPoint6});
}

void DrawWeld::DrawLegTriangle() {
  const double x = WorkPoint1[0], y = WorkPoint1[1];
  WorkPoint2[0] = x, WorkPoint2[1] = y + TextHeight;
  WorkPoint3[0] = x + 7 * SignUnit, WorkPoint3[1] = y;
  AddPolyLine({WorkPoint1, WorkPoint2, WorkPoint3, WorkPoint1});
}

}  // namespace kelvo::cad
