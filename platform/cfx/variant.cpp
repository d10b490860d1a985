// CfxVariant: the owner of a host variant, and the hook of its VariantClear calls.
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

// The platform's VariantClear, or the hook that a test put in its place.
HRESULT ClearIndirect(VARIANT* variant) {
  if (const CfxVariantClearHook hook = CurrentHook()) return hook(variant);
  return VariantClear(variant);
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

// ---- CfxVariant --------------------------------------------------------------

// The platform's VARIANT has no initial value of its own: start empty.
CfxVariant::CfxVariant(const CfxBSTR& text) : CfxVariant() { Set(text); }

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
    const HRESULT status = ClearIndirect(this);
    if (FAILED(status)) throw status;
  }
  SetEmpty(*this);
}
