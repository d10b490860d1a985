// Object creation: the class registry that hosts fill and CfxCreateImpl reads.
#include "host/create.h"

#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "cfx/call_tracer.h"
#include "cfx/cfx_host.h"

namespace {

// Any strict order will do; the bytes of the identifier give one.
struct IdLess {
  bool operator()(const nsID& a, const nsID& b) const noexcept { return std::memcmp(&a, &b, sizeof(nsID)) < 0; }
};

// Hosts register from any thread, possibly during static initialisation,
// hence the lock and the function-local registry.
struct ClassRegistry {
  std::mutex mutex;
  std::map<nsID, CfxClassFactory, IdLess> factories;
};

ClassRegistry& Registry() {
  static ClassRegistry registry;
  return registry;
}

CfxClassFactory FactoryOf(const nsID& clsid) {
  ClassRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.factories.find(clsid);
  return found == registry.factories.end() ? CfxClassFactory() : found->second;
}

CfxResult Outcome(const CfxCreateRequest& request, void** out) {
  if (out == nullptr) return CfxResult(E_POINTER, "No slot was given for the created object.");
  *out = nullptr;
  // Called outside the lock: a factory may create further objects.
  const CfxClassFactory factory = FactoryOf(request.clsid);
  if (!factory) return CfxResult(REGDB_E_CLASSNOTREG, "Class " + nsIDToString(request.clsid) + " is not registered.");
  const HRESULT status = factory(request, out);
  if (FAILED(status)) *out = nullptr;
  return status == S_OK ? CfxResult() : CfxResult::StandardDescription(status);
}

}  // namespace

void CfxRegisterClassFactory(const nsID& clsid, CfxClassFactory factory) {
  ClassRegistry& registry = Registry();
  std::lock_guard lock(registry.mutex);
  if (factory) {
    registry.factories.insert_or_assign(clsid, std::move(factory));
  } else {
    registry.factories.erase(clsid);
  }
}

CfxResult CfxCreateImpl(const nsID& clsid, IUnknown* outer, std::uint32_t context, const nsID& iid, void** out,
                        int throwFlag) {
  return CfxTraceCall(
      "CfxCreateImpl",
      [&](HRESULT& status) {
        const CfxCreateRequest request{clsid, outer, context, iid, throwFlag};
        CfxResult outcome = Outcome(request, out);
        status = outcome.Code();
        if (throwFlag != 0 && FAILED(outcome.Code())) throw outcome;
        return outcome;
      },
      clsid, static_cast<const IUnknown*>(outer), context, iid, throwFlag);
}
