// Included first into the standard library's own sources (scripts/msvc-env):
// what they take from Windows 10's SDK and from the C runtime's private
// headers that Wine's headers lack.
#pragma once

#include <windows.h>

#include <stdlib.h>

#ifdef __cplusplus
extern "C" {
#endif
typedef struct _FILE_ID_INFO {
  ULONGLONG VolumeSerialNumber;
  struct {
    BYTE Identifier[16];
  } FileId;
} FILE_ID_INFO;
typedef struct _FILE_DISPOSITION_INFO_EX {
  DWORD Flags;
} FILE_DISPOSITION_INFO_EX;
#define FILE_DISPOSITION_FLAG_DELETE 0x00000001
#define FILE_DISPOSITION_FLAG_POSIX_SEMANTICS 0x00000002
#define FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE 0x00000010
#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif
_ACRTIMP int __cdecl ___lc_codepage_func(void);
// Named only for its type: the library looks it up at run time and falls
// back to GetTempPathW, as on Wine.
WINBASEAPI DWORD WINAPI GetTempPath2W(DWORD, LPWSTR);
#ifdef __cplusplus
}

// The C runtime's owner of a block of its heap.
template <class T>
class __crt_unique_heap_ptr {
 public:
  __crt_unique_heap_ptr() = default;
  __crt_unique_heap_ptr(const __crt_unique_heap_ptr&) = delete;
  __crt_unique_heap_ptr& operator=(const __crt_unique_heap_ptr&) = delete;
  ~__crt_unique_heap_ptr() { free(block); }
  __crt_unique_heap_ptr& operator=(T* other) {
    free(block);
    block = other;
    return *this;
  }
  explicit operator bool() const { return block != nullptr; }
  T* get() const { return block; }

 private:
  T* block = nullptr;
};
#define _malloc_crt_t(type, count) static_cast<type*>(malloc(sizeof(type) * (count)))
#endif
