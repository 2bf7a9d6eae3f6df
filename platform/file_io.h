// Whole-file reads and crash-safe whole-file writes. File names, like every text of the core,
// are Windows-1251; they become the system's own form only in this module.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kelvo {

// The file's bytes, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& fileName);

// Writes `contents` to a temporary file in the same directory, flushes it to disk and renames
// it over `fileName`, so that a reader (or a crash) sees the old file or the new one, never a
// mix. The file keeps its permissions; a symbolic link keeps pointing at the replaced file.
// False when any step fails; the old file is then untouched.
bool replaceFileAtomically(const std::string& fileName, std::string_view contents);

// The same, except where the directory does not let this user create the temporary file (a
// shared install, a program folder) while the file itself may be writable: the file's own
// bytes are then rewritten in place, which a crash can leave half-written.
bool replaceOrOverwriteFile(const std::string& fileName, std::string_view contents);

// The name of a Windows-1251 file name in UTF-8, as Qt and the user read it.
std::string nativePath(std::string_view fileName);
// The same name as the system opens it (UTF-16 on Windows, UTF-8 elsewhere).
std::filesystem::path filePath(std::string_view fileName);
// fopen by a Windows-1251 name.
std::FILE* openFile(const std::string& fileName, const char* mode);

// Full path of the running executable in Windows-1251 ("" when the system cannot tell). A
// path that Windows-1251 cannot spell is returned as the system's bytes, which still name the
// same files through nativePath only when they are ASCII.
std::string executablePath();

// The local time now (the block name of a designation is taken from it).
std::tm localTimeNow();

}  // namespace kelvo
