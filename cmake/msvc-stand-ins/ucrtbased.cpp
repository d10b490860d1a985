// Stand-in for what the Debug C runtime (ucrtbased.dll) has beyond the
// Release one, for Wine, which has no Debug runtime: built into our
// ucrtbased.dll, whose other exports forward to Wine's ucrtbase.dll
// (scripts/msvc-kit). Each function is exported by a linker directive,
// which scripts/msvc-kit reads to leave it out of the forwarded ones.
#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

// What the Debug runtime's report and heap settings start as.
constexpr int kModeDebug = 2;   // _CRTDBG_MODE_DEBUG
constexpr int kModeWindow = 4;  // _CRTDBG_MODE_WNDW
constexpr int kAllocMemDf = 1;  // _CRTDBG_ALLOC_MEM_DF
constexpr int kQuery = -1;      // _CRTDBG_REPORT_MODE, _CRTDBG_REPORT_FLAG

int reportModes[3] = {kModeDebug, kModeWindow, kModeWindow};  // _CRT_WARN, _CRT_ERROR, _CRT_ASSERT
int debugFlags = kAllocMemDf;

}  // namespace

extern "C" {

// The Debug standard library reports a broken precondition (an index out of
// range, an invalidated iterator) here, with what was checked and where. As
// the Release runtime does, a handler the program set gets it; without one
// the report goes to stderr and the program ends as abort() ends it.
#pragma comment(linker, "/export:_invalid_parameter")
void __cdecl _invalid_parameter(const wchar_t* expression, const wchar_t* function, const wchar_t* file,
                                unsigned int line, uintptr_t reserved) {
  _invalid_parameter_handler handler = _get_thread_local_invalid_parameter_handler();
  if (handler == nullptr) handler = _get_invalid_parameter_handler();
  if (handler != nullptr) {
    handler(expression, function, file, line, reserved);
    return;
  }
  fwprintf(stderr, L"Debug runtime: invalid parameter: %ls\n  at %ls line %u\n",
           expression != nullptr ? expression : L"(no expression)", file != nullptr ? file : L"(no file)", line);
  if (function != nullptr && *function != L'\0') fwprintf(stderr, L"  in %ls\n", function);
  fflush(stderr);
  abort();
}

// Test frameworks turn the runtime's message boxes off with these. The
// settings are kept and answered; this runtime reports only through
// _invalid_parameter, which never opens a window.
#pragma comment(linker, "/export:_CrtSetReportMode")
int __cdecl _CrtSetReportMode(int type, int mode) {
  if (type < 0 || type > 2) {
    errno = EINVAL;
    return -1;
  }
  const int previous = reportModes[type];
  if (mode != kQuery) reportModes[type] = mode;
  return previous;
}

#pragma comment(linker, "/export:_CrtSetDbgFlag")
int __cdecl _CrtSetDbgFlag(int flags) {
  const int previous = debugFlags;
  if (flags != kQuery) debugFlags = flags;
  return previous;
}

}  // extern "C"
