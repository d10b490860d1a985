// The status check of the utility libraries, used right after every host call.
#pragma once

#include <type_traits>

#include "host/cfx_result.h"
#include "host/status.h"

namespace AppUtils::Detail {

// Stores every non-zero status as this thread's last error and raises the
// last error on a failing one. Only a status is accepted, so that a bool or
// a count cannot be checked by mistake.
template <class Status>
void CheckStatus(Status status) {
  static_assert(std::is_same_v<Status, HRESULT>, "CheckStatus takes a host status");
  if (status == S_OK) return;
  CfxResult::SetLastError(status);
  if (FAILED(status)) throw CfxResult::LastErrorCheckNotS_OK();
}

}  // namespace AppUtils::Detail
