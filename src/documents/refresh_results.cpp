// RefreshResults: imports and shows every document under a location, then
// lifts the server's lock that the import set again, so each refreshed
// document is left current and unlocked.
#include "ZarnServerJobUtils.h"
#include "documents/child_urls.h"
#include "documents/server_lock.h"
#include "frame/listing_walk.h"

namespace AppUtils::Document {

void RefreshResults(ISBUrl* location, bool openView, ISBContainerRoot* container) {
  const auto list = zarn::ListChildUrls(location, container);
  zarn::WalkListing(list, [&](const CfxComPtr<ISBUrl>& child) {
    const auto document = ImportAndView(child.get(), openView, container);
    zarn::UnlockDocument(document.get());
  });
}

}  // namespace AppUtils::Document
