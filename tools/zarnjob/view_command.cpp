// view: the project view, as the host keeps it.
#include "commands.h"
#include "output.h"
#include "project_listing.h"

namespace zarnjob {

void RunView(Context& context, const Invocation&) {
  const zarnlocal::Project project = context.OpenProject();
  for (const std::string& line : ProjectViewLines(project)) PrintLine(line);
}

}  // namespace zarnjob
