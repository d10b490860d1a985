// FacetOf<I>: the base of every fake interface, and the one helper its
// operations go through.
//
// An operation is one call of Run (or Answer, for one out slot):
//
//   HRESULT GetName(BSTR* out) override { return Answer(Line("GetName"), out, name); }
//
// Run journals the call, applies an injected fault and does the work. It
// notes what each out slot held when the call came in (Host::OutSlots), then
// clears the slots, so a call that fails leaves them null or 0.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <type_traits>
#include <utility>

#include "fake_host/object.h"

namespace fakehost {

// A value an out slot of a number or a host boolean takes.
template <class T>
concept Arithmetic = std::is_arithmetic_v<T>;

template <class I>
class FacetOf : public I, public Facet {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return Owner().Query(iid, out); }
  ULONG STDMETHODCALLTYPE AddRef() override { return Owner().AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return Owner().Release(interfaceName_); }

  const nsID* Iid() const override {
    if constexpr (HasInterfaceId<I>) {
      return &InterfaceIdOf<I>;
    } else {
      return nullptr;
    }
  }
  void* Interface() override { return static_cast<I*>(this); }
  IUnknown* Unknown() override { return static_cast<I*>(this); }

 protected:
  using Facet::Facet;

  // A negative injected status skips the work and is returned; a positive one
  // is returned after the work unless the work itself fails. Work that fails
  // takes back what it gave, so a failed call never hands anything out.
  template <class Work, class... Outs>
  HRESULT Run(std::string line, Work work, Outs*... outs) const {
    std::string slots;  // what the caller handed in, before the slots are cleared
    ((slots += (slots.empty() ? "" : ", ") + SlotState(outs)), ...);
    ((outs ? void(*outs = Outs{}) : void()), ...);  // what comes in may be garbage: no freeing
    const HRESULT status = Record(std::move(line), std::move(slots));
    if (FAILED(status)) return status;
    const HRESULT done = work();
    if (FAILED(done)) (Drop(outs), ...);
    return FAILED(done) || status == S_OK ? done : status;
  }
  HRESULT Run(std::string line) const {
    return Run(std::move(line), [] { return S_OK; });
  }
  template <class Out, class Value>
  HRESULT Answer(std::string line, Out* out, const Value& value) const {
    return Run(
        std::move(line), [&] { return Give(out, value); }, out);
  }

  // Fill one out slot; a null slot is left alone.
  HRESULT Give(BSTR* slot, CfxWStringView text) const { return GiveText(slot, text); }
  template <Arithmetic T>
  HRESULT Give(T* slot, std::type_identity_t<T> value) const {
    if (slot) *slot = value;
    return S_OK;
  }
  // A new reference to the scripted object's facet for the slot's interface.
  template <class J>
  HRESULT Give(J** slot, const Object* object) const {
    if (!slot || !object) return S_OK;
    J* facet = object->Find<J>();
    if (!facet) return MissingFacet(*object);
    facet->AddRef();
    *slot = facet;
    return S_OK;
  }

  // Empties a slot, freeing or releasing what the work put there.
  static void Drop(BSTR* slot) {
    if (slot) SysFreeString(std::exchange(*slot, nullptr));
  }
  template <std::derived_from<IUnknown> J>
  static void Drop(J** slot) {
    if (slot && *slot) std::exchange(*slot, nullptr)->Release();
  }
  template <class T>
  static void Drop(T* slot) {
    if (slot) *slot = T{};
  }

  static CfxWString Text(BSTR text) { return CfxWString(View(text)); }
  // The entry for key, or an empty value.
  template <class Map, class Key>
  static typename Map::mapped_type Lookup(const Map& map, const Key& key) {
    const auto found = map.find(key);
    return found == map.end() ? typename Map::mapped_type{} : found->second;
  }
};

}  // namespace fakehost
