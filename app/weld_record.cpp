#include "app/weld_record.h"

#include "platform/codepage.h"

namespace kelvo {

using namespace kelvo::literals;

const std::array<FieldDef, kFieldCount>& fieldDefs() {
  static constexpr std::array<FieldDef, kFieldCount> defs = {{
      {"Поле1"_w, 1, "eKol", "pKol", "Количество швов"_w},
      {"Поле2"_w, 2, "eNum", "pNum", "Номер шва"_w},
      {"Поле3"_w, 3, "eGOST", "pGOST", "Стандарт"_w},
      {"Поле4"_w, 4, "eTip", "pTip", "Условное обозначение сварного соединения"_w},
      {"Поле5"_w, 5, "eSpos", "pSpos", "Способ сварки"_w},
      {"Поле6"_w, 6, "eKat", "pKat", "Размер катета"_w},
      {"Поле7"_w, 7, "eDopl", "pDopl", "Параметры прерывистого шва"_w},
      // Tag 8 is the auxiliary-sign cell, which holds no text.
      {"Поле8"_w, 9, "eSher", "pSher", "Шероховатость"_w},
  }};
  return defs;
}

const FieldDef& fieldDef(int n) { return fieldDefs().at(static_cast<std::size_t>(n - 1)); }

MainWeld& mainWeld() {
  static MainWeld state;
  return state;
}

std::string_view trimText(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string basePathFrom(std::string_view executablePath) {
  return std::string(executablePath.substr(0, executablePath.size() - std::min<std::size_t>(
                                                                          4, executablePath.size())));
}

std::string StandardNumber(std::string_view field3) {
  if (field3.find("ГОСТ"_w) == std::string_view::npos) return {};
  // Characters 5 to 19 counted from 1, wherever "ГОСТ" stood.
  if (field3.size() <= 4) return {};
  return std::string(trimText(field3.substr(4, 15)));
}

std::string CatalogFileName(std::string_view basePath, std::string_view field3,
                            std::string_view extension) {
  return std::string(basePath) + "_" + StandardNumber(field3) + std::string(extension);
}

std::string StandardsFileName(std::string_view basePath) { return std::string(basePath) + ".dat"; }
std::string SettingsFileName(std::string_view basePath) { return std::string(basePath) + ".ini"; }

void clearDesignation(FieldTexts& texts, MainWeld& state) {
  for (auto& t : texts) t.clear();
  state.Znak1 = 0;
  state.Znak2 = 0;
  state.Znaki2 = {};
  state.WeldData.reset();
}

bool applyStandardChoice(FieldTexts& texts, TWeldData& data) {
  if (data.Gost == fieldText(texts, field::GOST)) return false;
  fieldText(texts, field::GOST) = data.Gost;
  data.Tip.clear();
  data.Spos.clear();
  data.RisNum = kNoPicture;
  fieldText(texts, field::Tip).clear();
  fieldText(texts, field::Spos).clear();
  return true;
}

void takeCatalogFields(const FieldTexts& texts, TWeldData& data) {
  if (!isEmptyText(fieldText(texts, field::GOST))) data.Gost = fieldText(texts, field::GOST);
  if (!isEmptyText(fieldText(texts, field::Tip))) data.Tip = fieldText(texts, field::Tip);
  if (!isEmptyText(fieldText(texts, field::Spos))) data.Spos = fieldText(texts, field::Spos);
}

bool showsCircle(std::uint8_t znak1) { return znak1 == 1 || znak1 == 3; }
bool showsFlag(std::uint8_t znak1) { return znak1 == 2 || znak1 == 3; }
int signCellPicture(std::uint8_t znak2) { return znak2 >= 1 && znak2 <= 3 ? znak2 + 3 : 0; }

ShelfSigns shelfSignsOf(const DrawInput& in) {
  return in.Znaki2.empty() ? ShelfSigns::single(in.Znak2) : in.Znaki2;
}

DrawInput takeDrawInput(const FieldTexts& texts, Side side, bool arrowLeft,
                        const MainWeld& state) {
  DrawInput in;
  for (std::size_t i = 0; i < texts.size(); ++i) in.texts[i] = std::string(trimText(texts[i]));
  in.side = side;
  in.arrowLeft = arrowLeft;
  in.Znak1 = state.Znak1;
  in.Znak2 = state.Znak2;
  in.Znaki2 = state.Znaki2;
  in.WeldData = state.WeldData;
  in.LayerName = state.LayerName;
  in.NumberType = state.NumberType;
  in.Application = state.Application;
  return in;
}

}  // namespace kelvo
