// The container and its services: environment, disk manager, views, operations.
#include <filesystem>
#include <utility>

#include "localhost/file_system.h"
#include "localhost/project_objects.h"

namespace zarnlocal {

namespace fs = std::filesystem;

// ---- ContainerObject -------------------------------------------------------

void* ContainerObject::InterfaceFor(const nsID& iid) noexcept {
  if (iid == InterfaceIdOf<IUnknown>) return static_cast<ISBContainerRoot*>(this);
  if (iid == InterfaceIdOf<ISBViewHost>) return static_cast<ISBViewHost*>(this);
  if (iid == InterfaceIdOf<ISBJobHost>) return static_cast<ISBJobHost*>(this);
  return nullptr;
}

std::string ContainerObject::Describe() const { return "<project " + project_->Folder() + ">"; }

HRESULT ContainerObject::GetDocumentManager(ISBDocumentManager** manager) {
  if (manager) *manager = nullptr;
  return Entry("ISBContainerRoot", "GetDocumentManager", [&] {
    RequireSlot(manager, "the document manager");
    GiveObject<ISBDocumentManager>(manager, new DocumentManagerObject(project_));
    return S_OK;
  });
}

HRESULT ContainerObject::GetEnvironment(ISBEnvironment** environment) {
  if (environment) *environment = nullptr;
  return Entry("ISBContainerRoot", "GetEnvironment", [&] {
    RequireSlot(environment, "the environment");
    GiveObject<ISBEnvironment>(environment, new EnvironmentObject(project_));
    return S_OK;
  });
}

HRESULT ContainerObject::GetUrlFactory(ISBUrlFactory** factory) {
  if (factory) *factory = nullptr;
  return Entry("ISBContainerRoot", "GetUrlFactory", [&] {
    RequireSlot(factory, "the URL factory");
    GiveObject<ISBUrlFactory>(factory, new UrlFactoryObject(project_));
    return S_OK;
  });
}

HRESULT ContainerObject::GetDiskManager(ISBDiskManager** manager) {
  if (manager) *manager = nullptr;
  return Entry("ISBContainerRoot", "GetDiskManager", [&] {
    RequireSlot(manager, "the disk manager");
    GiveObject<ISBDiskManager>(manager, new DiskManagerObject());
    return S_OK;
  });
}

HRESULT ContainerObject::FileExists(BSTR path, VARIANT_BOOL* exists) {
  if (exists) *exists = VARIANT_FALSE;
  return Entry(
      "ISBContainerRoot", "FileExists",
      [&] {
        RequireSlot(exists, "the answer");
        std::error_code error;
        *exists = fs::exists(NativePath(project_->Resolve(Narrow(path))), error) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
      },
      path);
}

HRESULT ContainerObject::CreateOperation(std::int32_t kind, BSTR name, IUnknown** operation) {
  if (operation) *operation = nullptr;
  return Entry(
      "ISBContainerRoot", "CreateOperation",
      [&] {
        RequireSlot(operation, "the operation");
        const std::string text = Narrow(name);
        const std::size_t index = project_->BeginOperation(kind, text);
        ProjectRef project = project_;
        GiveObject<IUnknown>(operation, new TokenObject("<operation \"" + text + "\">",
                                                        [project, index] { project->EndOperation(index); }));
        return S_OK;
      },
      kind, name);
}

HRESULT ContainerObject::GetViewManager(ISBViewManager** manager) {
  if (manager) *manager = nullptr;
  return Entry("ISBViewHost", "GetViewManager", [&] {
    RequireSlot(manager, "the view manager");
    GiveObject<ISBViewManager>(manager, new ViewManagerObject(project_));
    return S_OK;
  });
}

// ---- EnvironmentObject -----------------------------------------------------

void* EnvironmentObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBEnvironment*>(this) : nullptr;
}

std::string EnvironmentObject::Describe() const { return "<environment " + project_->Folder() + ">"; }

std::string ExpandProjectVariables(const ProjectState& project, std::string_view text) {
  const std::pair<std::string_view, std::string> variables[] = {
      {"%WORKSPACE_FOLDER%", project.WorkspaceFolder()},
      {"%PROJECT_FOLDER%", project.Folder()},
      {"%SERVER_FOLDER%", project.TheServer().Root()},
  };
  std::string expanded;
  std::size_t at = 0;
  while (at < text.size()) {
    bool replaced = false;
    if (text[at] == '%') {
      for (const auto& [name, value] : variables) {
        if (text.substr(at, name.size()) == name) {
          expanded += value;
          at += name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) expanded += text[at++];
  }
  return expanded;
}

HRESULT EnvironmentObject::ExpandVariables(BSTR text, BSTR* expanded) {
  if (expanded) *expanded = nullptr;
  return Entry(
      "ISBEnvironment", "ExpandVariables",
      [&] {
        RequireSlot(expanded, "the expanded text");
        GiveText(expanded, ExpandProjectVariables(*project_, Narrow(text)));
        return S_OK;
      },
      text);
}

// ---- DiskManagerObject -----------------------------------------------------

void* DiskManagerObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBDiskManager*>(this) : nullptr;
}

SplitParts SplitFilePath(std::string_view path) {
  SplitParts parts;
  const std::size_t separator = path.find_last_of("/\\");
  const std::size_t nameStart = separator == std::string_view::npos ? 0 : separator + 1;
  parts.folder = std::string(path.substr(0, nameStart));
  const std::string_view fileName = path.substr(nameStart);
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    parts.name = std::string(fileName);
  } else {
    parts.name = std::string(fileName.substr(0, dot));
    parts.extension = std::string(fileName.substr(dot));
  }
  return parts;
}

std::string MakeFilePath(std::string_view drive, std::string_view folder, std::string_view name,
                         std::string_view extension) {
  std::string path = std::string(drive) + std::string(folder);
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  path += name;
  if (!extension.empty() && extension.front() != '.') path += '.';
  return path + std::string(extension);
}

HRESULT DiskManagerObject::SplitPath(BSTR path, BSTR* drive, BSTR* folder, BSTR* name, BSTR* extension) {
  for (BSTR* slot : {drive, folder, name, extension}) {
    if (slot) *slot = nullptr;
  }
  return Entry(
      "ISBDiskManager", "SplitPath",
      [&] {
        const SplitParts parts = SplitFilePath(Narrow(path));
        try {
          if (drive) GiveText(drive, parts.drive);
          if (folder) GiveText(folder, parts.folder);
          if (name) GiveText(name, parts.name);
          if (extension) GiveText(extension, parts.extension);
        } catch (...) {
          // A failed call hands nothing out.
          for (BSTR* slot : {drive, folder, name, extension}) {
            if (slot) SysFreeString(std::exchange(*slot, nullptr));
          }
          throw;
        }
        return S_OK;
      },
      path);
}

HRESULT DiskManagerObject::MakePath(BSTR drive, BSTR folder, BSTR name, BSTR extension, BSTR* path) {
  if (path) *path = nullptr;
  return Entry(
      "ISBDiskManager", "MakePath",
      [&] {
        RequireSlot(path, "the path");
        GiveText(path, MakeFilePath(Narrow(drive), Narrow(folder), Narrow(name), Narrow(extension)));
        return S_OK;
      },
      drive, folder, name, extension);
}

// ---- ViewManagerObject -----------------------------------------------------

void* ViewManagerObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBViewManager*>(this) : nullptr;
}

std::string ViewManagerObject::Describe() const { return "<view manager " + project_->Folder() + ">"; }

HRESULT ViewManagerObject::OpenView(ISBDocumentRoot* document, IUnknown** view) {
  if (view) *view = nullptr;
  return Entry(
      "ISBViewManager", "OpenView",
      [&] {
        RequireSlot(view, "the view");
        const auto* local = LocalOf<DocumentObject>(document);
        if (!local) Fail(document ? E_INVALIDARG : E_POINTER, "OpenView needs a document of the local host");
        project_->View().RecordView("view", local->Relative());
        GiveObject<IUnknown>(view, new TokenObject("<view of " + local->Path() + ">"));
        return S_OK;
      },
      document);
}

// ---- TokenObject -----------------------------------------------------------

TokenObject::~TokenObject() {
  if (onRelease_) onRelease_();
}

void* TokenObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<IUnknown*>(this) : nullptr;
}

}  // namespace zarnlocal
