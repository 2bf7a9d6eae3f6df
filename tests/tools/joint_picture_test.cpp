#include "catalog/catalog_files.h"
#include "catalog/catalog_text.h"
#include "catalog/picture_file.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "tools/catalog/joint_picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace kelvo::tools {
namespace {

std::string w(const std::string& utf8) { return cp1251::fromUtf8(utf8); }

std::optional<JointShape> shape(const char* type, const char* edges, const char* character) {
  return shapeOf(w(type), w(edges), w(character));
}

TEST(JointShape, ReadsTheRowsWords) {
  using F = JointFamily;
  using E = EdgePrep;
  const struct {
    const char *type, *edges, *character;
    JointShape want;
  } cases[] = {
      {"Стыковое", "С отбортовкой двух кромок", "Односторонний", {F::Butt, E::FlangedBoth, false, false, Backing::None}},
      {"Стыковое", "С отбортовкой одной кромки", "Односторонний", {F::Butt, E::FlangedOne, true, false, Backing::None}},
      {"Стыковое", "Без скоса кромок", "Односторонний на съемной подкладке", {F::Butt, E::Square, false, false, Backing::Removable}},
      {"Стыковое", "Без скоса кромок", "Односторонний на остающейся подкладке", {F::Butt, E::Square, false, false, Backing::Strip}},
      {"Стыковое", "Без скоса кромок", "Односторонний замковый", {F::Butt, E::Square, false, false, Backing::Lock}},
      {"Стыковое", "Со скосом кромок", "Двусторонний", {F::Butt, E::Bevel, false, true, Backing::None}},
      {"Стыковое", "Со скосом одной кромки", "Односторонний", {F::Butt, E::Bevel, true, false, Backing::None}},
      {"Стыковое", "С двумя скосами кромок", "Двусторонний", {F::Butt, E::DoubleBevel, false, true, Backing::None}},
      {"Стыковое", "С криволинейным скосом одной кромки", "Односторонний", {F::Butt, E::Curved, true, false, Backing::None}},
      {"Стыковое", "С двумя криволинейными скосами кромок", "Двусторонний", {F::Butt, E::DoubleCurved, false, true, Backing::None}},
      {"Стыковое", "", "", {F::Butt, E::NotGiven, false, false, Backing::None}},
      {"Угловое", "Без скоса кромок", "Односторонний на съемной или остающейся стальной подкладке",
       {F::Corner, E::Square, false, false, Backing::Strip}},
      {"Тавровое", "С двумя скосами одной кромки", "Двусторонний", {F::Tee, E::DoubleBevel, true, true, Backing::None}},
      {"Нахлесточное", "Без скоса кромок", "Двусторонний", {F::Lap, E::Square, false, true, Backing::None}},
  };
  for (const auto& c : cases) {
    const auto got = shape(c.type, c.edges, c.character);
    ASSERT_TRUE(got) << c.type << " / " << c.edges;
    EXPECT_EQ(*got, c.want) << c.type << " / " << c.edges << " / " << c.character;
  }
}

// The words of pipe joints and of the rarer preparations, each read into what it adds.
TEST(JointShape, ReadsPipesAndPreparations) {
  using A = Arrangement;
  const struct {
    const char *type, *edges, *character;
    JointFamily family;
    A arrangement;
    EdgePrep prep;
    Backing backing;
    void (*more)(JointShape&);
  } cases[] = {
      {"Стыковое соединение трубы с трубой или с арматурой", "Со скосом кромок с расточкой",
       "Односторонний на остающейся конической подкладке", JointFamily::Butt, A::Pipes, EdgePrep::Bevel,
       Backing::Conical, [](JointShape& s) { s.boring = true; }},
      {"Стыковое соединение трубы с трубой или с арматурой", "Со скосом кромок с раздачей",
       "Односторонний на остающейся цилиндрической подкладке", JointFamily::Butt, A::Pipes, EdgePrep::Bevel,
       Backing::Strip, [](JointShape& s) { s.expansion = true; }},
      {"Стыковое соединение трубы с трубой или с арматурой", "Со скосом кромок", "Односторонний с расплавляемой вставкой",
       JointFamily::Butt, A::Pipes, EdgePrep::Bevel, Backing::Insert, nullptr},
      {"Стыковое соединение секторов колен (отводов)", "Со скосом кромок", "Двусторонний", JointFamily::Butt,
       A::ElbowSectors, EdgePrep::Bevel, Backing::None, [](JointShape& s) { s.twoSided = true; }},
      {"Стыковое соединение фланца с трубой", "С двумя несимметричными скосами двух кромок", "Двусторонний",
       JointFamily::Butt, A::FlangeToPipe, EdgePrep::DoubleBevel, Backing::None,
       [](JointShape& s) { s.asymmetric = s.twoSided = true; }},
      {"Стыковое", "Без скоса кромок с последующей строжкой", "Двусторонний", JointFamily::Butt, A::Plates,
       EdgePrep::Square, Backing::None, [](JointShape& s) { s.gouged = s.twoSided = true; }},
      {"Стыковое", "С двумя симметричными ломаными скосами кромок", "Двусторонний", JointFamily::Butt, A::Plates,
       EdgePrep::DoubleBroken, Backing::None, [](JointShape& s) { s.twoSided = true; }},
      {"Нахлесточное соединение труб муфтой", "Без скоса кромок", "Односторонний двойной", JointFamily::Lap, A::Sleeve,
       EdgePrep::Square, Backing::None, [](JointShape& s) { s.doubleWeld = true; }},
      {"Угловое соединение фланца или кольца с трубой", "С симметричным скосом одной кромки", "Двусторонний",
       JointFamily::Corner, A::FlangeOnPipe, EdgePrep::DoubleBevel, Backing::None,
       [](JointShape& s) { s.onePart = s.twoSided = true; }},
      {"Угловое соединение фланца или кольца с трубой", "Со скосом одной кромки",
       "Односторонний с раздачей и развальцовкой", JointFamily::Corner, A::FlangeOnPipe, EdgePrep::Bevel,
       Backing::Flare, [](JointShape& s) { s.onePart = true; }},
      {"Угловое соединение ответвительного штуцера или приварыша с трубой", "Со скосом одной кромки",
       "Односторонний на цилиндрическом усе", JointFamily::Corner, A::Branch, EdgePrep::Bevel, Backing::Spigot,
       [](JointShape& s) { s.onePart = true; }},
  };
  for (const auto& c : cases) {
    JointShape want;
    want.family = c.family;
    want.arrangement = c.arrangement;
    want.prep = c.prep;
    want.backing = c.backing;
    if (c.more) c.more(want);
    const auto got = shape(c.type, c.edges, c.character);
    ASSERT_TRUE(got) << c.type << " / " << c.edges;
    EXPECT_EQ(*got, want) << c.type << " / " << c.edges << " / " << c.character;
  }
}

TEST(JointShape, DrawsNothingForWordsItDoesNotKnow) {
  EXPECT_FALSE(shape("Торцовое", "Без скоса кромок", "Односторонний"));
  EXPECT_FALSE(shape("", "Без скоса кромок", "Односторонний"));
  EXPECT_FALSE(shape("Стыковое", "С разделкой", "Односторонний"));
  // One word it does not know is enough: the rest would draw another joint.
  EXPECT_FALSE(shape("Стыковое соединение балок", "Без скоса кромок", "Односторонний"));
  EXPECT_FALSE(shape("Стыковое", "Со скосом кромок с подрезкой", "Односторонний"));
  EXPECT_FALSE(shape("Тавровое", "С двумя симетичными скосами одной кромки", "Двусторонний"));
  EXPECT_FALSE(shape("Стыковое", "Без скоса кромок", "Односторонний на медной подкладке"));
}

int greyBetween(const Canvas& c, int y0, int y1, int x0 = 0, int x1 = kPictureWidth) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += c.at(x, y) == kWeldGrey;
  return n;
}

// Rows that differ in their edges or seam must not come out alike, and each picture is a
// bitmap of the button's size.
TEST(JointPicture, RowsThatDifferLookDifferent) {
  std::set<std::string> seen;
  int shapes = 0;
  for (auto family : {JointFamily::Butt, JointFamily::Corner, JointFamily::Tee})
    for (auto prep : {EdgePrep::NotGiven, EdgePrep::Square, EdgePrep::Bevel, EdgePrep::DoubleBevel, EdgePrep::Curved})
      for (bool twoSided : {false, true}) {
        // Double bevels are welded from both sides whatever the seam says, and a row without
        // edges shows only the weld zone, on both faces.
        if (prep == EdgePrep::DoubleBevel && !twoSided) continue;
        if (prep == EdgePrep::NotGiven && (family != JointFamily::Butt || twoSided)) continue;
        const std::string bmp = drawJoint({family, prep, family != JointFamily::Butt, twoSided, Backing::None}).bmp();
        const auto size = catalog::bitmapSize(bmp);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->width, kPictureWidth);
        EXPECT_EQ(size->height, kPictureHeight);
        ++shapes;
        seen.insert(bmp);
      }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(shapes));
}

// Every joint that ships has a drawing, and two joints of one standard look alike only when
// their rows say the same.
TEST(JointPicture, EveryShippedRowIsDrawnAndRowsThatDifferLookDifferent) {
  int rows = 0;
  for (const auto& entry : std::filesystem::directory_iterator(KELVO_DATA_DIR)) {
    const auto& path = entry.path();
    if (path.extension() != ".dat" || path.stem().string().find('-') == std::string::npos) continue;
    const auto data = readWholeFile(path.string());
    ASSERT_TRUE(data) << path;
    std::map<std::string, std::string> rowOfPicture;
    catalog::LineReader in(*data);
    while (!in.atEnd()) {
      if (!catalog::isRecordLine(in.next())) continue;
      const std::string type = in.next(), edges = in.next(), character = in.next();
      const std::string row = cp1251::toUtf8(type + " / " + edges + " / " + character);
      const auto shape = shapeOf(type, edges, character);
      ASSERT_TRUE(shape) << path.filename() << ": " << row;
      ++rows;
      const auto [it, fresh] = rowOfPicture.emplace(drawJoint(*shape).bmp(), row);
      EXPECT_TRUE(fresh || it->second == row) << path.filename() << ": " << row << " is drawn as " << it->second;
    }
  }
  EXPECT_GE(rows, 100);
}

TEST(JointPicture, TheWeldStandsOnTheSidesTheSeamNames) {
  const JointShape oneSided{JointFamily::Butt, EdgePrep::Bevel, false, false, Backing::None};
  JointShape twoSided = oneSided, onBacking = oneSided;
  twoSided.twoSided = true;
  onBacking.backing = Backing::Strip;
  // Below the plates' bottom face (y 40): a root cap only when welded from both sides.
  EXPECT_GT(greyBetween(drawJoint(twoSided), 41, 46), greyBetween(drawJoint(oneSided), 41, 46));
  EXPECT_EQ(greyBetween(drawJoint(onBacking), 41, kPictureHeight), 0);
  // A tee welded from one side has weld metal left of the standing plate only.
  const Canvas tee = drawJoint({JointFamily::Tee, EdgePrep::Square, false, false, Backing::None});
  EXPECT_GT(greyBetween(tee, 30, 46, 0, 47), 0);
  EXPECT_EQ(greyBetween(tee, 30, 46, 58, kPictureWidth), 0);
}

}  // namespace
}  // namespace kelvo::tools
