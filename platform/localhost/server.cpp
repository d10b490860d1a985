#include "localhost/server.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/cfx_result.h"
#include "host/status.h"
#include "localhost/location.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kJobHeader =
    "# A job of the local server. Edit with care: the host reads it on every call.\n";
constexpr std::string_view kInputsHeader = "# Job inputs: the name in the job, a tab, the client file it came from.\n";

bool IsJobId(std::string_view text) {
  return !text.empty() && text.size() < 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::size_t CountLines(std::string_view bytes) {
  std::size_t lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  if (!bytes.empty() && bytes.back() != '\n') ++lines;
  return lines;
}

}  // namespace

std::string Server::ToFilesystem(std::string_view serverPath) const {
  std::string path(serverPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.empty()) throw CfxResult(E_INVALIDARG, "empty server path");
  if (path.front() != '/') path = "/" + path;
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
  for (fs::directory_iterator it(root_ + "/jobs", error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (IsJobId(name) && fs::exists(it->path() / "job")) ids.push_back(name);
  }
  std::sort(ids.begin(), ids.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  return ids;
}

std::string Server::MakeJobFolder() const {
  std::error_code error;
  fs::create_directories(root_ + "/jobs", error);
  if (error) throw CfxResult(E_FAIL, "cannot make the server folder " + root_ + "/jobs: " + error.message());
  const std::vector<std::string> ids = JobIds();
  unsigned long next = ids.empty() ? 1 : std::stoul(ids.back()) + 1;
  // mkdir is the claim: two processes never get the same id.
  for (;; ++next) {
    const std::string folder = JobFolder(std::to_string(next));
    if (::mkdir(folder.c_str(), 0755) == 0) return std::to_string(next);
    if (errno != EEXIST) {
      throw CfxResult(E_FAIL, "cannot make the job folder " + folder + ": " + std::strerror(errno));
    }
  }
}

std::string Server::JobFolder(std::string_view id) const { return root_ + "/jobs/" + std::string(id); }

JobRecord::JobRecord(Server server, std::string id) : server_(std::move(server)), id_(std::move(id)) {
  if (!IsJobId(id_) || !fs::exists(Folder() + "/job")) {
    throw CfxResult(E_FILE_NOT_FOUND, "no such job: " + id_ + " (looked in " + server_.Root() + "/jobs)");
  }
}

JobRecord JobRecord::Create(const Server& server, const std::string& projectFolder) {
  const std::string id = server.MakeJobFolder();
  const std::string folder = server.JobFolder(id);
  const std::string clientFolder = projectFolder + "/Jobs/" + id;
  std::error_code error;
  fs::create_directories(folder + "/Documents", error);
  if (!error) fs::create_directories(clientFolder, error);
  if (error) throw CfxResult(E_FAIL, "cannot make the folders of job " + id + ": " + error.message());
  WriteSettings(folder + "/job", kJobHeader,
                {{"id", id},
                 {"name", "Job" + id},
                 {"state", "created"},
                 {"client-folder", clientFolder},
                 {"live-updates", "off"},
                 {"property.LiveUpdateMask", "*"}});
  return JobRecord(server, id);
}

std::string JobRecord::Get(std::string_view key) const { return SettingOf(ReadSettings(Folder() + "/job"), key); }

void JobRecord::Set(std::string_view key, std::string value) { Update({{std::string(key), std::move(value)}}); }

void JobRecord::Update(const Settings& changes) {
  Settings settings = ReadSettings(Folder() + "/job");
  for (const auto& [key, value] : changes) SetSetting(settings, key, value);
  WriteSettings(Folder() + "/job", kJobHeader, settings);
}

std::vector<JobInput> JobRecord::Inputs() const {
  std::vector<JobInput> inputs;
  for (auto& record : ReadRecords(Folder() + "/inputs")) {
    if (record.size() >= 2) inputs.push_back({record[0], record[1]});
  }
  return inputs;
}

void JobRecord::AddInput(const std::string& name, const std::string& source) {
  if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos) {
    throw CfxResult(E_INVALIDARG, "an input name is a relative path with '/' separators, not '" + name + "'");
  }
  for (const std::string& element : PathElements(name)) {
    if (element == ".." || element == ".") throw CfxResult(E_INVALIDARG, "an input name may not climb: " + name);
  }
  std::error_code error;
  if (fs::is_directory(source, error)) throw CfxResult(E_INVALIDARG, "a job input is a file, not the folder " + source);
  CopyFileAtomically(source, DocumentsFolder() + "/" + name);
  auto records = ReadRecords(Folder() + "/inputs");
  std::erase_if(records, [&](const auto& record) { return !record.empty() && record[0] == name; });
  records.push_back({name, source});
  WriteRecords(Folder() + "/inputs", kInputsHeader, records);
}

std::vector<std::string> JobRecord::Run() {
  std::vector<std::string> results;
  const std::string resultsFolder = DocumentsFolder() + "/Results";
  std::string summary = "Job " + id_ + "\ntext: " + EscapeField(Get("text")) + "\n";
  for (const JobInput& input : Inputs()) {
    const std::optional<std::string> bytes = ReadWholeFile(DocumentsFolder() + "/" + input.name);
    if (!bytes)
      throw CfxResult(E_FILE_NOT_FOUND, "the input " + input.name + " of job " + id_ + " is gone from the server");
    const std::string fileName = PathElements(input.name).back();
    const std::string result = resultsFolder + "/" + fileName + ".txt";
    WriteFileAtomically(result, "Result of " + input.name + "\njob: " + id_ +
                                    "\nbytes: " + std::to_string(bytes->size()) +
                                    "\nlines: " + std::to_string(CountLines(*bytes)) + "\n");
    results.push_back(server_.ToServerPath(result));
    summary += "input: " + input.name + "\n";
  }
  WriteFileAtomically(resultsFolder + "/summary.txt", summary);
  results.push_back(server_.ToServerPath(resultsFolder + "/summary.txt"));
  Set("state", "finished");
  return results;
}

}  // namespace zarnlocal
