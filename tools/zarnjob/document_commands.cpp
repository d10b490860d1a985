// Commands over client documents: import, refresh, the server's lock and
// real file paths.
#include "ZarnServerJobUtils.h"
#include "commands.h"
#include "output.h"
#include "project_access.h"

namespace zarnjob {
namespace {

void SetLock(Context& context, const Invocation& call, bool lock) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBUrl> location = ProjectLocation(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  context.Library([&] { AppUtils::Document::SetDocumentLock(location.get(), lock, root.get()); });
}

}  // namespace

void RunImport(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBUrl> location = ProjectLocation(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  const CfxComPtr<ISBDocumentRoot> document = context.Library(
      [&] { return AppUtils::Document::ImportAndView(location.get(), call.Has("--open-view"), root.get()); });
  if (document) PrintLine(DocumentPathOf(document.get()));
}

void RunRefresh(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBUrl> location = DocumentsUnder(project, call.arguments[0], call.Has("--recursive"));
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  context.Library([&] { AppUtils::Document::RefreshResults(location.get(), call.Has("--open-view"), root.get()); });
}

void RunLock(Context& context, const Invocation& call) { SetLock(context, call, true); }

void RunUnlock(Context& context, const Invocation& call) { SetLock(context, call, false); }

void RunRealPath(Context& context, const Invocation& call) {
  const zarnlocal::Project project = context.OpenProject();
  const CfxComPtr<ISBDocumentRoot> document = DocumentAt(project, call.arguments[0]);
  const CfxComPtr<ISBContainerRoot> root = project.Container();
  const CfxBSTR path =
      context.Library([&] { return AppUtils::Document::GetPathToRealFile(document.get(), root.get()); });
  PrintLine(path.ToTString());
}

}  // namespace zarnjob
