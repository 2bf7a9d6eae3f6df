#include "cad/seam_table.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cmath>

namespace kelvo::cad::table {

using namespace kelvo::literals;
using shelf::Point;

namespace {

class Table {
 public:
  Table(const std::vector<SeamRow>& rows, const Point& topLeft, const shelf::Sizes& s, shelf::Sink& sink)
      : rows_(rows), sink_(sink), s_(s), H(s.height), pad(0.5 * s.height), x0(topLeft[0]), top(topLeft[1]), z(topLeft[2]) {
    const bool rough = std::any_of(rows.begin(), rows.end(), [](const SeamRow& r) { return !trimText(r.designation.texts[7]).empty(); });
    rowHeight = rough ? 3.2 * H : 2 * H;
  }

  Extent run() {
    double x = x0;
    std::vector<double> columns{x};
    x += textColumn(x, std::string("№ шва"_w), [](const SeamRow& r) { return r.number; });
    columns.push_back(x);
    x += designationColumn(x);
    columns.push_back(x);
    x += textColumn(x, std::string("Кол."_w), [](const SeamRow& r) { return std::to_string(r.count); });
    columns.push_back(x);
    const double bottom = rowTop(rows_.size());
    for (double cx : columns) line({cx, top, z}, {cx, bottom, z});
    for (std::size_t i = 0; i <= rows_.size(); ++i) line({x0, rowTop(i), z}, {x, rowTop(i), z});
    line({x0, top, z}, {x, top, z});
    return {{x0, bottom, z}, {x, top, z}};
  }

 private:
  // The top of row i (the header above row 0); rowTop(rows) is the table's bottom.
  double rowTop(std::size_t i) const { return top - 2 * H - static_cast<double>(i) * rowHeight; }
  double baselineIn(double bandTop, double bandHeight) const { return bandTop - bandHeight / 2 - H / 2; }
  void line(const Point& a, const Point& b) { sink_.shape(shelf::Line{a, b}); }
  double text(const std::string& t, double x, double y) {
    if (t.empty()) return 0;
    const shelf::Box b = sink_.text({t, {x, y, z}, std::nullopt});
    return std::abs(b.high[0] - b.low[0]);
  }

  template <typename Cell>
  double textColumn(double x, const std::string& header, Cell cell) {
    double widest = text(header, x + pad, baselineIn(top, 2 * H));
    for (std::size_t i = 0; i < rows_.size(); ++i)
      widest = std::max(widest, text(cell(rows_[i]), x + pad, baselineIn(rowTop(i), rowHeight)));
    return widest + 2 * pad;
  }

  // Each designation written by the shelf's own layout, without the shelf line, so that it
  // reads in the table as on the shelf: texts, the leg triangle, the signs, the roughness mark.
  double designationColumn(double x) {
    double widest = text(std::string("Обозначение шва"_w), x + pad, baselineIn(top, 2 * H));
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      const DrawInput& d = rows_[i].designation;
      const shelf::Prepared p = shelf::prepare(d);
      shelf::Input in = shelf::itemsOf(p, d);
      in.side = Side::Front, in.sizes = s_, in.shelfLine = false;
      if (in.standard.empty() && in.leg.empty() && in.roughness.empty() && in.shelfSigns.empty()) continue;
      const double mid = rowTop(i) - rowHeight / 2;
      const double ly = p.roughness.empty() ? mid - s_.gap - H / 2 : mid - 1.2 * H;
      const double lx = x + pad - 1.5 * s_.gap;
      in.bend = {lx, ly, z}, in.anchorZ = z, in.markZ = z;
      const shelf::Result r = shelf::layout(in, sink_);
      widest = std::max(widest, r.length - 1.5 * s_.gap);
    }
    return widest + 2 * pad;
  }

  const std::vector<SeamRow>& rows_;
  shelf::Sink& sink_;
  const shelf::Sizes s_;
  const double H, pad, x0, top, z;
  double rowHeight = 0;
};

}  // namespace

Extent layout(const std::vector<SeamRow>& rows, const Point& topLeft, const shelf::Sizes& sizes, shelf::Sink& sink) {
  return Table(rows, topLeft, sizes, sink).run();
}

}  // namespace kelvo::cad::table
