// SetDocumentLock: sets or lifts the server's lock on every document under a
// location. Listed locations without a document are skipped; nothing is
// regenerated, saved or shown.
#include <cstdint>

#include "ZarnServerJobUtils.h"
#include "documents/child_urls.h"
#include "documents/server_lock.h"
#include "frame/call_frame.h"
#include "frame/listing_walk.h"
#include "host/container_utils.h"

namespace AppUtils::Document {
namespace {

constexpr std::int32_t kLookupFlags = 0;

}  // namespace

void SetDocumentLock(ISBUrl* location, bool lock, ISBContainerRoot* container) {
  using zarn::CheckStatus;
  using zarn::NotNull;
  using zarn::QuietRelease;

  const auto manager = AppUtils::Container::GetDocumentManager(container);
  const auto list = zarn::ListChildUrls(location, container);
  zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>& entry) {
    CfxComPtr<ISBDocumentRoot> document;
    {
      CfxVariant first, second, third;
      CheckStatus(NotNull(manager)->GetDocument(kLookupFlags, entry.get(), first, second, third, document.put()));
      QuietRelease(first);
      QuietRelease(second);
      QuietRelease(third);
    }
    if (!document) return;
    if (lock) {
      zarn::LockDocument(document.get());
    } else {
      zarn::UnlockDocument(document.get());
    }
  });
}

}  // namespace AppUtils::Document
