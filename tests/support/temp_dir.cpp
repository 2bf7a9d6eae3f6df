#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <vector>

namespace kelvo::test {

namespace {
void setEnv(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value) setenv(name.c_str(), value->c_str(), 1);
  else unsetenv(name.c_str());
#endif
}
}  // namespace

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  setEnv(name_, value);
}

ScopedEnv::~ScopedEnv() { setEnv(name_, old_); }

TempDir::TempDir() {
  namespace fs = std::filesystem;
  const char* base = std::getenv("TMPDIR");
  const fs::path root = base && *base ? fs::path(base) : fs::temp_directory_path();
  std::random_device seed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = root / ("kelvo-test-" + std::to_string(seed()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec)) {
      path_ = candidate.generic_string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary directory in " + root.string());
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may have made a directory read-only; give the owner its rights back first.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    if (it->is_directory(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string slurp(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void spit(const std::string& fileName, const std::string& contents) {
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  out << contents;
}

}  // namespace kelvo::test
