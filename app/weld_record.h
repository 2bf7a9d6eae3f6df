// The weld designation being edited: its eight fields, the exchange record of the catalogue
// pickers, the sign codes and drawing options, and the rules that derive file names and the
// drawing input from them. All texts are Windows-1251 bytes.
#pragma once

#include "app/designation_signs.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvo {

inline constexpr std::uint8_t kNoPicture = 255;

struct TWeldData {
  std::string Gost;
  std::string GostName;
  std::string Tip;
  std::string Spos;
  std::uint8_t RisNum = kNoPicture;

  void reset() { *this = TWeldData{}; }
};

// One text field of the main window. `key` is its settings key in section "Сварка".
struct FieldDef {
  std::string_view key;
  int tag;
  std::string_view edit;   // edit box name
  std::string_view panel;  // panel name
  std::string_view hint;   // the panel's hint
};

inline constexpr int kFieldCount = 8;
// Field numbers, counted from 1 as the designation counts them.
namespace field {
inline constexpr int Kol = 1, Num = 2, GOST = 3, Tip = 4, Spos = 5, Kat = 6, Dopl = 7, Sher = 8;
}

const std::array<FieldDef, kFieldCount>& fieldDefs();
const FieldDef& fieldDef(int field);  // 1..8

using FieldTexts = std::array<std::string, kFieldCount>;
inline std::string& fieldText(FieldTexts& t, int n) { return t[static_cast<std::size_t>(n - 1)]; }
inline const std::string& fieldText(const FieldTexts& t, int n) {
  return t[static_cast<std::size_t>(n - 1)];
}

enum class Side { Front, Back };

// The values the main module keeps for the whole run.
// The CAD program the draw command reaches: ProgIDs separated by ";", tried in order. By
// default every program documented to serve AutoCAD's automation interface, AutoCAD first:
// BricsCAD, ZWCAD, GstarCAD (one ProgID a release) and nanoCAD (64- and 32-bit).
inline constexpr char kAutoCadProgId[] = "AutoCAD.Application";
inline constexpr char kDefaultApplication[] =
    "AutoCAD.Application;BricscadApp.AcadApplication;ZWCAD.Application;GStarCAD.Application.27;"
    "GStarCAD.Application.26;nanoCADx64.Application;nanoCAD.Application";

struct MainWeld {
  TWeldData WeldData;
  std::uint8_t Znak1 = 0;
  std::uint8_t Znak2 = 0;
  // The whole set of shelf signs; Znak2 is its first sign. Empty means Znak2 alone.
  ShelfSigns Znaki2;
  std::string LayerName = "1";
  std::string NumberType = "N%%d";
  std::string Application = kDefaultApplication;
  std::string BasePath;
  std::uint8_t ZnakMode = 0;
};

// The process's one instance.
MainWeld& mainWeld();

// Leading and trailing characters of codes 0 to 32 removed.
std::string_view trimText(std::string_view s);
inline bool isEmptyText(std::string_view s) { return trimText(s).empty(); }

// The executable's full path less its last four characters, whatever they are.
std::string basePathFrom(std::string_view executablePath);

// The standard's number from field 3: 15 characters from the fifth on, trimmed, when the text
// holds "ГОСТ" anywhere; otherwise empty.
std::string StandardNumber(std::string_view field3);

// BasePath + "_" + StandardNumber + extension (".dat" or ".ris").
std::string CatalogFileName(std::string_view basePath, std::string_view field3,
                            std::string_view extension);
// BasePath + ".dat".
std::string StandardsFileName(std::string_view basePath);
std::string SettingsFileName(std::string_view basePath);

// The clear button: every text empty, both sign codes 0, WeldData reset. Side, arrow,
// LayerName and NumberType are left as they are.
void clearDesignation(FieldTexts& texts, MainWeld& state);

// After the standard picker's OK: true (and fields 3 to 5 and WeldData updated) when the
// chosen standard differs from field 3, compared exactly.
bool applyStandardChoice(FieldTexts& texts, TWeldData& data);

// The activation pass's copy of fields 3 to 5 into WeldData, for fields that are not empty.
void takeCatalogFields(const FieldTexts& texts, TWeldData& data);

// Bend marks and the sign-cell picture that the sign codes select. Codes outside 0..3 select
// nothing (the empty cell).
bool showsCircle(std::uint8_t znak1);
bool showsFlag(std::uint8_t znak1);
int signCellPicture(std::uint8_t znak2);

// What the draw command reads at the moment the draw button is pressed.
struct DrawInput {
  FieldTexts texts;  // trimmed
  Side side = Side::Front;
  bool arrowLeft = true;  // the left barb is shown: arrowhead block "KelvoL"
  std::uint8_t Znak1 = 0;
  std::uint8_t Znak2 = 0;
  ShelfSigns Znaki2;
  TWeldData WeldData;  // the catalogue record, kept with the drawn designation
  std::string LayerName;
  std::string NumberType;
  std::string Application = kDefaultApplication;
  // The window is changing a designation taken from the drawing: it is to be replaced.
  bool replaceTaken = false;
};

// The shelf signs to draw: the set when it holds any, else the one sign of Znak2.
ShelfSigns shelfSignsOf(const DrawInput& in);

DrawInput takeDrawInput(const FieldTexts& texts, Side side, bool arrowLeft,
                        const MainWeld& state);

}  // namespace kelvo
