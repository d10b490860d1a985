// Commands of server file access: template reading, live updates, client
// locations of server files and downloads.
#include "ZarnServerJobUtils.h"
#include "commands.h"
#include "output.h"
#include "project_access.h"

namespace zarnjob {

void RunReadTemplate(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  const std::string text =
      context.Library([&] { return AppUtils::Document::ReadTemplate(call.arguments[0], root.get()); });
  WriteBytes(text);
}

void RunLiveStart(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  context.Library([&] { AppUtils::Document::StartLiveUpdates(job.Job()); });
}

void RunLiveStop(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  context.Library([&] { AppUtils::Document::StopLiveUpdates(job.Job()); });
}

void RunClientUrl(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  const CfxComPtr<ISBUrl> client = context.Library(
      [&] { return AppUtils::Document::DeduceClientUrl(call.arguments[1], job.ManagedJob(), root.get()); });
  PrintLine(FilePathOf(client.get()));
}

void RunDownload(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const zarnlocal::ServerJob job = JobOf(project, call.arguments[0]);
  const CfxComPtr<ISBUrl> destination = ProjectLocation(project, call.arguments[2]);
  const CfxBSTR source(call.arguments[1]);
  context.Library([&] { AppUtils::Document::DownloadFile(source, destination.get(), job.Job()); });
}

}  // namespace zarnjob
