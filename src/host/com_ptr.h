// CfxComPtr<I>: an owning reference to a host interface.
//
// Ownership rules: constructing from a raw pointer or copying takes a new
// reference (AddRef); moving and Attach take none; destruction, Reset and
// put() release. put() releases the old reference before it hands out the
// slot, so a slot reused for a second call never leaks the first result.
//
// Queries (the interface must declare its identifier, see unknown.h):
//   CfxComPtr<I>::Query(source)     checked: on a failing status it stores the
//       standard result of the status as the last error and raises
//       QueryInterfaceFailure(status, I's identifier). Never returns empty
//       for a non-null source.
//   CfxComPtr<I>::TryQuery(source)  unchecked: a failed query gives empty.
// Both give an empty reference for a null source and ask nothing then.
#pragma once

#include <cstddef>
#include <utility>

#include "host/cfx_result.h"
#include "host/unknown.h"

template <class I>
class CfxComPtr {
 public:
  CfxComPtr() noexcept = default;
  CfxComPtr(std::nullptr_t) noexcept {}
  explicit CfxComPtr(I* pointer) noexcept : p_(pointer) {
    if (p_) p_->AddRef();
  }
  CfxComPtr(const CfxComPtr& other) noexcept : CfxComPtr(other.p_) {}
  CfxComPtr(CfxComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  CfxComPtr& operator=(const CfxComPtr& other) noexcept {
    CfxComPtr(other).Swap(*this);
    return *this;
  }
  CfxComPtr& operator=(CfxComPtr&& other) noexcept {
    CfxComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ~CfxComPtr() { Reset(); }

  I* get() const noexcept { return p_; }
  I* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  // The slot for a host operation to fill.
  I** put() noexcept {
    Reset();
    return &p_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

  void Reset() noexcept {
    if (I* old = std::exchange(p_, nullptr)) old->Release();
  }
  void Attach(I* pointer) noexcept {
    Reset();
    p_ = pointer;
  }
  [[nodiscard]] I* Detach() noexcept { return std::exchange(p_, nullptr); }
  void Swap(CfxComPtr& other) noexcept { std::swap(p_, other.p_); }

  template <class Source>
  [[nodiscard]] static CfxComPtr Query(Source* source) {
    CfxComPtr result;
    if (!source) return result;
    const HRESULT status = source->QueryInterface(InterfaceIdOf<I>, result.put_void());
    if (FAILED(status)) {
      result.Reset();
      CfxResult::SetLastError(CfxResult::StandardDescription(status));
      throw QueryInterfaceFailure(status, InterfaceIdOf<I>);
    }
    return result;
  }
  template <class Source>
  [[nodiscard]] static CfxComPtr Query(const CfxComPtr<Source>& source) {
    return Query(source.get());
  }

  template <class Source>
  [[nodiscard]] static CfxComPtr TryQuery(Source* source) noexcept {
    CfxComPtr result;
    if (!source) return result;
    if (FAILED(source->QueryInterface(InterfaceIdOf<I>, result.put_void()))) result.Reset();
    return result;
  }
  template <class Source>
  [[nodiscard]] static CfxComPtr TryQuery(const CfxComPtr<Source>& source) noexcept {
    return TryQuery(source.get());
  }

 private:
  I* p_ = nullptr;
};
