// Wine's windef.h defines the keyword inline as a macro under _MSC_VER,
// which Microsoft's standard library refuses (xkeycheck.h); C++ has the
// keyword itself.
#pragma once

#include_next <windef.h>
#undef inline
