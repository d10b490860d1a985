#include "project_access.h"

#include "host/cfx_result.h"
#include "localhost/location.h"

namespace zarnjob {
namespace {

// The tool's status check: a failing host call raises the host's last error.
void Check(HRESULT status) {
  if (status == S_OK) return;
  CfxResult::SetLastError(status);
  if (FAILED(status)) throw CfxResult::LastErrorCheckNotS_OK();
}

}  // namespace

CfxComPtr<ISBUrl> ProjectLocation(const zarnlocal::Project& project, const std::string& text) {
  const zarnlocal::Location location = zarnlocal::Location::Parse(text, project.Folder());
  if (!zarnlocal::IsWithin(location.path, project.Folder())) {
    throw CfxResult(E_INVALIDARG, "not in the project " + project.Folder() + ": " + text);
  }
  return project.Url(text);
}

CfxComPtr<ISBUrl> DocumentsUnder(const zarnlocal::Project& project, const std::string& text, bool recursive) {
  CfxComPtr<ISBUrl> location = ProjectLocation(project, text);
  std::string query = zarnlocal::Location::Parse(text, project.Folder()).query;
  query += std::string(query.empty() ? "" : "&") + "Folders=No";
  if (recursive) query += "&Recursive=Yes";
  Check(location->SetQuery(CfxBSTR(query).in()));
  return location;
}

zarnlocal::ServerJob JobOf(const zarnlocal::Project& project, const std::string& id) { return project.OpenJob(id); }

CfxComPtr<ISBDocumentRoot> DocumentAt(const zarnlocal::Project& project, const std::string& location) {
  const CfxComPtr<ISBUrl> url = ProjectLocation(project, location);
  const CfxComPtr<ISBContainerRoot> container = project.Container();
  CfxComPtr<ISBDocumentManager> manager;
  Check(container->GetDocumentManager(manager.put()));
  CfxComPtr<ISBDocumentRoot> document;
  CfxVariant first, second, third;
  Check(manager->GetDocument(0, url.get(), first, second, third, document.put()));
  if (!document) throw CfxResult(E_FILE_NOT_FOUND, "no document at " + FilePathOf(url.get()));
  return document;
}

std::string FilePathOf(ISBUrl* location) {
  const auto file = CfxComPtr<ISBFileUrl>::Query(location);
  CfxBSTR path;
  path.CopyOnWrite();
  Check(file->GetFilePath(path.out()));
  return path.ToTString();
}

std::string DocumentPathOf(ISBDocumentRoot* document) {
  CfxComPtr<ISBDocumentInfo> info;
  Check(document->GetDocumentInfo(info.put()));
  CfxBSTR path;
  path.CopyOnWrite();
  Check(info->GetDocumentPath(path.out()));
  return path.ToTString();
}

std::string RelativeToProject(const zarnlocal::Project& project, const std::string& path) {
  if (!zarnlocal::IsWithin(path, project.Folder())) return path;
  return zarnlocal::RelativeTo(path, project.Folder());
}

}  // namespace zarnjob
