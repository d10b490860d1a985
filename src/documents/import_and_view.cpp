// ImportAndView: brings the document at a location up to date and shows it.
// The server's lock is lifted for the update and set again at the end; a
// failure on the way leaves the document unlocked (nothing is undone).
#include <cstdint>

#include "ZarnServerJobUtils.h"
#include "documents/server_lock.h"
#include "frame/call_frame.h"
#include "host/container_utils.h"

namespace AppUtils::Document {
namespace {

constexpr std::int32_t kImportFlags = 16;
constexpr std::int32_t kSaveFlags = 0;
constexpr std::int32_t kOperationKind = 3;
constexpr const char* kOperationName = "Import live update document";
constexpr std::int32_t kShowArgument = -1;

}  // namespace

CfxComPtr<ISBDocumentRoot> ImportAndView(ISBUrl* location, bool openView, ISBContainerRoot* container) {
  using zarn::CheckStatus;
  using zarn::NotNull;
  using zarn::QuietRelease;

  if (!container) return {};
  const auto viewHost = CfxComPtr<ISBViewHost>::TryQuery(container);
  if (!viewHost) return {};

  CfxComPtr<ISBDocumentManager> manager;
  CheckStatus(container->GetDocumentManager(manager.put()));

  CfxComPtr<ISBDocumentRoot> document;
  {
    CfxVariant first, second, third;
    CheckStatus(NotNull(manager)->GetDocument(kImportFlags, location, first, second, third, document.put()));
    QuietRelease(first);
    QuietRelease(second);
    QuietRelease(third);
  }
  zarn::UnlockDocument(document.get());

  // A manager that answers success without a document has nothing to
  // regenerate, save or show: raise before any operation is opened.
  NotNull(document);
  {
    // The operation groups the regeneration for the host and ends with this scope.
    const auto operation = AppUtils::Container::CreateOperation(container, kOperationKind, kOperationName);
    AppUtils::Document::RegenerateDisplay(document.get(), container);
  }

  {
    CfxVariant first, second, third;
    CheckStatus(manager->SaveDocument(document.get(), kSaveFlags, first, second, third));
    QuietRelease(first);
    QuietRelease(second);
    QuietRelease(third);
  }

  CfxComPtr<ISBViewManager> viewManager;
  CheckStatus(NotNull(viewHost)->GetViewManager(viewManager.put()));
  if (openView) {
    CfxComPtr<IUnknown> view;
    CheckStatus(NotNull(viewManager)->OpenView(document.get(), view.put()));
  } else {
    // Showing is best effort: its status is neither stored nor checked.
    static_cast<void>(document->Show(kShowArgument));
  }

  zarn::LockDocument(document.get());
  return document;
}

}  // namespace AppUtils::Document
