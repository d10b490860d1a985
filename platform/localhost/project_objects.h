// The host objects of the project side. Each holds the project's state and
// values of its own, never another host object, and implements its
// interfaces by calling C++ code directly.
//
//   ContainerObject        ISBContainerRoot, ISBViewHost, ISBJobHost
//   UrlFactoryObject       ISBUrlFactory, ISBUrlServices
//   UrlObject              ISBUrl, ISBFileUrl
//   UrlListObject          ISBUrlList
//   DocumentManagerObject  ISBDocumentManager, ISBFileTypeProvider
//   FileTypesObject        ISBFileTypes
//   DocumentObject         ISBDocumentRoot, ISBLockable, ISBDocumentStorage, ISBDocumentInfo
//   EnvironmentObject, DiskManagerObject, ViewManagerObject
//   TokenObject            IUnknown only: an operation, a view, a copy's outcome
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/com_ptr.h"
#include "host/job_interfaces.h"
#include "host/project_interfaces.h"
#include "localhost/location.h"
#include "localhost/object_base.h"
#include "localhost/project_state.h"

namespace zarnlocal {

using ProjectRef = std::shared_ptr<ProjectState>;

// Hands a new object out through a slot: the slot takes its first reference.
template <class I, class Object>
void GiveObject(I** slot, Object* made) {
  *slot = static_cast<I*>(made);
}

class ContainerObject final : public LocalObject, public ISBContainerRoot, public ISBViewHost, public ISBJobHost {
 public:
  explicit ContainerObject(ProjectRef project) : project_(std::move(project)) {}
  LOCAL_HOST_IUNKNOWN(ISBContainerRoot)
  std::string Describe() const override;
  const ProjectRef& Project() const { return project_; }

  HRESULT GetDocumentManager(ISBDocumentManager** manager) override;
  HRESULT GetEnvironment(ISBEnvironment** environment) override;
  HRESULT GetUrlFactory(ISBUrlFactory** factory) override;
  HRESULT GetDiskManager(ISBDiskManager** manager) override;
  HRESULT FileExists(BSTR path, VARIANT_BOOL* exists) override;
  HRESULT CreateOperation(std::int32_t kind, BSTR name, IUnknown** operation) override;
  HRESULT GetViewManager(ISBViewManager** manager) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
};

class UrlFactoryObject final : public LocalObject, public ISBUrlFactory, public ISBUrlServices {
 public:
  explicit UrlFactoryObject(ProjectRef project) : project_(std::move(project)) {}
  LOCAL_HOST_IUNKNOWN(ISBUrlFactory)
  std::string Describe() const override;

  HRESULT SetHidden(BSTR path, VARIANT_BOOL hidden) override;
  HRESULT CreateUrl(BSTR url, ISBUrl** location) override;
  HRESULT ListUrls(ISBUrl* location, ISBUrlList** list) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
};

class UrlObject final : public LocalObject, public ISBUrl, public ISBFileUrl {
 public:
  UrlObject(ProjectRef project, Location location) : project_(std::move(project)), location_(std::move(location)) {}
  LOCAL_HOST_IUNKNOWN(ISBUrl)
  std::string Describe() const override;
  Location Value() const;

  HRESULT GetFileName(BSTR* fileName) override;
  HRESULT GetName(BSTR* name) override;
  HRESULT SetQuery(BSTR query) override;
  HRESULT CreateChildUrl(BSTR relativePath, ISBUrl** location) override;
  HRESULT GetRelativeUrl(ISBUrl* target, BSTR* relativeUrl) override;
  HRESULT GetFilePath(BSTR* path) override;
  HRESULT Exists(VARIANT_BOOL* exists) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
  mutable std::mutex mutex_;  // SetQuery may race with readers
  Location location_;
};

// The location behind a client's ISBUrl; throws E_INVALIDARG for another host's.
Location LocationOf(ISBUrl* url, const char* what);

// Every entry a location stands for (ListUrls): a folder's (or a wild card's)
// entries in name order, each folder followed by its content when the query
// says Recursive=Yes, folders left out when it says Folders=No; a file
// location stands for itself. The host's own folders are never entries, and
// a location in one is refused. A subfolder that cannot be listed, or an
// entry whose path is longer than the system allows, is left out and named
// in `problems`; the listing goes on.
struct Listing {
  std::vector<Location> entries;
  std::vector<std::string> problems;
};
Listing ListLocation(const ProjectState& project, const Location& location);

class UrlListObject final : public LocalObject, public ISBUrlList {
 public:
  UrlListObject(ProjectRef project, std::vector<Location> entries)
      : project_(std::move(project)), entries_(std::move(entries)) {}
  LOCAL_HOST_IUNKNOWN(ISBUrlList)
  std::string Describe() const override;

  HRESULT GetItem(std::int32_t index, ISBUrl** location) override;
  HRESULT GetCount(std::int32_t* count) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
  std::vector<Location> entries_;
};

class EnvironmentObject final : public LocalObject, public ISBEnvironment {
 public:
  explicit EnvironmentObject(ProjectRef project) : project_(std::move(project)) {}
  LOCAL_HOST_IUNKNOWN(ISBEnvironment)
  std::string Describe() const override;
  HRESULT ExpandVariables(BSTR text, BSTR* expanded) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
};

// %WORKSPACE_FOLDER%, %PROJECT_FOLDER% and %SERVER_FOLDER% replaced by their
// folders (without a trailing '/'); any other %NAME% stays as written.
std::string ExpandProjectVariables(const ProjectState& project, std::string_view text);

class DiskManagerObject final : public LocalObject, public ISBDiskManager {
 public:
  DiskManagerObject() = default;
  LOCAL_HOST_IUNKNOWN(ISBDiskManager)
  std::string Describe() const override { return "<disk manager>"; }
  HRESULT SplitPath(BSTR path, BSTR* drive, BSTR* folder, BSTR* name, BSTR* extension) override;
  HRESULT MakePath(BSTR drive, BSTR folder, BSTR name, BSTR extension, BSTR* path) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;
};

struct SplitParts {
  std::string drive;   // always empty on this machine
  std::string folder;  // up to and with the last '/' or '\'
  std::string name;
  std::string extension;  // with its dot, or empty
};
SplitParts SplitFilePath(std::string_view path);
// drive + folder (a '/' added when it ends in none) + name + extension (a '.'
// added when it starts with none).
std::string MakeFilePath(std::string_view drive, std::string_view folder, std::string_view name,
                         std::string_view extension);

class ViewManagerObject final : public LocalObject, public ISBViewManager {
 public:
  explicit ViewManagerObject(ProjectRef project) : project_(std::move(project)) {}
  LOCAL_HOST_IUNKNOWN(ISBViewManager)
  std::string Describe() const override;
  HRESULT OpenView(ISBDocumentRoot* document, IUnknown** view) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
};

class TokenObject final : public LocalObject, public IUnknown {
 public:
  // `onRelease` runs when the last reference goes (an operation ends).
  TokenObject(std::string description, std::function<void()> onRelease = {})
      : description_(std::move(description)), onRelease_(std::move(onRelease)) {}
  ~TokenObject() override;
  LOCAL_HOST_IUNKNOWN(IUnknown)
  std::string Describe() const override { return description_; }

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  std::string description_;
  std::function<void()> onRelease_;
};

class DocumentManagerObject final : public LocalObject, public ISBDocumentManager, public ISBFileTypeProvider {
 public:
  explicit DocumentManagerObject(ProjectRef project) : project_(std::move(project)) {}
  LOCAL_HOST_IUNKNOWN(ISBDocumentManager)
  std::string Describe() const override;

  HRESULT SaveDocument(ISBDocumentRoot* document, std::int32_t flags, VARIANT first, VARIANT second,
                       VARIANT target) override;
  HRESULT GetDocument(std::int32_t flags, ISBUrl* location, VARIANT first, VARIANT second, VARIANT third,
                      ISBDocumentRoot** document) override;
  HRESULT GetDocumentType(ISBUrl* location, BSTR* typeName) override;
  HRESULT GetFileTypes(ISBFileTypes** fileTypes) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
};

// GetDocument flag: the location is to be imported, so a missing file is an error.
inline constexpr std::int32_t kImportDocument = 16;

// The document at a location, opened (or found open); null when the location
// names no document: a folder, or without kImportDocument nothing, a FIFO or
// device, or a file in one of the host's own folders (with kImportDocument
// the last two are refused by name).
DocumentObject* OpenDocumentAt(const ProjectRef& project, const Location& location, std::int32_t flags);
// The type name for a location: by extension, "Folder" for folders.
std::string DocumentTypeOf(const ProjectState& project, const Location& location);

class FileTypesObject final : public LocalObject, public ISBFileTypes {
 public:
  explicit FileTypesObject(ProjectRef project) : project_(std::move(project)) {}
  LOCAL_HOST_IUNKNOWN(ISBFileTypes)
  std::string Describe() const override { return "<file types>"; }
  HRESULT GetDependentExtensions(BSTR extension, LPOLESTR** extensions, std::int32_t* count) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
};

class DocumentObject final : public LocalObject,
                             public ISBDocumentRoot,
                             public ISBLockable,
                             public ISBDocumentStorage,
                             public ISBDocumentInfo {
 public:
  DocumentObject(ProjectRef project, std::string path, bool isVirtual);
  ~DocumentObject() override;
  LOCAL_HOST_IUNKNOWN(ISBDocumentRoot)
  std::string Describe() const override;

  const std::string& Path() const { return path_; }
  const std::string& Relative() const { return relative_; }
  bool IsVirtualDocument() const { return virtual_; }
  // Where the content lives: the file itself, or the virtual store.
  std::string Backing() const;
  // Writes the document: to its own place (empty target) or a copy to `target`.
  void Save(const std::string& target);
  int Regenerations() const { return regenerations_; }

  HRESULT Show(std::int32_t show) override;
  HRESULT GetDocumentInfo(ISBDocumentInfo** info) override;
  HRESULT RegenerateDisplay(ISBContainerRoot* container) override;
  HRESULT Lock(BSTR owner) override;
  HRESULT Unlock(BSTR owner) override;
  HRESULT IsVirtual(VARIANT_BOOL* isVirtual) override;
  HRESULT GetDocumentPath(BSTR* path) override;

 protected:
  void* InterfaceFor(const nsID& iid) noexcept override;

 private:
  ProjectRef project_;
  std::string path_;
  std::string relative_;
  bool virtual_;
  std::atomic<int> regenerations_{0};
};

}  // namespace zarnlocal
