// Container utilities: thin checked wrappers over the container's operations.
// Each reports itself to the call tracer, with the status the host answered.
#include "host/container_utils.h"

#include <utility>

#include "apputils/check_status.h"
#include "cfx/call_tracer.h"

namespace AppUtils::Container {

using Detail::CheckStatus;

CfxComPtr<ISBDocumentManager> GetDocumentManager(ISBContainerRoot* container) {
  return CfxTraceCall(
      "AppUtils::Container::GetDocumentManager",
      [&](HRESULT& status) {
        CheckNullDereference(container);
        CfxComPtr<ISBDocumentManager> manager;
        CheckStatus(status = container->GetDocumentManager(manager.put()));
        return manager;
      },
      static_cast<const IUnknown*>(container));
}

CfxComPtr<ISBDiskManager> GetDiskManager(ISBContainerRoot* container) {
  return CfxTraceCall(
      "AppUtils::Container::GetDiskManager",
      [&](HRESULT& status) {
        CheckNullDereference(container);
        CfxComPtr<ISBDiskManager> manager;
        CheckStatus(status = container->GetDiskManager(manager.put()));
        return manager;
      },
      static_cast<const IUnknown*>(container));
}

CfxComPtr<ISBDocumentInfo> GetDocumentInfo(ISBDocumentRoot* document) {
  return CfxTraceCall(
      "AppUtils::Container::GetDocumentInfo",
      [&](HRESULT& status) {
        CheckNullDereference(document);
        CfxComPtr<ISBDocumentInfo> info;
        CheckStatus(status = document->GetDocumentInfo(info.put()));
        return info;
      },
      static_cast<const IUnknown*>(document));
}

bool FileExists(const std::string& path, ISBContainerRoot* container) {
  return CfxTraceCall(
      "AppUtils::Container::FileExists",
      [&](HRESULT& status) {
        CheckNullDereference(container);
        VARIANT_BOOL exists = VARIANT_FALSE;
        CheckStatus(status = container->FileExists(CfxBSTR(path).in(), &exists));
        return exists != VARIANT_FALSE;
      },
      path, static_cast<const IUnknown*>(container));
}

CfxComPtr<IUnknown> CreateOperation(ISBContainerRoot* container, std::int32_t kind, std::string name) {
  return CfxTraceCall(
      "AppUtils::Container::CreateOperation",
      [&](HRESULT& status) {
        CheckNullDereference(container);
        CfxComPtr<IUnknown> operation;
        CheckStatus(status = container->CreateOperation(kind, CfxBSTR(name).in(), operation.put()));
        return operation;
      },
      static_cast<const IUnknown*>(container), kind, name);
}

}  // namespace AppUtils::Container
