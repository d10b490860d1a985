// Windows' own spelling of windows.h, which the standard library's sources
// use; the file system here tells the two apart.
#pragma once

#include <windows.h>
