#include "fake_host/object.h"

#include "fake_host/host.h"

namespace fakehost {

Host& Facet::TheHost() const { return owner_->TheHost(); }

HRESULT Facet::Record(std::string line, std::string slots) const {
  return TheHost().Record(std::move(line), std::move(slots));
}

Object* Facet::ObjectOf(const IUnknown* pointer) const { return TheHost().ObjectOf(pointer); }

std::string Facet::Describe(const IUnknown* pointer) const { return TheHost().Describe(pointer); }

HRESULT Facet::GiveText(BSTR* slot, CfxWStringView text) const {
  if (!slot) return S_OK;
  *slot = SysAllocStringLen(text.data(), static_cast<std::uint32_t>(text.size()));
  if (*slot) return S_OK;
  ++TheHost().failedHostAllocations;
  return E_OUTOFMEMORY;
}

HRESULT Facet::MissingFacet(const Object& object) const {
  ADD_FAILURE() << "fake object " << object.Name() << " has no facet of the interface that "
                << TheHost().Journal().back() << " hands out";
  return E_NOINTERFACE;
}

void* Object::FacetFor(const nsID& iid) const {
  if (iid == InterfaceIdOf<IUnknown>) return facets_.empty() ? nullptr : facets_.front()->Interface();
  for (const auto& facet : facets_) {
    if (facet->Iid() && *facet->Iid() == iid) return facet->Interface();
  }
  return nullptr;
}

HRESULT Object::Query(const nsID& iid, void** out) {
  const HRESULT status = host_.Record(name_ + ".QueryInterface(" + InterfaceName(iid) + ")", SlotState(out));
  if (!out) return E_POINTER;
  *out = nullptr;
  if (FAILED(status)) return status;
  void* found = FacetFor(iid);
  if (!found) return E_NOINTERFACE;
  AddRef();
  *out = found;
  return status;
}

void Object::Index(Facet& facet) { host_.IndexFacet(facet.Unknown(), *this); }

void Object::JournalRelease(const std::string& what) { static_cast<void>(host_.Record(name_ + "." + what)); }

}  // namespace fakehost
