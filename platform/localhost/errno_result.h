// A failed POSIX call as the host's result: the status its errno stands for,
// with the call's own text and the system's reason.
#pragma once

#include <cerrno>
#include <cstring>
#include <string>

#include "host/cfx_result.h"
#include "host/status.h"

namespace zarnlocal {

inline HRESULT StatusOfErrno(int error) {
  if (error == ENOENT || error == ENOTDIR) return E_FILE_NOT_FOUND;
  if (error == EACCES || error == EPERM || error == EROFS) return E_ACCESSDENIED;
  return E_FAIL;
}

[[noreturn]] inline void FailWith(int error, const std::string& what) {
  throw CfxResult(StatusOfErrno(error), what + ": " + std::strerror(error));
}

}  // namespace zarnlocal
