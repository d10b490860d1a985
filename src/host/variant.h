// Host variants: the raw VARIANT value and its owner CfxVariant.
//
// Host operations take VARIANT by value: a shallow copy that gives the callee
// no ownership. CfxVariant owns what its value holds and clears it when it is
// destroyed (or explicitly with Clear):
//   - a type with neither the array nor the by-reference flag (mask 0x6000)
//     that is not VT_BSTR, VT_DISPATCH or VT_UNKNOWN is simply set to empty;
//   - VT_BSTR is freed with SysFreeString; VT_DISPATCH and VT_UNKNOWN are released;
//   - anything else goes to VariantClear, and a failing status from it is
//     thrown as a bare HRESULT.
// The type is then VT_EMPTY.
#pragma once

#include <cstdint>

#include "host/bstr.h"
#include "host/host_api.h"
#include "host/status.h"
#include "host/unknown.h"

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

inline constexpr VARTYPE kVariantIndirectMask = VT_ARRAY | VT_BYREF;

struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  std::uint16_t reserved[3] = {0, 0, 0};
  union {
    std::int32_t lVal;
    std::int16_t iVal;
    VARIANT_BOOL boolVal;
    BSTR bstrVal;
    IUnknown* punkVal;
    IUnknown* pdispVal;
    void* byref;
    void* parray;
    std::int64_t llVal = 0;
  };
};

CFX_API void VariantInit(VARIANT* variant) noexcept;
// Frees what the variant holds and sets it empty. The framework knows no
// arrays: a variant holding one gives DISP_E_BADVARTYPE and is left as it is.
CFX_API HRESULT VariantClear(VARIANT* variant);

class CFX_API CfxVariant : public VARIANT {
 public:
  CfxVariant() noexcept = default;
  explicit CfxVariant(const CfxBSTR& text);  // holds its own copy of the text
  CfxVariant(const CfxVariant&) = delete;
  CfxVariant& operator=(const CfxVariant&) = delete;
  CfxVariant(CfxVariant&& other) noexcept;
  CfxVariant& operator=(CfxVariant&& other) noexcept;
  // Clears; anything the clearing throws is dropped here. Code that must see
  // such failures calls Clear itself first.
  ~CfxVariant();

  // Clears, then holds a copy of the text. Throws std::bad_alloc.
  void Set(const CfxBSTR& text);
  // The clearing rules above. Throws a bare HRESULT when VariantClear fails.
  void Clear();
};
