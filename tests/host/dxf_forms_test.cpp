// Drawings in the forms other programs write: comments, R12 and older, binary, malformed ones.
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kelvo::host {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

std::string freshDrawing() {
  Document doc;
  return writeDxf(doc);
}

const char* const kR2000Head = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n";

TEST(DxfForms, CommentsAndTrailingBlanksAreReadAsCadProgramsReadThem) {
  // dxflib, LibreCAD, FreeCAD and CadZinho open every file with 999 lines; a long MTEXT's
  // 250-character pieces may end in a space, and that space is part of the text.
  const std::string text = std::string("999\ndxflib 3.17.0.0\n") + kR2000Head +
                           "  0\nSECTION\n  2\nENTITIES\n999\nin the middle too\n  0\nTEXT\n  5\nA0\n100\nAcDbEntity\n  8\n0\n"
                           "100\nAcDbText\n 10\n1.0\n 20\n2.0\n 30\n0.0\n 40\n2.5\n  1\nends in a space \n  0\nENDSEC\n  0\nEOF\n";
  Document doc = readDxf(text);
  EXPECT_TRUE(doc.repairs.empty()) << joined(doc.repairs);
  EXPECT_FALSE(doc.convertedFrom);
  ASSERT_EQ(doc.modelSpace().entities.size(), 1u);
  EXPECT_EQ(doc.modelSpace().entities[0].text, "ends in a space ");
  const std::string out = writeDxf(doc);
  EXPECT_TRUE(has(out, "\n  1\nends in a space \n"));
  EXPECT_FALSE(has(out, "999"));  // read past, as AutoCAD does, and not written back
}

// A binary DXF of R13 and later: two-byte codes, values by their type.
std::string binaryDxf() {
  std::string b("AutoCAD Binary DXF\r\n\x1a\0", 22);
  auto code = [&b](int c) { b += static_cast<char>(c & 0xFF), b += static_cast<char>(c >> 8); };
  auto text = [&](int c, const std::string& v) { code(c), b += v, b += '\0'; };
  auto real = [&](int c, double v) {
    code(c);
    char bytes[8];
    std::memcpy(bytes, &v, 8);  // the test machine is little-endian, as the format
    b.append(bytes, 8);
  };
  text(0, "SECTION"), text(2, "HEADER"), text(9, "$ACADVER"), text(1, "AC1015"), text(0, "ENDSEC");
  text(0, "SECTION"), text(2, "ENTITIES"), text(0, "LINE"), text(5, "2A"), text(100, "AcDbEntity"), text(8, "0");
  code(62), b += std::string("\x05\x00", 2);
  text(100, "AcDbLine"), real(10, 1.5), real(20, -2), real(30, 0), real(11, 3.25), real(21, 4), real(31, 0);
  text(0, "TEXT"), text(5, "2B"), text(100, "AcDbEntity"), text(8, "0"), text(100, "AcDbText"), real(10, 0), real(20, 0), real(30, 0);
  real(40, 2.5), text(1, "two\nlines ^ caret"), text(0, "ENDSEC"), text(0, "EOF");
  return b;
}

TEST(DxfForms, BinaryIsReadAndSavedAsText) {
  Document doc = readDxf(binaryDxf());
  EXPECT_EQ(doc.convertedFrom.value_or(""), "двоичный DXF 2000");
  ASSERT_EQ(doc.modelSpace().entities.size(), 2u);
  const Entity& line = doc.modelSpace().entities[0];
  EXPECT_EQ(line.kind, Kind::Line);
  EXPECT_EQ(line.points[0], (Point{1.5, -2, 0}));
  EXPECT_EQ(line.points[1], (Point{3.25, 4, 0}));
  const std::string out = writeDxf(doc);
  EXPECT_TRUE(has(out, " 62\n5\n"));
  // A line end cannot stand in a text line: written as the text form spells it.
  EXPECT_TRUE(has(out, "\n  1\ntwo^Jlines ^  caret\n"));
  EXPECT_NO_THROW(readDxf(out));
}

TEST(DxfForms, AnR12DrawingIsGivenTheR2000Form) {
  const std::string r12 =
      "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n 70\n1\n  0\nLAYER\n  2\nWELD\n 70\n0\n 62\n2\n  6\nCONTINUOUS\n  0\nENDTAB\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  8\n0\n  2\nMARK\n 70\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n  3\nMARK\n"
      "  0\nCIRCLE\n  8\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 40\n1.0\n  0\nENDBLK\n  8\n0\n  0\nENDSEC\n"
      "  0\nSECTION\n  2\nENTITIES\n  0\nARC\n  8\nWELD\n 62\n1\n 10\n1.0\n 20\n2.0\n 30\n0.0\n 40\n3.0\n 50\n0.0\n 51\n90.0\n"
      "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n8\n  0\nVERTEX\n  8\n0\n 10\n0.0\n 20\n0.0\n 30\n1.0\n 70\n32\n  0\nSEQEND\n  8\n0\n"
      "  0\n3DLINE\n  8\n0\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n1.0\n 21\n1.0\n 31\n1.0\n  0\nENDSEC\n  0\nEOF\n";
  Document doc = readDxf(r12);
  EXPECT_EQ(doc.convertedFrom.value_or(""), "DXF R12 (AC1009)");
  EXPECT_EQ(doc.version, "AC1015");
  ASSERT_NE(doc.findLayer("WELD"), nullptr);
  EXPECT_EQ(doc.findLayer("WELD")->color, 2);
  ASSERT_NE(doc.findBlock("MARK"), nullptr);
  const std::string out = writeDxf(doc);
  // Each object in the R2000 form: its handle, owner, AcDbEntity with the look, then its own subclasses.
  for (const char* form : {"  0\nARC\n  5\n", "100\nAcDbEntity\n  8\nWELD\n 62\n1\n100\nAcDbCircle\n 10\n1.0\n",
                           " 40\n3.0\n100\nAcDbArc\n 50\n0.0\n 51\n90.0\n", "100\nAcDb3dPolyline\n 66\n1\n 70\n8\n",
                           "100\nAcDbVertex\n100\nAcDb3dPolylineVertex\n", "  0\nLINE\n", "100\nAcDbLayerTableRecord\n  2\nWELD\n",
                           "  2\nBLOCK_RECORD\n", "  2\n*Model_Space\n", "$ACADVER\n  1\nAC1015\n"})
    EXPECT_TRUE(has(out, form)) << form;
  // Read again, nothing changes: the R2000 form is kept.
  Document again = readDxf(out);
  EXPECT_FALSE(again.convertedFrom);
  EXPECT_TRUE(again.repairs.empty()) << joined(again.repairs);
  EXPECT_EQ(writeDxf(again), out);
}

TEST(DxfForms, MalformedDrawingsAreRepairedAndEveryRepairIsListed) {
  const std::string line = "  0\nLINE\n  5\n%s\n330\n%s\n100\nAcDbEntity\n  8\n0\n100\nAcDbLine\n 10\n0.0\n 20\n0.0\n 30\n0.0\n 11\n1.0\n 21\n0.0\n 31\n0.0\n";
  auto lineWith = [&line](const std::string& handle, const std::string& owner) {
    std::string s = line;
    s.replace(s.find("%s"), 2, handle);
    s.replace(s.find("%s"), 2, owner);
    return s;
  };
  const std::string fresh = freshDrawing();
  const std::size_t at = fresh.find("  0\nENDSEC\n  0\nSECTION\n  2\nOBJECTS");
  auto drawing = [&](const std::string& entities, const std::string& tail) {
    std::string s = fresh;
    s.insert(at, entities);
    return s.substr(0, s.rfind("  0\nEOF\n")) + tail;
  };
  const struct {
    std::string text;
    const char* repair;
  } cases[] = {
      {drawing(lineWith("A0", "1F") + lineWith("A0", "1F"), "  0\nEOF\n"), "повторённые дескрипторы заменены новыми: 1"},
      {drawing(lineWith("", "1F"), "  0\nEOF\n"), "пустые дескрипторы заменены новыми: 1"},
      {drawing(lineWith("A1", "FFFF"), "  0\nEOF\n"), "ссылки на владельца, которого нет"},
      {drawing("", ""), "дописан конец файла (EOF)"},
      {drawing("", "  0\nEOF\nwhat some writers leave\nafter the end\n"), "строки после конца файла (EOF) пропущены: 2"},
      {drawing("", "  0\nEOF\n"), ""},
  };
  for (const auto& [text, repair] : cases) {
    Document doc = readDxf(text);
    const std::string said = joined(doc.repairs);
    if (!*repair) EXPECT_TRUE(said.empty()) << said;
    else EXPECT_TRUE(has(said, repair)) << repair << "\n" << said;
    // Repaired, the drawing reads back as it was saved: every handle its own, every owner there.
    EXPECT_TRUE(readDxf(writeDxf(doc)).repairs.empty());
  }
}

TEST(DxfForms, ATableThatLostItsHeadIsGivenOne) {
  std::string text = freshDrawing();
  const std::size_t head = text.find("  0\nTABLE\n  2\nBLOCK_RECORD\n");
  const std::size_t first = text.find("  0\nBLOCK_RECORD\n", head);
  text.erase(head, first - head);
  Document doc = readDxf(text);
  EXPECT_TRUE(has(joined(doc.repairs), "таблице BLOCK_RECORD дописано начало (TABLE)")) << joined(doc.repairs);
  const std::string out = writeDxf(doc);
  EXPECT_TRUE(has(out, "  0\nTABLE\n  2\nBLOCK_RECORD\n  5\n1\n"));  // the handle its records name
}

}  // namespace
}  // namespace kelvo::host
