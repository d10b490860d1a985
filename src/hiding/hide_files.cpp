// HideFiles: hides every entry that a location lists. The location's query is
// the caller's: it decides whether the host lists subfolders too.
#include "ZarnServerJobUtils.h"
#include "frame/call_frame.h"
#include "hiding/hide_path.h"

namespace AppUtils::Document {

void HideFiles(ISBUrl* files, ISBContainerRoot* container) {
  zarn::RequireArgument(files, "No files to hide");

  CfxComPtr<ISBUrlFactory> factory;
  zarn::CheckStatus(zarn::NotNull(container)->GetUrlFactory(factory.put()));
  const auto services = CfxComPtr<ISBUrlServices>::Query(factory);

  CfxComPtr<ISBUrlList> list;
  zarn::CheckStatus(zarn::NotNull(services)->ListUrls(files, list.put()));
  zarn::HideListedFiles(list, factory.get());
}

}  // namespace AppUtils::Document
