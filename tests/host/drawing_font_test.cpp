// The font the host measures with: Liberation Sans's own advances, Arial named in a new drawing,
// and a drawing's own font taken where the machine has it.
#include "host/model/dxf_reader.h"
#include "host/model/dxf_writer.h"
#include "host/model/text_metrics.h"
#include "host/ui/drawing_font.h"
#include "platform/codepage.h"

#include <QFont>
#include <QRawFont>
#include <gtest/gtest.h>

namespace kelvo::host {
namespace {

// A text's width by the font file's own advances, in units of its cap height.
double widthByTheFont(const QString& family, const std::string& cp1251Text, double height) {
  QFont f(family);
  f.setPixelSize(2048);
  const QRawFont raw = QRawFont::fromFont(f);
  const std::u16string u = cp1251::toUtf16(cp1251Text);
  const QList<quint32> glyphs = raw.glyphIndexesForString(QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size())));
  double sum = 0;
  for (const QPointF& a : raw.advancesForGlyphIndexes(glyphs)) sum += a.x();
  return sum / raw.capHeight() * height;
}

Document drawingNaming(const char* fontFile) {
  Document doc = readDxf(writeDxf(*std::make_unique<Document>()));
  for (auto& [name, tags] : doc.keptTables)
    if (name == "STYLE")
      for (Tag& t : tags)
        if (t.code == 3) t.value = fontFile;
  return doc;
}

TEST(DrawingFont, WidthsAreLiberationSansOwnAdvances) {
    ASSERT_EQ(QRawFont::fromFont(QFont(QStringLiteral("Liberation Sans"))).familyName(), QStringLiteral("Liberation Sans"));
    for (const char* text : {"Rz20", "ГОСТ 14771-76-Т3-УП-", "Швы ЁёЖж", "WWiil 50/100", "N°5 ±0,5"}) {
      const std::string t = cp1251::fromUtf8(text);
      EXPECT_NEAR(textWidth({}, t, 2.5), widthByTheFont(QStringLiteral("Liberation Sans"), t, 2.5), 1e-4) << text;
    }
}

TEST(DrawingFont, ANewDrawingNamesArial) {
    Document fresh;
    const std::string dxf = writeDxf(fresh);
    const auto style = dxf.find("STYLE\n  5\n");
    ASSERT_NE(style, std::string::npos);
    EXPECT_LT(dxf.find("  2\nStandard\n", style), dxf.find("  3\narial.ttf\n", style));
    Document back = readDxf(dxf);
    chooseFont(back);
    EXPECT_EQ(back.font.family(), std::string("Liberation Sans"));
    EXPECT_TRUE(back.warnings.empty());
}

TEST(DrawingFont, ADrawingsOwnFontIsTakenWhereTheMachineHasIt) {
    Document dejavu = drawingNaming("DejaVuSans.ttf");
    chooseFont(dejavu);
    EXPECT_EQ(dejavu.font.family(), std::string("DejaVu Sans"));
    EXPECT_TRUE(dejavu.warnings.empty());
    const std::string t = cp1251::fromUtf8("ГОСТ 5264-80");
    EXPECT_NEAR(textWidth(dejavu.font, t, 1), widthByTheFont(QStringLiteral("DejaVu Sans"), t, 1), 1e-3);
    EXPECT_GT(std::abs(textWidth(dejavu.font, t, 1) - textWidth({}, t, 1)), 0.1);

    Document shx = drawingNaming("txt");
    chooseFont(shx);
    EXPECT_EQ(shx.font.family(), std::string("Liberation Sans"));
    EXPECT_EQ(shx.warnings.size(), 1u);
}

}  // namespace
}  // namespace kelvo::host
