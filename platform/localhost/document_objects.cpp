// Documents, the document manager and the file-type registry.
//
// A document is a file of the project, or a virtual document: one whose
// project path names no file and whose content is kept in the state folder
// (.zarn/virtual/<path>). Documents are never edited in memory, so the file
// is always the content: saving to the document's own place changes nothing,
// saving to a path writes a copy there.
#include <filesystem>

#include "host/cotaskmem.h"
#include "localhost/file_system.h"
#include "localhost/project_objects.h"
#include "localhost/regular_file.h"
#include "localhost/text_file.h"

namespace zarnlocal {
namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(NativePath(path), error);
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(NativePath(path), error);
}

DocumentObject& DocumentOf(ISBDocumentRoot* document) {
  auto* local = LocalOf<DocumentObject>(document);
  if (!local) Fail(document ? E_INVALIDARG : E_POINTER, "the document is not a document of the local host");
  return *local;
}

}  // namespace

DocumentObject* OpenDocumentAt(const ProjectRef& project, const Location& location, std::int32_t flags) {
  if (location.wildcard) Fail(E_INVALIDARG, "a wild card names no single document: " + location.FilePath());
  const bool importing = (flags & kImportDocument) != 0;
  if (project->IsHostOwn(location.path)) {
    if (importing) project->RequireNotHostOwn(location.path, "the document");
    return nullptr;
  }
  if (location.folder || IsFolder(location.path)) {
    if (importing) {
      Fail(E_INVALIDARG, "no document to import at " + location.path + ": it is a folder (only a file is a document)");
    }
    return nullptr;
  }
  const std::string relative = project->RelativeOrFail(location.path);
  if (DocumentObject* open = project->OpenDocument(location.path)) return open;
  bool isVirtual = false;
  if (KindOf(location.path) == FileKind::kSpecial) {
    // A FIFO or a device is no document; importing one is refused by name.
    if (importing) RequireFileOrFolder(location.path);
    return nullptr;
  }
  if (!IsFile(location.path)) {
    const std::string store = project->VirtualStoreOf(relative);
    isVirtual = IsFile(store);
    if (isVirtual) project->CheckedVirtualStore(store);
    if (!isVirtual) {
      if (importing) FailNoSuchFile(location.path);
      return nullptr;
    }
  }
  return new DocumentObject(project, location.path, isVirtual);
}

std::string DocumentTypeOf(const ProjectState& project, const Location& location) {
  if (location.wildcard) Fail(E_INVALIDARG, "a wild card has no document type: " + location.FilePath());
  if (location.folder || IsFolder(location.path)) return std::string(kFolderType);
  const SplitParts parts = SplitFilePath(location.FileName());
  if (parts.extension.size() > 1) {
    if (const FileType* type = project.Types().Find(std::string_view(parts.extension).substr(1))) return type->typeName;
  }
  return std::string(kPlainDocumentType);
}

// ---- DocumentManagerObject -------------------------------------------------

void* DocumentManagerObject::InterfaceFor(const nsID& iid) noexcept {
  if (iid == InterfaceIdOf<IUnknown>) return static_cast<ISBDocumentManager*>(this);
  if (iid == InterfaceIdOf<ISBFileTypeProvider>) return static_cast<ISBFileTypeProvider*>(this);
  return nullptr;
}

std::string DocumentManagerObject::Describe() const { return "<document manager " + project_->Folder() + ">"; }

HRESULT DocumentManagerObject::SaveDocument(ISBDocumentRoot* document, std::int32_t flags, VARIANT first,
                                            VARIANT second, VARIANT target) {
  return Entry(
      "ISBDocumentManager", "SaveDocument",
      [&] {
        DocumentObject& local = DocumentOf(document);
        std::string path;
        if (target.vt == VT_BSTR) {
          path = Narrow(target.bstrVal);
        } else if (target.vt != VT_EMPTY) {
          Fail(E_INVALIDARG,
               "the save target is a path text or empty, not a variant of type " + std::to_string(target.vt));
        }
        local.Save(path.empty() ? path : project_->Resolve(path));
        return S_OK;
      },
      document, flags, first, second, target);
}

HRESULT DocumentManagerObject::GetDocument(std::int32_t flags, ISBUrl* location, VARIANT first, VARIANT second,
                                           VARIANT third, ISBDocumentRoot** document) {
  if (document) *document = nullptr;
  return Entry(
      "ISBDocumentManager", "GetDocument",
      [&] {
        RequireSlot(document, "the document");
        if (DocumentObject* found = OpenDocumentAt(project_, LocationOf(location, "location"), flags)) {
          GiveObject<ISBDocumentRoot>(document, found);
        }
        return S_OK;
      },
      flags, location, first, second, third);
}

HRESULT DocumentManagerObject::GetDocumentType(ISBUrl* location, BSTR* typeName) {
  if (typeName) *typeName = nullptr;
  return Entry(
      "ISBDocumentManager", "GetDocumentType",
      [&] {
        RequireSlot(typeName, "the type name");
        GiveText(typeName, DocumentTypeOf(*project_, LocationOf(location, "location")));
        return S_OK;
      },
      location);
}

HRESULT DocumentManagerObject::GetFileTypes(ISBFileTypes** fileTypes) {
  if (fileTypes) *fileTypes = nullptr;
  return Entry("ISBFileTypeProvider", "GetFileTypes", [&] {
    RequireSlot(fileTypes, "the file types");
    GiveObject<ISBFileTypes>(fileTypes, new FileTypesObject(project_));
    return S_OK;
  });
}

// ---- FileTypesObject -------------------------------------------------------

void* FileTypesObject::InterfaceFor(const nsID& iid) noexcept {
  return iid == InterfaceIdOf<IUnknown> ? static_cast<ISBFileTypes*>(this) : nullptr;
}

HRESULT FileTypesObject::GetDependentExtensions(BSTR extension, LPOLESTR** extensions, std::int32_t* count) {
  if (extensions) *extensions = nullptr;
  if (count) *count = 0;
  return Entry(
      "ISBFileTypes", "GetDependentExtensions",
      [&] {
        RequireSlot(extensions, "the extensions");
        RequireSlot(count, "the count");
        const FileType* type = project_->Types().Find(Narrow(extension));
        if (!type || type->dependents.empty()) return S_OK;
        const std::size_t n = type->dependents.size();
        auto** array = static_cast<LPOLESTR*>(CoTaskMemAlloc(n * sizeof(LPOLESTR)));
        if (!array) Fail(E_OUTOFMEMORY, "out of memory for the dependent extensions");
        for (std::size_t i = 0; i < n; ++i) {
          const CfxWString wide = CfxNarrowToWide(type->dependents[i]);
          array[i] = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
          if (!array[i]) {
            for (std::size_t j = 0; j < i; ++j) CoTaskMemFree(array[j]);
            CoTaskMemFree(array);
            Fail(E_OUTOFMEMORY, "out of memory for the dependent extensions");
          }
          std::copy(wide.begin(), wide.end(), array[i]);
          array[i][wide.size()] = u'\0';
        }
        *extensions = array;
        *count = static_cast<std::int32_t>(n);
        return S_OK;
      },
      extension);
}

// ---- DocumentObject --------------------------------------------------------

DocumentObject::DocumentObject(ProjectRef project, std::string path, bool isVirtual)
    : project_(std::move(project)), path_(std::move(path)), virtual_(isVirtual) {
  relative_ = project_->RelativeOrFail(path_);
  project_->Register(path_, this);
}

DocumentObject::~DocumentObject() { project_->Unregister(path_, this); }

void* DocumentObject::InterfaceFor(const nsID& iid) noexcept {
  if (iid == InterfaceIdOf<IUnknown>) return static_cast<ISBDocumentRoot*>(this);
  if (iid == InterfaceIdOf<ISBLockable>) return static_cast<ISBLockable*>(this);
  if (iid == InterfaceIdOf<ISBDocumentStorage>) return static_cast<ISBDocumentStorage*>(this);
  return nullptr;
}

std::string DocumentObject::Describe() const {
  return std::string("<") + (virtual_ ? "virtual " : "") + "document " + path_ + ">";
}

std::string DocumentObject::Backing() const { return virtual_ ? project_->VirtualStoreOf(relative_) : path_; }

void DocumentObject::Save(const std::string& target) {
  const std::string backing = Backing();
  if (!IsFile(backing)) FailNoSuchFile(backing);
  if (virtual_) project_->CheckedVirtualStore(backing);
  if (target.empty() || target == backing) return;
  if (IsFolder(target)) Fail(E_INVALIDARG, "cannot save a document over the folder " + target);
  const auto [real, scratch] = project_->CheckedSaveTarget(target);
  if (real == RealLocation(backing)) return;
  CopyFileAtomically(backing, real, scratch);
}

HRESULT DocumentObject::Show(std::int32_t show) {
  return Entry(
      "ISBDocumentRoot", "Show",
      [&] {
        if (show != 0) {
          project_->View().RecordView("shown", relative_);
        } else {
          project_->View().ForgetView("shown", relative_);
        }
        return S_OK;
      },
      show);
}

HRESULT DocumentObject::GetDocumentInfo(ISBDocumentInfo** info) {
  if (info) *info = nullptr;
  return Entry("ISBDocumentRoot", "GetDocumentInfo", [&] {
    RequireSlot(info, "the document information");
    AddReference();
    *info = static_cast<ISBDocumentInfo*>(this);
    return S_OK;
  });
}

HRESULT DocumentObject::RegenerateDisplay(ISBContainerRoot* container) {
  return Entry(
      "ISBDocumentRoot", "RegenerateDisplay",
      [&] {
        if (!IsFile(Backing())) FailNoSuchFile(Backing());
        ++regenerations_;
        return S_OK;
      },
      container);
}

HRESULT DocumentObject::Lock(BSTR owner) {
  return EntryOn(
      path_, "ISBLockable", "Lock",
      [&] {
        const std::string label = Narrow(owner);
        if (label.empty()) Fail(E_INVALIDARG, "a lock needs an owner label");
        project_->View().Lock(relative_, label);
        return S_OK;
      },
      owner);
}

HRESULT DocumentObject::Unlock(BSTR owner) {
  return EntryOn(
      path_, "ISBLockable", "Unlock",
      [&] {
        const std::string label = Narrow(owner);
        if (label.empty()) Fail(E_INVALIDARG, "a lock needs an owner label");
        // S_FALSE: there was no lock of that owner to lift.
        return project_->View().Unlock(relative_, label) ? S_OK : S_FALSE;
      },
      owner);
}

HRESULT DocumentObject::IsVirtual(VARIANT_BOOL* isVirtual) {
  if (isVirtual) *isVirtual = VARIANT_FALSE;
  return Entry("ISBDocumentStorage", "IsVirtual", [&] {
    RequireSlot(isVirtual, "the answer");
    *isVirtual = virtual_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  });
}

HRESULT DocumentObject::GetDocumentPath(BSTR* path) {
  if (path) *path = nullptr;
  return Entry("ISBDocumentInfo", "GetDocumentPath", [&] {
    RequireSlot(path, "the path");
    GiveText(path, path_);
    return S_OK;
  });
}

}  // namespace zarnlocal
