#include "localhost/job_objects.h"

#include <algorithm>
#include <filesystem>

#include "localhost/file_system.h"
#include "localhost/location.h"
#include "localhost/project_objects.h"
#include "localhost/project_state.h"
#include "localhost/regular_file.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

std::string VariantText(const VARIANT& value) {
  if (value.vt == VT_EMPTY) return "";
  if (value.vt == VT_BSTR) return Narrow(value.bstrVal);
  return "variant of type " + std::to_string(value.vt);
}

// Copies a file or a folder tree to `to`, which lies in the job's documents
// folder; `ancestors` are the real locations of the source folders above.
std::size_t CopyTree(const JobRecord& job, const std::string& from, const std::string& to,
                     std::vector<std::string>& ancestors) {
  const std::string root = job.TheServer().Root();
  std::error_code error;
  if (!fs::is_directory(NativePath(from), error)) {
    CopyFileAtomically(from, Server::RequireWriteWithin(to, root, "the copy"), job.TheServer().Scratch());
    return 1;
  }
  const std::string real = RealLocation(from);
  for (const std::string& above : ancestors) {
    if (IsWithin(above, real)) {
      Fail(E_INVALIDARG,
           "refused: the folder " + from + " links back to " + real + ", which is being copied (a cycle)");
    }
  }
  const std::string target = Server::RequireWriteWithin(to, root, "the copy");
  fs::create_directories(NativePath(target), error);
  if (error) Fail(E_FAIL, "cannot make the folder " + to + ": " + error.message());
  std::vector<std::string> names;
  for (fs::directory_iterator it(NativePath(from), error), end; !error && it != end; it.increment(error)) {
    names.push_back(PathText(it->path().filename()));
  }
  if (error) Fail(E_FAIL, "cannot list the folder " + from + ": " + error.message());
  std::sort(names.begin(), names.end());
  ancestors.push_back(real);
  std::size_t copied = 0;
  for (const std::string& name : names) copied += CopyTree(job, from + "/" + name, to + "/" + name, ancestors);
  ancestors.pop_back();
  return copied;
}

}  // namespace

// ---- ServerJobObject -------------------------------------------------------

void* ServerJobObject::InterfaceFor(const nsID& iid) noexcept {
  if (iid == InterfaceIdOf<IUnknown>) return static_cast<ISBZarnServerJob*>(this);
  if (iid == InterfaceIdOf<ISBZarnServerJob>) return static_cast<ISBZarnServerJob*>(this);
  if (iid == InterfaceIdOf<ISBJobTransfer>) return static_cast<ISBJobTransfer*>(this);
  return nullptr;
}

HRESULT ServerJobObject::Initialize(ISBJobHost* host, ISBState* state, VARIANT argument, BSTR inputFolder) {
  return Entry(
      "ISBZarnServerJob", "Initialize",
      [&] {
        if (!state) Fail(E_POINTER, "a job is initialized from a job template state; none was given");
        const auto* container = LocalOf<ContainerObject>(host);
        const auto* jobTemplate = LocalOf<JobTemplateObject>(state);
        const std::string folder = Narrow(inputFolder);
        if (folder.find_first_of("/\\") != std::string::npos || folder == "." || folder == "..") {
          Fail(E_INVALIDARG, "the input folder is one folder name, not '" + folder + "'");
        }
        record_.Modify([&](Settings& settings) {
          const std::string now = SettingOf(settings, "state");
          if (now != "created")
            Fail(E_UNEXPECTED, "job " + record_.Id() + " is already initialized (state " + now + ")");
          if (!folder.empty()) {
            std::error_code error;
            const std::string made = Server::RequireWriteWithin(record_.DocumentsFolder() + "/" + folder,
                                                                record_.TheServer().Root(), "the input folder");
            fs::create_directories(NativePath(made), error);
            if (error) Fail(E_FAIL, "cannot make the input folder of job " + record_.Id() + ": " + error.message());
          }
          for (auto [key, value] :
               Settings{{"state", "initialized"},
                        {"host", container ? container->Project()->Folder()
                                 : host    ? "another host"
                                           : "none"},
                        {"template", jobTemplate ? jobTemplate->Name() : "a template of another host"},
                        {"argument", VariantText(argument)},
                        {"input-folder", folder}}) {
            SetSetting(settings, key, std::move(value));
          }
        });
        return S_OK;
      },
      host, state, argument, inputFolder);
}

HRESULT ServerJobObject::AddInputFile(ISBUrl* file, BSTR name) {
  return Entry(
      "ISBZarnServerJob", "AddInputFile",
      [&] {
        const Location location = LocationOf(file, "input file");
        if (location.wildcard || location.folder) Fail(E_INVALIDARG, "a job input is one file, not " + location.Text());
        record_.AddInput(Narrow(name), location.path);
        return S_OK;
      },
      file, name);
}

HRESULT ServerJobObject::GetDocumentsFolder(BSTR* folder) {
  if (folder) *folder = nullptr;
  return Entry("ISBZarnServerJob", "GetDocumentsFolder", [&] {
    RequireSlot(folder, "the folder");
    GiveText(folder, record_.ServerDocumentsFolder());
    return S_OK;
  });
}

HRESULT ServerJobObject::SetJobText(BSTR text) {
  return Entry(
      "ISBZarnServerJob", "SetJobText",
      [&] {
        record_.Set("text", Narrow(text));
        return S_OK;
      },
      text);
}

HRESULT ServerJobObject::GetJobFiles(ISBJobFiles** files) {
  if (files) *files = nullptr;
  return Entry("ISBZarnServerJob", "GetJobFiles", [&] {
    RequireSlot(files, "the job files");
    GiveObject<ISBJobFiles>(files, new JobFilesObject(record_));
    return S_OK;
  });
}

HRESULT ServerJobObject::GetProperty(BSTR name, BSTR* value) {
  if (value) *value = nullptr;
  return Entry(
      "ISBJob", "GetProperty",
      [&] {
        RequireSlot(value, "the value");
        const std::string key = "property." + Narrow(name);
        const Settings settings = ReadSettings(record_.Folder() + "/job");
        const auto found =
            std::find_if(settings.begin(), settings.end(), [&](const auto& s) { return s.first == key; });
        if (found == settings.end()) {
          Fail(E_INVALIDARG, "job " + record_.Id() + " has no property '" + Narrow(name) + "'");
        }
        GiveText(value, found->second);
        return S_OK;
      },
      name);
}

HRESULT ServerJobObject::BeginLiveUpdates(BSTR mask) {
  return Entry(
      "ISBJob", "BeginLiveUpdates",
      [&] {
        record_.Update({{"live-updates", "on"}, {"live-update-mask", Narrow(mask)}});
        return S_OK;
      },
      mask);
}

HRESULT ServerJobObject::EndLiveUpdates(BSTR text) {
  return Entry(
      "ISBJob", "EndLiveUpdates",
      [&] {
        record_.Update({{"live-updates", "off"}, {"live-update-end", Narrow(text)}});
        return S_OK;
      },
      text);
}

HRESULT ServerJobObject::Download(BSTR source, BSTR destination, std::int32_t first, std::int32_t second) {
  return Entry(
      "ISBJobTransfer", "Download",
      [&] {
        DownloadFromServer(record_, Narrow(source), Narrow(destination));
        return S_OK;
      },
      source, destination, first, second);
}

HRESULT ServerJobObject::GetClientFolder(BSTR* folder) {
  if (folder) *folder = nullptr;
  return Entry("ISBManagedJob", "GetClientFolder", [&] {
    RequireSlot(folder, "the folder");
    GiveText(folder, record_.ClientFolder());
    return S_OK;
  });
}

void DownloadFromServer(const JobRecord& job, const std::string& source, const std::string& destination) {
  const Server& server = job.TheServer();
  const std::string from = server.ToFilesystem(source);
  RequireFileOrFolder(from);
  if (KindOf(from) != FileKind::kRegular) Fail(E_FILE_NOT_FOUND, "no such file on the server: " + source);
  Server::RequireReadWithin(from, server.Root(), "the server file");
  if (RootLength(WithSlashes(destination)) == 0) {
    Fail(E_INVALIDARG, "the download destination is an absolute path, not '" + destination + "'");
  }
  const std::string to = RealDestination(destination);
  const std::string project = RealLocation(job.ProjectFolder());
  const std::string state = project + "/" + kStateFolderName;
  const std::string serverRoot = RealLocation(server.Root());
  const std::string really = to == NormalisePath(destination) ? std::string() : " (really " + to + ")";
  if (!IsWithin(to, project) || to == project) {
    Fail(E_ACCESSDENIED, "refused: the download destination " + destination + really + " is outside the project " +
                             project + "; a download writes only into the project");
  }
  if (IsWithin(to, state)) {
    Fail(E_ACCESSDENIED, "refused: the download destination " + destination + really +
                             " is in the host's own state folder " + state + "; a download never writes there");
  }
  if (IsWithin(to, serverRoot)) {
    Fail(E_ACCESSDENIED, "refused: the download destination " + destination + really + " is in the server folder " +
                             serverRoot + "; a download writes only into the project");
  }
  std::error_code error;
  if (fs::is_directory(NativePath(to), error)) Fail(E_INVALIDARG, "the download destination is a folder: " + to);
  CopyFileAtomically(from, to, state + "/partial");
}

// ---- JobFilesObject --------------------------------------------------------

void* JobFilesObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBJobFiles*>(this) : nullptr;
}

HRESULT JobFilesObject::GetName(BSTR* name) {
  if (name) *name = nullptr;
  return Entry("ISBJobFiles", "GetName", [&] {
    RequireSlot(name, "the name");
    GiveText(name, record_.Get("name"));
    return S_OK;
  });
}

std::size_t CopyIntoServer(const JobRecord& job, std::string source, const std::string& destination) {
  std::replace(source.begin(), source.end(), '\\', '/');
  if (RootLength(source) == 0) Fail(E_INVALIDARG, "the copy source is an absolute path, not '" + source + "'");
  const Location from = Location::FromPath(source, "/");
  const std::string to = job.TheServer().ToFilesystem(destination);
  if (!IsWithin(to, job.DocumentsFolder())) {
    Fail(E_ACCESSDENIED, "refused: the copy destination " + destination + " is outside the documents folder " +
                             job.ServerDocumentsFolder() + " of job " + job.Id());
  }
  std::error_code error;
  if (from.wildcard && !fs::is_directory(NativePath(from.path), error))
    Fail(E_FILE_NOT_FOUND, "no such folder: " + from.path);
  if (!from.wildcard && !fs::exists(NativePath(from.path), error)) FailNoSuchFile(from.path);
  const std::string target = Server::RequireWriteWithin(to, job.TheServer().Root(), "the copy");
  fs::create_directories(NativePath(target), error);
  if (error) Fail(E_FAIL, "cannot make the folder " + to + ": " + error.message());
  std::vector<std::string> ancestors;
  if (!from.wildcard) return CopyTree(job, from.path, to + "/" + from.FileName(), ancestors);
  std::size_t copied = 0;
  std::vector<std::string> names;
  for (fs::directory_iterator it(NativePath(from.path), error), end; !error && it != end; it.increment(error)) {
    names.push_back(PathText(it->path().filename()));
  }
  std::sort(names.begin(), names.end());
  ancestors.push_back(RealLocation(from.path));
  for (const std::string& name : names) copied += CopyTree(job, from.path + "/" + name, to + "/" + name, ancestors);
  return copied;
}

HRESULT JobFilesObject::CopyFiles(BSTR source, BSTR destination, std::int32_t flags, std::int32_t options,
                                  VARIANT first, VARIANT second, VARIANT third, VARIANT fourth, IUnknown** result) {
  if (result) *result = nullptr;
  return Entry(
      "ISBJobFiles", "CopyFiles",
      [&] {
        const std::size_t copied = CopyIntoServer(record_, Narrow(source), Narrow(destination));
        if (result) {
          GiveObject<IUnknown>(result, new TokenObject("<copy of " + std::to_string(copied) + " files>"));
        }
        return S_OK;
      },
      source, destination, flags, options, first, second, third, fourth);
}

// ---- JobTemplateObject -----------------------------------------------------

void* JobTemplateObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBState*>(this) : nullptr;
}

}  // namespace zarnlocal
