#include "documents/child_urls.h"

#include "frame/call_frame.h"

namespace zarn {

CfxComPtr<ISBUrlList> ListChildUrls(ISBUrl* location, ISBContainerRoot* container) {
  CfxComPtr<ISBUrlFactory> factory;
  CheckStatus(NotNull(container)->GetUrlFactory(factory.put()));
  const auto services = CfxComPtr<ISBUrlServices>::Query(factory);
  CfxComPtr<ISBUrlList> list;
  CheckStatus(NotNull(services)->ListUrls(location, list.put()));
  return list;
}

}  // namespace zarn
