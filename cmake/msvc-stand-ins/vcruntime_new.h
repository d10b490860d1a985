// Stand-in for the Visual C++ runtime's declarations of the global
// allocation functions, which Wine's headers do not have. The functions
// themselves are defined in crt_start.cpp, as the runtime's static part does.
#pragma once

#include <vcruntime.h>

extern "C++" {
namespace std {
struct nothrow_t {
  explicit nothrow_t() = default;
};
extern const nothrow_t nothrow;
enum class align_val_t : size_t {};
}  // namespace std

[[nodiscard]] void* __cdecl operator new(size_t);
[[nodiscard]] void* __cdecl operator new(size_t, const std::nothrow_t&) noexcept;
[[nodiscard]] void* __cdecl operator new[](size_t);
[[nodiscard]] void* __cdecl operator new[](size_t, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void*) noexcept;
void __cdecl operator delete(void*, const std::nothrow_t&) noexcept;
void __cdecl operator delete[](void*) noexcept;
void __cdecl operator delete[](void*, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void*, size_t) noexcept;
void __cdecl operator delete[](void*, size_t) noexcept;
[[nodiscard]] void* __cdecl operator new(size_t, std::align_val_t);
[[nodiscard]] void* __cdecl operator new(size_t, std::align_val_t, const std::nothrow_t&) noexcept;
[[nodiscard]] void* __cdecl operator new[](size_t, std::align_val_t);
[[nodiscard]] void* __cdecl operator new[](size_t, std::align_val_t, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void*, std::align_val_t) noexcept;
void __cdecl operator delete(void*, std::align_val_t, const std::nothrow_t&) noexcept;
void __cdecl operator delete[](void*, std::align_val_t) noexcept;
void __cdecl operator delete[](void*, std::align_val_t, const std::nothrow_t&) noexcept;
void __cdecl operator delete(void*, size_t, std::align_val_t) noexcept;
void __cdecl operator delete[](void*, size_t, std::align_val_t) noexcept;

#ifndef __PLACEMENT_NEW_INLINE
#define __PLACEMENT_NEW_INLINE
[[nodiscard]] inline void* __cdecl operator new(size_t, void* where) noexcept { return where; }
inline void __cdecl operator delete(void*, void*) noexcept {}
#endif
#ifndef __PLACEMENT_VEC_NEW_INLINE
#define __PLACEMENT_VEC_NEW_INLINE
[[nodiscard]] inline void* __cdecl operator new[](size_t, void* where) noexcept { return where; }
inline void __cdecl operator delete[](void*, void*) noexcept {}
#endif
}
