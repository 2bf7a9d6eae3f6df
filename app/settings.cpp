#include "app/settings.h"

#include "platform/codepage.h"

namespace kelvo {

using namespace kelvo::literals;

namespace {

constexpr std::string_view kGeneral = "Общая"_w;
constexpr std::string_view kWelding = "Сварка"_w;
constexpr std::string_view kPicture = "Рисунок"_w;
constexpr std::string_view kHeight = "Высота"_w;
constexpr std::string_view kWidth = "Ширина"_w;
constexpr std::string_view kLeft = "Слева"_w;
constexpr std::string_view kTop = "Сверху"_w;
constexpr std::string_view kApplication = "Приложение"_w;

// Constants of the program, written for whoever opens the file; never read back.
constexpr std::string_view kAuthor = "Kelvo, группа разработки"_w;
constexpr std::string_view kEmail = "kelvo@users.noreply.example";

std::uint8_t low8(int v) { return static_cast<std::uint8_t>(static_cast<unsigned>(v) & 0xFFu); }

}  // namespace

MainSettings readMainSettings(const IniStore& ini) {
  MainSettings s;
  s.height = ini.readInteger(kGeneral, kHeight, s.height);
  s.width = ini.readInteger(kGeneral, kWidth, s.width);
  // Both, or neither: half a position is no place to put a window.
  if (ini.readString(kGeneral, kLeft, "\n") != "\n" && ini.readString(kGeneral, kTop, "\n") != "\n")
    s.left = ini.readInteger(kGeneral, kLeft, 0), s.top = ini.readInteger(kGeneral, kTop, 0);
  s.hints = ini.readBool(kGeneral, "Подсказка"_w, s.hints);
  s.LayerName = ini.readString(kGeneral, "ИмяСлоя"_w, s.LayerName);
  s.NumberType = ini.readString(kGeneral, "ТипНомера"_w, s.NumberType);
  s.Application = ini.readString(kGeneral, kApplication, s.Application);
  for (int n = 1; n <= kFieldCount; ++n)
    fieldText(s.texts, n) = ini.readString(kWelding, fieldDef(n).key, "");
  s.Znak1 = low8(ini.readInteger(kWelding, "Знак1"_w, 0));
  s.Znak2 = low8(ini.readInteger(kWelding, "Знак2"_w, 0));
  s.Znaki2 = ShelfSigns::parse(ini.readString(kWelding, "Знаки2"_w, ""));
  if (!s.Znaki2.empty()) s.Znak2 = s.Znaki2.first();
  s.RisNum = low8(ini.readInteger(kPicture, "Номер"_w, kNoPicture));
  return s;
}

void writeMainSettings(IniStore& ini, const MainSettings& s) {
  ini.writeString(kGeneral, "Автор"_w, kAuthor);
  ini.writeString(kGeneral, "E-Mail", kEmail);
  ini.writeInteger(kGeneral, kHeight, s.height);
  ini.writeInteger(kGeneral, kWidth, s.width);
  if (s.left && s.top) ini.writeInteger(kGeneral, kLeft, *s.left), ini.writeInteger(kGeneral, kTop, *s.top);
  ini.writeBool(kGeneral, "Подсказка"_w, s.hints);
  ini.writeString(kGeneral, "ИмяСлоя"_w, s.LayerName);
  ini.writeString(kGeneral, "ТипНомера"_w, s.NumberType);
  ini.writeString(kGeneral, kApplication, s.Application);
  for (int n = 1; n <= kFieldCount; ++n)
    ini.writeString(kWelding, fieldDef(n).key, fieldText(s.texts, n));
  ini.writeInteger(kWelding, "Знак1"_w, s.Znak1);
  ini.writeInteger(kWelding, "Знак2"_w, s.Znak2);
  // Written only when a set of several signs needs it, so that the files of everyone else stay
  // as they were; once in the file it is kept up to date, or it would outlive the user's change.
  const bool inFile = ini.readString(kWelding, "Знаки2"_w, "\n") != "\n";
  if (s.Znaki2.codes().size() > 1 || inFile) ini.writeString(kWelding, "Знаки2"_w, s.Znaki2.text());
  ini.writeInteger(kPicture, "Номер"_w, s.RisNum);
}

std::string_view pickerSection(Picker p) {
  switch (p) {
    case Picker::Gost: return "ГОСТ"_w;
    case Picker::Tip: return "Тип"_w;
    case Picker::Spos: return "Способ"_w;
    case Picker::Lib: return "Избранное"_w;
  }
  return {};
}

WindowSize defaultPickerSize(Picker p) {
  switch (p) {
    case Picker::Gost: return {500, 725};
    case Picker::Tip: return {350, 645};
    case Picker::Spos: return {390, 760};
    case Picker::Lib: return {420, 800};
  }
  return {};
}

WindowSize readPickerSize(const IniStore& ini, Picker p) {
  const WindowSize d = defaultPickerSize(p);
  return {ini.readInteger(pickerSection(p), kHeight, d.height),
          ini.readInteger(pickerSection(p), kWidth, d.width)};
}

void writePickerSize(IniStore& ini, Picker p, WindowSize size) {
  ini.writeInteger(pickerSection(p), kHeight, size.height);
  ini.writeInteger(pickerSection(p), kWidth, size.width);
}

}  // namespace kelvo
