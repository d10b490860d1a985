// VariantInit and VariantClear on Linux: the framework's own.
#include "host/variant.h"

namespace {

void SetEmpty(VARIANT& variant) noexcept {
  variant.vt = VT_EMPTY;
  variant.llVal = 0;
}

}  // namespace

void VariantInit(VARIANT* variant) noexcept {
  if (variant != nullptr) SetEmpty(*variant);
}

HRESULT VariantClear(VARIANT* variant) {
  if (variant == nullptr) return E_INVALIDARG;
  const VARTYPE type = variant->vt;
  // A by-reference value points at storage that belongs to someone else.
  if (type & VT_BYREF) {
    SetEmpty(*variant);
    return S_OK;
  }
  if (type & VT_ARRAY) return DISP_E_BADVARTYPE;
  if (type == VT_BSTR) {
    SysFreeString(variant->bstrVal);
  } else if (type == VT_UNKNOWN || type == VT_DISPATCH) {
    IUnknown* object = type == VT_UNKNOWN ? variant->punkVal : variant->pdispVal;
    if (object != nullptr) object->Release();
  }
  SetEmpty(*variant);
  return S_OK;
}
