// ZARN_EXPORT marks the library's exported functions; everything else stays
// inside the shared library. On Linux it is built with hidden visibility and
// a linker version script that lets only these names out; on Windows a DLL
// that marks some functions for export exports only those.
//
// The library's own code is built with ZARN_BUILDING_LIBRARY; an application
// imports the functions from the DLL.
#pragma once

#if defined(_WIN32) && defined(ZARN_BUILDING_LIBRARY)
#define ZARN_EXPORT __declspec(dllexport)
#elif defined(_WIN32)
#define ZARN_EXPORT __declspec(dllimport)
#else
#define ZARN_EXPORT __attribute__((visibility("default")))
#endif
