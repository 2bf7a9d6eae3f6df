// The data file the benchmarks read: standard "ГОСТ 1-1" with four methods, ten tabs and
// 1,000 joint records (designations A00 to J99; picture numbers 0 to 99).
#pragma once

#include "platform/codepage.h"

#include <cstdio>
#include <string>

namespace kelvo::bench {

inline std::string bigDataFileText() {
  std::string text = cp1251::fromUtf8("ГОСТ 1-1\r\nT\r\n[Способ сварки]\r\n");
  for (int m = 0; m < 4; ++m) text += "M" + std::to_string(m) + "\r\ndescription\r\n";
  text += cp1251::fromUtf8("\r\n[Тип соединения - закладки]\r\n");
  for (int t = 0; t < 10; ++t) text += "tab " + std::to_string(t) + "\r\n";
  text += "\r\n";
  for (int r = 0; r < 1000; ++r) {
    char line[32];
    std::snprintf(line, sizeof line, "#%02d %d %02d %c%02d\r\n", r % 100, (r / 100) % 10, r % 10,
                  'A' + r / 100, r % 100);
    text += line;
    text += "type\r\nedges\r\ncharacter\r\n-\r\n";
    for (int m = 0; m < 4; ++m) text += "-\r\n1,0-12,0\r\n";
  }
  return text;
}

}  // namespace kelvo::bench
