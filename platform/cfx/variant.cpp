// Host variants: VariantClear and the CfxVariant owner.
#include "host/variant.h"

#include <mutex>
#include <new>
#include <utility>

#include "cfx/cfx_host.h"

namespace {

std::mutex hookMutex;
CfxVariantClearHook clearHook;

CfxVariantClearHook CurrentHook() {
  std::lock_guard lock(hookMutex);
  return clearHook;
}

void SetEmpty(VARIANT& variant) noexcept {
  variant.vt = VT_EMPTY;
  variant.llVal = 0;
}

}  // namespace

void CfxSetVariantClearHook(CfxVariantClearHook hook) {
  std::lock_guard lock(hookMutex);
  clearHook = std::move(hook);
}

void VariantInit(VARIANT* variant) noexcept {
  if (variant != nullptr) SetEmpty(*variant);
}

HRESULT VariantClear(VARIANT* variant) {
  if (variant == nullptr) return E_INVALIDARG;
  if (const CfxVariantClearHook hook = CurrentHook()) return hook(variant);
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

// ---- CfxVariant --------------------------------------------------------------

CfxVariant::CfxVariant(const CfxBSTR& text) { Set(text); }

CfxVariant::CfxVariant(CfxVariant&& other) noexcept : VARIANT(other) { SetEmpty(other); }

CfxVariant& CfxVariant::operator=(CfxVariant&& other) noexcept {
  if (this != &other) {
    // The old value goes to a temporary whose destructor clears it quietly.
    CfxVariant old(std::move(*this));
    VARIANT::operator=(other);
    SetEmpty(other);
  }
  return *this;
}

CfxVariant::~CfxVariant() {
  try {
    Clear();
  } catch (...) {
    // A destructor has no way to report it; callers that care call Clear first.
  }
}

void CfxVariant::Set(const CfxBSTR& text) {
  Clear();
  BSTR copy = SysAllocStringLen(text.in(), static_cast<std::uint32_t>(text.Length()));
  if (copy == nullptr) throw std::bad_alloc();
  bstrVal = copy;
  vt = VT_BSTR;
}

void CfxVariant::Clear() {
  if ((vt & kVariantIndirectMask) == 0) {
    if (vt == VT_BSTR) {
      SysFreeString(bstrVal);
    } else if (vt == VT_DISPATCH || vt == VT_UNKNOWN) {
      IUnknown* object = vt == VT_UNKNOWN ? punkVal : pdispVal;
      if (object != nullptr) object->Release();
    }
  } else {
    const HRESULT status = VariantClear(this);
    if (FAILED(status)) throw status;
  }
  SetEmpty(*this);
}
