#include "hiding/hide_path.h"

#include "frame/call_frame.h"
#include "frame/file_path.h"
#include "frame/listing_walk.h"

namespace zarn {

void HidePath(ISBUrlFactory* factory, const CfxBSTR& path) {
  CheckStatus(NotNull(factory)->SetHidden(path.in(), VARIANT_TRUE));
}

void HideListedFiles(const CfxComPtr<ISBUrlList>& list, ISBUrlFactory* factory) {
  WalkListing(list, [&](const CfxComPtr<ISBUrl>& entry) { HidePath(factory, FilePathOf(entry.get())); });
}

}  // namespace zarn
