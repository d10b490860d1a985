// StateLock: the one seam through which the local host serialises every
// read-modify-write of its state files between processes and threads.
//
// A lock is an operating-system lock on a lock file (never removed, never
// written): the kernel releases it when its holder dies, so a crash never
// leaves a stale lock behind. A lock is held for one change of state files
// only: read, change, write (atomically), release. Readers do not take it;
// atomic writes give them whole files.
//
//   {
//     const StateLock held = StateLock::Take(stateFolder + "/state.lock");
//     ... read the file, change it, write it whole ...
//   }  // released
//
// This header says nothing of the platform: the lock is the file-system
// seam's (file_system.h), flock(2) on POSIX and LockFileEx on Windows.
//
// Temporaries carry the same kind of lock: TemporaryFile makes a file in a
// folder of the host's own and keeps it locked while it is written, so that
// a later process can tell a dead writer's leftover (nobody holds its lock)
// from one being written now, and SweepTemporaries removes the leftovers.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "localhost/file_system.h"

namespace zarnlocal {

class StateLock {
 public:
  // Takes the lock of `lockFile` (made, with its folders, when missing),
  // waiting up to `timeout`. Throws CfxResult when it cannot be had in time
  // ("another command has held ... for N ms") or the file cannot be opened.
  // The same thread taking a lock it already holds nests.
  static StateLock Take(const std::string& lockFile);
  static StateLock Take(const std::string& lockFile, std::chrono::milliseconds timeout);

  StateLock(StateLock&& other) noexcept;
  StateLock& operator=(StateLock&&) = delete;
  StateLock(const StateLock&) = delete;
  ~StateLock();

 private:
  explicit StateLock(std::string key) : key_(std::move(key)) {}
  std::string key_;  // empty once moved from
};

// How long Take waits by default: 5 seconds, or ZARN_STATE_LOCK_TIMEOUT_MS
// (milliseconds) from the environment.
std::chrono::milliseconds DefaultStateLockTimeout();

// A new file in `folder` (made when missing) under a name of its own,
// created exclusively and locked for as long as the object lives, with the
// mode (and, where the process may set it, the owner) of `keepAttributesOf`
// when that file exists. Commit() renames it over its target; without
// Commit the file goes with the object. A writer killed meanwhile leaves it
// unlocked, and SweepTemporaries removes it.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& folder, const std::string& keepAttributesOf);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile();

  const std::string& Path() const { return path_; }
  // Appends bytes. Throws CfxResult naming `what` (the file being written).
  void Write(const char* data, std::size_t size, const std::string& what);
  // Renames the file over `target`. Throws CfxResult.
  void Commit(const std::string& target);

 private:
  std::string path_;
  OpenFile file_;  // locked while it is open
  bool committed_ = false;
};

// Removes every file in `folder` that no live process holds locked: the
// temporaries of writers that died. Files being written are left alone.
// Gives how many went; a missing folder has none.
std::size_t SweepTemporaries(const std::string& folder);

}  // namespace zarnlocal
