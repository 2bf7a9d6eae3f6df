// The shelf's items drawn into the weld block.
#include "cad/block_sink.h"
#include "cad/draw_weld.h"

namespace kelvo::cad {

shelf::Sizes DrawWeld::Sizes() const { return {TextHeight, TextGap, SignUnit}; }

void DrawWeld::Emit(const std::vector<shelf::Shape>& shapes) {
  BlockSink sink(WeldBlock, TextHeight, PointList, LastText);
  for (const shelf::Shape& s : shapes) sink.shape(s);
}

void DrawWeld::LayoutShelf(bool toRight) {
  const shelf::Prepared prepared{CountText, NumberText, StandardText, JointText, MethodText, LegText,
                                 RoughnessText, IntermittentCarried_, IntermittentOnLeg_};
  shelf::Input in = shelf::itemsOf(prepared, in_);
  in.bendSign = in_.Znak1;
  in.toRight = toRight, in.sizes = Sizes();
  in.bend = LeaderPoint, in.anchorZ = WorkPoint1[2], in.markZ = WorkPoint6[2];
  BlockSink sink(WeldBlock, TextHeight, PointList, LastText);
  const shelf::Result r = shelf::layout(in, sink);
  ShelfLength = r.length;
  if (!r.label.empty()) LabelText = r.label;
}

void DrawWeld::DrawBendSigns() { Emit(shelf::bendSigns(in_.Znak1, LeaderPoint, WorkPoint1[2], Sizes())); }

void DrawWeld::DrawAuxSign() {
  Emit(shelf::auxSign(in_.Znak2, WorkPoint1, in_.side, Sizes()));
  const double width = shelf::auxSignWidth(in_.Znak2, SignUnit);
  if (width > 0) ShelfLength += width + 1.5 * TextGap;
}

void DrawWeld::DrawRoughMark(bool up) {
  Emit({shelf::roughMark(WorkPoint1, up, LeaderPoint[1], WorkPoint6[2], Sizes())});
}

void DrawWeld::DrawLegTriangle() { Emit({shelf::legTriangle(WorkPoint1, Sizes())}); }

}  // namespace kelvo::cad
