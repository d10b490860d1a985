// The project view as text: every entry of the project folder, one a line,
// sorted by path, with its hidden mark and its locks. A path that holds a
// control character, '[', '"' or '\' is printed in double quotes with C
// escapes, so a mark is always outside any name.
//
//   Results/
//   Results/a.std [locked by Corvane Server]
//   Results/a.def [hidden]
#pragma once

#include <string>
#include <vector>

#include "localhost/local_host.h"

namespace zarnjob {

// Entries on disk, hidden ones included; the host's own folders (.zarn/, and
// the server folder and workspace where they lie in the project) are left
// out. Links to folders are listed, not followed. What could not be listed
// is added to `problems`, and everything else is still given.
std::vector<std::string> ProjectViewLines(const zarnlocal::Project& project, std::vector<std::string>& problems);

}  // namespace zarnjob
