#include "localhost/server.h"

#include <algorithm>
#include <filesystem>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/file_system.h"
#include "localhost/location.h"
#include "localhost/project_state.h"
#include "localhost/regular_file.h"
#include "localhost/state_lock.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kJobHeader =
    "# A job of the local server. Edit with care: the host reads it on every call.\n";
// The folder of a job's results in its documents folder: the summary, and
// inputs/<input name>.txt for each input.
constexpr std::string_view kResultsFolder = "Results";
constexpr std::string_view kInputsHeader = "# Job inputs: the name in the job, a tab, the client file it came from.\n";
const std::vector<std::string> kInputFields = {"the name in the job", "the client file"};

bool IsJobId(std::string_view text) {
  return !text.empty() && text.size() < 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string Server::ToFilesystem(std::string_view serverPath) const {
  std::string path(serverPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty()) throw CfxResult(E_INVALIDARG, "empty server path");
  if (RootLength(path) == 0) path = "/" + path;
  const std::string normal = NormalisePath(path);
  if (IsWithin(normal, root_)) return normal;
  // A server path may not climb above the server's root.
  std::size_t depth = 0;
  for (const std::string& element : PathElements(path)) {
    if (element == "..") {
      if (depth == 0) throw CfxResult(E_INVALIDARG, "the server path leaves the server: " + std::string(serverPath));
      --depth;
    } else if (element != ".") {
      ++depth;
    }
  }
  return NormalisePath(root_ + normal);
}

std::string Server::ToServerPath(const std::string& filesystemPath) const {
  if (!IsWithin(filesystemPath, root_)) return filesystemPath;
  return "/" + RelativeTo(filesystemPath, root_);
}

std::vector<std::string> Server::JobIds() const {
  std::vector<std::string> ids;
  std::error_code error;
  for (fs::directory_iterator it(NativePath(root_ + "/jobs"), error), end; !error && it != end; it.increment(error)) {
    const std::string name = PathText(it->path().filename());
    if (IsJobId(name) && fs::exists(it->path() / "job")) ids.push_back(name);
  }
  std::sort(ids.begin(), ids.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return ids;
}

std::string Server::JobFolder(std::string_view id) const { return root_ + "/jobs/" + std::string(id); }

void Server::RequireReadWithin(const std::string& path, const std::string& folder, const std::string& what) {
  const std::string real = RealLocation(path);
  const std::string realFolder = RealLocation(folder);
  if (!IsWithin(real, realFolder)) {
    throw CfxResult(E_ACCESSDENIED, "refused: " + what + " " + path + " is really " + real + ", outside " + realFolder +
                                        " (the server uses only files in its own folder)");
  }
}

std::string Server::RequireWriteWithin(const std::string& path, const std::string& folder, const std::string& what) {
  const std::string real = RealDestination(path);
  const std::string realFolder = RealLocation(folder);
  if (!IsWithin(real, realFolder) || real == realFolder) {
    throw CfxResult(E_ACCESSDENIED, "refused: " + what + " " + path + " would be written at " + real + ", outside " +
                                        realFolder + " (the server writes only into its own folder)");
  }
  return real;
}

void RequireInputName(const std::string& name) {
  if (name.empty() || RootLength(name) > 0 || name.find('\\') != std::string::npos) {
    throw CfxResult(E_INVALIDARG, "an input name is a relative path with '/' separators, not '" + name + "'");
  }
  for (const std::string& element : PathElements(name)) {
    if (element == ".." || element == ".") throw CfxResult(E_INVALIDARG, "an input name may not climb: " + name);
  }
  if (PathElements(name).front() == kResultsFolder) {
    throw CfxResult(E_INVALIDARG, "an input may not lie in " + std::string(kResultsFolder) +
                                      "/, where the server puts the job's results: " + name);
  }
}

JobRecord::JobRecord(Server server, std::string id, std::string projectFolder)
    : server_(std::move(server)), id_(std::move(id)), projectFolder_(std::move(projectFolder)) {
  if (!IsJobId(id_) || !fs::exists(NativePath(Folder() + "/job"))) {
    throw CfxResult(E_FILE_NOT_FOUND, "no such job: " + id_ + " (looked in " + server_.Root() + "/jobs)");
  }
}

namespace {

// The client folder of a job must lie in the project, outside its state folder.
std::string CheckedClientFolder(const std::string& folder, const std::string& project, const std::string& id) {
  const std::string realProject = RealLocation(project);
  const std::string real = RealLocation(folder);
  const std::string state = realProject + "/" + kStateFolderName;
  if (folder.empty() || !IsWithin(real, realProject) || real == realProject || IsWithin(real, state)) {
    throw CfxResult(E_ACCESSDENIED, "refused: the client folder '" + folder + "' of job " + id + " (really " + real +
                                        ") is not a folder of the project " + realProject +
                                        " outside its state folder .zarn/");
  }
  return folder;
}

// Paths in the project are kept relative to it, so that a project folder
// moved to another place or platform keeps its jobs; others stay absolute.
std::string ProjectRelative(const std::string& path, const std::string& project) {
  return IsWithin(path, project) && path != project ? RelativeTo(path, project) : path;
}
std::string FromProjectRelative(const std::string& stored, const std::string& project) {
  return stored.empty() || RootLength(stored) > 0 ? stored : JoinPath(project, stored);
}

// Removes a folder the creation made; what cannot go stays, nothing more to do.
void RemoveQuietly(const std::string& folder) {
  std::error_code ignored;
  fs::remove_all(NativePath(folder), ignored);
}

}  // namespace

JobRecord JobRecord::Create(const Server& server, const std::string& projectFolder) {
  const std::string jobs = server.Root() + "/jobs";
  std::error_code error;
  fs::create_directories(NativePath(jobs), error);
  if (error) throw CfxResult(E_FAIL, "cannot make the server folder " + jobs + ": " + error.message());
  const StateLock held = StateLock::Take(server.LockFile());

  // No other creation runs while the lock is held: every staging folder left
  // is one of a creation that died. The highest id any folder has is taken.
  unsigned long highest = 0;
  for (fs::directory_iterator it(NativePath(jobs), error), end; !error && it != end; it.increment(error)) {
    const std::string name = PathText(it->path().filename());
    if (name.rfind(".new-", 0) == 0) {
      RemoveQuietly(PathText(it->path()));
    } else if (IsJobId(name)) {
      highest = std::max(highest, std::stoul(name));
    }
  }
  if (error) throw CfxResult(E_FAIL, "cannot list the server folder " + jobs + ": " + error.message());
  if (highest >= kLargestId) {
    throw CfxResult(E_FAIL, "cannot make a job: the server " + server.Root() + " has used its last job id (job " +
                                std::to_string(highest) + " exists, and ids go up to " + std::to_string(kLargestId) +
                                "); remove jobs from " + jobs + " to make room");
  }
  const std::string id = std::to_string(highest + 1);
  const std::string clientFolder = projectFolder + "/Jobs/" + id;
  CheckedClientFolder(clientFolder, projectFolder, id);

  // The job is made in a staging folder and renamed into place whole.
  const std::string staging = jobs + "/.new-" + std::to_string(ProcessId()) + "-" + id;
  const std::string folder = server.JobFolder(id);
  try {
    fs::create_directories(NativePath(staging + "/Documents"), error);
    if (error) throw CfxResult(E_FAIL, "cannot make the folders of job " + id + ": " + error.message());
    WriteSettings(staging + "/job", kJobHeader,
                  {{"id", id},
                   {"name", "Job" + id},
                   {"state", "created"},
                   {"client-folder", ProjectRelative(clientFolder, projectFolder)},
                   {"live-updates", "off"},
                   {"property.LiveUpdateMask", "*"}},
                  server.Scratch());
    fs::rename(NativePath(staging), NativePath(folder), error);
    if (error) throw CfxResult(E_FAIL, "cannot make the job folder " + folder + ": " + error.message());
  } catch (...) {
    RemoveQuietly(staging);
    throw;
  }
  fs::create_directories(NativePath(clientFolder), error);
  if (error) {
    RemoveQuietly(folder);
    throw CfxResult(E_FAIL, "cannot make the client folder " + clientFolder + " of job " + id + ": " + error.message() +
                                " (the job was not made)");
  }
  return JobRecord(server, id, projectFolder);
}

std::string JobRecord::Get(std::string_view key) const { return SettingOf(ReadSettings(Folder() + "/job"), key); }

void JobRecord::Set(std::string_view key, std::string value) { Update({{std::string(key), std::move(value)}}); }

void JobRecord::Update(const Settings& changes) {
  Modify([&](Settings& settings) {
    for (const auto& [key, value] : changes) SetSetting(settings, key, value);
  });
}

void JobRecord::Modify(const std::function<void(Settings&)>& change) {
  const StateLock held = StateLock::Take(server_.LockFile());
  Settings settings = ReadSettings(Folder() + "/job");
  change(settings);
  WriteSettings(Folder() + "/job", kJobHeader, settings, server_.Scratch());
}

std::string JobRecord::ClientFolder() const {
  return CheckedClientFolder(FromProjectRelative(Get("client-folder"), projectFolder_), projectFolder_, id_);
}

std::vector<JobInput> JobRecord::Inputs() const {
  std::vector<JobInput> inputs;
  for (auto& record : ReadRecords(Folder() + "/inputs", kInputFields)) {
    if (record.size() >= 2) inputs.push_back({record[0], FromProjectRelative(record[1], projectFolder_)});
  }
  return inputs;
}

void JobRecord::AddInput(const std::string& name, const std::string& source) {
  RequireInputName(name);
  std::error_code error;
  if (fs::is_directory(NativePath(source), error))
    throw CfxResult(E_INVALIDARG, "a job input is a file, not the folder " + source);
  const std::string target =
      Server::RequireWriteWithin(DocumentsFolder() + "/" + name, server_.Root(), "the job input");
  CopyFileAtomically(source, target, server_.Scratch());
  const StateLock held = StateLock::Take(server_.LockFile());
  auto records = ReadRecords(Folder() + "/inputs", kInputFields);
  std::erase_if(records, [&](const auto& record) { return !record.empty() && record[0] == name; });
  records.push_back({name, ProjectRelative(source, projectFolder_)});
  WriteRecords(Folder() + "/inputs", kInputsHeader, records, server_.Scratch());
}

std::vector<std::string> JobRecord::Run() {
  std::vector<std::string> results;
  const std::string resultsFolder = DocumentsFolder() + "/" + std::string(kResultsFolder);
  std::string summary = "Job " + id_ + "\ntext: " + EscapeField(Get("text")) + "\n";
  for (const JobInput& input : Inputs()) {
    RequireInputName(input.name);
    const std::string file = DocumentsFolder() + "/" + input.name;
    Server::RequireReadWithin(file, server_.Root(), "the input");
    if (KindOf(file) == FileKind::kMissing)
      throw CfxResult(E_FILE_NOT_FOUND, "the input " + input.name + " of job " + id_ + " is gone from the server");
    std::size_t bytes = 0;
    std::size_t lines = 0;
    char last = '\n';
    ReadInBlocks(file, [&](const char* block, std::size_t size) {
      bytes += size;
      lines += static_cast<std::size_t>(std::count(block, block + size, '\n'));
      last = block[size - 1];
    });
    if (last != '\n') ++lines;
    // Named by the input's own path, apart from the summary: no two collide.
    const std::string result = resultsFolder + "/inputs/" + input.name + ".txt";
    WriteFileAtomically(Server::RequireWriteWithin(result, server_.Root(), "the result"),
                        "Result of " + input.name + "\njob: " + id_ + "\nbytes: " + std::to_string(bytes) +
                            "\nlines: " + std::to_string(lines) + "\n",
                        server_.Scratch());
    results.push_back(server_.ToServerPath(result));
    summary += "input: " + input.name + "\n";
  }
  const std::string summaryFile = resultsFolder + "/summary.txt";
  WriteFileAtomically(Server::RequireWriteWithin(summaryFile, server_.Root(), "the result"), summary,
                      server_.Scratch());
  results.push_back(server_.ToServerPath(summaryFile));
  Set("state", "finished");
  return results;
}

}  // namespace zarnlocal
