// Whole-file reads and crash-safe whole-file writes.
#pragma once

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

// Full path of the running executable ("" when the system cannot tell).
std::string executablePath();

}  // namespace kelvo
