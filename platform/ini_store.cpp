#include "platform/ini_store.h"

#include "platform/file_io.h"
#include "platform/ini_text.h"

#include <cstdint>
#include <limits>

namespace kelvo {

IniWriteError::IniWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName) {}

bool parseIniInteger(std::string_view text, int& value) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  }
  if (text.empty()) return false;
  std::uint64_t magnitude = 0;
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (magnitude > limit) return false;
  }
  if (base == 10 && !negative && magnitude == limit) return false;
  auto bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = ~bits + 1u;
  value = static_cast<std::int32_t>(bits);
  return true;
}

int IniStore::readInteger(std::string_view section, std::string_view key,
                          int defaultValue) const {
  int value = 0;
  return parseIniInteger(readString(section, key, ""), value) ? value : defaultValue;
}

void IniStore::writeInteger(std::string_view section, std::string_view key, int value) {
  writeString(section, key, std::to_string(value));
}

bool IniStore::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniStore::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  return ini::readValue(readWholeFile(fileName_).value_or(std::string()), section, key,
                        defaultValue);
}

void IniFile::writeString(std::string_view section, std::string_view key,
                          std::string_view value) {
  const std::string old = readWholeFile(fileName_).value_or(std::string());
  if (!replaceOrOverwriteFile(fileName_, ini::withValue(old, section, key, value)))
    throw IniWriteError(fileName_);
}

IniBatch::IniBatch(const IniFile& file)
    : fileName_(file.fileName()), text_(readWholeFile(fileName_).value_or(std::string())) {}

std::string IniBatch::readString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  return ini::readValue(text_, section, key, defaultValue);
}

void IniBatch::writeString(std::string_view section, std::string_view key, std::string_view value) {
  text_ = ini::withValue(text_, section, key, value);
}

std::vector<std::string> IniBatch::sections() const { return ini::sectionNames(text_); }

void IniBatch::eraseSection(std::string_view section) { text_ = ini::withoutSection(text_, section); }

void IniBatch::renameSection(std::string_view section, std::string_view newName) {
  text_ = ini::withSectionRenamed(text_, section, newName);
}

void IniBatch::commit() {
  if (!replaceOrOverwriteFile(fileName_, text_)) throw IniWriteError(fileName_);
}

}  // namespace kelvo
