// The one place where the layout's shapes and texts become automation calls: items drawn into a
// block (the weld block, a seam table's block), each text measured as the host draws it.
#pragma once

#include "cad/acad.h"
#include "cad/shelf_layout.h"

#include <vector>

namespace kelvo::cad {

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

}  // namespace kelvo::cad
