#include "localhost/regular_file.h"

#include <memory>

#include "host/cfx_result.h"
#include "host/status.h"

namespace zarnlocal {
namespace {

[[noreturn]] void RefuseSpecial(const std::string& path, const FileStatus& status) {
  throw CfxResult(E_ACCESSDENIED, "refused: " + path + " is " +
                                      (*status.kindName ? status.kindName : "not a regular file") +
                                      "; only regular files and folders are copied, staged, served or read");
}

[[noreturn]] void FailToRead(const std::string& path, SystemError error) {
  if (error.NotFound()) throw CfxResult(E_FILE_NOT_FOUND, "no such file: " + path);
  FailWith(error, "cannot read " + path);
}

}  // namespace

FileKind KindOf(const std::string& path) {
  FileStatus status;
  SystemError error;
  return StatusOf(path, status, error) ? status.kind : FileKind::kMissing;
}

void RequireFileOrFolder(const std::string& path) {
  FileStatus status;
  SystemError error;
  // What is missing is said by whoever needs it.
  if (StatusOf(path, status, error) && status.kind == FileKind::kSpecial) RefuseSpecial(path, status);
}

RegularFile::RegularFile(const std::string& path) : path_(path) {
  FileStatus status;
  SystemError error;
  if (!StatusOf(path, status, error)) FailToRead(path, error);
  if (status.kind != FileKind::kRegular) RefuseSpecial(path, status);
  file_ = OpenFile::Open(path, OpenMode::kRead, error);
  if (!file_.IsOpen()) FailToRead(path, error);
  // What was opened may have replaced what was checked.
  if (!file_.Status(status, error)) FailWith(error, "cannot read " + path);
  if (status.kind != FileKind::kRegular) RefuseSpecial(path, status);
}

std::size_t RegularFile::Read(char* buffer, std::size_t size) {
  SystemError error;
  const std::ptrdiff_t n = file_.Read(buffer, size, error);
  if (n < 0) FailWith(error, "cannot read " + path_);
  return static_cast<std::size_t>(n);
}

void ReadInBlocks(const std::string& path, const std::function<void(const char*, std::size_t)>& take) {
  RegularFile file(path);
  const auto buffer = std::make_unique<char[]>(kBlockSize);
  for (std::size_t n; (n = file.Read(buffer.get(), kBlockSize)) != 0;) take(buffer.get(), n);
}

}  // namespace zarnlocal
