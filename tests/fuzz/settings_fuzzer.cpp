// libFuzzer target over the INI text rules and the settings loader: a whole settings file read
// into the designation and options; and a key written into it must read back as written.
#include "app/settings.h"
#include "platform/ini_store.h"
#include "platform/ini_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

class TextIni final : public kelvo::IniStore {
 public:
  explicit TextIni(std::string text) : text_(std::move(text)) {}
  std::string readString(std::string_view s, std::string_view k, std::string_view d) const override {
    return kelvo::ini::readValue(text_, s, k, d);
  }
  void writeString(std::string_view s, std::string_view k, std::string_view v) override {
    text_ = kelvo::ini::withValue(text_, s, k, v);
  }

 private:
  std::string text_;
};

// Names and values the writer is meant for: no line breaks, brackets, '=' or surrounding blanks.
bool plain(std::string_view s) {
  if (s.empty() || s.front() == ' ' || s.back() == ' ' || s.front() == '"' || s.front() == '\'') return false;
  for (const char c : s)
    if (c == '\r' || c == '\n' || c == '[' || c == ']' || c == '=' || c == '\t' || c == ';' || c == '\0') return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelvo;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TextIni ini{std::string(bytes)};
  const MainSettings s = readMainSettings(ini);
  writeMainSettings(ini, s);
  // The last 12 bytes, if there are so many, make a section, a key and a value to set.
  if (size >= 12) {
    const std::string_view tail = bytes.substr(size - 12);
    const std::string_view section = tail.substr(0, 4), key = tail.substr(4, 4), value = tail.substr(8, 4);
    if (plain(section) && plain(key) && plain(value)) {
      const std::string text = ini::withValue(bytes.substr(0, size - 12), section, key, value);
      if (ini::readValue(text, section, key, "\x01") != value) std::abort();
    }
  }
  return 0;
}
