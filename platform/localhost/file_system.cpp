// What the file-system seam (file_system.h) does the same on every platform.
#include "localhost/file_system.h"

#include <utility>

#include "host/cfx_result.h"
#include "host/status.h"

namespace zarnlocal {

[[noreturn]] void FailWith(SystemError error, const std::string& what) {
  const HRESULT status = error.NotFound() ? E_FILE_NOT_FOUND : error.Denied() ? E_ACCESSDENIED : E_FAIL;
  throw CfxResult(status, what + ": " + error.Text());
}

OpenFile::OpenFile(OpenFile&& other) noexcept : handle_(std::exchange(other.handle_, kNone)), append_(other.append_) {}

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNone);
    append_ = other.append_;
  }
  return *this;
}

OpenFile::~OpenFile() { Close(); }

}  // namespace zarnlocal
