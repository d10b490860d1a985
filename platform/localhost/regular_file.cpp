#include "localhost/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/errno_result.h"

namespace zarnlocal {
namespace {

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  return FileKind::kSpecial;
}

std::string NameOfMode(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

[[noreturn]] void RefuseSpecial(const std::string& path, mode_t mode) {
  throw CfxResult(E_ACCESSDENIED, "refused: " + path + " is " + NameOfMode(mode) +
                                      "; only regular files and folders are copied, staged, served or read");
}

}  // namespace

FileKind KindOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return FileKind::kMissing;
  return KindOfMode(status.st_mode);
}

void RequireFileOrFolder(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return;  // what is missing is said by whoever needs it
  if (KindOfMode(status.st_mode) == FileKind::kSpecial) RefuseSpecial(path, status.st_mode);
}

RegularFile::RegularFile(const std::string& path) : path_(path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    if (errno == ENOENT) throw CfxResult(E_FILE_NOT_FOUND, "no such file: " + path);
    FailWith(errno, "cannot read " + path);
  }
  if (!S_ISREG(status.st_mode)) RefuseSpecial(path, status.st_mode);
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    if (errno == ENOENT) throw CfxResult(E_FILE_NOT_FOUND, "no such file: " + path);
    FailWith(errno, "cannot read " + path);
  }
  // What was opened may have replaced what was checked.
  if (::fstat(fd_, &status) != 0) {
    const int error = errno;
    Close();
    FailWith(error, "cannot read " + path);
  }
  if (!S_ISREG(status.st_mode)) {
    Close();
    RefuseSpecial(path, status.st_mode);
  }
}

void RegularFile::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

RegularFile::~RegularFile() { Close(); }

std::size_t RegularFile::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) FailWith(errno, "cannot read " + path_);
  }
}

void ReadInBlocks(const std::string& path, const std::function<void(const char*, std::size_t)>& take) {
  RegularFile file(path);
  const auto buffer = std::make_unique<char[]>(kBlockSize);
  for (std::size_t n; (n = file.Read(buffer.get(), kBlockSize)) != 0;) take(buffer.get(), n);
}

}  // namespace zarnlocal
