// File attributes, owners, locks and special files on POSIX: modes, chown,
// flock, mkfifo, openat for paths past PATH_MAX, /proc/self/io.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "support/file_system.h"

namespace zarntest {
namespace {

void Check(bool done, const std::string& what) {
  if (!done) throw std::runtime_error(what + ": " + std::strerror(errno));
}

struct stat StatusOf(const std::string& file) {
  struct stat status {};
  Check(::stat(file.c_str(), &status) == 0, "cannot look at " + file);
  return status;
}

const std::string kDeepName(200, 'd');

}  // namespace

std::string GiveUnusualAttributes(const std::string& file, int variant) {
  Check(::chmod(file.c_str(), variant == 0 ? 0600 : 0640) == 0, "cannot change the mode of " + file);
  return AttributesOf(file);
}

std::string AttributesOf(const std::string& file) {
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(StatusOf(file).st_mode & 07777));
  return std::string("mode ") + mode;
}

std::optional<std::string> OwnersUnsupported() {
  if (::geteuid() == 0) return std::nullopt;
  return "only root may give a file to another owner";
}

std::string GiveToAnotherOwner(const std::string& file) {
  Check(::chown(file.c_str(), 65534, 65534) == 0, "cannot change the owner of " + file);
  return OwnerOf(file);
}

std::string OwnerOf(const std::string& file) {
  const struct stat status = StatusOf(file);
  return std::to_string(status.st_uid) + ":" + std::to_string(status.st_gid);
}

std::optional<std::string> UnreadableFoldersUnsupported() {
  if (::geteuid() != 0) return std::nullopt;
  return "root reads every folder";
}

void SetFolderReadable(const std::string& folder, bool readable) {
  Check(::chmod(folder.c_str(), readable ? 0700 : 0) == 0, "cannot change the mode of " + folder);
}

LockFileHolder::LockFileHolder(const std::string& file)
    : handle_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
  Check(handle_ >= 0, "cannot open " + file);
  if (::flock(static_cast<int>(handle_), LOCK_EX) != 0) {
    ::close(static_cast<int>(handle_));
    Check(false, "cannot lock " + file);
  }
}

LockFileHolder::~LockFileHolder() { ::close(static_cast<int>(handle_)); }

std::optional<std::string> SpecialFilesUnsupported() { return std::nullopt; }

void MakeFifo(const std::string& path) { Check(::mkfifo(path.c_str(), 0600) == 0, "cannot make the FIFO " + path); }

std::string DeviceFile() { return "/dev/null"; }

std::optional<std::string> TooLongPathsUnsupported() { return std::nullopt; }

std::size_t PathLimit() { return PATH_MAX; }

std::string MakeTooDeep(const std::string& base) {
  // Relative to an open folder each step, since the whole path is too long to name.
  int at = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
  Check(at >= 0, "cannot open " + base);
  std::string path = base;
  while (path.size() < PATH_MAX + 200) {
    Check(::mkdirat(at, kDeepName.c_str(), 0700) == 0, "cannot make a folder in " + path);
    const int next = ::openat(at, kDeepName.c_str(), O_RDONLY | O_DIRECTORY);
    ::close(at);
    at = next;
    Check(at >= 0, "cannot open a folder in " + path);
    path += "/" + kDeepName;
  }
  const bool made = ::mkdirat(at, "last", 0700) == 0;
  ::close(at);
  Check(made, "cannot make the last folder");
  return path + "/last";
}

namespace {

void RemoveTooDeepBelow(int folder) {
  const int inner = ::openat(folder, kDeepName.c_str(), O_RDONLY | O_DIRECTORY);
  if (inner < 0) return;
  RemoveTooDeepBelow(inner);
  ::unlinkat(inner, "last", AT_REMOVEDIR);
  ::close(inner);
  ::unlinkat(folder, kDeepName.c_str(), AT_REMOVEDIR);
}

}  // namespace

void RemoveTooDeep(const std::string& base) {
  const int folder = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
  if (folder < 0) return;
  RemoveTooDeepBelow(folder);
  ::close(folder);
}

std::optional<std::string> BytesWrittenUnsupported() { return std::nullopt; }

std::size_t BytesWrittenByThisProcess() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::size_t value = 0;
  while (io >> key >> value) {
    if (key == "wchar:") return value;
  }
  throw std::runtime_error("no count of bytes written in /proc/self/io");
}

bool FileNameAllowed(std::string_view name) { return !name.empty() && name.find('/') == std::string_view::npos; }

std::string FolderReadAsFileReason() { return std::strerror(EISDIR); }

}  // namespace zarntest
