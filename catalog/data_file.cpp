#include "catalog/data_file.h"

#include "platform/file_io.h"

#include <cstdio>
#include <memory>

namespace kelvo::catalog {

bool checkDataFile(const std::string& fileName) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(nativePath(fileName).c_str(), "rb"),
                                                     &std::fclose);
  if (!f) return false;
  int c = 0;
  while ((c = std::fgetc(f.get())) != EOF && c != '\n') {
  }
  // A directory opens but cannot be read: ferror tells it from an empty file.
  return std::ferror(f.get()) == 0;
}

}  // namespace kelvo::catalog
