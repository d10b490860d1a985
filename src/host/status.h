// Status codes and the 16-bit boolean of the host's component model.
//
// A status is a 32-bit signed value: negative is failure, zero is success,
// positive is success with information (1 is "success, answer false"). The
// component model's own codes come with its base types (com_types.h); the
// two below are the framework's names for the Win32 errors it reports.
#pragma once

#include "host/com_types.h"

inline constexpr HRESULT E_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002);
inline constexpr HRESULT E_READ_FAULT = static_cast<HRESULT>(0x8007001E);
