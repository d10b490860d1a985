// The host's side of the framework: what a host (the local reference host,
// or a test's fake host) uses to plug itself in and to look inside.
//
// The library never includes this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/bstr.h"
#include "host/cfx_result.h"
#include "host/create.h"
#include "host/file_stream.h"
#include "host/host_api.h"
#include "host/variant.h"

// Tracing of CfxCreateImpl and the utility functions: cfx/call_tracer.h.

// ---- Object creation -------------------------------------------------------

// Everything CfxCreateImpl was asked, handed to the factory of the class.
struct CfxCreateRequest {
  nsID clsid;
  IUnknown* outer = nullptr;
  std::uint32_t context = 0;
  nsID iid;
  int throwFlag = 0;
};

// Puts a new reference to the requested interface into *out and returns a
// status; a negative status means nothing was made.
using CfxClassFactory = std::function<HRESULT(const CfxCreateRequest& request, void** out)>;

// Registers (or replaces) the factory of a class; an empty factory removes it.
CFX_API void CfxRegisterClassFactory(const nsID& clsid, CfxClassFactory factory);

// ---- File streams ----------------------------------------------------------

ZARN_EXPORTED_CLASSES_BEGIN

// One stream's implementation. CfxFileStream forwards every call to it.
class CFX_API CfxFileStreamBackend {
 public:
  virtual ~CfxFileStreamBackend();
  virtual void Open(CfxFileStreamMode mode, const CfxWString& path) = 0;
  virtual void SetBinary(bool binary) = 0;
  virtual std::uint32_t Read(void* buffer, std::uint32_t count) = 0;
  virtual bool IsEOF() = 0;
  virtual void Close() = 0;
};

// Makes the backend of every CfxFileStream created from now on. An empty
// provider restores the default: the system's files, buffered (POSIX files
// on Linux, files opened by their wide path on Windows).
using CfxFileStreamProvider = std::function<std::unique_ptr<CfxFileStreamBackend>()>;
CFX_API void CfxSetFileStreamProvider(CfxFileStreamProvider provider);

// The default backend, for hosts that wrap it.
CFX_API std::unique_ptr<CfxFileStreamBackend> CfxMakeSystemFileStream();

// ---- The application's code page ------------------------------------------

// The code page of narrow text: what ToTString gives and what the narrow
// CfxBSTR constructors read. ToString always gives UTF-8. The default is the
// system's: UTF-8 on Linux, the ANSI code page on Windows.
inline constexpr std::uint32_t kCfxCodePageUtf8 = 65001;
inline constexpr std::uint32_t kCfxCodePageWindows1252 = 1252;
// Takes UTF-8, Windows-1252 or the system's code page; throws
// std::invalid_argument for any other.
CFX_API void CfxSetApplicationCodePage(std::uint32_t codePage);
CFX_API std::uint32_t CfxApplicationCodePage() noexcept;
// Conversions in the application's code page.
CFX_API CfxWString CfxCodePageToWide(std::string_view narrow);
CFX_API std::string CfxWideToCodePage(CfxWStringView wide);

// ---- Accounting, for leak checks -------------------------------------------
//
// On Windows the platform allocates host strings from task memory, and COM's
// malloc spy counts them there (with the string cache off). The platform
// cannot tell a string's block from any other, so a host that hands out task
// memory of its own (an array, say) allocates it inside a
// CfxPlainTaskMemoryScope: blocks made there count as task memory blocks,
// every other one as a host string. On Linux strings are not task memory and
// the scope changes nothing.

class CFX_API CfxPlainTaskMemoryScope {
 public:
  CfxPlainTaskMemoryScope() noexcept;
  CfxPlainTaskMemoryScope(const CfxPlainTaskMemoryScope&) = delete;
  CfxPlainTaskMemoryScope& operator=(const CfxPlainTaskMemoryScope&) = delete;
  ~CfxPlainTaskMemoryScope();
};

// Host strings allocated by SysAllocString* and not yet freed.
CFX_API std::size_t CfxLiveStringCount() noexcept;
// Task memory blocks allocated by CoTaskMemAlloc and not yet freed.
CFX_API std::size_t CfxLiveTaskMemCount() noexcept;
// Host string allocations made since the process started.
CFX_API std::uint64_t CfxStringAllocationCount() noexcept;
// How many times DiagnoseEntryToGenericCatch was called.
CFX_API std::uint64_t CfxGenericCatchCount() noexcept;

// Sees every CoTaskMemFree of a block (never of null) before the block is
// freed; an empty observer removes it. For tests that check when the
// library lets go of task memory.
using CfxTaskMemFreeObserver = std::function<void(void* block)>;
CFX_API void CfxSetTaskMemFreeObserver(CfxTaskMemFreeObserver observer);

// ---- Fault injection, for tests --------------------------------------------

// Makes the n-th host string allocation from now (1 = the next one) fail as
// if memory had run out; 0 switches this off.
CFX_API void CfxFailStringAllocation(std::uint64_t n) noexcept;

// Replaces VariantClear for variants that reach it; an empty hook restores
// the framework's own. The hook may return a status or throw anything.
using CfxVariantClearHook = std::function<HRESULT(VARIANT* variant)>;
CFX_API void CfxSetVariantClearHook(CfxVariantClearHook hook);

ZARN_EXPORTED_CLASSES_END
