#include "localhost/project_state.h"

#include <algorithm>
#include <filesystem>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/file_system.h"
#include "localhost/project_objects.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

std::string AbsoluteFolder(const std::string& folder) {
  std::error_code error;
  const fs::path absolute = fs::absolute(NativePath(folder), error);
  if (error) throw CfxResult(E_INVALIDARG, "cannot make an absolute path of " + folder + ": " + error.message());
  return NormalisePath(PathText(absolute));
}

}  // namespace

std::shared_ptr<ProjectState> ProjectState::Open(const std::string& folder) { return Open(folder, std::string()); }

std::shared_ptr<ProjectState> ProjectState::Open(const std::string& folder, const std::string& serverFolder) {
  if (folder.empty()) throw CfxResult(E_INVALIDARG, "no project folder was given");
  const std::string root = AbsoluteFolder(folder);
  std::error_code error;
  if (!fs::is_directory(NativePath(root), error)) {
    throw CfxResult(E_FILE_NOT_FOUND, "no such folder: " + root + " (a project is an existing folder)");
  }
  const std::string state = root + "/" + kStateFolderName;
  const Settings settings = ReadSettings(state + "/config");
  std::string workspace = state + "/workspace";
  std::string server = state + "/server";
  for (const auto& [key, value] : settings) {
    if (key == "workspace") {
      workspace = NormalisePath(JoinPath(root, value));
    } else if (key == "server") {
      server = NormalisePath(JoinPath(root, value));
    } else {
      throw CfxResult(E_INVALIDARG, state + "/config: unknown setting '" + key + "' (known: workspace, server)");
    }
  }
  if (!serverFolder.empty()) server = NormalisePath(JoinPath(root, serverFolder));
  // The state folder and the default workspace and server in it are the
  // host's own: a link there out of the project would have the host write
  // elsewhere. Configured folders are where the configuration says.
  const std::string realState = RealLocation(root) + "/" + kStateFolderName;
  const std::pair<std::string, std::string> own[] = {
      {state, realState},
      {workspace == state + "/workspace" ? workspace : std::string(), realState + "/workspace"},
      {server == state + "/server" ? server : std::string(), realState + "/server"},
  };
  for (const auto& [folder, expected] : own) {
    if (folder.empty() || !fs::exists(fs::symlink_status(NativePath(folder), error))) continue;
    const std::string real = RealLocation(folder);
    if (real != expected) {
      throw CfxResult(E_ACCESSDENIED, "refused: the host's own folder " + folder + " is really " + real +
                                          "; the host keeps its state only in the project's .zarn/ folder");
    }
  }
  FileTypes types = FileTypes::Load(ReadWholeFile(state + "/filetypes"), state + "/filetypes");
  return std::shared_ptr<ProjectState>(new ProjectState(root, workspace, Server(server), std::move(types)));
}

ProjectState::ProjectState(std::string folder, std::string workspace, Server server, FileTypes types)
    : folder_(std::move(folder)),
      workspace_(std::move(workspace)),
      server_(std::move(server)),
      types_(std::move(types)),
      view_(StateFolder()) {
  const std::string realProject = RealLocation(folder_);
  for (const std::string& own : {StateFolder(), server_.Root(), workspace_}) {
    const std::string real = RealLocation(own);
    if (own == StateFolder() || (IsWithin(real, realProject) && real != realProject)) {
      ownFolders_.push_back(own);
      realOwnFolders_.push_back(real);
    }
  }
}

bool ProjectState::IsOwnFolder(const std::string& path) const {
  return std::find(ownFolders_.begin(), ownFolders_.end(), path) != ownFolders_.end();
}

bool ProjectState::IsHostOwn(const std::string& path, bool ownName) const {
  const std::string real = ownName ? RealDestination(path) : RealLocation(path);
  return std::any_of(realOwnFolders_.begin(), realOwnFolders_.end(),
                     [&](const std::string& own) { return IsWithin(real, own); });
}

void ProjectState::RequireNotHostOwn(const std::string& path, const std::string& what, bool ownName) const {
  if (!IsHostOwn(path, ownName)) return;
  throw CfxResult(E_ACCESSDENIED, "refused: " + what + " " + path + " (really " + RealLocation(path) +
                                      ") lies in a folder of the host's own (.zarn/, the server folder or the "
                                      "workspace), whose files are never documents");
}

std::string ProjectState::RelativeOrFail(const std::string& path) const {
  if (!Contains(path)) throw CfxResult(E_INVALIDARG, "not in the project " + folder_ + ": " + path);
  return RelativeTo(path, folder_);
}

std::string ProjectState::Resolve(std::string_view path) const {
  if (path.empty()) throw CfxResult(E_INVALIDARG, "empty path");
  return NormalisePath(JoinPath(folder_, path));
}

std::string ProjectState::VirtualStoreOf(const std::string& relative) const {
  return StateFolder() + "/virtual/" + relative;
}

std::string ProjectState::CheckedVirtualStore(const std::string& store) const {
  const std::string real = RealLocation(store);
  const std::string folder = RealLocation(StateFolder() + "/virtual");
  if (!IsWithin(real, folder) || real == folder) {
    throw CfxResult(E_ACCESSDENIED, "refused: the virtual document store " + store + " is really " + real +
                                        ", outside " + folder + " (a virtual document's content is kept there only)");
  }
  return real;
}

std::pair<std::string, std::string> ProjectState::CheckedSaveTarget(const std::string& target) const {
  const std::string real = RealDestination(target);
  const std::string workspace = RealLocation(workspace_);
  const std::string project = RealLocation(folder_);
  if (IsWithin(real, workspace) && real != workspace) {
    // A workspace elsewhere may be on another file system: it gets a scratch folder of its own.
    return {real, IsWithin(workspace, project) ? Scratch() : workspace + "/.partial"};
  }
  const std::string state = project + "/" + kStateFolderName;
  const std::string server = RealLocation(server_.Root());
  if (!IsWithin(real, project) || real == project || IsWithin(real, state) || IsWithin(real, server)) {
    throw CfxResult(E_ACCESSDENIED, "refused: the save target " + target + " (really " + real +
                                        ") is neither in the workspace " + workspace + " nor in the project " +
                                        project + " outside .zarn/ and the server folder");
  }
  return {real, Scratch()};
}

DocumentObject* ProjectState::OpenDocument(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(path);
  if (found == documents_.end() || !found->second->TryAddReference()) return nullptr;
  return found->second;
}

void ProjectState::Register(const std::string& path, DocumentObject* document) {
  std::lock_guard lock(mutex_);
  documents_[path] = document;
}

void ProjectState::Unregister(const std::string& path, DocumentObject* document) {
  std::lock_guard lock(mutex_);
  const auto found = documents_.find(path);
  if (found != documents_.end() && found->second == document) documents_.erase(found);
}

std::size_t ProjectState::BeginOperation(std::int32_t kind, std::string name) {
  std::lock_guard lock(mutex_);
  operations_.push_back({kind, std::move(name), true});
  return operations_.size() - 1;
}

void ProjectState::EndOperation(std::size_t index) {
  std::lock_guard lock(mutex_);
  if (index < operations_.size()) operations_[index].open = false;
}

std::vector<OperationRecord> ProjectState::Operations() const {
  std::lock_guard lock(mutex_);
  return operations_;
}

}  // namespace zarnlocal
