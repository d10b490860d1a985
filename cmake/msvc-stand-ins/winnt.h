// Wine's winnt.h defines InterlockedCompareExchange128 inline for clang under
// the name of clang's own intrinsic, which clang refuses; Wine's copy gets a
// name of its own and the intrinsic keeps its name.
#pragma once

#define _InterlockedCompareExchange128 __wine_InterlockedCompareExchange128
#include_next <winnt.h>
#undef _InterlockedCompareExchange128
