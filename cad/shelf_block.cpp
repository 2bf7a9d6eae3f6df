// The shelf's items drawn into the weld block: the one place the layout's shapes and texts
// become automation calls.
#include "cad/draw_weld.h"
#include "cad/shelf_layout.h"

#include <cmath>

namespace kelvo::cad {

namespace {

class BlockSink : public shelf::Sink {
 public:
  BlockSink(const AcadBlock& block, double textHeight, std::vector<double>& pointList, AcadText& lastText)
      : block_(block), height_(textHeight), pointList_(pointList), lastText_(lastText) {}

  shelf::Box text(const shelf::Text& t) override {
    lastText_ = block_.AddText(t.text, t.at, height_);
    const auto [low, high] = lastText_.GetBoundingBox();
    if (t.rightEnd) {
      lastText_.setVerticalAlignment(0);
      lastText_.setHorizontalAlignment(2);
      lastText_.setTextAlignmentPoint(*t.rightEnd);
    }
    return {low, high};
  }

  void shape(const shelf::Shape& s) override {
    if (const auto* line = std::get_if<shelf::Line>(&s)) {
      block_.AddLine(line->from, line->to);
    } else if (const auto* circle = std::get_if<shelf::Circle>(&s)) {
      block_.AddCircle(circle->centre, circle->radius);
    } else if (const auto* arc = std::get_if<shelf::Arc>(&s)) {
      block_.AddArc(arc->centre, arc->radius, arc->start, arc->end);
    } else if (const auto* poly = std::get_if<shelf::Polyline>(&s)) {
      // A closed outline repeats its first vertex: the host's polylines carry no closed flag.
      // AutoCAD's AddPolyline ignores each vertex's z: the polyline is lifted to its first
      // vertex's plane through its elevation.
      pointList_.clear();
      for (const Point& p : poly->vertices) pointList_.insert(pointList_.end(), p.begin(), p.end());
      const AcadEntity polyline = block_.AddPolyLine(pointList_);
      if (!poly->vertices.empty() && poly->vertices.front()[2] != 0) polyline.setElevation(poly->vertices.front()[2]);
    }
  }

 private:
  const AcadBlock& block_;
  double height_;
  std::vector<double>& pointList_;
  AcadText& lastText_;
};

}  // namespace

shelf::Sizes DrawWeld::Sizes() const { return {TextHeight, TextGap, SignUnit}; }

void DrawWeld::Emit(const std::vector<shelf::Shape>& shapes) {
  BlockSink sink(WeldBlock, TextHeight, PointList, LastText);
  for (const shelf::Shape& s : shapes) sink.shape(s);
}

void DrawWeld::LayoutShelf(bool toRight) {
  shelf::Input in;
  in.standard = StandardText, in.joint = JointText, in.method = MethodText, in.leg = LegText;
  in.roughness = RoughnessText;
  in.bendSign = in_.Znak1;
  in.shelfSigns = shelfSignsOf(in_).codes();
  in.side = in_.side, in.toRight = toRight, in.sizes = Sizes();
  in.bend = LeaderPoint, in.anchorZ = WorkPoint1[2], in.markZ = WorkPoint6[2];
  if (!IntermittentCarried_.empty()) {
    in.intermittent = readIntermittent(IntermittentCarried_);
    in.intermittentText = IntermittentCarried_;
    in.intermittentOnLeg = IntermittentOnLeg_;
  }
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
