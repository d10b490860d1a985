// Document utilities.
#include "apputils/check_status.h"
#include "cfx/call_tracer.h"
#include "host/container_utils.h"

namespace AppUtils::Document {

void RegenerateDisplay(ISBDocumentRoot* document, ISBContainerRoot* container) {
  CfxTraceCall(
      "AppUtils::Document::RegenerateDisplay",
      [&](HRESULT& status) {
        CheckNullDereference(document);
        Detail::CheckStatus(status = document->RegenerateDisplay(container));
      },
      static_cast<const IUnknown*>(document), static_cast<const IUnknown*>(container));
}

}  // namespace AppUtils::Document
