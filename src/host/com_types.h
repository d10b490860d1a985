// The component model's base types: statuses, the 16-bit boolean,
// identifiers, IUnknown, host strings, variants, task memory and class
// contexts.
//
// On Windows they are the platform's own, from the SDK; elsewhere they are
// our definitions of the same names with the same layout (com_adapter.h).
// Every other host header builds on this one and reads the same on both.
#pragma once

#ifdef _WIN32
// <windows.h>'s options (NOMINMAX, WIN32_LEAN_AND_MEAN, ...) are the
// including file's: these headers read the same under any of them.
#include <windows.h>
// windows.h comes first: the COM headers build on its types.
#include <objbase.h>
#include <oleauto.h>
#include <unknwn.h>
#else
#include "host/com_adapter.h"
#endif

// Both take the layout the interfaces fix.
#include "host/com_layout.h"
