// Stand-in for the part of the Visual C++ runtime that Microsoft links into
// every program and DLL statically (msvcrt.lib, vcruntime.lib): entry points,
// the tables of static initializers, atexit for the module, thread-safe local
// statics, thread_local initializers and destructors, the global allocation
// functions, type_info's vtable, the stack cookie. Wine ships the runtime's
// DLLs but not this part.
//
// One file, compiled once per part (ZARN_CRT_PART) into a static library, so
// that the linker takes only the entry point a module needs and a default
// DllMain only where the module has none.
#include <windows.h>

#include <isa_availability.h>
#include <malloc.h>
#include <new>
#include <stdlib.h>
#include <vcruntime_typeinfo.h>

// What the runtime DLLs give the start-up code (ucrtbase.dll).
extern "C" {
typedef void(__cdecl* _PVFV)(void);
typedef int(__cdecl* _PIFV)(void);
typedef struct _onexit_table_t {
  _PVFV* _first;
  _PVFV* _last;
  _PVFV* _end;
} _onexit_table_t;
typedef int(__cdecl* _onexit_t)(void);
_ACRTIMP void __cdecl _initterm(_PVFV*, _PVFV*);
_ACRTIMP int __cdecl _initterm_e(_PIFV*, _PIFV*);
_ACRTIMP int __cdecl _initialize_onexit_table(_onexit_table_t*);
_ACRTIMP int __cdecl _register_onexit_function(_onexit_table_t*, _onexit_t);
_ACRTIMP int __cdecl _execute_onexit_table(_onexit_table_t*);
_ACRTIMP int __cdecl _crt_atexit(_PVFV);
_ACRTIMP int __cdecl _configure_narrow_argv(int);
_ACRTIMP int __cdecl _configure_wide_argv(int);
_ACRTIMP int __cdecl _initialize_narrow_environment(void);
_ACRTIMP int __cdecl _initialize_wide_environment(void);
_ACRTIMP char** __cdecl _get_initial_narrow_environment(void);
_ACRTIMP wchar_t** __cdecl _get_initial_wide_environment(void);
_ACRTIMP int* __cdecl __p___argc(void);
_ACRTIMP char*** __cdecl __p___argv(void);
_ACRTIMP wchar_t*** __cdecl __p___wargv(void);
_ACRTIMP void __cdecl _set_app_type(int);
_ACRTIMP int __cdecl _callnewh(size_t);
_VCRTIMP void __cdecl __std_type_info_destroy_list(__type_info_node*);

// Set by the entry point: a DLL runs its atexit functions when it unloads.
extern bool __zarn_crt_is_dll;
int __cdecl __zarn_crt_initialize(void);
void __cdecl __zarn_crt_terminate(void);
}

#if ZARN_CRT_PART == 0  // what every module needs

#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
#pragma section(".CRT$XDA", long, read)
#pragma section(".CRT$XDZ", long, read)
#pragma section(".CRT$XLA", long, read)
#pragma section(".CRT$XLD", long, read)
#pragma section(".CRT$XLZ", long, read)
#pragma section(".rdata$T", long, read)
#pragma section(".tls", long, read, write)
#pragma section(".tls$ZZZ", long, read, write)

extern "C" {
// The compiler's static initializers lie between these markers, the linker
// sorting the sections by name (C's in .CRT$XI*, C++'s in .CRT$XC*,
// thread_local ones in .CRT$XD*).
__declspec(allocate(".CRT$XIA")) _PIFV __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) _PIFV __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) _PVFV __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) _PVFV __xc_z[] = {nullptr};
__declspec(allocate(".CRT$XDA")) _PVFV __xd_a = nullptr;
__declspec(allocate(".CRT$XDZ")) _PVFV __xd_z = nullptr;

// Code that uses floating point refers to this.
int _fltused = 0x9875;

// The instruction set the standard library may use: SSE2, which every x64
// processor has (isa_availability.h).
int __isa_available = __ISA_AVAILABLE_SSE2;
long __isa_enabled = (1 << __ISA_AVAILABLE_X86) | (1 << __ISA_AVAILABLE_SSE2);

// The stack cookie, checked by code compiled with /GS.
uintptr_t __security_cookie = 0x2B992DDFA232;
void __cdecl __security_init_cookie(void) {}
void __cdecl __security_check_cookie(uintptr_t cookie) {
  if (cookie != __security_cookie) __report_gsfailure(cookie);
}

bool __zarn_crt_is_dll = false;
static _onexit_table_t moduleExitTable;

// atexit of a DLL runs when the DLL unloads, of a program when it exits.
// Wine's stdlib.h declares atexit and _onexit as imports of the runtime DLL,
// which has neither (the UCRT defines them in each module): they are defined
// here under names of their own and bound by the linker, for direct calls and
// for calls through the import slot.
int __cdecl __zarn_atexit(_PVFV function) {
  if (!__zarn_crt_is_dll) return _crt_atexit(function);
  return _register_onexit_function(&moduleExitTable, reinterpret_cast<_onexit_t>(function));
}
_onexit_t __cdecl __zarn_onexit(_onexit_t function) {
  return __zarn_atexit(reinterpret_cast<_PVFV>(function)) == 0 ? function : nullptr;
}
void* __zarn_imp_atexit = reinterpret_cast<void*>(&__zarn_atexit);
void* __zarn_imp_onexit = reinterpret_cast<void*>(&__zarn_onexit);
#pragma comment(linker, "/alternatename:atexit=__zarn_atexit")
#pragma comment(linker, "/alternatename:_onexit=__zarn_onexit")
#pragma comment(linker, "/alternatename:__imp_atexit=__zarn_imp_atexit")
#pragma comment(linker, "/alternatename:__imp__onexit=__zarn_imp_onexit")

int __cdecl __zarn_crt_initialize(void) {
  _initialize_onexit_table(&moduleExitTable);
  if (_initterm_e(__xi_a, __xi_z) != 0) return 0;
  _initterm(__xc_a, __xc_z);
  return 1;
}

// type_info's names are kept in a list per module, which the runtime
// treats as an interlocked list.
struct __type_info_node {
  SLIST_HEADER header;
};
__type_info_node __type_info_root_node;

void __cdecl __zarn_crt_terminate(void) {
  _execute_onexit_table(&moduleExitTable);
  __std_type_info_destroy_list(&__type_info_root_node);
}

// ---- Thread-local storage ---------------------------------------------------

// The module's TLS directory, which the loader reads: the template of the
// module's thread-local data (.tls) and its callbacks (.CRT$XL*).
ULONG _tls_index = 0;
__declspec(allocate(".tls")) char _tls_start = 0;
__declspec(allocate(".tls$ZZZ")) char _tls_end = 0;
__declspec(allocate(".CRT$XLA")) PIMAGE_TLS_CALLBACK __xl_a = nullptr;
__declspec(allocate(".CRT$XLZ")) PIMAGE_TLS_CALLBACK __xl_z = nullptr;
extern const __declspec(allocate(".rdata$T")) IMAGE_TLS_DIRECTORY64 _tls_used = {
    reinterpret_cast<ULONGLONG>(&_tls_start), reinterpret_cast<ULONGLONG>(&_tls_end),
    reinterpret_cast<ULONGLONG>(&_tls_index), reinterpret_cast<ULONGLONG>(&__xl_a + 1), 0, 0};
}

namespace {

// The destructors of one thread's thread_local objects, newest first.
struct ThreadDestructor {
  _PVFV destructor;
  ThreadDestructor* next;
};
__declspec(thread) ThreadDestructor* threadDestructors = nullptr;

}  // namespace

extern "C" {
// The TLS callback that initializes a thread's thread_local objects and
// destroys them when it ends. Code with such objects refers to it by name.
void NTAPI __dyn_tls_init(PVOID, DWORD reason, PVOID) {
  if (reason == DLL_THREAD_ATTACH || reason == DLL_PROCESS_ATTACH) {
    for (_PVFV* init = &__xd_a + 1; init != &__xd_z; ++init) {
      if (*init) (*init)();
    }
  } else if (reason == DLL_THREAD_DETACH || reason == DLL_PROCESS_DETACH) {
    while (ThreadDestructor* entry = threadDestructors) {
      threadDestructors = entry->next;
      entry->destructor();
      free(entry);
    }
  }
}
__declspec(allocate(".CRT$XLD")) PIMAGE_TLS_CALLBACK __zarn_tls_callback = __dyn_tls_init;

// Called by the compiler for each thread_local object with a destructor.
void __cdecl __tlregdtor(_PVFV destructor) {
  auto* entry = static_cast<ThreadDestructor*>(malloc(sizeof(ThreadDestructor)));
  if (!entry) abort();
  *entry = {destructor, threadDestructors};
  threadDestructors = entry;
}

// ---- Thread-safe local statics ----------------------------------------------

// A local static's guard is 0 before, -1 during and an epoch after its
// initialization; a thread whose epoch has caught up skips the lock.
int _Init_global_epoch = INT_MIN;
__declspec(thread) int _Init_thread_epoch = INT_MIN;
static SRWLOCK initLock = SRWLOCK_INIT;
static CONDITION_VARIABLE initDone = CONDITION_VARIABLE_INIT;

void __cdecl _Init_thread_header(int* const guard) noexcept {
  AcquireSRWLockExclusive(&initLock);
  while (*guard == -1) SleepConditionVariableSRW(&initDone, &initLock, INFINITE, 0);
  if (*guard == 0) {
    *guard = -1;
  } else {
    _Init_thread_epoch = _Init_global_epoch;
  }
  ReleaseSRWLockExclusive(&initLock);
}

void __cdecl _Init_thread_footer(int* const guard) noexcept {
  AcquireSRWLockExclusive(&initLock);
  ++_Init_global_epoch;
  *guard = _Init_global_epoch;
  _Init_thread_epoch = _Init_global_epoch;
  ReleaseSRWLockExclusive(&initLock);
  WakeAllConditionVariable(&initDone);
}

void __cdecl _Init_thread_abort(int* const guard) noexcept {
  AcquireSRWLockExclusive(&initLock);
  *guard = 0;
  ReleaseSRWLockExclusive(&initLock);
  WakeAllConditionVariable(&initDone);
}
}

// ---- type_info ----------------------------------------------------------------

type_info::~type_info() noexcept {}

// The compiler's type descriptors point at type_info's vtable by its
// runtime name. A class of the same shape gives it.
namespace zarn_crt {
struct TypeInfoShape {
  TypeInfoShape() = default;
  virtual ~TypeInfoShape() = default;
};
}  // namespace zarn_crt
extern "C" void* __zarn_type_info_shape() { return new zarn_crt::TypeInfoShape; }
#pragma comment(linker, "/alternatename:??_7type_info@@6B@=??_7TypeInfoShape@zarn_crt@@6B@")

namespace std {
const nothrow_t nothrow{};
}

// ---- Global allocation ------------------------------------------------------

// Each function a part of its own, so that a program may replace any of them.
#elif ZARN_CRT_PART == 10
void* __cdecl operator new(size_t size) {
  for (;;) {
    if (void* block = malloc(size ? size : 1)) return block;
    if (_callnewh(size) == 0) throw std::bad_alloc();
  }
}

#elif ZARN_CRT_PART == 11
void* __cdecl operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}

#elif ZARN_CRT_PART == 12
void* __cdecl operator new[](size_t size) { return operator new(size); }

#elif ZARN_CRT_PART == 13
void* __cdecl operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }

#elif ZARN_CRT_PART == 14
void __cdecl operator delete(void* block) noexcept { free(block); }

#elif ZARN_CRT_PART == 15
void __cdecl operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }

#elif ZARN_CRT_PART == 16
void __cdecl operator delete[](void* block) noexcept { free(block); }

#elif ZARN_CRT_PART == 17
void __cdecl operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }

#elif ZARN_CRT_PART == 18
void __cdecl operator delete(void* block, size_t) noexcept { free(block); }

#elif ZARN_CRT_PART == 19
void __cdecl operator delete[](void* block, size_t) noexcept { free(block); }
#elif ZARN_CRT_PART == 20
void* __cdecl operator new(size_t size, std::align_val_t alignment) {
  for (;;) {
    if (void* block = _aligned_malloc(size ? size : 1, static_cast<size_t>(alignment))) return block;
    if (_callnewh(size) == 0) throw std::bad_alloc();
  }
}
#elif ZARN_CRT_PART == 21
void* __cdecl operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  try {
    return operator new(size, alignment);
  } catch (...) {
    return nullptr;
  }
}
#elif ZARN_CRT_PART == 22
void* __cdecl operator new[](size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
#elif ZARN_CRT_PART == 23
void* __cdecl operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t& tag) noexcept {
  return operator new(size, alignment, tag);
}
#elif ZARN_CRT_PART == 24
void __cdecl operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
#elif ZARN_CRT_PART == 25
void __cdecl operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(block); }
#elif ZARN_CRT_PART == 26
void __cdecl operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
#elif ZARN_CRT_PART == 27
void __cdecl operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  _aligned_free(block);
}
#elif ZARN_CRT_PART == 28
void __cdecl operator delete(void* block, size_t, std::align_val_t) noexcept { _aligned_free(block); }
#elif ZARN_CRT_PART == 29
void __cdecl operator delete[](void* block, size_t, std::align_val_t) noexcept { _aligned_free(block); }

#elif ZARN_CRT_PART == 1  // a DLL's entry point

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID);

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    __zarn_crt_is_dll = true;
    if (!__zarn_crt_initialize()) return FALSE;
  }
  const BOOL result = DllMain(instance, reason, reserved);
  if (reason == DLL_PROCESS_DETACH) __zarn_crt_terminate();
  return result;
}

#elif ZARN_CRT_PART == 2  // DllMain for a DLL that has none

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

#elif ZARN_CRT_PART == 3  // a console program's entry point, main

int main(int, char**, char**);

extern "C" int mainCRTStartup(void) {
  _set_app_type(1);
  _configure_narrow_argv(1);
  _initialize_narrow_environment();
  if (!__zarn_crt_initialize()) return 255;
  exit(main(*__p___argc(), *__p___argv(), _get_initial_narrow_environment()));
}

#elif ZARN_CRT_PART == 4  // a console program's entry point, wmain

int wmain(int, wchar_t**, wchar_t**);

extern "C" int wmainCRTStartup(void) {
  _set_app_type(1);
  _configure_wide_argv(1);
  _initialize_wide_environment();
  if (!__zarn_crt_initialize()) return 255;
  exit(wmain(*__p___argc(), *__p___wargv(), _get_initial_wide_environment()));
}

#endif
