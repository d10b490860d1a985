// Stand-in for the Visual C++ runtime's base header, which Wine's C runtime
// headers do not have: the macros and types that Microsoft's standard
// library takes from it, on top of Wine's corecrt.h.
#pragma once

#include <corecrt.h>
#include <sal.h>
#include <vadefs.h>
// The C runtime's conversion state, which the C++ headers take from here.
#include <wchar.h>

#define _VCRT_COMPILER_PREPROCESSOR 1
#define _CRT_PACKING 8
#define _VCRUNTIME_DISABLE_WARNINGS
#define _VCRUNTIME_RESTORE_WARNINGS
#define _CRT_BEGIN_C_HEADER extern "C++" {} extern "C" {
#define _CRT_END_C_HEADER }
#ifndef _VCRTIMP
#define _VCRTIMP __declspec(dllimport)
#endif
#ifndef _CRTIMP
#define _CRTIMP __declspec(dllimport)
#endif
#define _CRTIMP2
#define _MRTIMP2
#define _PGLOBAL
#define _CRT_SATELLITE_CODECVT_IDS _CRTIMP2_PURE_IMPORT_UNLESS_CODECVT_ID_SATELLITE
#define _CRT_SATELLITE_CODECVT_IDS_NOIMPORT
#define _CRT_SATELLITE_1 __declspec(dllimport)
#define _CRT_SATELLITE_2 __declspec(dllimport)
#define _MSVC_CONSTEXPR
#define __CRTDECL __cdecl
#define __CLRCALL_PURE_OR_CDECL __cdecl
#define __CLRCALL_OR_CDECL __cdecl
#define __CLR_OR_THIS_CALL
#define _VCRT_NOALIAS __declspec(noalias)
#define _VCRT_RESTRICT __declspec(restrict)
#define _VCRT_ALLOCATOR __declspec(allocator)
#define _VCRT_JIT_INTRINSIC
#define _CRT_STRINGIZE_(x) #x
#define _CRT_STRINGIZE(x) _CRT_STRINGIZE_(x)
#define _CRT_WIDE_(s) L##s
#define _CRT_WIDE(s) _CRT_WIDE_(s)
#define __FILEW__ _CRT_WIDE(__FILE__)
#define _CRT_CONCATENATE_(a, b) a##b
#define _CRT_CONCATENATE(a, b) _CRT_CONCATENATE_(a, b)
#define _CRT_APPEND(a, b) a##b
#define _CRT_UNPARENTHESIZE_(...) __VA_ARGS__
#define _CRT_UNPARENTHESIZE(...) _CRT_UNPARENTHESIZE_ __VA_ARGS__
#define _CRT_DEPRECATE_TEXT(_Text) __declspec(deprecated(_Text))
#define _CRT_INSECURE_DEPRECATE(_Replacement)
#define _CRT_INSECURE_DEPRECATE_MEMORY(_Replacement)
#define _CRT_GUARDOVERFLOW
#define _CRT_HYBRIDPATCHABLE
#define _CRT_ALIGN(x) __declspec(align(x))
#define _CRT_HAS_CXX17 1
#define _HAS_NODISCARD 1
#define _NODISCARD [[nodiscard]]
#ifndef _HAS_EXCEPTIONS
#define _HAS_EXCEPTIONS 1
#endif
#ifndef _CRT_STDIO_INLINE
#define _CRT_STDIO_INLINE __inline
#endif
#define _CRT_SECURE_CPP_NOTHROW throw()
#define __STDC_WANT_SECURE_LIB__ 1
#define _CRT_SECURE_INVALID_PARAMETER(expr) _invalid_parameter_noinfo_noreturn()
#ifndef _HAS_CXX17
#define _HAS_CXX17 (_MSVC_LANG > 201402L)
#endif
#ifndef _HAS_CXX20
#define _HAS_CXX20 (_MSVC_LANG > 201703L)
#endif
#ifndef _HAS_CXX23
#define _HAS_CXX23 (_MSVC_LANG > 202002L)
#endif

// Annotations of the source-code annotation language that Wine's sal.h lacks.
#define _Analysis_assume_(expr)
#define _Check_return_opt_
#define _Field_z_
#define _Guarded_by_(lock)
#define _Inout_bytecount_(size)
#define _Pre_satisfies_(cond)

#ifndef _countof
#define _countof(a) (sizeof(a) / sizeof((a)[0]))
#endif

extern "C" {
__declspec(noreturn) _ACRTIMP void __cdecl _invalid_parameter_noinfo_noreturn(void);
extern uintptr_t __security_cookie;
void __cdecl __security_init_cookie(void);
void __cdecl __security_check_cookie(uintptr_t);
__declspec(noreturn) void __cdecl __report_gsfailure(uintptr_t);
}

// What else the C runtime's headers would give the standard library.
#include "ucrt_gaps.h"
