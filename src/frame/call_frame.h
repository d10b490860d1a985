// The frame every export runs in: the status check after each host call,
// the null check before each call through a reference that may be empty,
// the argument check with a fixed message, and the quiet release of variant
// holders. Interface queries are CfxComPtr<I>::Query (checked: raises the
// query failure) and CfxComPtr<I>::TryQuery (unchecked: empty on failure).
//
//   RequireArgument(files, "No files to hide");
//   CfxComPtr<ISBUrlFactory> factory;
//   CheckStatus(NotNull(container)->GetUrlFactory(factory.put()));
//   auto services = CfxComPtr<ISBUrlServices>::Query(factory);
#pragma once

#include <concepts>
#include <string>

#include "host/cfx_result.h"
#include "host/com_ptr.h"
#include "host/status.h"
#include "host/variant.h"

namespace zarn {

// Stores a non-zero status as the host's last error; raises the last-error
// result when the status is negative.
void StoreStatus(HRESULT status);

// The status check. Only a host status is accepted, so a bool or an unsigned
// cannot slip in. Returns the status, so it also works inside an expression.
template <std::same_as<HRESULT> Status>
inline HRESULT CheckStatus(Status status) {
  if (status != S_OK) StoreStatus(status);
  return status;
}

// The null check: raises the null-dereference result on null, otherwise
// gives the pointer back for the call.
template <class T>
inline T* NotNull(T* pointer) {
  CheckNullDereference(pointer);
  return pointer;
}
template <class T>
inline T* NotNull(const CfxComPtr<T>& reference) {
  return NotNull(reference.get());
}

// Raises CfxResult with the code, the message and the last-description action.
[[noreturn]] void Raise(HRESULT code, const std::string& message, int lastDescriptionAction = 0);

// The argument check: a missing required argument raises E_INVALIDARG with
// the export's message before any host call.
inline void RequireArgument(const void* argument, const char* message) {
  if (!argument) Raise(E_INVALIDARG, message);
}

// The result that stands for the exception being handled; call it only
// inside a catch block. A CfxResult stays as it is; a bare status becomes its
// standard result; std::bad_alloc becomes E_OUTOFMEMORY and any other
// standard exception E_FAIL, both with the exception's text; anything else is
// reported to DiagnoseEntryToGenericCatch and becomes E_FAIL "Internal Error".
CfxResult ResultOfCurrentException();

// Clears a variant holder the library built for a host call. Whatever the
// clearing raises is turned into a result as above and dropped: the release
// never raises.
void QuietRelease(CfxVariant& holder) noexcept;

}  // namespace zarn
