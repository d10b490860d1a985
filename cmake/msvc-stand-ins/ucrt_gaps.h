// Declarations of the Universal C Runtime that Wine's headers lack and
// Microsoft's standard library names in its <c...> headers. Where the UCRT's
// own headers define a function inline over an export, so does this file;
// the rest are exports of ucrtbase.dll, declared only.
#pragma once

#include <errno.h>
#include <fenv.h>
#include <inttypes.h>
#include <math.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <wchar.h>

extern "C" {

// The scanf family over the runtime's common entry points, as the UCRT's
// stdio.h defines it (options 0: the standard's behaviour).
inline int __cdecl vfscanf(FILE* stream, const char* format, va_list args) {
  return __stdio_common_vfscanf(0, stream, format, nullptr, args);
}
inline int __cdecl vscanf(const char* format, va_list args) { return vfscanf(stdin, format, args); }
inline int __cdecl vsscanf(const char* buffer, const char* format, va_list args) {
  return __stdio_common_vsscanf(0, buffer, static_cast<size_t>(-1), format, nullptr, args);
}
inline int __cdecl vfwscanf(FILE* stream, const wchar_t* format, va_list args) {
  return __stdio_common_vfwscanf(0, stream, format, nullptr, args);
}
inline int __cdecl vwscanf(const wchar_t* format, va_list args) { return vfwscanf(stdin, format, args); }
inline int __cdecl vswscanf(const wchar_t* buffer, const wchar_t* format, va_list args) {
  return __stdio_common_vswscanf(0, buffer, static_cast<size_t>(-1), format, nullptr, args);
}
inline int __cdecl fwide(FILE*, int mode) { return mode; }
inline int __cdecl mbsinit(const mbstate_t* state) { return state == nullptr || state->_Wchar == 0; }
_ACRTIMP long double __cdecl wcstold(const wchar_t*, wchar_t**);

_ACRTIMP unsigned int __cdecl _set_abort_behavior(unsigned int, unsigned int);
_ACRTIMP errno_t __cdecl _localtime64_s(struct tm*, const __time64_t*);
inline errno_t __cdecl localtime_s(struct tm* result, const time_t* time) { return _localtime64_s(result, time); }

_ACRTIMP int __cdecl at_quick_exit(void(__cdecl*)(void));
_ACRTIMP __declspec(noreturn) void __cdecl quick_exit(int);

struct _timespec64 {
  __time64_t tv_sec;
  long tv_nsec;
};
_ACRTIMP int __cdecl _timespec64_get(struct _timespec64*, int);
struct timespec {
  time_t tv_sec;
  long tv_nsec;
};
inline int __cdecl timespec_get(struct timespec* time, int base) {
  return _timespec64_get(reinterpret_cast<struct _timespec64*>(time), base);
}
_ACRTIMP errno_t __cdecl _get_stream_buffer_pointers(FILE*, char***, char***, int**);

typedef int sig_atomic_t;

_ACRTIMP int __cdecl feraiseexcept(int);
_ACRTIMP int __cdecl feupdateenv(const fenv_t*);

_ACRTIMP double __cdecl erfc(double);
_ACRTIMP float __cdecl erfcf(float);
_ACRTIMP double __cdecl fma(double, double, double);
_ACRTIMP float __cdecl fmaf(float, float, float);
_ACRTIMP double __cdecl nan(const char*);
_ACRTIMP float __cdecl nanf(const char*);
_ACRTIMP double __cdecl nexttoward(double, long double);
_ACRTIMP float __cdecl nexttowardf(float, long double);
}

// The integer overloads of abs that the UCRT's stdlib.h gives C++.
extern "C++" {
inline long abs(long x) noexcept { return labs(x); }
inline long long abs(long long x) noexcept { return llabs(x); }
}

// crtdbg.h's report file, which its release macros ignore.
#ifndef _CRTDBG_FILE_STDERR
#define _CRTDBG_FILE_STDERR (reinterpret_cast<void*>(-5))
#endif
#ifndef _CRTDBG_MODE_FILE
#define _CRTDBG_MODE_FILE 0x1
#define _CRTDBG_MODE_DEBUG 0x2
#endif
#ifndef _CRTDBG_ALLOC_MEM_DF
#define _CRTDBG_ALLOC_MEM_DF 0x01
#define _CRTDBG_REPORT_FLAG (-1)
#endif
#ifndef _CrtSetReportFile
#define _CrtSetReportFile(type, file) (static_cast<void*>(0))
#endif

typedef float float_t;
typedef double double_t;

// long double is double under Microsoft's compiler; the UCRT defines its
// long double functions inline over the double ones.
#define ZARN_LONG_DOUBLE_1(name)                                                                  \
  extern "C" inline long double __cdecl name##l(long double x) { return name(static_cast<double>(x)); }
#define ZARN_LONG_DOUBLE_2(name)                                                                  \
  extern "C" inline long double __cdecl name##l(long double x, long double y) {                  \
    return name(static_cast<double>(x), static_cast<double>(y));                                  \
  }
ZARN_LONG_DOUBLE_1(acos) ZARN_LONG_DOUBLE_1(asin) ZARN_LONG_DOUBLE_1(atan) ZARN_LONG_DOUBLE_2(atan2)
ZARN_LONG_DOUBLE_1(ceil) ZARN_LONG_DOUBLE_1(cos) ZARN_LONG_DOUBLE_1(cosh) ZARN_LONG_DOUBLE_1(exp)
ZARN_LONG_DOUBLE_1(fabs) ZARN_LONG_DOUBLE_1(floor) ZARN_LONG_DOUBLE_2(fmod) ZARN_LONG_DOUBLE_1(log)
ZARN_LONG_DOUBLE_1(log10) ZARN_LONG_DOUBLE_2(pow) ZARN_LONG_DOUBLE_1(sin) ZARN_LONG_DOUBLE_1(sinh)
ZARN_LONG_DOUBLE_1(sqrt) ZARN_LONG_DOUBLE_1(tan) ZARN_LONG_DOUBLE_1(tanh) ZARN_LONG_DOUBLE_1(acosh)
ZARN_LONG_DOUBLE_1(asinh) ZARN_LONG_DOUBLE_1(atanh) ZARN_LONG_DOUBLE_1(cbrt) ZARN_LONG_DOUBLE_1(erf)
ZARN_LONG_DOUBLE_1(erfc) ZARN_LONG_DOUBLE_1(expm1) ZARN_LONG_DOUBLE_1(exp2) ZARN_LONG_DOUBLE_2(hypot)
ZARN_LONG_DOUBLE_1(lgamma) ZARN_LONG_DOUBLE_1(log1p) ZARN_LONG_DOUBLE_1(log2) ZARN_LONG_DOUBLE_1(logb)
ZARN_LONG_DOUBLE_1(nearbyint) ZARN_LONG_DOUBLE_1(rint) ZARN_LONG_DOUBLE_2(fdim) ZARN_LONG_DOUBLE_2(fmax)
ZARN_LONG_DOUBLE_2(fmin) ZARN_LONG_DOUBLE_1(round) ZARN_LONG_DOUBLE_1(trunc) ZARN_LONG_DOUBLE_2(remainder)
ZARN_LONG_DOUBLE_2(copysign) ZARN_LONG_DOUBLE_2(nextafter) ZARN_LONG_DOUBLE_1(tgamma)
#undef ZARN_LONG_DOUBLE_1
#undef ZARN_LONG_DOUBLE_2

extern "C" {
inline long double __cdecl frexpl(long double x, int* e) { return frexp(static_cast<double>(x), e); }
inline long double __cdecl ldexpl(long double x, int e) { return ldexp(static_cast<double>(x), e); }
inline long double __cdecl modfl(long double x, long double* i) {
  double whole = 0;
  const double fraction = modf(static_cast<double>(x), &whole);
  *i = whole;
  return fraction;
}
inline int __cdecl ilogbl(long double x) { return ilogb(static_cast<double>(x)); }
inline long long __cdecl llrintl(long double x) { return llrint(static_cast<double>(x)); }
inline long __cdecl lrintl(long double x) { return lrint(static_cast<double>(x)); }
inline long long __cdecl llroundl(long double x) { return llround(static_cast<double>(x)); }
inline long __cdecl lroundl(long double x) { return lround(static_cast<double>(x)); }
inline long double __cdecl fmal(long double x, long double y, long double z) {
  return fma(static_cast<double>(x), static_cast<double>(y), static_cast<double>(z));
}
inline long double __cdecl remquol(long double x, long double y, int* q) {
  return remquo(static_cast<double>(x), static_cast<double>(y), q);
}
inline long double __cdecl nanl(const char* tag) { return nan(tag); }
inline long double __cdecl scalbnl(long double x, int n) { return scalbn(static_cast<double>(x), n); }
inline long double __cdecl scalblnl(long double x, long n) { return scalbln(static_cast<double>(x), n); }
inline long double __cdecl nexttowardl(long double x, long double y) {
  return nexttoward(static_cast<double>(x), y);
}
}

// The classification macros of C, as the UCRT gives them to C++: overloads
// for each floating type, over the compiler's own classification.
#undef fpclassify
#undef signbit
#undef isinf
#undef isnan
#undef isnormal
#undef isfinite
#define ZARN_CLASSIFY(type)                                                                        \
  inline int fpclassify(type x) noexcept {                                                        \
    return __builtin_fpclassify(FP_NAN, FP_INFINITE, FP_NORMAL, FP_SUBNORMAL, FP_ZERO, x);       \
  }                                                                                               \
  inline bool signbit(type x) noexcept { return __builtin_signbit(x); }                          \
  inline bool isinf(type x) noexcept { return __builtin_isinf(x); }                              \
  inline bool isnan(type x) noexcept { return __builtin_isnan(x); }                              \
  inline bool isnormal(type x) noexcept { return __builtin_isnormal(x); }                        \
  inline bool isfinite(type x) noexcept { return __builtin_isfinite(x); }
extern "C++" {
ZARN_CLASSIFY(float) ZARN_CLASSIFY(double) ZARN_CLASSIFY(long double)
}
#undef ZARN_CLASSIFY

// The comparison macros of C, as the UCRT gives them to C++: templates.
template <class X, class Y> inline bool isgreater(X x, Y y) noexcept { return __builtin_isgreater(x, y); }
template <class X, class Y> inline bool isgreaterequal(X x, Y y) noexcept { return __builtin_isgreaterequal(x, y); }
template <class X, class Y> inline bool isless(X x, Y y) noexcept { return __builtin_isless(x, y); }
template <class X, class Y> inline bool islessequal(X x, Y y) noexcept { return __builtin_islessequal(x, y); }
template <class X, class Y> inline bool islessgreater(X x, Y y) noexcept { return __builtin_islessgreater(x, y); }
template <class X, class Y> inline bool isunordered(X x, Y y) noexcept { return __builtin_isunordered(x, y); }
