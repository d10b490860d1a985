// view: the project view, as the host keeps it.
#include "commands.h"
#include "output.h"
#include "project_listing.h"

namespace zarnjob {

void RunView(Context& context, const Invocation&) {
  const zarnlocal::Project project = context.OpenProject();
  std::vector<std::string> problems;
  for (const std::string& line : ProjectViewLines(project, problems)) PrintLine(line);
  for (const std::string& problem : problems) context.watch.LeftOut(problem);
}

}  // namespace zarnjob
