// The POSIX side of the file-system seam (file_system.h): descriptors,
// flock(2), rename(2); paths are the bytes as they stand.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "localhost/file_system.h"

namespace zarnlocal {
namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

const char* NameOfMode(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

FileStatus StatusFrom(const struct stat& info) {
  FileStatus status;
  status.kind = S_ISREG(info.st_mode)   ? FileKind::kRegular
                : S_ISDIR(info.st_mode) ? FileKind::kFolder
                                        : FileKind::kSpecial;
  status.volume = static_cast<std::uint64_t>(info.st_dev);
  status.index = static_cast<std::uint64_t>(info.st_ino);
  status.size = static_cast<std::uint64_t>(info.st_size);
  status.linked = info.st_nlink > 0;
  if (status.kind == FileKind::kSpecial) status.kindName = NameOfMode(info.st_mode);
  return status;
}

// Runs a call again while a signal interrupts it.
template <class Call>
auto Retried(Call call) {
  for (;;) {
    const auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

}  // namespace

std::filesystem::path NativePath(std::string_view path) { return std::filesystem::path(std::string(path)); }
std::string PathText(const std::filesystem::path& path) { return path.string(); }

std::size_t RootLength(std::string_view path) { return !path.empty() && path.front() == '/' ? 1 : 0; }
std::string WithSlashes(std::string_view path) { return std::string(path); }

std::string PathLengthProblem(std::string_view path) {
  if (path.size() < PATH_MAX) return {};
  return std::to_string(path.size()) + " bytes, at most " + std::to_string(PATH_MAX - 1);
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

std::optional<std::string> EnvironmentText(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

bool SystemError::NotFound() const { return code == ENOENT || code == ENOTDIR; }
bool SystemError::Denied() const { return code == EACCES || code == EPERM || code == EROFS; }
bool SystemError::Exists() const { return code == EEXIST; }
bool SystemError::WouldBlock() const { return code == EWOULDBLOCK; }
bool SystemError::OtherDevice() const { return code == EXDEV; }
std::string SystemError::Text() const { return std::strerror(code); }
SystemError SystemError::Last() { return SystemError{errno}; }

bool StatusOf(const std::string& path, FileStatus& status, SystemError& error) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    error = SystemError::Last();
    return false;
  }
  status = StatusFrom(info);
  return true;
}

OpenFile OpenFile::Open(const std::string& path, OpenMode mode, SystemError& error) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::kRead: flags |= O_RDONLY | O_NONBLOCK; break;
    case OpenMode::kAppend: flags |= O_WRONLY | O_APPEND; break;
    case OpenMode::kReadWrite: flags |= O_RDWR | O_CREAT; break;
    case OpenMode::kCreateNew: flags |= O_RDWR | O_CREAT | O_EXCL; break;
  }
  OpenFile file;
  file.handle_ = Retried([&] { return ::open(path.c_str(), flags, 0666); });
  if (file.handle_ < 0) {
    error = SystemError::Last();
    file.handle_ = kNone;
  }
  return file;
}

void OpenFile::Close() noexcept {
  if (handle_ != kNone) ::close(Fd(handle_));
  handle_ = kNone;
}

std::ptrdiff_t OpenFile::Read(char* buffer, std::size_t size, SystemError& error) {
  const ssize_t n = Retried([&] { return ::read(Fd(handle_), buffer, size); });
  if (n < 0) error = SystemError::Last();
  return n;
}

std::ptrdiff_t OpenFile::ReadAt(char* buffer, std::size_t size, std::uint64_t offset, SystemError& error) {
  const ssize_t n = Retried([&] { return ::pread(Fd(handle_), buffer, size, static_cast<off_t>(offset)); });
  if (n < 0) error = SystemError::Last();
  return n;
}

bool OpenFile::WriteAll(const char* data, std::size_t size, SystemError& error) {
  while (size > 0) {
    const ssize_t n = Retried([&] { return ::write(Fd(handle_), data, size); });
    if (n <= 0) {
      error = n < 0 ? SystemError::Last() : SystemError{ENOSPC};
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OpenFile::Truncate(std::uint64_t size, SystemError& error) {
  if (Retried([&] { return ::ftruncate(Fd(handle_), static_cast<off_t>(size)); }) == 0) return true;
  error = SystemError::Last();
  return false;
}

bool OpenFile::Status(FileStatus& status, SystemError& error) const {
  struct stat info {};
  if (::fstat(Fd(handle_), &info) != 0) {
    error = SystemError::Last();
    return false;
  }
  status = StatusFrom(info);
  return true;
}

bool OpenFile::TryLock(SystemError& error) {
  if (Retried([&] { return ::flock(Fd(handle_), LOCK_EX | LOCK_NB); }) == 0) return true;
  error = SystemError::Last();
  return false;
}

bool OpenFile::Lock(SystemError& error) {
  if (Retried([&] { return ::flock(Fd(handle_), LOCK_EX); }) == 0) return true;
  error = SystemError::Last();
  return false;
}

void OpenFile::KeepAttributesOf(const std::string& model) {
  struct stat kept {};
  if (::stat(model.c_str(), &kept) != 0 || !S_ISREG(kept.st_mode)) return;
  if (kept.st_uid != ::geteuid() || kept.st_gid != ::getegid()) {
    // Only a privileged process may give a file away; others keep their own.
    static_cast<void>(::fchown(Fd(handle_), kept.st_uid, kept.st_gid));
  }
  static_cast<void>(::fchmod(Fd(handle_), kept.st_mode & 07777));
}

bool RenameOver(const std::string& from, const std::string& to, SystemError& error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  error = SystemError::Last();
  return false;
}

bool RemoveFile(const std::string& path, SystemError& error) {
  if (::unlink(path.c_str()) == 0) return true;
  error = SystemError::Last();
  return false;
}

bool RemoveIfUnlocked(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  bool removed = false;
  struct stat opened {};
  struct stat named {};
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
      opened.st_nlink > 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
    removed = ::unlink(path.c_str()) == 0;
  }
  ::close(fd);
  return removed;
}

}  // namespace zarnlocal
