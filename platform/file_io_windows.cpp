// The Windows side of file_io: wide-character names, atomic replacement by MoveFileEx.
#include "platform/file_io.h"

#include "platform/codepage.h"
#include "platform/file_replace.h"

#include <atomic>
#include <string>

#include <windows.h>

#include <io.h>

namespace kelvo {

namespace {

std::wstring wide(std::string_view cp1251Name) {
  const std::u16string w = cp1251::toUtf16(cp1251Name);
  return std::wstring(w.begin(), w.end());
}

// Made with CREATE_NEW: a stale file of another writer is never reused.
std::wstring temporaryBeside(const std::wstring& target) {
  static std::atomic<unsigned> counter{0};
  return target + L"." + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(++counter) + L".tmp";
}

// Writes all of `contents` into an open file, cuts it there when asked, flushes and closes it.
bool writeAndFlush(HANDLE h, std::string_view contents, bool truncate = false) {
  bool ok = true;
  while (ok && !contents.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1u << 30));
    DWORD written = 0;
    ok = WriteFile(h, contents.data(), chunk, &written, nullptr) && written > 0;
    contents.remove_prefix(written);
  }
  if (truncate) ok = ok && SetEndOfFile(h);
  ok = ok && FlushFileBuffers(h);
  ok = CloseHandle(h) && ok;
  return ok;
}

}  // namespace

std::FILE* openFile(const std::string& fileName, const char* mode) {
  return _wfopen(wide(fileName).c_str(), wide(mode).c_str());
}

namespace detail {

Replaced replaceThroughTemporary(const std::string& fileName, std::string_view contents) {
  const std::wstring target = wide(fileName);
  const std::wstring temp = temporaryBeside(target);
  HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_ACCESS_DENIED ? Replaced::NoTemporaryFile : Replaced::Failed;
  bool ok = writeAndFlush(h, contents);
  if (ok) ok = MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileW(temp.c_str());
  return ok ? Replaced::Yes : Replaced::Failed;
}

bool overwriteInPlace(const std::string& fileName, std::string_view contents) {
  HANDLE h = CreateFileW(wide(fileName).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  return writeAndFlush(h, contents, true);
}

}  // namespace detail

std::string executablePath() {
  std::wstring buf(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  if (n == 0 || n >= buf.size()) return {};
  try {
    return cp1251::fromUtf16(std::u16string(buf.begin(), buf.begin() + n));
  } catch (const cp1251::Unrepresentable&) {
    // The ANSI code page's spelling, as the system gives it to programs without Unicode.
    std::string ansi(MAX_PATH * 4, '\0');
    const DWORD m = GetModuleFileNameA(nullptr, ansi.data(), static_cast<DWORD>(ansi.size()));
    ansi.resize(m);
    return ansi;
  }
}

std::tm localTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_s(&local, &t);
  return local;
}

}  // namespace kelvo
