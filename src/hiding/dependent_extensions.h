// The extensions of the files that depend on a listed document, as the host's
// file-type registry gives them for the document's own extension.
#pragma once

#include <string>
#include <vector>

#include "host/project_interfaces.h"

namespace zarn {

// Each dependent extension with a "." in front, in the registry's order,
// duplicates kept. Empty when the document's path has no extension (the
// registry is not asked then) or the registry names none.
std::vector<std::string> DependentExtensions(ISBUrl* document, ISBDocumentManager* documents);

}  // namespace zarn
