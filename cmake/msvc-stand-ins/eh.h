// Wine's eh.h declares terminate and its handlers with C++ names, as the old
// msvcrt.dll exports them; ucrtbase.dll exports them with C names, as the
// UCRT declares them.
#pragma once

extern "C" {
#include_next <eh.h>
}
