// ProjectState: one open project, shared by every host object made for it.
//
// The project is a folder; its state folder .zarn/ holds what the host
// keeps between processes:
//
//   .zarn/config      optional settings: workspace = <folder>, server = <folder>
//                     (relative ones from the project folder)
//   .zarn/filetypes   the project's file types (file_types.h)
//   .zarn/hidden, .zarn/locks, .zarn/views   the project view (project_view.h)
//   .zarn/virtual/<path>   the content of the virtual document at <path>
//   .zarn/workspace/  the default workspace folder (%WORKSPACE_FOLDER%)
//   .zarn/server/     the default server folder (server.h)
//
// Host objects hold the state through a shared_ptr and never one another,
// so the references a client holds are all there are.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "localhost/file_types.h"
#include "localhost/location.h"
#include "localhost/project_view.h"
#include "localhost/server.h"

namespace zarnlocal {

class DocumentObject;

struct OperationRecord {
  std::int32_t kind = 0;
  std::string name;
  bool open = true;  // until the client releases the operation
  friend bool operator==(const OperationRecord&, const OperationRecord&) = default;
};

inline constexpr const char* kStateFolderName = ".zarn";

class ProjectState {
 public:
  // Throws CfxResult: no such folder, or a malformed config or filetypes file.
  static std::shared_ptr<ProjectState> Open(const std::string& folder);
  // The same with the server folder given: it replaces the config's and the
  // default (a relative one is taken from the project folder).
  static std::shared_ptr<ProjectState> Open(const std::string& folder, const std::string& serverFolder);

  const std::string& Folder() const { return folder_; }
  std::string StateFolder() const { return folder_ + "/" + kStateFolderName; }
  const std::string& WorkspaceFolder() const { return workspace_; }
  const Server& TheServer() const { return server_; }
  const FileTypes& Types() const { return types_; }
  ProjectView& View() { return view_; }

  // A location for a text (Location::Parse against the project folder).
  Location Parse(std::string_view text) const { return Location::Parse(text, folder_); }
  bool Contains(const std::string& path) const { return IsWithin(path, folder_); }
  // The path relative to the project; throws E_INVALIDARG "not in the project".
  std::string RelativeOrFail(const std::string& path) const;
  // A file-system path given to the host: absolute, or relative to the project.
  std::string Resolve(std::string_view path) const;
  // Where the content of the virtual document at a project path is kept.
  std::string VirtualStoreOf(const std::string& relative) const;
  // Whether a path of the project, as written, is one of the host's own
  // folders: .zarn/, and the server folder and the workspace where they lie
  // in the project. Listings leave them out.
  bool IsOwnFolder(const std::string& path) const;
  // Whether the real location of a path (links resolved; with `ownName` a
  // link at the path itself is taken as it is) lies in one of the host's
  // own folders; nothing there is a document.
  bool IsHostOwn(const std::string& path, bool ownName = false) const;
  // Throws CfxResult E_ACCESSDENIED "refused: ..." naming the path, where it
  // really leads and the rule, when IsHostOwn holds.
  void RequireNotHostOwn(const std::string& path, const std::string& what, bool ownName = false) const;
  // The host's own folder for temporaries of writes into the project.
  std::string Scratch() const { return StateFolder() + "/partial"; }
  // The real location of the store of a virtual document, which must lie in
  // .zarn/virtual/ (a link there is refused: E_ACCESSDENIED naming both).
  std::string CheckedVirtualStore(const std::string& store) const;
  // Where a document may be saved to: a real location in the workspace
  // folder, or in the project outside .zarn/ and the server folder. Gives
  // that location and the scratch folder to write it through (a workspace
  // outside the project has its own, <workspace>/.partial); refuses
  // others with E_ACCESSDENIED naming the path and the rule.
  std::pair<std::string, std::string> CheckedSaveTarget(const std::string& target) const;

  // Open documents by path, so that one location gives one document object.
  // Gives the open document with a new reference, or null.
  DocumentObject* OpenDocument(const std::string& path);
  void Register(const std::string& path, DocumentObject* document);
  void Unregister(const std::string& path, DocumentObject* document);

  std::size_t BeginOperation(std::int32_t kind, std::string name);
  void EndOperation(std::size_t index);
  std::vector<OperationRecord> Operations() const;

 private:
  ProjectState(std::string folder, std::string workspace, Server server, FileTypes types);

  std::string folder_;
  std::string workspace_;
  Server server_;
  FileTypes types_;
  ProjectView view_;
  std::vector<std::string> ownFolders_;      // as written
  std::vector<std::string> realOwnFolders_;  // their real locations
  mutable std::mutex mutex_;
  std::map<std::string, DocumentObject*> documents_;
  std::vector<OperationRecord> operations_;
};

}  // namespace zarnlocal
