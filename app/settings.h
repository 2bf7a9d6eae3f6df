// The settings file's schema: what the main window reads when it is created and writes when it
// closes, and the window sizes the pickers keep. The forms apply these plain values.
#pragma once

#include "app/weld_record.h"
#include "platform/ini_store.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvo {

struct MainSettings {
  int height = 300;
  int width = 725;
  // Where the user left the window: its frame's top-left corner on the desktop. A file without
  // it (a first start) has the window centred.
  std::optional<int> left, top;
  bool hints = true;
  std::string LayerName = "1";
  std::string NumberType = "N%%d";
  std::string Application = kDefaultApplication;
  FieldTexts texts;
  std::uint8_t Znak1 = 0;
  std::uint8_t Znak2 = 0;
  ShelfSigns Znaki2;  // a file without "Знаки2" leaves it empty
  std::uint8_t RisNum = kNoPicture;
};

// Reads every key in the order the main window applies them; defaults for whatever is
// missing or unreadable. Integer codes keep their low 8 bits.
MainSettings readMainSettings(const IniStore& ini);

// Writes every key, "Автор" and "E-Mail" included, in the file's order. Stops at the first
// key that cannot be written (IniWriteError).
void writeMainSettings(IniStore& ini, const MainSettings& s);

enum class Picker { Gost, Tip, Spos, Lib };

struct WindowSize {
  int height = 0;
  int width = 0;
};

std::string_view pickerSection(Picker p);
WindowSize defaultPickerSize(Picker p);
WindowSize readPickerSize(const IniStore& ini, Picker p);
void writePickerSize(IniStore& ini, Picker p, WindowSize size);

}  // namespace kelvo
