// Commands of file hiding.
#include "ZarnServerJobUtils.h"
#include "commands.h"
#include "project_access.h"

namespace zarnjob {

void RunHide(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBUrl> location = ProjectLocation(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  context.Library([&] { AppUtils::Document::HideFiles(location.get(), root.get()); });
}

void RunHideDependent(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBUrl> location = ProjectLocation(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  context.Library([&] { AppUtils::Document::HideDependentFiles(location.get(), root.get(), call.Has("--recursive")); });
}

}  // namespace zarnjob
