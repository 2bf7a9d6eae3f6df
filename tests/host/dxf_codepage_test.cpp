// Texts of drawings from other programs: every code page read into the model's one spelling,
// written back in the drawing's own page, and names that compare equal however spelled.
#include "cad/draw_weld.h"
#include "host/model/dxf_codepage.h"
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/inprocess.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace kelvo::host {
namespace {

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

struct TextCase {
  const char* acadver;
  const char* page;  // nullptr: the header names none
  std::string file;  // as the file spells it
  std::string model;
  bool writtenBackAlike;  // the writer spells the model text as `file`
};

TEST(FileText, EveryPageReadsIntoTheModelsSpellingAndBack) {
  const TextCase cases[] = {
      {"AC1015", "ANSI_1251", "\xD8\xE2\xFB", w("Швы"), true},
      {"AC1015", "ANSI_1252", "\\U+0428\\U+0432\\U+044B", w("Швы"), true},
      {"AC1015", "ANSI_1252", "\\U+0428\\U+0432\\U+044b", w("Швы"), false},  // lower-case hex
      {"AC1015", "ansi_1252", "C\xF4t\xE9", "C\\U+00F4t\\U+00E9", true},
      {"AC1015", nullptr, "C\xF4t\xE9", "C\\U+00F4t\\U+00E9", true},
      {"AC1015", "ANSI_9999", "C\xF4t\xE9", "C\\U+00F4t\\U+00E9", true},
      {"AC1015", "ANSI_1253", "\xE1\xE2", "\\U+03B1\\U+03B2", true},
      {"AC1015", "ANSI_936", "\xD6\xD0\xCE\xC4", "\\U+4E2D\\U+6587", true},
      {"AC1015", "ANSI_936", "\xA7\xBA\xA7\xD3\xA7\xED", w("Швы"), true},
      {"AC1015", "ANSI_932", "\\M+182A0", "\\U+3042", false},
      {"AC1015", "ANSI_1252", "\\M+5D6D0", "\\U+4E2D", false},
      {"AC1015", "DOS866", "\x98\xA2\xEB", w("Швы"), true},
      {"AC1015", "ANSI_1252", "\\U+D83D\\U+DE00 %%d \\P", "\\U+D83D\\U+DE00 %%d \\P", true},
      {"AC1032", "ANSI_1252", "\xD0\xA8\xD0\xB2\xD1\x8B \xE4\xB8\xAD", w("Швы") + " \\U+4E2D", true},
      {"AC1032", "ANSI_1252", "\\U+0428", w("Ш"), false},
  };
  for (const auto& c : cases) {
    const FileEncoding enc = fileEncoding(c.acadver, c.page ? std::optional<std::string>(c.page) : std::nullopt);
    SCOPED_TRACE(std::string(c.page ? c.page : "no page") + " " + c.acadver + " " + c.file);
    EXPECT_EQ(fromFile(c.file, enc), c.model);
    if (c.writtenBackAlike) {
      EXPECT_EQ(toFile(c.model, enc), c.file);
    }
    EXPECT_EQ(fromFile(toFile(c.model, enc), enc), c.model);
  }
  EXPECT_EQ(fileEncoding("AC1015", std::string("ANSI_9999")).unknownName, "ANSI_9999");
  EXPECT_FALSE(fileEncoding("AC1015", std::string("DOS866")).unknownName);
}

TEST(FileText, NamesCompareEqualHoweverSpelled) {
  Document doc;
  doc.addLayer("\\u+0428\\u+0432\\u+044b");
  doc.addLayer("C\\u+00f4t\\u+00e9");
  EXPECT_EQ(doc.layers[1].name, w("Швы"));
  EXPECT_EQ(doc.layers[2].name, "C\\U+00F4t\\U+00E9");
  EXPECT_EQ(doc.findLayer(w("швы")), &doc.layers[1]);
  EXPECT_EQ(doc.findLayer("c\\U+00F4T\\U+00e9"), &doc.layers[2]);
  EXPECT_EQ(doc.findLayer("\\U+0428"), nullptr);
}

std::string drawing(const char* page, const std::string& layer) {
  return "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$DWGCODEPAGE\n  3\n" + std::string(page) +
         "\n  9\n$HANDSEED\n  5\n100\n  0\nENDSEC\n  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  5\n2\n"
         "330\n0\n100\nAcDbSymbolTable\n 70\n1\n  0\nLAYER\n  5\n50\n330\n2\n100\nAcDbSymbolTableRecord\n"
         "100\nAcDbLayerTableRecord\n  2\n" + layer + "\n 70\n0\n 62\n5\n  6\nContinuous\n  0\nENDTAB\n"
         "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  5\n51\n100\nAcDbEntity\n  8\n" + layer +
         "\n100\nAcDbLine\n 10\n0\n 20\n0\n 30\n0\n 11\n5\n 21\n0\n 31\n0\n  0\nENDSEC\n  0\nEOF\n";
}

// A drawing another program wrote, drawn into with the layer "Швы": one layer entry, the
// designation on it, the file's own entities written back as they were.
TEST(FileText, ADrawingsOwnLayerIsTakenWhateverItsPage) {
  const std::pair<const char*, std::string> drawings[] = {
      {"ANSI_1252", "\\U+0428\\U+0432\\U+044b"}, {"ANSI_1251", "\xD8\xE2\xFB"}, {"DOS866", "\x98\xA2\xEB"}};
  for (const auto& [page, layer] : drawings) {
    SCOPED_TRACE(page);
    const std::string before = drawing(page, layer);
    Document doc = readDxf(before);
    std::vector<Point> picks = {{0, 0, 0}, {30, 20, 0}, {60, 20, 0}};
    std::vector<std::string> messages;
    {
      InProcessHost host(doc, [&picks](const std::string&, const std::optional<Point>&) -> std::optional<Point> {
        if (picks.empty()) return std::nullopt;
        const Point p = picks.front();
        picks.erase(picks.begin());
        return p;
      });
      cad::DrawWeld command{{[&messages](const std::string& t) { messages.push_back(t); }, [] { return std::tm{}; }}};
      DrawInput in;
      in.texts[2] = "X";
      in.LayerName = w("Швы");
      in.NumberType = "N%%d";
      command.AcadDrawWeld(in);
    }
    ASSERT_TRUE(messages.empty()) << messages[0];
    const std::string after = writeDxf(doc);
    const Document back = readDxf(after);
    ASSERT_EQ(back.layers.size(), 2u);
    EXPECT_EQ(back.layers[1].name, w("Швы"));
    EXPECT_EQ(back.layers[1].color, 5);
    for (const Entity& e : back.blocks[0].entities) EXPECT_EQ(back.findLayer(e.layer), &back.layers[1]);
    const std::string line = before.substr(before.find("  0\nLINE"), before.find("  0\nENDSEC\n  0\nEOF") - before.find("  0\nLINE"));
    EXPECT_NE(after.find(line), std::string::npos) << "the drawing's own line is written back as it was";
  }
}

}  // namespace
}  // namespace kelvo::host
