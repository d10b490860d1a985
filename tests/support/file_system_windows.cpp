// File attributes and locks on Windows: the read-only and hidden attributes,
// LockFileEx, the process's I/O counters. Windows has no POSIX owners, mode
// bits or special files: those tests skip here.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "support/file_system.h"
#include "support/utf8_path.h"

namespace zarntest {
namespace {

std::wstring WidePath(const std::string& utf8) { return FsPath(utf8).make_preferred().wstring(); }

void Check(bool done, const std::string& what) {
  if (!done) throw std::runtime_error(what + " (error " + std::to_string(::GetLastError()) + ")");
}

[[noreturn]] void NotHere(const char* what) {
  throw std::logic_error(std::string(what) + " is not possible on Windows");
}

}  // namespace

std::string GiveUnusualAttributes(const std::string& file, int variant) {
  const DWORD attributes = variant == 0 ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  Check(::SetFileAttributesW(WidePath(file).c_str(), attributes), "cannot set the attributes of " + file);
  return AttributesOf(file);
}

std::string AttributesOf(const std::string& file) {
  const DWORD attributes = ::GetFileAttributesW(WidePath(file).c_str());
  Check(attributes != INVALID_FILE_ATTRIBUTES, "cannot look at " + file);
  std::string text = "attributes";
  if (attributes & FILE_ATTRIBUTE_READONLY) text += " read-only";
  if (attributes & FILE_ATTRIBUTE_HIDDEN) text += " hidden";
  return text;
}

std::optional<std::string> OwnersUnsupported() {
  return "Windows files have no POSIX owner and group; giving a file to another owner takes an administrator's "
         "privilege";
}

std::string GiveToAnotherOwner(const std::string&) { NotHere("giving a file to another owner"); }

std::string OwnerOf(const std::string&) { NotHere("reading a POSIX owner"); }

std::optional<std::string> UnreadableFoldersUnsupported() {
  return "Windows has no mode bits that keep a folder's owner from listing it";
}

void SetFolderReadable(const std::string&, bool) { NotHere("making a folder unreadable by its mode"); }

LockFileHolder::LockFileHolder(const std::string& file) {
  const HANDLE handle = ::CreateFileW(WidePath(file).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  Check(handle != INVALID_HANDLE_VALUE, "cannot open " + file);
  // Every byte a lock could cover, so that any range the host locks overlaps it.
  OVERLAPPED from{};
  if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &from)) {
    ::CloseHandle(handle);
    Check(false, "cannot lock " + file);
  }
  handle_ = reinterpret_cast<std::intptr_t>(handle);
}

LockFileHolder::~LockFileHolder() { ::CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

std::optional<std::string> SpecialFilesUnsupported() {
  return "Windows has no FIFOs or device files in the file system";
}

void MakeFifo(const std::string&) { NotHere("a FIFO in the file system"); }

std::string DeviceFile() { NotHere("a device file"); }

std::optional<std::string> TooLongPathsUnsupported() {
  return "the test builds a path past PATH_MAX folder by folder with openat; Windows limits paths otherwise "
         "(MAX_PATH, unless a program opts in to long paths)";
}

std::size_t PathLimit() { return MAX_PATH; }

std::string MakeTooDeep(const std::string&) { NotHere("a path past PATH_MAX"); }

void RemoveTooDeep(const std::string&) { NotHere("a path past PATH_MAX"); }

std::size_t BytesWrittenByThisProcess() {
  IO_COUNTERS counters{};
  Check(::GetProcessIoCounters(::GetCurrentProcess(), &counters), "cannot read this process's I/O counters");
  return static_cast<std::size_t>(counters.WriteTransferCount);
}

std::optional<std::string> BytesWrittenUnsupported() {
  // Windows counts them; Wine answers GetProcessIoCounters with zeros. One
  // write to the null device tells which.
  static const std::optional<std::string> why = []() -> std::optional<std::string> {
    const std::size_t before = BytesWrittenByThisProcess();
    const HANDLE null = ::CreateFileW(L"NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(null, "count", 5, &written, nullptr);
    ::CloseHandle(null);
    if (BytesWrittenByThisProcess() > before) return std::nullopt;
    return "this system does not count the bytes a process writes (GetProcessIoCounters stays at zero)";
  }();
  return why;
}

bool FileNameAllowed(std::string_view name) {
  if (name.empty() || name.back() == ' ' || name.back() == '.') return false;
  if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), nullptr, 0) ==
      0) {
    return false;
  }
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
  });
}

std::string FolderReadAsFileReason() {
  wchar_t* text = nullptr;
  const DWORD size =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, ERROR_DIRECTORY, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason(text ? text : L"", size);
  ::LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L'.'))
    reason.pop_back();
  return Utf8Path(std::filesystem::path(reason));
}

}  // namespace zarntest
