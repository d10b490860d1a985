// Commands of job preparation: creating a job, its documents folder, staging
// a study table; and running a job on the local server.
#include "ZarnServerJobUtils.h"
#include "commands.h"
#include "output.h"
#include "project_access.h"

namespace zarnjob {

void RunCreateJob(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  const CfxComPtr<ISBState> plan = zarnlocal::MakeJobTemplate(call.arguments[0]);
  const CfxVariant argument{};
  const std::string text = call.Value("--text").value_or("");
  const CfxComPtr<ISBZarnServerJob> job = context.Library([&] {
    return AppUtils::Document::CreateZarnServerJob(argument, plan.get(), text, root.get(), call.Has("--input-folder"));
  });
  const auto handle = zarnlocal::ServerJob::Of(job.get());
  if (!handle) throw CfxResult(E_UNEXPECTED, "the new job is not a job of the local server");
  PrintLine(handle->Id());
}

void RunDocumentsFolder(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  const CfxBSTR folder =
      context.Library([&] { return AppUtils::Document::ServerDocumentsFolder(job.ZarnServerJob(), root.get()); });
  PrintLine(folder.ToTString());
}

void RunStage(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  const CfxComPtr<ISBUrl> table = ProjectLocation(project, call.arguments[1]);
  const std::optional<std::string> base = call.Value("--relative-to");
  const CfxComPtr<ISBUrl> relativeTo = base ? ProjectLocation(project, *base) : CfxComPtr<ISBUrl>();
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  context.Library([&] {
    AppUtils::Document::AddStudyTableToJob(job.ZarnServerJob(), table.get(), root.get(), relativeTo.get(),
                                           call.Has("--file-area-name"), call.Has("--input"));
  });
}

void RunJob(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  for (const std::string& result : job.Run()) PrintLine(result);
}

}  // namespace zarnjob
