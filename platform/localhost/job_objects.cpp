#include "localhost/job_objects.h"

#include <algorithm>
#include <filesystem>

#include "localhost/location.h"
#include "localhost/project_objects.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

std::string VariantText(const VARIANT& value) {
  if (value.vt == VT_EMPTY) return "";
  if (value.vt == VT_BSTR) return Narrow(value.bstrVal);
  return "variant of type " + std::to_string(value.vt);
}

std::size_t CopyTree(const std::string& from, const std::string& to) {
  std::error_code error;
  if (!fs::is_directory(from, error)) {
    CopyFileAtomically(from, to);
    return 1;
  }
  fs::create_directories(to, error);
  if (error) Fail(E_FAIL, "cannot make the folder " + to + ": " + error.message());
  std::vector<std::string> names;
  for (fs::directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  if (error) Fail(E_FAIL, "cannot list the folder " + from + ": " + error.message());
  std::sort(names.begin(), names.end());
  std::size_t copied = 0;
  for (const std::string& name : names) copied += CopyTree(from + "/" + name, to + "/" + name);
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
        if (record_.Get("state") != "created") {
          Fail(E_UNEXPECTED, "job " + record_.Id() + " is already initialized (state " + record_.Get("state") + ")");
        }
        if (!state) Fail(E_POINTER, "a job is initialized from a job template state; none was given");
        const auto* container = LocalOf<ContainerObject>(host);
        const auto* jobTemplate = LocalOf<JobTemplateObject>(state);
        const std::string folder = Narrow(inputFolder);
        if (folder.find_first_of("/\\") != std::string::npos || folder == "." || folder == "..") {
          Fail(E_INVALIDARG, "the input folder is one folder name, not '" + folder + "'");
        }
        if (!folder.empty()) {
          std::error_code error;
          fs::create_directories(record_.DocumentsFolder() + "/" + folder, error);
          if (error) Fail(E_FAIL, "cannot make the input folder of job " + record_.Id() + ": " + error.message());
        }
        record_.Update({{"state", "initialized"},
                        {"host", container ? container->Project()->Folder()
                                 : host    ? "another host"
                                           : "none"},
                        {"template", jobTemplate ? jobTemplate->Name() : "a template of another host"},
                        {"argument", VariantText(argument)},
                        {"input-folder", folder}});
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
        DownloadFromServer(record_.TheServer(), Narrow(source), Narrow(destination));
        return S_OK;
      },
      source, destination, first, second);
}

HRESULT ServerJobObject::GetClientFolder(BSTR* folder) {
  if (folder) *folder = nullptr;
  return Entry("ISBManagedJob", "GetClientFolder", [&] {
    RequireSlot(folder, "the folder");
    GiveText(folder, record_.Get("client-folder"));
    return S_OK;
  });
}

void DownloadFromServer(const Server& server, const std::string& source, const std::string& destination) {
  const std::string from = server.ToFilesystem(source);
  std::error_code error;
  if (!fs::is_regular_file(from, error)) Fail(E_FILE_NOT_FOUND, "no such file on the server: " + source);
  if (destination.empty() || destination.front() != '/') {
    Fail(E_INVALIDARG, "the download destination is an absolute path, not '" + destination + "'");
  }
  const std::string to = NormalisePath(destination);
  if (fs::is_directory(to, error)) Fail(E_INVALIDARG, "the download destination is a folder: " + to);
  CopyFileAtomically(from, to);
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

std::size_t CopyIntoServer(const Server& server, std::string source, const std::string& destination) {
  std::replace(source.begin(), source.end(), '\\', '/');
  if (source.empty() || source.front() != '/')
    Fail(E_INVALIDARG, "the copy source is an absolute path, not '" + source + "'");
  const Location from = Location::FromPath(source, "/");
  const std::string to = server.ToFilesystem(destination);
  std::error_code error;
  if (from.wildcard && !fs::is_directory(from.path, error)) Fail(E_FILE_NOT_FOUND, "no such folder: " + from.path);
  if (!from.wildcard && !fs::exists(from.path, error)) FailNoSuchFile(from.path);
  fs::create_directories(to, error);
  if (error) Fail(E_FAIL, "cannot make the folder " + to + ": " + error.message());
  if (!from.wildcard) return CopyTree(from.path, to + "/" + from.FileName());
  std::size_t copied = 0;
  std::vector<std::string> names;
  for (fs::directory_iterator it(from.path, error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) copied += CopyTree(from.path + "/" + name, to + "/" + name);
  return copied;
}

HRESULT JobFilesObject::CopyFiles(BSTR source, BSTR destination, std::int32_t flags, std::int32_t options,
                                  VARIANT first, VARIANT second, VARIANT third, VARIANT fourth, IUnknown** result) {
  if (result) *result = nullptr;
  return Entry(
      "ISBJobFiles", "CopyFiles",
      [&] {
        const std::size_t copied = CopyIntoServer(record_.TheServer(), Narrow(source), Narrow(destination));
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
