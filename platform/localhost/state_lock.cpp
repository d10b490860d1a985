// The state lock (state_lock.h) over the file-system seam's lock: flock(2)
// on POSIX, LockFileEx on Windows. Both are dropped by the system when
// their holder dies.
#include "localhost/state_lock.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/file_system.h"
#include "localhost/location.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

void MakeFolder(const std::string& folder) {
  std::error_code error;
  fs::create_directories(NativePath(folder), error);
  if (error) {
    throw CfxResult(error == std::errc::permission_denied ? E_ACCESSDENIED : E_FAIL,
                    "cannot make the folder " + folder + ": " + error.message());
  }
}

// The locks this process holds, by lock file: the holding thread, how often
// it took the lock, and the open file that carries the lock.
struct Held {
  std::thread::id owner;
  int depth = 0;
  OpenFile file;
};
std::mutex heldMutex;
std::map<std::string, Held>& HeldLocks() {
  static auto* held = new std::map<std::string, Held>();  // outlives every static destructor
  return *held;
}

std::atomic<unsigned> temporaryCounter{0};

// Whether the open file still has the name `path`.
bool StillNamed(const OpenFile& file, const std::string& path) {
  FileStatus opened;
  FileStatus named;
  SystemError ignored;
  return file.Status(opened, ignored) && StatusOf(path, named, ignored) && opened.linked && opened.SameFile(named);
}

}  // namespace

std::chrono::milliseconds DefaultStateLockTimeout() {
  if (const auto text = EnvironmentText("ZARN_STATE_LOCK_TIMEOUT_MS")) {
    char* end = nullptr;
    const long value = std::strtol(text->c_str(), &end, 10);
    if (end != text->c_str() && *end == '\0' && value >= 0) return std::chrono::milliseconds(value);
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
  SystemError error;
  OpenFile file = OpenFile::Open(lockFile, OpenMode::kReadWrite, error);
  // A lock file that may only be read still takes a lock.
  if (!file.IsOpen() && error.Denied()) file = OpenFile::Open(lockFile, OpenMode::kRead, error);
  if (!file.IsOpen()) FailWith(error, "cannot take the state lock " + lockFile);
  const auto start = std::chrono::steady_clock::now();
  auto pause = std::chrono::milliseconds(1);
  while (!file.TryLock(error)) {
    if (!error.WouldBlock()) FailWith(error, "cannot take the state lock " + lockFile);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (waited >= timeout) {
      throw CfxResult(E_FAIL, "the state lock " + lockFile + " is held by another command; gave up after " +
                                  std::to_string(timeout.count()) + " ms (nothing was changed)");
    }
    std::this_thread::sleep_for(std::min(pause, timeout - waited));
    pause = std::min(pause * 2, std::chrono::milliseconds(4));
  }
  std::lock_guard guard(heldMutex);
  HeldLocks()[lockFile] = Held{std::this_thread::get_id(), 1, std::move(file)};
  return StateLock(lockFile);
}

StateLock::StateLock(StateLock&& other) noexcept : key_(std::move(other.key_)) { other.key_.clear(); }

StateLock::~StateLock() {
  if (key_.empty()) return;
  OpenFile file;
  {
    std::lock_guard guard(heldMutex);
    const auto found = HeldLocks().find(key_);
    if (found == HeldLocks().end()) return;
    if (--found->second.depth > 0) return;
    file = std::move(found->second.file);
    HeldLocks().erase(found);
  }
}  // closing the file drops the lock

TemporaryFile::TemporaryFile(const std::string& folder, const std::string& keepAttributesOf) {
  MakeFolder(folder);
  for (;;) {
    path_ = folder + "/" + std::to_string(ProcessId()) + "-" + std::to_string(temporaryCounter.fetch_add(1)) + ".part";
    SystemError error;
    file_ = OpenFile::Open(path_, OpenMode::kCreateNew, error);
    if (!file_.IsOpen() && error.Exists()) continue;
    if (!file_.IsOpen()) FailWith(error, "cannot make a temporary file in " + folder);
    // Waits out a sweeper that took the lock of the new file between open and
    // lock; it then removed the file, and the next name is tried.
    if (file_.Lock(error) && StillNamed(file_, path_)) break;
    file_.Close();
  }
  if (!keepAttributesOf.empty()) file_.KeepAttributesOf(keepAttributesOf);
}

TemporaryFile::~TemporaryFile() {
  if (!file_.IsOpen()) return;
  SystemError ignored;
  if (!committed_) RemoveFile(path_, ignored);
}

void TemporaryFile::Write(const char* data, std::size_t size, const std::string& what) {
  SystemError error;
  if (!file_.WriteAll(data, size, error)) FailWith(error, "cannot write " + what);
}

void TemporaryFile::Commit(const std::string& target) {
  // Renamed while still locked, so that no sweeper takes it on the way.
  SystemError error;
  if (!RenameOver(path_, target, error)) {
    if (error.OtherDevice()) {
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
  for (fs::directory_iterator it(NativePath(folder), error), end; !error && it != end; it.increment(error)) {
    if (RemoveIfUnlocked(PathText(it->path()))) ++removed;
  }
  return removed;
}

}  // namespace zarnlocal
