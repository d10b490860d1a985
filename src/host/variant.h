// Host variants: the raw VARIANT value (com_types.h) and its owner CfxVariant.
//
// Host operations take VARIANT by value: a shallow copy that gives the callee
// no ownership. CfxVariant owns what its value holds and clears it when it is
// destroyed (or explicitly with Clear):
//   - a type with neither the array nor the by-reference flag (mask 0x6000)
//     that is not VT_BSTR, VT_DISPATCH or VT_UNKNOWN is simply set to empty;
//   - VT_BSTR is freed with SysFreeString; VT_DISPATCH and VT_UNKNOWN are released;
//   - anything else goes to VariantClear (the platform's own on Windows), and
//     a failing status from it is thrown as a bare HRESULT.
// The type is then VT_EMPTY.
#pragma once

#include <cstdint>

#include "host/bstr.h"
#include "host/com_types.h"
#include "host/host_api.h"
#include "host/status.h"
#include "host/unknown.h"

inline constexpr VARTYPE kVariantIndirectMask = VT_ARRAY | VT_BYREF;

ZARN_EXPORTED_CLASSES_BEGIN

class CFX_API CfxVariant : public VARIANT {
 public:
  CfxVariant() noexcept { VariantInit(this); }
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

ZARN_EXPORTED_CLASSES_END
