// Per-key access to an INI file that behaves as the Windows private-profile functions do, so
// one settings file serves Kelvo on Windows and on Linux.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo {

// Raised when a value cannot be stored; the message names the full file name.
class IniWriteError : public std::runtime_error {
 public:
  explicit IniWriteError(const std::string& fileName);
};

// Names and values are Windows-1251 bytes. Nothing is cached: each call goes to the file.
class IniStore {
 public:
  virtual ~IniStore() = default;

  virtual std::string readString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const = 0;
  // Throws IniWriteError when the value cannot be stored.
  virtual void writeString(std::string_view section, std::string_view key,
                           std::string_view value) = 0;

  int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
  void writeInteger(std::string_view section, std::string_view key, int value);
  bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
  void writeBool(std::string_view section, std::string_view key, bool value);
};

// Decimal with an optional sign, or hexadecimal after "0x"/"$" (also signed); nothing else.
// Hexadecimal wraps to 32 bits as the Windows runtime reads it ("$FFFFFFFF" is -1).
bool parseIniInteger(std::string_view text, int& value);

// The longest value a read returns; longer values are cut.
inline constexpr std::size_t kIniValueLimit = 2047;

class IniFile final : public IniStore {
 public:
  explicit IniFile(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& fileName() const { return fileName_; }

  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override;
  void writeString(std::string_view section, std::string_view key,
                   std::string_view value) override;

 private:
  std::string fileName_;
};

// Writes gathered in memory and stored by one replacement of the file: a crash while storing
// leaves the whole old file or the whole new one, never some keys of each.
class IniBatch final : public IniStore {
 public:
  explicit IniBatch(const IniFile& file);

  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const override;
  void writeString(std::string_view section, std::string_view key,
                   std::string_view value) override;
  // The section names in file order, repeats included.
  std::vector<std::string> sections() const;
  // The first section of the name (header and keys) taken out, or given another name in place.
  void eraseSection(std::string_view section);
  void renameSection(std::string_view section, std::string_view newName);
  // Throws IniWriteError when the file cannot be stored.
  void commit();

 private:
  std::string fileName_;
  std::string text_;
};

}  // namespace kelvo
