// Wine's wchar.h makes mbstate_t an int; Microsoft's standard library reads
// the fields of the C runtime's _Mbstatet. The C functions keep Wine's
// declarations, which the library only names in using-declarations.
#pragma once

#define mbstate_t __wine_int_mbstate_t
#include_next <wchar.h>
#undef mbstate_t

typedef struct _Mbstatet {
  unsigned long _Wchar;
  unsigned short _Byte, _State;
} _Mbstatet;
typedef _Mbstatet mbstate_t;
