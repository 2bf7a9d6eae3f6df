// "Таблица швов": the drawing's seams as a table in a block of its own, at a point the user
// picks; the table Kelvo drew before is taken away in the same undo group.
#include "cad/block_sink.h"
#include "cad/draw_weld.h"
#include "cad/seam_table.h"

#include "platform/codepage.h"

namespace kelvo::cad {

using namespace kelvo::literals;

void DrawWeld::DrawSeamTable(const DrawInput& input) {
  DrawInput connect;
  connect.Application = input.Application, connect.LayerName = input.LayerName, connect.NumberType = input.NumberType;
  Begin(connect);
  Start_ACAD();
  Guarded("DrawSeamTable", [&] {
    const auto found = Search("DrawSeamTable");
    if (!found) return;
    const std::vector<SeamRow> rows = seamRows(found->designations);
    if (rows.empty()) {
      Warn("DrawSeamTable", std::string("В чертеже нет обозначений швов Kelvo: таблицу составить не из чего."_w));
      return;
    }
    try {
      DrawGuarded([&] {
        ChooseLayer();
        const AcadUtility utility = AcadDoc.Utility();
        BringToFront();
        const Point corner = NextPoint(utility, std::nullopt, "Укажи левый верхний угол таблицы швов: ", Point{});
        for (const AcadEntity& old : found->tables) old.Delete();
        LayOutTable(rows, corner);
        AcadDoc.setActiveLayer(SavedLayer_);
      });
    } catch (const LayerUnusable& refused) {
      Warn("DrawSeamTable", refused.reason);
    }
  });
}

// The table's block takes a name of its own ("KelvoTable_" and the time, as a weld block's), so
// that a table drawn again never changes a block an older drawing holds.
void DrawWeld::LayOutTable(const std::vector<SeamRow>& rows, const Point& topLeft) {
  BlockName = "KelvoTable_" + BlockNameAt(services_.now ? services_.now() : std::tm{}).substr(5);
  MakeUniqueBlockName();
  const AcadBlock block = AcadDoc.Blocks().Add(topLeft, BlockName);
  BlockSink sink(block, TextHeight, PointList, LastText);
  table::layout(rows, topLeft, Sizes(), sink);
  const AcadEntity reference = DrawSpace.InsertBlock(topLeft, BlockName, 1, 1, 1, 0);
  AcadDoc.RegisteredApplications().Add(kXDataApplication);
  const XDataArrays mark = seamTableXData();
  reference.SetXData(mark.types, mark.values);
}

}  // namespace kelvo::cad
