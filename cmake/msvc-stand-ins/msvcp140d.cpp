// Stand-in for what the Debug standard library's DLL (msvcp140d.dll) has
// beyond the Release one, for Wine, which has no Debug runtime: built into
// our msvcp140d.dll, whose other exports forward to Wine's msvcp140.dll
// (scripts/msvc-kit). Here: the allocation functions of _Crt_new_delete, the
// base of the locale's and the streams' own blocks, which the Debug headers
// declare and the DLL exports.
#include <stdlib.h>
#include <vcruntime_new.h>

namespace std {

[[noreturn]] __declspec(dllimport) void __cdecl _Xbad_alloc();

struct __declspec(dllexport) _Crt_new_delete {
  void* __cdecl operator new(size_t size);
  void* __cdecl operator new(size_t size, const nothrow_t&) noexcept;
  void __cdecl operator delete(void* block) noexcept;
  void __cdecl operator delete(void* block, const nothrow_t&) noexcept;
  void* __cdecl operator new(size_t, void* block) noexcept;
  void __cdecl operator delete(void*, void*) noexcept;
};

// The Debug runtime takes these from its debug heap as the runtime's own
// blocks; here the heap is the Release one, which free() returns them to.
void* __cdecl _Crt_new_delete::operator new(size_t size, const nothrow_t&) noexcept {
  return malloc(size > 0 ? size : 1);
}
void* __cdecl _Crt_new_delete::operator new(size_t size) {
  void* block = operator new (size, nothrow_t{});
  if (block == nullptr) _Xbad_alloc();
  return block;
}
void __cdecl _Crt_new_delete::operator delete(void* block) noexcept { free(block); }
void __cdecl _Crt_new_delete::operator delete(void* block, const nothrow_t&) noexcept { free(block); }
void* __cdecl _Crt_new_delete::operator new(size_t, void* block) noexcept { return block; }
void __cdecl _Crt_new_delete::operator delete(void*, void*) noexcept {}

}  // namespace std
