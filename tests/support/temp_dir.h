// A fresh directory per test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace kelvo::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Whole-file helpers for assertions.
std::string slurp(const std::string& fileName);
void spit(const std::string& fileName, const std::string& contents);

}  // namespace kelvo::test
