#include "app/settings.h"
#include "platform/codepage.h"
#include "platform/ini_text.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <map>

namespace kelvo {
namespace {

using test::slurp;
using test::spit;
using test::TempDir;

std::string w(const char* utf8) { return cp1251::fromUtf8(utf8); }

// An INI store in memory that records the order of writes and can refuse one.
class RecordingStore final : public IniStore {
 public:
  std::string text;
  std::vector<std::string> writes;
  int failAt = -1;

  std::string readString(std::string_view s, std::string_view k,
                         std::string_view d) const override {
    return ini::readValue(text, s, k, d);
  }
  void writeString(std::string_view s, std::string_view k, std::string_view v) override {
    if (static_cast<int>(writes.size()) == failAt) throw IniWriteError("/x/kelvo.ini");
    writes.push_back(std::string(s) + "/" + std::string(k));
    text = ini::withValue(text, s, k, v);
  }
};

TEST(Settings, FirstRunWritesEveryKeyWithItsDefault) {
  TempDir dir;
  IniFile ini(dir.file("kelvo.ini"));
  const MainSettings s = readMainSettings(ini);
  EXPECT_EQ(s.height, 300);
  EXPECT_EQ(s.width, 725);
  EXPECT_TRUE(s.hints);
  writeMainSettings(ini, s);
  const std::string file = cp1251::toUtf8(slurp(ini.fileName()));
  EXPECT_EQ(file,
            "[Общая]\r\n"
            "Автор=Kelvo, группа разработки\r\n"
            "E-Mail=kelvo@users.noreply.example\r\n"
            "Высота=300\r\nШирина=725\r\nПодсказка=1\r\nИмяСлоя=1\r\nТипНомера=N%%d\r\n"
            "Приложение=AutoCAD.Application;BricscadApp.AcadApplication;ZWCAD.Application;"
            "GStarCAD.Application.27;GStarCAD.Application.26;nanoCADx64.Application;nanoCAD.Application\r\n"
            "[Сварка]\r\n"
            "Поле1=\r\nПоле2=\r\nПоле3=\r\nПоле4=\r\nПоле5=\r\nПоле6=\r\nПоле7=\r\nПоле8=\r\n"
            "Знак1=0\r\nЗнак2=0\r\n"
            "[Рисунок]\r\nНомер=255\r\n");
}

TEST(Settings, RoundTripOfEveryValue) {
  TempDir dir;
  IniFile ini(dir.file("kelvo.ini"));
  MainSettings s;
  s.height = 420;
  s.width = 900;
  s.hints = false;
  s.LayerName = w("Швы");
  s.NumberType = "No";
  s.texts = {"55", "22", w("ГОСТ 14771-76"), "T12", w("Ппш"), "555", "200/300", "Rz200"};
  s.Znak1 = 3;
  s.Znak2 = 2;
  s.RisNum = 17;
  s.Application = "BricscadApp.AcadApplication;AutoCAD.Application";
  s.left = -1200, s.top = 35;  // on a second screen to the left
  writeMainSettings(ini, s);
  const MainSettings r = readMainSettings(ini);
  EXPECT_EQ(r.left, -1200);
  EXPECT_EQ(r.top, 35);
  EXPECT_EQ(r.height, 420);
  EXPECT_EQ(r.width, 900);
  EXPECT_FALSE(r.hints);
  EXPECT_EQ(r.LayerName, s.LayerName);
  EXPECT_EQ(r.NumberType, "No");
  EXPECT_EQ(r.texts, s.texts);  // the leg's third character survives
  EXPECT_EQ(r.Znak1, 3);
  EXPECT_EQ(r.Znak2, 2);
  EXPECT_EQ(r.RisNum, 17);
  EXPECT_EQ(r.Application, s.Application);
}

TEST(Settings, CodesKeepTheirLow8Bits) {
  RecordingStore store;
  store.text = w("[Сварка]\nЗнак1=259\nЗнак2=$1FF\n[Рисунок]\nНомер=300\n");
  const MainSettings s = readMainSettings(store);
  EXPECT_EQ(s.Znak1, 3);
  EXPECT_EQ(s.Znak2, 255);
  EXPECT_EQ(s.RisNum, 44);
  writeMainSettings(store, s);
  EXPECT_EQ(store.readString(w("Рисунок"), w("Номер"), ""), "44");
  EXPECT_EQ(store.readString(w("Сварка"), w("Знак2"), ""), "255");
}

TEST(Settings, BadOrMissingValuesGiveDefaults) {
  RecordingStore store;
  store.text = w("[Общая]\nВысота=tall\nШирина=\nПодсказка=no\nСлева=10\n[Рисунок]\nНомер=x\n");
  const MainSettings s = readMainSettings(store);
  EXPECT_FALSE(s.left) << "half a position places nothing";
  EXPECT_EQ(s.height, 300);
  EXPECT_EQ(s.width, 725);
  EXPECT_TRUE(s.hints);
  EXPECT_EQ(s.LayerName, "1");
  EXPECT_EQ(s.NumberType, "N%%d");
  EXPECT_EQ(s.RisNum, 255);
}

TEST(Settings, SpacesAndQuotesAroundTextsAreDropped) {
  RecordingStore store;
  store.text = w("[Сварка]\nПоле1=  55  \nПоле2=\" 22 \"\n");
  const MainSettings s = readMainSettings(store);
  EXPECT_EQ(s.texts[0], "55");
  EXPECT_EQ(s.texts[1], " 22 ");
}

TEST(Settings, WriteOrderAndStopAtFirstFailure) {
  RecordingStore all;
  writeMainSettings(all, MainSettings{});
  ASSERT_EQ(all.writes.size(), 19u);
  EXPECT_EQ(all.writes.front(), w("Общая/Автор"));
  EXPECT_EQ(all.writes[6], w("Общая/ТипНомера"));
  EXPECT_EQ(all.writes[7], w("Общая/Приложение"));
  EXPECT_EQ(all.writes[8], w("Сварка/Поле1"));
  EXPECT_EQ(all.writes.back(), w("Рисунок/Номер"));

  RecordingStore failing;
  failing.failAt = 9;
  EXPECT_THROW(writeMainSettings(failing, MainSettings{}), IniWriteError);
  EXPECT_EQ(failing.writes.size(), 9u);
  EXPECT_EQ(failing.readString(w("Сварка"), w("Поле3"), "absent"), "absent");
}

TEST(Settings, PickerSizes) {
  RecordingStore store;
  const std::tuple<Picker, const char*, int, int> cases[] = {
      {Picker::Gost, "ГОСТ", 500, 725}, {Picker::Tip, "Тип", 350, 645},
      {Picker::Spos, "Способ", 390, 760}};
  for (const auto& [p, section, h, wd] : cases) {
    EXPECT_EQ(pickerSection(p), w(section));
    const WindowSize d = readPickerSize(store, p);
    EXPECT_EQ(d.height, h);
    EXPECT_EQ(d.width, wd);
    writePickerSize(store, p, {h + 1, wd + 1});
    EXPECT_EQ(readPickerSize(store, p).height, h + 1);
    EXPECT_EQ(readPickerSize(store, p).width, wd + 1);
  }
  // Each picker has its own section; the main window's keys are untouched.
  EXPECT_EQ(store.readString(w("Общая"), w("Высота"), "none"), "none");
}

}  // namespace
}  // namespace kelvo
