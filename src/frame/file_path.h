// The file-system path of a location, asked through its file view: the
// checked query for ISBFileUrl (none is made for a null location), the null
// check of the view, then GetFilePath into a fresh host string.
#pragma once

#include "host/bstr.h"
#include "host/project_interfaces.h"

namespace zarn {

CfxBSTR FilePathOf(ISBUrl* location);

}  // namespace zarn
