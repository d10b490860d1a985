// The locations under a location, as the container's location services list
// them. Which locations that covers is the host's matter.
#pragma once

#include "host/com_ptr.h"
#include "host/project_interfaces.h"

namespace zarn {

// `location` goes to the host unchanged; a null `container` raises the null
// check before any host call.
CfxComPtr<ISBUrlList> ListChildUrls(ISBUrl* location, ISBContainerRoot* container);

}  // namespace zarn
