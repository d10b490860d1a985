// The component model's base types where the platform has none of its own.
//
// On Windows these come from the SDK (see com_types.h). Here they are ours,
// with the SDK's names and the SDK's layout, so that the declarations above
// them read the same on both platforms: statuses, the 16-bit boolean,
// identifiers, IUnknown, host strings, variants, task memory and class
// contexts. Only com_types.h includes this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/host_api.h"

// ---- Statuses and the 16-bit boolean -----------------------------------------

// A status is a 32-bit signed value: negative is failure, zero is success,
// positive is success with information (1 is "success, answer false").
using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);

constexpr bool SUCCEEDED(HRESULT status) noexcept { return status >= 0; }
constexpr bool FAILED(HRESULT status) noexcept { return status < 0; }

// The host's boolean: 0 is false, 0xFFFF (all bits set) is true.
using VARIANT_BOOL = std::int16_t;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// ---- Identifiers ---------------------------------------------------------------

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

constexpr bool operator==(REFGUID a, REFGUID b) noexcept {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (std::size_t i = 0; i < 8; ++i) {
    if (a.Data4[i] != b.Data4[i]) return false;
  }
  return true;
}

// ---- IUnknown ------------------------------------------------------------------

// The calling convention of interface operations: the platform's default here.
#define STDMETHODCALLTYPE

class IUnknown {
 public:
  // On success *out holds a new reference; on failure *out is null.
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;
};

// Only ever held, never called: the library asks nothing of it.
class IDispatch : public IUnknown {
 protected:
  ~IDispatch() = default;
};

// ---- Host strings --------------------------------------------------------------

using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
// A wide literal of the host's character type: OLESTR("text").
#define OLESTR(text) u##text

// A BSTR points at UTF-16 text that is preceded by its length and followed by
// a zero; a null BSTR is the empty string. Allocation returns null when
// memory runs out.
// C names, as the platform's are.
extern "C" {
CFX_API BSTR SysAllocString(const OLECHAR* text);
CFX_API BSTR SysAllocStringLen(const OLECHAR* text, std::uint32_t length);
CFX_API void SysFreeString(BSTR text) noexcept;
CFX_API std::uint32_t SysStringLen(BSTR text) noexcept;
}

// ---- Variants ------------------------------------------------------------------

using VARTYPE = std::uint16_t;

enum : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_BOOL = 11,
  VT_UNKNOWN = 13,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
};

struct SAFEARRAY;

// The widest value a variant holds: a record and its type information.
struct VariantRecord {
  void* pvRecord;
  void* pRecInfo;
};

// The type, three reserved words, then the value: 24 bytes on a 64-bit
// platform, as the widest value (a record: two pointers) needs.
struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  std::uint16_t wReserved1 = 0;
  std::uint16_t wReserved2 = 0;
  std::uint16_t wReserved3 = 0;
  union {
    std::int32_t lVal;
    std::int16_t iVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    void* byref;
    SAFEARRAY* parray;
    std::int64_t llVal = 0;
    VariantRecord record;
  };
};

extern "C" {
CFX_API void VariantInit(VARIANT* variant) noexcept;
// Frees what the variant holds and sets it empty. The framework knows no
// arrays: a variant holding one gives DISP_E_BADVARTYPE and is left as it is.
CFX_API HRESULT VariantClear(VARIANT* variant);
}

// ---- Task memory ---------------------------------------------------------------

extern "C" {
CFX_API void* CoTaskMemAlloc(std::size_t size) noexcept;  // null when out of memory
CFX_API void CoTaskMemFree(void* block) noexcept;         // null is ignored
}

// ---- Class contexts ------------------------------------------------------------

enum CLSCTX : std::uint32_t {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
};
