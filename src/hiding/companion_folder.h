// The companion folder of a study table: the folder beside it named after
// the table with " Files", or, when that one does not exist, with "_Files".
#pragma once

#include "host/project_interfaces.h"

namespace zarn {

// Hides the study table's companion folder, then everything listed below it
// (always listed recursively). Only the first folder that exists is hidden;
// a table without one is passed over quietly.
void HideCompanionFolder(ISBUrl* studyTable, ISBUrlFactory* factory);

}  // namespace zarn
