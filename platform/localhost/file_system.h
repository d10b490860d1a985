// The one seam between the local host and the operating system's files.
//
// The host's paths are UTF-8 text with '/' separators everywhere. The
// operating system sees them only through this header: POSIX takes the
// bytes as they are (file_system_posix.cpp); Windows takes wide text from
// the wide calls, never the ANSI code page (file_system_windows.cpp).
//
// Absolute paths: "/a/b" on POSIX; "C:/a/b" and "//server/share/a" on
// Windows, where '\' is a separator too and is read as '/'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zarnlocal {

// ---- Paths -------------------------------------------------------------------

// The operating system's path of a UTF-8 path text, and back ('/' separators).
std::filesystem::path NativePath(std::string_view path);
std::string PathText(const std::filesystem::path& path);

// How many leading characters of a path (already '/'-separated) name its
// root: "/" on POSIX; "C:/" or "//server/share/" on Windows. 0 for a
// relative path. A root always ends in '/'.
std::size_t RootLength(std::string_view path);
// The path with the platform's other separators turned into '/'.
std::string WithSlashes(std::string_view path);
// Why the platform cannot open a path this long ("N bytes, at most M"), or
// "" when it can.
std::string PathLengthProblem(std::string_view path);

// ---- Processes -----------------------------------------------------------------

unsigned long ProcessId();
// A variable of the process's environment, as UTF-8; nothing when unset.
std::optional<std::string> EnvironmentText(const char* name);

// ---- Errors --------------------------------------------------------------------

// A failed call's error: errno on POSIX, GetLastError() on Windows.
struct SystemError {
  int code = 0;

  bool NotFound() const;     // no such file or folder
  bool Denied() const;       // no permission, a read-only file or file system
  bool Exists() const;       // a file made exclusively is there already
  bool WouldBlock() const;   // a lock another holder has
  bool OtherDevice() const;  // a rename across file systems
  std::string Text() const;  // the system's reason, UTF-8
  static SystemError Last();
};

// Throws CfxResult: E_FILE_NOT_FOUND, E_ACCESSDENIED or E_FAIL, with
// "WHAT: REASON".
[[noreturn]] void FailWith(SystemError error, const std::string& what);

// ---- Files ---------------------------------------------------------------------

enum class FileKind { kMissing, kRegular, kFolder, kSpecial };

// Which file a name or a handle stands for, and its size.
struct FileStatus {
  FileKind kind = FileKind::kMissing;
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  std::uint64_t size = 0;
  bool linked = true;         // false once the file has no name left (removed, or being removed)
  const char* kindName = "";  // for kSpecial: "a FIFO", "a character device", ...

  bool SameFile(const FileStatus& other) const { return volume == other.volume && index == other.index; }
};

// The status of what a path names, links followed. False with `error` when
// it cannot be had (a missing file among them).
bool StatusOf(const std::string& path, FileStatus& status, SystemError& error);

enum class OpenMode {
  kRead,       // reading; others may read, write, rename and remove it meanwhile; never blocks on a FIFO
  kAppend,     // writing at the end
  kReadWrite,  // reading and writing, made when missing (lock files)
  kCreateNew,  // reading and writing a new file; fails with Exists() when there is one
};

// An open file; closed with the object.
class OpenFile {
 public:
  OpenFile() = default;
  OpenFile(OpenFile&& other) noexcept;
  OpenFile& operator=(OpenFile&& other) noexcept;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile();

  // Nothing open (and `error` set) when the file cannot be opened.
  static OpenFile Open(const std::string& path, OpenMode mode, SystemError& error);

  bool IsOpen() const { return handle_ != kNone; }
  void Close() noexcept;

  // Up to `size` bytes from where the last read ended, or from `offset`;
  // 0 at the end, -1 on failure.
  std::ptrdiff_t Read(char* buffer, std::size_t size, SystemError& error);
  std::ptrdiff_t ReadAt(char* buffer, std::size_t size, std::uint64_t offset, SystemError& error);
  // Every byte, or false.
  bool WriteAll(const char* data, std::size_t size, SystemError& error);
  bool Truncate(std::uint64_t size, SystemError& error);
  bool Status(FileStatus& status, SystemError& error) const;

  // The host's cross-process lock on this file (flock(2); LockFileEx on a
  // range past any content, so that reading and writing are never blocked by
  // it). Dropped when the file is closed or its process dies. TryLock gives
  // false with WouldBlock() when another holder has it.
  bool TryLock(SystemError& error);
  bool Lock(SystemError& error);

  // Gives the file the attributes of `model` where the process may: the
  // mode (and owner) on POSIX; read-only and hidden on Windows.
  void KeepAttributesOf(const std::string& model);

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a descriptor, or a HANDLE
  bool append_ = false;           // writes go to the end
};

// Renames `from` over `to` in one step: readers see the old file or the new.
bool RenameOver(const std::string& from, const std::string& to, SystemError& error);
// Removes a file; false when it cannot.
bool RemoveFile(const std::string& path, SystemError& error);
// Removes the file if nobody holds its lock (OpenFile::TryLock), and it is
// still the file the name gives when the lock is had. Links are not followed.
bool RemoveIfUnlocked(const std::string& path);

}  // namespace zarnlocal
