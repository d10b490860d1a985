// Visibility of the host framework's own entry points.
//
// The library is built with hidden visibility; the framework services it
// calls (strings, results, streams, container utilities) live in the host's
// shared libraries and must stay visible so that both sides bind to one
// implementation, one last-error store and one string allocator.
//
// On Windows the framework's DLLs mark nothing: a DLL that marks no export
// exports all of its functions and data, and mingw's linker binds to them
// through the import library.
#pragma once

#ifdef _WIN32
#define CFX_API
#else
#define CFX_API __attribute__((visibility("default")))
#endif
