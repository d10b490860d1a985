// What tests do to files that differs by platform: attributes a rewrite must
// keep, owners, unreadable folders, the state lock held from outside, special
// files, paths too long, bytes written. file_system_posix.cpp and
// file_system_windows.cpp implement it. Where a platform cannot do a thing,
// its ...Unsupported() gives the reason a test prints when it skips; the other
// calls of that group are then never made there (they throw).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zarntest {

// Gives `file` attributes a new file does not get, one of two sets
// (`variant` 0 or 1), and returns them as AttributesOf reads them. POSIX:
// the modes 0600 and 0640; Windows: hidden, and read-only and hidden.
std::string GiveUnusualAttributes(const std::string& file, int variant);
std::string AttributesOf(const std::string& file);

// Files given to another owner: only where the process may do it.
std::optional<std::string> OwnersUnsupported();
// Gives `file` to another user and group; returns them as OwnerOf reads them.
std::string GiveToAnotherOwner(const std::string& file);
std::string OwnerOf(const std::string& file);

// A folder this process cannot list.
std::optional<std::string> UnreadableFoldersUnsupported();
void SetFolderReadable(const std::string& folder, bool readable);

// Holds the operating-system lock of a state lock file (made when missing),
// as another command would, until destroyed.
class LockFileHolder {
 public:
  explicit LockFileHolder(const std::string& file);
  LockFileHolder(const LockFileHolder&) = delete;
  LockFileHolder& operator=(const LockFileHolder&) = delete;
  ~LockFileHolder();

 private:
  std::intptr_t handle_;
};

// FIFOs and devices in the file system.
std::optional<std::string> SpecialFilesUnsupported();
void MakeFifo(const std::string& path);
std::string DeviceFile();  // a device any process may open

// Paths longer than the system takes.
std::optional<std::string> TooLongPathsUnsupported();
std::size_t PathLimit();
// Makes folders one inside the other below `base` until their path is
// longer than the limit; gives the deepest one's path.
std::string MakeTooDeep(const std::string& base);
// Removes what MakeTooDeep made below `base`, which ordinary removal cannot reach.
void RemoveTooDeep(const std::string& base);

// The system's reason when a folder is opened or read as a file.
std::string FolderReadAsFileReason();

// Whether a file may have this name here: POSIX takes any bytes but '/';
// Windows takes UTF-8 without control characters, <>:"/\|?* or a blank or
// dot at the end.
bool FileNameAllowed(std::string_view name);

// Bytes this process has written so far, by every write call, where the
// system counts them.
std::optional<std::string> BytesWrittenUnsupported();
std::size_t BytesWrittenByThisProcess();

}  // namespace zarntest
