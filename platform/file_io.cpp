#include "platform/file_io.h"

#include "platform/codepage.h"
#include "platform/file_replace.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelvo {

std::string nativePath(std::string_view fileName) { return cp1251::toUtf8(fileName); }

std::filesystem::path filePath(std::string_view fileName) {
#ifdef _WIN32
  const std::u16string wide = cp1251::toUtf16(fileName);
  return std::filesystem::path(std::wstring(wide.begin(), wide.end()));
#else
  return std::filesystem::path(nativePath(fileName));
#endif
}

// A folder opens as a stream on Linux and then fails every read, which the standard library
// raises from inside the iterator rather than reporting on the stream.
std::optional<std::string> readWholeFile(const std::string& fileName) {
  std::error_code ec;
  if (std::filesystem::is_directory(filePath(fileName), ec)) return std::nullopt;
  try {
    std::ifstream in(filePath(fileName), std::ios::binary);
    if (!in) return std::nullopt;
    std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return data;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

bool replaceFileAtomically(const std::string& fileName, std::string_view contents) {
  return detail::replaceThroughTemporary(fileName, contents) == detail::Replaced::Yes;
}

bool replaceOrOverwriteFile(const std::string& fileName, std::string_view contents) {
  switch (detail::replaceThroughTemporary(fileName, contents)) {
    case detail::Replaced::Yes: return true;
    case detail::Replaced::NoTemporaryFile: return detail::overwriteInPlace(fileName, contents);
    case detail::Replaced::Failed: return false;
  }
  return false;
}

}  // namespace kelvo
