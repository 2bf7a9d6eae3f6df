// Many seams through the real window and the real host: the library kept over a restart, the
// next free number, identical seams that keep the count, one undo, and the seam table.
#include "app/forms/lib_weld.h"
#include "cad/acad.h"
#include "cad/seam_list.h"
#include "host/model/document.h"
#include "tests/host/end_to_end.h"

#include <QMenu>

#include <algorithm>

namespace kelvo {
namespace {

class ManySeams : public EndToEnd {
 protected:
  void setFields(std::array<const char*, 8> texts) {
    for (int n = 1; n <= kFieldCount; ++n) win->edit(n)->setText(QString::fromUtf8(texts[static_cast<std::size_t>(n - 1)]));
  }
  // Opens "Избранное" and does `inside` in it.
  void inLibrary(const std::function<void(TfmLib&)>& inside) {
    test::onNextModal([inside](QWidget* m) {
      auto* lib = qobject_cast<TfmLib*>(m);
      ASSERT_NE(lib, nullptr);
      inside(*lib);
      if (lib->isVisible()) lib->reject();
    });
    QTest::mouseClick(win->findChild<QPushButton*>("bbLib"), Qt::LeftButton);
  }
  void click(const char* button) { QTest::mouseClick(win->findChild<QPushButton*>(button), Qt::LeftButton); }
};

std::vector<std::string> textsOf(const host::Block& b) {
  std::vector<std::string> out;
  for (const host::Entity& e : b.entities)
    if (e.kind == host::Kind::Text && !e.deleted) out.push_back(cp1251::toUtf8(e.text));
  return out;
}

TEST_F(ManySeams, LibraryNumbersIdenticalSeamsUndoAndTheTable) {
  // Three designations (1, 2, 5), two identical seams of 2, and the table's corner.
  auto hostProcess = startHost("0,0;20,20;40,20;100,0;130,20;160,20;200,0;230,20;260,20;"
                               "100,-50;130,-30;100,-100;70,-80;0,-200");
  openWindow();
  // Two designations saved; the second is the one drawn as seam 1 after a restart.
  messages.typed = {w("Тавровый"), w("Стыковой, № 1")};
  inLibrary([](TfmLib& lib) { lib.bbSaveClick(); });
  setFields({"", "1", "ГОСТ 5264-80", "С2", "", "4", "", ""});
  inLibrary([](TfmLib& lib) { lib.bbSaveClick(); });
  win->close();  // and started again: the library is read from its file
  win.reset();
  openWindow();
  inLibrary([](TfmLib& lib) {
    ASSERT_EQ(lib.list()->rowCount(), 2);
    lib.search()->setText(QStringLiteral("стык"));
    ASSERT_EQ(lib.list()->rowCount(), 1);
    // The window's signs (both bend signs, the reinforcement removed) went with it.
    EXPECT_EQ(lib.list()->item(0, 1)->text(), QStringLiteral("⚑ ○ ГОСТ 5264-80-С2 ⊿4 ⌒"));
    lib.findChild<QPushButton*>("bbOk")->click();
  });
  EXPECT_EQ(win->edit(field::Num)->text(), QStringLiteral("1"));
  pressDraw();
  setFields({"1", "2", "ГОСТ 14771-76", "С2", "ИП", "5", "", "Rz20"});
  pressDraw();
  setFields({"", "5", "ГОСТ 14771-76", "С2", "ИП", "8", "", ""});
  pressDraw();
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);

  win->dsbNumClick();
  EXPECT_EQ(win->edit(field::Num)->text(), QStringLiteral("6"));
  EXPECT_TRUE(win->edit(field::Num)->isVisible());

  setFields({"1", "2", "ГОСТ 14771-76", "С2", "ИП", "5", "", "Rz20"});
  click("bbSame");
  click("bbSame");
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);
  const cad::AcadDocument d = cad::AcadApplication(cad::GetActiveOleObject("AutoCAD.Application")).ActiveDocument();
  // Three seams carry number 2, and its full designation says so.
  auto seamsOf2 = [&d] {
    const std::vector<cad::FoundDesignation> found = cad::findDrawingDesignations(d).designations;
    const auto full = cad::fullDesignationsNumbered(found, "2");
    return std::make_pair(cad::seamsNumbered(found, "2"), full.size() == 1 ? full[0]->stored.input.texts[0] : "?");
  };
  EXPECT_EQ(seamsOf2(), std::make_pair(3, std::string("3")));
  d.ref()->call("SendCommand", {std::string("_u ")});  // the second identical seam and its count go
  EXPECT_EQ(seamsOf2(), std::make_pair(2, std::string("2")));
  win->findChild<QMenu*>("mnTable")->actions().at(0)->trigger();
  messages.files = {dir.file("seams.csv")};
  win->findChild<QMenu*>("mnTable")->actions().at(1)->trigger();
  EXPECT_TRUE(messages.shown.empty()) << (messages.shown.empty() ? "" : messages.shown[0].utf8);
  const std::string csv = test::slurp(dir.file("seams.csv"));
  EXPECT_NE(csv.find("\r\n2,⚑ ○ ГОСТ 14771-76-С2-ИП-⊿5 ⌒ √Rz20,2\r\n"), std::string::npos) << csv;

  host::Document doc = stopHost(*hostProcess);
  std::vector<std::string> labels;
  int numberOnly = 0;
  for (const host::Entity& e : doc.modelSpace().entities) {
    if (e.deleted) continue;
    if (e.kind == host::Kind::Text) labels.push_back(cp1251::toUtf8(e.text));
    if (e.kind == host::Kind::Insert && doc.findBlock(e.text) && textsOf(*doc.findBlock(e.text)) == std::vector<std::string>{"N%%d2"})
      ++numberOnly;
  }
  std::sort(labels.begin(), labels.end());
  EXPECT_EQ(labels, (std::vector<std::string>{"2N%%d2", "N%%d1", "N%%d5"}));  // seam 2's count after the undo
  EXPECT_EQ(numberOnly, 1);
  const auto table = std::find_if(doc.blocks.begin(), doc.blocks.end(), [](const host::Block& b) { return b.name.starts_with("KelvoTable_"); });
  ASSERT_NE(table, doc.blocks.end());
  const std::vector<std::string> cells = textsOf(*table);
  // Header, numbers, counts, each in its column's order.
  const std::vector<std::string> first{cells.begin(), cells.begin() + 4};
  EXPECT_EQ(first, (std::vector<std::string>{"№ шва", "1", "2", "5"}));
  const std::vector<std::string> last{cells.end() - 4, cells.end()};
  EXPECT_EQ(last, (std::vector<std::string>{"Кол.", "1", "2", "1"}));
}

}  // namespace
}  // namespace kelvo
