// Container utilities: thin checked wrappers over the container's operations.
#include "host/container_utils.h"

#include <utility>

#include "apputils/check_status.h"

namespace AppUtils::Container {

using Detail::CheckStatus;

CfxComPtr<ISBDocumentManager> GetDocumentManager(ISBContainerRoot* container) {
  CheckNullDereference(container);
  CfxComPtr<ISBDocumentManager> manager;
  CheckStatus(container->GetDocumentManager(manager.put()));
  return manager;
}

CfxComPtr<ISBDiskManager> GetDiskManager(ISBContainerRoot* container) {
  CheckNullDereference(container);
  CfxComPtr<ISBDiskManager> manager;
  CheckStatus(container->GetDiskManager(manager.put()));
  return manager;
}

CfxComPtr<ISBDocumentInfo> GetDocumentInfo(ISBDocumentRoot* document) {
  CheckNullDereference(document);
  CfxComPtr<ISBDocumentInfo> info;
  CheckStatus(document->GetDocumentInfo(info.put()));
  return info;
}

bool FileExists(const std::string& path, ISBContainerRoot* container) {
  CheckNullDereference(container);
  VARIANT_BOOL exists = VARIANT_FALSE;
  CheckStatus(container->FileExists(CfxBSTR(path).in(), &exists));
  return exists != VARIANT_FALSE;
}

CfxComPtr<IUnknown> CreateOperation(ISBContainerRoot* container, std::int32_t kind, std::string name) {
  CheckNullDereference(container);
  CfxComPtr<IUnknown> operation;
  CheckStatus(container->CreateOperation(kind, CfxBSTR(name).in(), operation.put()));
  return operation;
}

}  // namespace AppUtils::Container
