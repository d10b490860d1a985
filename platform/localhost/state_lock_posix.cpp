// The POSIX side of the state-lock seam (state_lock.h): flock(2) on a lock
// file, and temporaries that hold flock while they are written.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/errno_result.h"
#include "localhost/location.h"
#include "localhost/state_lock.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

void MakeFolder(const std::string& folder) {
  std::error_code error;
  fs::create_directories(fs::path(folder), error);
  if (error) {
    throw CfxResult(error == std::errc::permission_denied ? E_ACCESSDENIED : E_FAIL,
                    "cannot make the folder " + folder + ": " + error.message());
  }
}

// The locks this process holds, by lock file: the holding thread, how often
// it took the lock, and the descriptor that carries the flock.
struct Held {
  std::thread::id owner;
  int depth = 0;
  int fd = -1;
};
std::mutex heldMutex;
std::map<std::string, Held>& HeldLocks() {
  static auto* held = new std::map<std::string, Held>();  // outlives every static destructor
  return *held;
}

std::atomic<unsigned> temporaryCounter{0};

bool SameFile(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  if (::fstat(fd, &opened) != 0 || ::lstat(path.c_str(), &named) != 0) return false;
  return opened.st_nlink > 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

std::chrono::milliseconds DefaultStateLockTimeout() {
  if (const char* text = std::getenv("ZARN_STATE_LOCK_TIMEOUT_MS")) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && value >= 0) return std::chrono::milliseconds(value);
  }
  return std::chrono::milliseconds(5000);
}

StateLock StateLock::Take(const std::string& lockFile) { return Take(lockFile, DefaultStateLockTimeout()); }

StateLock StateLock::Take(const std::string& lockFile, std::chrono::milliseconds timeout) {
  {
    std::lock_guard guard(heldMutex);
    const auto found = HeldLocks().find(lockFile);
    if (found != HeldLocks().end() && found->second.owner == std::this_thread::get_id()) {
      ++found->second.depth;
      return StateLock(lockFile);
    }
  }
  MakeFolder(ParentOf(lockFile));
  int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    // A lock file that may only be read still takes a lock.
    const int error = errno;
    if (error == EACCES || error == EROFS) fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) FailWith(error, "cannot take the state lock " + lockFile);
  }
  const auto start = std::chrono::steady_clock::now();
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    const int error = errno;
    if (error == EINTR) continue;
    if (error != EWOULDBLOCK) {
      ::close(fd);
      FailWith(error, "cannot take the state lock " + lockFile);
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (waited >= timeout) {
      ::close(fd);
      throw CfxResult(E_FAIL, "the state lock " + lockFile + " is held by another command; gave up after " +
                                  std::to_string(timeout.count()) + " ms (nothing was changed)");
    }
    std::this_thread::sleep_for(std::min(pause, timeout - waited));
    pause = std::min(pause * 2, std::chrono::milliseconds(4));
  }
  std::lock_guard guard(heldMutex);
  HeldLocks()[lockFile] = Held{std::this_thread::get_id(), 1, fd};
  return StateLock(lockFile);
}

StateLock::StateLock(StateLock&& other) noexcept : key_(std::move(other.key_)) { other.key_.clear(); }

StateLock::~StateLock() {
  if (key_.empty()) return;
  int fd = -1;
  {
    std::lock_guard guard(heldMutex);
    const auto found = HeldLocks().find(key_);
    if (found == HeldLocks().end()) return;
    if (--found->second.depth > 0) return;
    fd = found->second.fd;
    HeldLocks().erase(found);
  }
  ::close(fd);  // drops the flock
}

TemporaryFile::TemporaryFile(const std::string& folder, const std::string& keepAttributesOf) {
  MakeFolder(folder);
  for (;;) {
    path_ = folder + "/" + std::to_string(::getpid()) + "-" + std::to_string(temporaryCounter.fetch_add(1)) + ".part";
    handle_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle_ < 0 && errno == EEXIST) continue;
    if (handle_ < 0) FailWith(errno, "cannot make a temporary file in " + folder);
    // Waits out a sweeper that took the lock of the new file between open and
    // flock; it then removed the file, and the next name is tried.
    while (::flock(static_cast<int>(handle_), LOCK_EX) != 0 && errno == EINTR) {
    }
    if (SameFile(static_cast<int>(handle_), path_)) break;
    ::close(static_cast<int>(handle_));
    handle_ = -1;
  }
  struct stat kept {};
  if (!keepAttributesOf.empty() && ::stat(keepAttributesOf.c_str(), &kept) == 0 && S_ISREG(kept.st_mode)) {
    if (kept.st_uid != ::geteuid() || kept.st_gid != ::getegid()) {
      // Only a privileged process may give a file away; others keep their own.
      static_cast<void>(::fchown(static_cast<int>(handle_), kept.st_uid, kept.st_gid));
    }
    static_cast<void>(::fchmod(static_cast<int>(handle_), kept.st_mode & 07777));
  }
}

TemporaryFile::~TemporaryFile() {
  if (handle_ < 0) return;
  if (!committed_) ::unlink(path_.c_str());
  ::close(static_cast<int>(handle_));
}

void TemporaryFile::Write(const char* data, std::size_t size, const std::string& what) {
  while (size > 0) {
    const ssize_t n = ::write(static_cast<int>(handle_), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) FailWith(errno, "cannot write " + what);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
}

void TemporaryFile::Commit(const std::string& target) {
  // Renamed while still locked, so that no sweeper takes it on the way.
  if (::rename(path_.c_str(), target.c_str()) != 0) {
    const int error = errno;
    if (error == EXDEV) {
      throw CfxResult(E_FAIL, "cannot write " + target + ": the host's temporary folder " + ParentOf(path_) +
                                  " is on another file system");
    }
    FailWith(error, "cannot write " + target);
  }
  committed_ = true;
}

std::size_t SweepTemporaries(const std::string& folder) {
  std::size_t removed = 0;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string path = it->path().string();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path) && ::unlink(path.c_str()) == 0) ++removed;
    ::close(fd);
  }
  return removed;
}

}  // namespace zarnlocal
