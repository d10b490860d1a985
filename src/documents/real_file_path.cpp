// GetPathToRealFile: a path to a real file with the document's content. A
// document with a file of its own gives its path; a virtual one is written
// into the workspace folder under its own file name and extension. Splitting,
// joining and expanding paths are the host's: no text work is done here.
#include <cstdint>

#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "host/container_utils.h"

namespace AppUtils::Document {
namespace {

constexpr const char* kWorkspacePlaceholder = "%WORKSPACE_FOLDER%";
constexpr std::int32_t kSaveFlags = 0;

// Only the host's true marks a virtual document; any other value, 1
// included, means the document has a file of its own.
constexpr VARIANT_BOOL kVirtualMarker = VARIANT_TRUE;

}  // namespace

CfxBSTR GetPathToRealFile(ISBDocumentRoot* document, ISBContainerRoot* container) {
  using zarn::CheckStatus;
  using zarn::NotNull;
  using zarn::QuietRelease;

  VARIANT_BOOL isVirtual = VARIANT_FALSE;
  {
    const auto storage = CfxComPtr<ISBDocumentStorage>::Query(document);
    CheckStatus(NotNull(storage)->IsVirtual(&isVirtual));
  }

  CfxBSTR documentPath;
  {
    const auto info = AppUtils::Container::GetDocumentInfo(document);
    documentPath.CopyOnWrite();
    CheckStatus(NotNull(info)->GetDocumentPath(documentPath.out()));
  }
  if (isVirtual != kVirtualMarker) return documentPath;

  CfxBSTR joined;
  {
    const auto disk = AppUtils::Container::GetDiskManager(container);
    CfxBSTR name;
    CfxBSTR extension;
    name.CopyOnWrite();
    extension.CopyOnWrite();
    CheckStatus(NotNull(disk)->SplitPath(documentPath.in(), nullptr, nullptr, name.out(), extension.out()));
    const CfxBSTR folder(kWorkspacePlaceholder);
    joined.CopyOnWrite();
    CheckStatus(NotNull(disk)->MakePath(nullptr, folder.in(), name.in(), extension.in(), joined.out()));
  }

  CfxBSTR result;
  {
    CfxComPtr<ISBEnvironment> environment;
    CheckStatus(NotNull(container)->GetEnvironment(environment.put()));
    result.CopyOnWrite();
    CheckStatus(NotNull(environment)->ExpandVariables(joined.in(), result.out()));
  }

  {
    const auto manager = AppUtils::Container::GetDocumentManager(container);
    CfxVariant target(result);
    CfxVariant first, second;
    CheckStatus(NotNull(manager)->SaveDocument(document, kSaveFlags, first, second, target));
    QuietRelease(first);
    QuietRelease(second);
    QuietRelease(target);
  }
  return result;
}

}  // namespace AppUtils::Document
