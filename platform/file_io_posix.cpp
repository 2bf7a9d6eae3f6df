// The POSIX side of file_io: atomic replacement by rename, the executable from /proc.
#include "platform/file_io.h"

#include "platform/codepage.h"
#include "platform/file_replace.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvo {

namespace {

// Where the bytes really live: a link is followed so that the link itself survives.
std::string resolveTarget(const std::string& fileName) {
  struct stat st {};
  if (lstat(fileName.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return fileName;
  char* real = realpath(fileName.c_str(), nullptr);
  if (!real) return fileName;
  std::string target(real);
  std::free(real);
  return target;
}

mode_t modeForNewFile() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

bool writeAll(int fd, std::string_view contents) {
  while (!contents.empty()) {
    const ssize_t n = ::write(fd, contents.data(), contents.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    contents.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::FILE* openFile(const std::string& fileName, const char* mode) {
  return std::fopen(nativePath(fileName).c_str(), mode);
}

namespace detail {

Replaced replaceThroughTemporary(const std::string& fileName, std::string_view contents) {
  const std::string target = resolveTarget(nativePath(fileName));
  struct stat st {};
  const mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : modeForNewFile();
  std::string tmpl = target + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return errno == EACCES || errno == EPERM ? Replaced::NoTemporaryFile : Replaced::Failed;
  bool ok = writeAll(fd, contents) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = std::rename(name.data(), target.c_str()) == 0;
  if (!ok) ::unlink(name.data());
  return ok ? Replaced::Yes : Replaced::Failed;
}

bool overwriteInPlace(const std::string& fileName, std::string_view contents) {
  const std::string target = resolveTarget(nativePath(fileName));
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, modeForNewFile());
  if (fd < 0) return false;
  bool ok = writeAll(fd, contents) && ftruncate(fd, static_cast<off_t>(contents.size())) == 0 &&
            fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  return ok;
}

}  // namespace detail

std::string executablePath() {
  std::vector<char> buf(PATH_MAX + 1);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  const std::string native(buf.data(), static_cast<std::size_t>(n));
  try {
    return cp1251::fromUtf8(native);
  } catch (const cp1251::Unrepresentable&) {
    return native;
  }
}

std::tm localTimeNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return local;
}

}  // namespace kelvo
