// The Windows side of the file-system seam (file_system.h): the wide Win32
// calls only, so that a name is never narrowed to the ANSI code page.
// Every file is opened sharing reading, writing and deletion, so that a
// state file another process reads can still be replaced.
#include <windows.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "host/bstr.h"
#include "localhost/file_system.h"

namespace zarnlocal {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The byte the host's lock covers: far past any content, so that the
// mandatory range locks of Windows never block a read or a write.
constexpr DWORD kLockOffsetHigh = 0x40000000;

// The framework's lossless UTF-8 rules: a name that is not UTF-8 still
// round-trips, through lone surrogates.
std::wstring Wide(std::string_view text) { return CfxNarrowToWide(text); }
std::string Utf8(std::wstring_view wide) { return CfxWideToNarrow(wide); }

bool StatusOfHandle(HANDLE handle, FileStatus& status, SystemError& error) {
  BY_HANDLE_FILE_INFORMATION info{};
  const DWORD type = ::GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    status = FileStatus{};
    status.kind = FileKind::kSpecial;
    status.kindName = type == FILE_TYPE_PIPE ? "a pipe" : "a character device";
    return true;
  }
  if (!::GetFileInformationByHandle(handle, &info)) {
    error = SystemError::Last();
    return false;
  }
  status.kind = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? FileKind::kFolder : FileKind::kRegular;
  status.volume = info.dwVolumeSerialNumber;
  status.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  status.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  FILE_STANDARD_INFO standard{};
  status.linked =
      info.nNumberOfLinks > 0 &&
      !(::GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard) && standard.DeletePending);
  status.kindName = "";
  return true;
}

bool LockRange(HANDLE handle, DWORD flags, SystemError& error) {
  OVERLAPPED at{};
  at.OffsetHigh = kLockOffsetHigh;
  if (::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, 1, 0, &at)) return true;
  error = SystemError::Last();
  return false;
}

}  // namespace

std::filesystem::path NativePath(std::string_view path) { return std::filesystem::path(Wide(path)); }
std::string PathText(const std::filesystem::path& path) { return Utf8(path.generic_wstring()); }

std::size_t RootLength(std::string_view path) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '/') return 3;
  if (path.size() >= 2 && path[0] == '/' && path[1] == '/') {
    // //server/share/: the server and the share are the root.
    std::size_t end = path.find('/', 2);
    if (end == std::string_view::npos) return path.size();
    end = path.find('/', end + 1);
    return end == std::string_view::npos ? path.size() : end + 1;
  }
  return !path.empty() && path.front() == '/' ? 1 : 0;
}

std::string WithSlashes(std::string_view path) {
  std::string slashed(path);
  for (char& c : slashed) {
    if (c == '\\') c = '/';
  }
  return slashed;
}

std::string PathLengthProblem(std::string_view path) {
  const std::size_t length = Wide(path).size();
  if (length < MAX_PATH) return {};
  return std::to_string(length) + " characters, at most " + std::to_string(MAX_PATH - 1);
}

unsigned long ProcessId() { return ::GetCurrentProcessId(); }

std::optional<std::string> EnvironmentText(const char* name) {
  const std::wstring wideName = Wide(name);
  const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  value.resize(::GetEnvironmentVariableW(wideName.c_str(), value.data(), size));
  return Utf8(value);
}

bool SystemError::NotFound() const {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_BAD_NETPATH ||
         code == ERROR_INVALID_NAME;
}
bool SystemError::Denied() const { return code == ERROR_ACCESS_DENIED || code == ERROR_WRITE_PROTECT; }
bool SystemError::Exists() const { return code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS; }
bool SystemError::WouldBlock() const { return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING; }
bool SystemError::OtherDevice() const { return code == ERROR_NOT_SAME_DEVICE; }

std::string SystemError::Text() const {
  wchar_t* text = nullptr;
  const DWORD size =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason(text ? text : L"", size);
  ::LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L'.')) {
    reason.pop_back();
  }
  if (reason.empty()) return "system error " + std::to_string(code);
  return Utf8(reason);
}

SystemError SystemError::Last() { return SystemError{static_cast<int>(::GetLastError())}; }

bool StatusOf(const std::string& path, FileStatus& status, SystemError& error) {
  // Opened for nothing but its attributes; folders need the backup flag.
  const HANDLE handle = ::CreateFileW(NativePath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = SystemError::Last();
    return false;
  }
  const bool known = StatusOfHandle(handle, status, error);
  ::CloseHandle(handle);
  return known;
}

OpenFile OpenFile::Open(const std::string& path, OpenMode mode, SystemError& error) {
  DWORD access = GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case OpenMode::kRead: access = GENERIC_READ; break;
    case OpenMode::kAppend: access = GENERIC_WRITE; break;
    case OpenMode::kReadWrite: disposition = OPEN_ALWAYS; break;
    case OpenMode::kCreateNew: disposition = CREATE_NEW; break;
  }
  OpenFile file;
  const HANDLE handle =
      ::CreateFileW(NativePath(path).c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = SystemError::Last();
    // A folder opened as a file is refused as access denied; it is said for what it is.
    const DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
    if (error.Denied() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error.code = ERROR_DIRECTORY;
    }
    return file;
  }
  file.handle_ = reinterpret_cast<std::intptr_t>(handle);
  file.append_ = mode == OpenMode::kAppend;
  return file;
}

void OpenFile::Close() noexcept {
  if (handle_ != kNone) ::CloseHandle(Handle(handle_));
  handle_ = kNone;
}

std::ptrdiff_t OpenFile::Read(char* buffer, std::size_t size, SystemError& error) {
  DWORD read = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (::ReadFile(Handle(handle_), buffer, chunk, &read, nullptr)) return read;
  if (::GetLastError() == ERROR_BROKEN_PIPE || ::GetLastError() == ERROR_HANDLE_EOF) return 0;
  error = SystemError::Last();
  return -1;
}

std::ptrdiff_t OpenFile::ReadAt(char* buffer, std::size_t size, std::uint64_t offset, SystemError& error) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD read = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
  if (::ReadFile(Handle(handle_), buffer, chunk, &read, &at)) return read;
  if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
  error = SystemError::Last();
  return -1;
}

bool OpenFile::WriteAll(const char* data, std::size_t size, SystemError& error) {
  // Appending is a move to the end first: the lock held around every append
  // keeps another writer from coming between.
  if (append_ && !::SetFilePointerEx(Handle(handle_), LARGE_INTEGER{}, nullptr, FILE_END)) {
    error = SystemError::Last();
    return false;
  }
  while (size > 0) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::WriteFile(Handle(handle_), data, chunk, &written, nullptr)) {
      error = SystemError::Last();
      return false;
    }
    data += written;
    size -= written;
  }
  return true;
}

bool OpenFile::Truncate(std::uint64_t size, SystemError& error) {
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(size);
  if (::SetFilePointerEx(Handle(handle_), at, nullptr, FILE_BEGIN) && ::SetEndOfFile(Handle(handle_))) return true;
  error = SystemError::Last();
  return false;
}

bool OpenFile::Status(FileStatus& status, SystemError& error) const {
  return StatusOfHandle(Handle(handle_), status, error);
}

bool OpenFile::TryLock(SystemError& error) { return LockRange(Handle(handle_), LOCKFILE_FAIL_IMMEDIATELY, error); }
bool OpenFile::Lock(SystemError& error) { return LockRange(Handle(handle_), 0, error); }

void OpenFile::KeepAttributesOf(const std::string& model) {
  const DWORD kept = ::GetFileAttributesW(NativePath(model).c_str());
  if (kept == INVALID_FILE_ATTRIBUTES || (kept & FILE_ATTRIBUTE_DIRECTORY)) return;
  FILE_BASIC_INFO basic{};
  if (!::GetFileInformationByHandleEx(Handle(handle_), FileBasicInfo, &basic, sizeof basic)) return;
  basic.FileAttributes = (basic.FileAttributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) |
                         (kept & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  static_cast<void>(::SetFileInformationByHandle(Handle(handle_), FileBasicInfo, &basic, sizeof basic));
}

namespace {

// Windows 10 and later replace a file that others have open, as POSIX
// does, when asked on a handle of the new file.
bool RenameWithPosixSemantics(const std::wstring& source, const std::wstring& target) {
  constexpr DWORD kReplace = 0x1;          // FILE_RENAME_FLAG_REPLACE_IF_EXISTS
  constexpr DWORD kPosix = 0x2;            // FILE_RENAME_FLAG_POSIX_SEMANTICS
  constexpr DWORD kIgnoreReadOnly = 0x40;  // FILE_RENAME_FLAG_IGNORE_READONLY_ATTRIBUTE
  const HANDLE handle =
      ::CreateFileW(source.c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const std::size_t nameBytes = target.size() * sizeof(wchar_t);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  // The flags share their place with ReplaceIfExists, which older headers name alone.
  const DWORD flags = kReplace | kPosix | kIgnoreReadOnly;
  std::memcpy(buffer.data(), &flags, sizeof flags);
  info->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(info->FileName, target.c_str(), nameBytes);
  const bool renamed =
      ::SetFileInformationByHandle(handle, static_cast<FILE_INFO_BY_HANDLE_CLASS>(22),  // FileRenameInfoEx
                                   info, static_cast<DWORD>(buffer.size()));
  ::CloseHandle(handle);
  return renamed;
}

}  // namespace

bool RenameOver(const std::string& from, const std::string& to, SystemError& error) {
  const std::wstring source = NativePath(from).wstring();
  const std::wstring target = NativePath(to).wstring();
  if (RenameWithPosixSemantics(source, target)) return true;
  // Elsewhere (older Windows, Wine, file systems without it) MoveFileExW
  // replaces a file only while nobody has it open: readers hold it a moment
  // at most, and the rename is tried again meanwhile. A read-only file is
  // replaced as on POSIX, where only the folder's permission counts; the new
  // file carries the attribute on.
  const DWORD old = ::GetFileAttributesW(target.c_str());
  const bool readOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY);
  if (readOnly) ::SetFileAttributesW(target.c_str(), old & ~FILE_ATTRIBUTE_READONLY);
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    error = SystemError::Last();
    const bool busy = error.code == ERROR_SHARING_VIOLATION || error.code == ERROR_ACCESS_DENIED;
    if (!busy || std::chrono::steady_clock::now() - start > std::chrono::seconds(1)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (readOnly) ::SetFileAttributesW(target.c_str(), old);
  return false;
}

bool RemoveFile(const std::string& path, SystemError& error) {
  if (::DeleteFileW(NativePath(path).c_str())) return true;
  error = SystemError::Last();
  return false;
}

bool RemoveIfUnlocked(const std::string& path) {
  const HANDLE handle = ::CreateFileW(NativePath(path).c_str(), GENERIC_READ | DELETE, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  SystemError error;
  FileStatus status;
  // Its one field is named as the SDK's macro DeleteFile, which some headers
  // define before the structure: set by position, not by name.
  FILE_DISPOSITION_INFO remove{TRUE};
  // Removed when this handle closes: the name goes with it.
  const bool removed = LockRange(handle, LOCKFILE_FAIL_IMMEDIATELY, error) && StatusOfHandle(handle, status, error) &&
                       status.linked &&
                       ::SetFileInformationByHandle(handle, FileDispositionInfo, &remove, sizeof remove);
  ::CloseHandle(handle);
  return removed;
}

}  // namespace zarnlocal
