// Document utilities.
#include "apputils/check_status.h"
#include "host/container_utils.h"

namespace AppUtils::Document {

void RegenerateDisplay(ISBDocumentRoot* document, ISBContainerRoot* container) {
  CheckNullDereference(document);
  Detail::CheckStatus(document->RegenerateDisplay(container));
}

}  // namespace AppUtils::Document
