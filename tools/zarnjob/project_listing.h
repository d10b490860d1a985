// The project view as text: every entry of the project folder, one a line,
// sorted by path, with its hidden mark and its locks.
//
//   Results/
//   Results/a.std [locked by Corvane Server]
//   Results/a.def [hidden]
#pragma once

#include <string>
#include <vector>

#include "localhost/local_host.h"

namespace zarnjob {

// Entries on disk, hidden ones included; the state folder .zarn/ and files
// the host is still writing are left out. Links to folders are listed, not
// followed.
std::vector<std::string> ProjectViewLines(const zarnlocal::Project& project);

}  // namespace zarnjob
