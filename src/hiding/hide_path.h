// Hiding by file-system path, the one thing the project view's hidden mark
// is keyed on. The mark is always "hidden" (0xFFFF): nothing in this library
// makes a file visible again.
#pragma once

#include "host/bstr.h"
#include "host/com_ptr.h"
#include "host/project_interfaces.h"

namespace zarn {

// Null-checks the factory and marks the path hidden (status check).
void HidePath(ISBUrlFactory* factory, const CfxBSTR& path);

// Walks the listing and hides every entry by the path its own file view
// gives, in index order; each entry is let go before the next is fetched.
void HideListedFiles(const CfxComPtr<ISBUrlList>& list, ISBUrlFactory* factory);

}  // namespace zarn
