// A fresh directory per test, removed with everything in it afterwards.
#pragma once

#include <optional>
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

// An environment variable set for the life of this object and put back as it was after, also
// when the test fails (a test's socket folder, say, that a host started by it inherits).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Whole-file helpers for assertions.
std::string slurp(const std::string& fileName);
void spit(const std::string& fileName, const std::string& contents);

}  // namespace kelvo::test
