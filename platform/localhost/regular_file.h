// Only regular files and folders travel: a FIFO would block the reader
// forever, a device would be read until the disk is full. The kind is
// checked before a file is opened, and again on what was opened.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "localhost/file_system.h"

namespace zarnlocal {

// What a path names, links followed.
FileKind KindOf(const std::string& path);

// Throws CfxResult E_ACCESSDENIED "refused: ..." naming the path and its
// kind unless it names a regular file or a folder (links followed).
void RequireFileOrFolder(const std::string& path);

// A regular file open for reading. Opening never blocks: a FIFO put in the
// file's place after the check is found and refused all the same.
class RegularFile {
 public:
  // Throws CfxResult: E_FILE_NOT_FOUND "no such file: PATH", E_ACCESSDENIED
  // for anything but a regular file, or the system's reason.
  explicit RegularFile(const std::string& path);
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // Up to `size` bytes into `buffer`; 0 at the end. Throws CfxResult.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  std::string path_;
  OpenFile file_;
};

// The size of the blocks files are copied and read in.
inline constexpr std::size_t kBlockSize = 65536;

// Hands the file's bytes to `take` block by block, so that memory stays the
// same whatever the file's size.
void ReadInBlocks(const std::string& path, const std::function<void(const char*, std::size_t)>& take);

}  // namespace zarnlocal
