// Export marks of the host's own shared libraries: the framework (CFX_API,
// libcfx) and the utility library (APPUTILS_API, libapputils).
//
// The library calls framework services (strings, results, streams, container
// utilities) that live in the host's shared libraries, so that both sides
// bind to one implementation, one last-error store and one string
// allocator. Each library marks exactly what it gives out, functions and
// data alike; everything else stays inside it:
//   - on Windows a mark is dllexport while that library is built (it defines
//     CFX_BUILDING_LIBRARY or APPUTILS_BUILDING_LIBRARY) and dllimport for
//     everyone using it, so data read inline (CfxBSTR::nullBSTRData) is
//     reached through the DLL's import table;
//   - elsewhere a mark is default visibility, the libraries being built
//     with hidden visibility.
#pragma once

#if defined(_WIN32) && defined(CFX_BUILDING_LIBRARY)
#define CFX_API __declspec(dllexport)
#elif defined(_WIN32)
#define CFX_API __declspec(dllimport)
#else
#define CFX_API __attribute__((visibility("default")))
#endif

#if defined(_WIN32) && defined(APPUTILS_BUILDING_LIBRARY)
#define APPUTILS_API __declspec(dllexport)
#elif defined(_WIN32)
#define APPUTILS_API __declspec(dllimport)
#else
#define APPUTILS_API __attribute__((visibility("default")))
#endif

// The exported classes hold standard-library members (and CfxVariant derives
// from VARIANT), of which Microsoft's compiler warns that a client built
// with another standard library may see them otherwise (C4251, C4275). A
// client must be built with the same toolchain anyway, since the exports
// take std::string: the warnings say nothing here, and the headers quieten
// them around the classes.
#ifdef _MSC_VER
#define ZARN_EXPORTED_CLASSES_BEGIN __pragma(warning(push)) __pragma(warning(disable : 4251 4275))
#define ZARN_EXPORTED_CLASSES_END __pragma(warning(pop))
#else
#define ZARN_EXPORTED_CLASSES_BEGIN
#define ZARN_EXPORTED_CLASSES_END
#endif
