// The two ways each platform's file layer writes a whole file; file_io.cpp chooses between them.
#pragma once

#include <string>
#include <string_view>

namespace kelvo::detail {

enum class Replaced { Yes, NoTemporaryFile, Failed };

// A temporary file beside the target, flushed, then renamed over it. NoTemporaryFile when the
// folder does not let this user create one.
Replaced replaceThroughTemporary(const std::string& fileName, std::string_view contents);
// The file's own bytes rewritten; the old length is cut only after the new bytes are written.
bool overwriteInPlace(const std::string& fileName, std::string_view contents);

}  // namespace kelvo::detail
